#include "lang/catalog.h"

#include <cstddef>

namespace velmor {
namespace {

// A French column that reads the English text. There is no other fallback.
constexpr const char* kAsEnglish = nullptr;

struct CatalogRow {
  MsgKey key;
  // English, German, French, Czech.
  const char* text[kLanguageCount];
};

// One row per key, in key order (checked below). The row of MsgHelpOpenError
// holds only the prefix; the help file name and " !" are added on resolution.
constexpr CatalogRow kCatalog[] = {
    {MsgKey::HelpFileName,
     {"Velmor_en.pdf",
      "Velmor_de.pdf",
      "Velmor_fr.pdf",
      "Velmor_cz.pdf"}},
    {MsgKey::MsgHelpOpenError,
     {"Error by opening file ",
      "Fehler beim öffnen der Datei ",
      "Erreur à l´ouvertur du Fichier ",
      "Chyba při otevírání souboru "}},
    {MsgKey::MsgProgramError,
     {"Program error!",
      "Programmierfehler!",
      "Erreur de programmation!",
      "Chyba programování"}},
    {MsgKey::MsgVerifyError,
     {"Verify error!",
      "Vergleichsfehler",
      "Verifier erreur!",
      "Chyba verifikace!"}},
    {MsgKey::MsgReadError,
     {"Read error!",
      "Lesefehler",
      "Lire erreur!",
      "Chyba čtení!"}},
    {MsgKey::MsgProgramming,
     {"Program device:",
      "Programmieren:",
      "Programmer:",
      "Programování:"}},
    {MsgKey::MsgVerifying,
     {"Verify:",
      "Vergleichen:",
      "Vérifier:",
      "Verifikace:"}},
    {MsgKey::MsgReading,
     {"Read:",
      "Lesen:",
      "Lire",
      "Čtení:"}},
    {MsgKey::MsgSaving,
     {"Saving:",
      "Speicherung:",
      "Mémorisation",
      "Ukládání:"}},
    {MsgKey::MsgVersionMismatch,
     {"Unmatched version of PC and Ignition programs!",
      "Programm der Zündung ist nicht kompatibel mit dem Programm am PC!",
      "Programme du boitier d´alumage non compatible avec programme PC!",
      "Neshodné verze proramu v PC a v zapalování!"}},
    {MsgKey::MsgComOpenError,
     {"Com opening error!",
      "Falscher COM-Anschlußes!",
      "Erreur connections PC!",
      "Chyba při otevírání portu Com!"}},
    {MsgKey::MsgFileOpenError,
     {"Open file error!",
      "Fehler beim öffnen der Datei!",
      "Erreur ouvertur fichier!",
      "Chyba při otevírání souboru!"}},
    {MsgKey::MsgFileVersionMismatch,
     {"Unmatched version of *.ign file!",
      "Datendatei *.ign ist nicht kompatiebel!",
      "Programme du fichier non compatible avec programme PC!",
      "Neshodná verze souboru *.ign!"}},
    // Three sentences: the first ends with two line breaks, the second with one.
    {MsgKey::MsgFileOlderVersion,
     {"Older version of *.ign file!\n\n" "Some parameters won't be changed or will be set to default value.\n" "They are parameters which are not in older version or have another structure.",
      "Älter Version von Datendatei *.ign!\n\n" "Einige Kenndaten werden nicht geändert oder werden implizit Wert gestellt.\n" "Sie sind die Kenndaten, die in älter Version nicht sind oder andere Struktur haben",
      kAsEnglish,
      "Starší verze souboru *.ign!\n\n" "Některé parametry budou nezměněny nebo nataveny na základní hodnotu.\n" "Jsou to parametry, které v této verzi nebyly obsaženy nebo měly jinou strukturu."}},
    {MsgKey::MsgAskDefaults,
     {"Do you want default setting?",
      "Wollen Sie Standardeinstellungen öffnen?",
      "Voulez vous la programation de base?",
      "Chcete nastavit základní hodnoty?"}},
    {MsgKey::MsgAskDefaultsPage,
     {"Do you want default setting for this page?",
      "Wollen Sie Standardeinstellungen für diese Seite öffnen?",
      "Voulez vous la programation de base pour page?",
      "Chcete nastavit základní hodnoty pro tuto záložku?"}},
    {MsgKey::MsgBikeNotSupported,
     {"This version of program Pyrolan.exe is not for required bike!",
      "Diese Version des Programs Pyrolan.exe ist nicht für angeforderte Motorrad!",
      kAsEnglish,
      "Tato verze programu Pyrolan.exe není pro požadovanou motorku!"}},
    {MsgKey::TxtPrintDateTime,
     {"Date and time of printing:  ",
      "Zeitpunkt des Ausdruckes   ",
      "Date et heur de l´imprimé:   ",
      "Datum a čas tisku:  "}},
    // Where a printout went on a system without a printer.
    {MsgKey::TxtSavedAsPdf,
     {"Saved as PDF: ",
      "Als PDF gespeichert: ",
      "Enregistré en PDF : ",
      "Uloženo jako PDF: "}},
    // Why the cells of the tuned map do not take edits while tuning is on.
    {MsgKey::TxtUnitTunesMap,
     {"The unit is tuning this map: its cells are read-only while tuning is on.",
      "Die Zündung stimmt dieses Kennfeld ab: die Zellen sind gesperrt, solange die Abstimmung läuft.",
      "Le boîtier règle cette carte : ses cellules sont en lecture seule pendant le réglage.",
      "Zapalování ladí tuto mapu: buňky nelze měnit, dokud je ladění zapnuto."}},
    // Stems and words of the live display.
    {MsgKey::TxtAdvance,
     {"Advance",
      "Vorzündung",
      "Avance",
      "Předstih"}},
    {MsgKey::TxtProgramCount,
     {"Number of Programing = ",
      "Programmierungsanzahl = ",
      "Nombre de programmations = ",
      "Počet programování = "}},
    {MsgKey::TxtBlocking,
     {"Blocking ",
      "Blockierung ",
      "Blocage ",
      "Blokování "}},
    {MsgKey::TxtYes,
     {"YES",
      "JA",
      "Oui",
      "ANO"}},
    {MsgKey::TxtNo,
     {"NO",
      "NEIN",
      "Non",
      "NE"}},
    {MsgKey::TxtBlink,
     {"Twinkle",
      "Blinken",
      kAsEnglish,
      "Bliká"}},
    {MsgKey::TxtStartLimiter,
     {"Start limiter",
      "Start Begrenzer",
      "Limitateur départ",
      "Startovací omezovač"}},
    {MsgKey::TxtIgnLimiter,
     {"Limiter by ignition",
      "Begrenzer - Zündung",
      kAsEnglish,
      "Omezovač zápalem"}},
    {MsgKey::TxtJetLimiter,
     {"Limiter by injection",
      "Begrenzer - Einspritz",
      kAsEnglish,
      "Omezovač vstřikem"}},
    {MsgKey::TxtRetardLimiter,
     {"Limiter by retard",
      "Begrenzer - Spätzündung",
      kAsEnglish,
      "Omezovač předstihem"}},
    {MsgKey::TxtPickup,
     {"Pick-up (CMPS)",
      "Geber (CMPS)",
      "Capteur (CMPS)",
      "Snímač (CMPS)"}},
    {MsgKey::TxtBaseAdvance,
     {"Base advance [°]",
      "Basis Vorzündung [°]",
      "Avance de base [°]",
      "Základní předstih [°]"}},
    {MsgKey::TxtInjTime,
     {"Injection time",
      "Einspritzzeit",
      "Temp de injection",
      "Čas vstřiku"}},
    {MsgKey::TxtMaxInj,
     {"Max injection",
      "Max.Einspritz",
      kAsEnglish,
      "Max. vstřik"}},
    {MsgKey::TxtPosition,
     {"Position",
      "Lage",
      "Positon",
      "Poloha"}},
    {MsgKey::TxtGear,
     {"Gear",
      "Gang",
      kAsEnglish,
      "Rychlost. stupeň"}},
    {MsgKey::TxtSpeed,
     {"Speed",
      "Geschwindigkeit",
      "Vitesse",
      "Rychlost"}},
    {MsgKey::TxtShiftLight,
     {"Gear Shift Light",
      "Schaltblitz",
      "Retard à l´allumage",
      "Kontrolka řazení"}},
    {MsgKey::TxtCylCorrection,
     {"Correction for cylinder 1,2",
      "Korrektion für Zylinder 1,2",
      kAsEnglish,
      "Korekce pro válec 1,2"}},
    {MsgKey::TxtClutchMaster,
     {"Clutch master",
      "Schaltautomat",
      kAsEnglish,
      "Clutch master"}},
    // The "Tacho" and "Lambda" words joined by "/"; both words are the same
    // in every language.
    {MsgKey::TxtTachoLambda,
     {"Tacho" "/" "Lambda",
      "Tacho" "/" "Lambda",
      "Tacho" "/" "Lambda",
      "Tacho" "/" "Lambda"}},
    {MsgKey::TxtCoolant,
     {"Coolant",
      "Kühlflüssigkeit",
      "Températur moteur",
      "Teplota vody"}},
    {MsgKey::TxtStartSwitch,
     {"Switch start",
      "Starttaste",
      kAsEnglish,
      "Tlačítko start"}},
    {MsgKey::TxtClutch,
     {"Clutch",
      "Kupplung",
      kAsEnglish,
      "Spojka"}},
    {MsgKey::TxtNeutral,
     {"Idle",
      "Ruhestellung",
      kAsEnglish,
      "Neutrál"}},
    {MsgKey::TxtSideStand,
     {"Side stand",
      "Kippständer",
      kAsEnglish,
      "Boční stojánek"}},
    {MsgKey::TxtOilOk,
     {"Oil OK",
      "Öl in Ordnung",
      kAsEnglish,
      "Olej v pořádku"}},
    {MsgKey::TxtLambdaHeat,
     {"Lambda heat",
      "Lambdawärmung",
      kAsEnglish,
      "Ohřev lambda"}},
    {MsgKey::TxtFan,
     {"Fan",
      "Lüfter",
      kAsEnglish,
      "Větrák"}},
    {MsgKey::TxtFuel,
     {"Fuel",
      "Kraftstoff",
      kAsEnglish,
      "Palivo"}},
    // Closed-loop tuning status texts, in the unit's status-code order.
    {MsgKey::TuneRpmZero,
     {"T: rpm=0",
      "E: rpm=0",
      kAsEnglish,
      "L: rpm=0"}},
    {MsgKey::TuneNoLoadSensor,
     {"T: no TPS, no IAP",
      "E: kein TPS, kein IAP",
      kAsEnglish,
      "L: není TPS, není IAP"}},
    {MsgKey::TuneOff,
     {"T: Tunning is off",
      "E: Einstellung ist aus",
      kAsEnglish,
      "L: Ladění vypnuto"}},
    {MsgKey::TuneAccelTooHigh,
     {"T: Accelarition to big",
      "E: Akceleration ist zu hoch",
      kAsEnglish,
      "L: Akcelerace je příliš velká"}},
    {MsgKey::TuneBothMaps,
     {"T: Jet from TPS and IAP map",
      "E: Jet aus TPS und IAP map",
      kAsEnglish,
      "L: Vstřik z mapy TPS i IAP"}},
    {MsgKey::TuneNotInPoint,
     {"T: It is not in point",
      "E: Es ist nicht in Punkt",
      kAsEnglish,
      "L: Není v bodě"}},
    {MsgKey::TuneLambdaVoltageError,
     {"T: Lambda voltage error",
      "E: Lambdaspannungfehler",
      kAsEnglish,
      "L: Chybná hodnota lambda napětí"}},
    {MsgKey::TuneRpmBelow,
     {"T: RPM to low (before first point)",
      "E: Rpm zu small (vor erste Punkt)",
      kAsEnglish,
      "L: Nízké otáčky (před prvním bodem)"}},
    {MsgKey::TuneRpmAbove,
     {"T: RPM high (after last point)",
      "E: RPM hoch (hinter letzte Punkt)",
      kAsEnglish,
      "L: Velké otáčky (za posledním bodem)"}},
    {MsgKey::TuneLoadBelow,
     {"T: TPS or IAP to low (before first point)",
      "E: TPS or IAP  zu small (vor erste Punkt)",
      kAsEnglish,
      "malé TPS nebo IAP - před prvním bodem"}},
    {MsgKey::TuneLoadAbove,
     {"T: TPS or IAP high ((hinter letzte Punkt)",
      "E: TPS or IAP zu hoch ((hinter letzte Punkt)",
      kAsEnglish,
      "L: velké TPS nebo IAP za posledním bodem"}},
    {MsgKey::TuneAdding,
     {"T: Adding",
      "E: Zusatz",
      kAsEnglish,
      "L: Přidávání"}},
    {MsgKey::TuneDecreasing,
     {"T: Decrease",
      "E: Abnahme",
      kAsEnglish,
      "L: Ubírání"}},
    {MsgKey::TuneOk,
     {"T: OK",
      "E: OK",
      kAsEnglish,
      "L: OK"}},
    {MsgKey::TuneCoupled,
     {"T: Coupled",
      "E: Gekoppelt",
      kAsEnglish,
      "L: Spřažený"}},
    {MsgKey::WindowTitle,
     {"Velmor",
      "Velmor",
      "Velmor",
      "Velmor"}},
};

constexpr bool RowsInKeyOrder() {
  if (std::size(kCatalog) != static_cast<std::size_t>(kMsgKeyCount)) return false;
  for (std::size_t i = 0; i < std::size(kCatalog); ++i) {
    if (static_cast<std::size_t>(kCatalog[i].key) != i) return false;
    for (int l = 0; l < kLanguageCount; ++l) {
      // Only French may borrow the English text.
      if (kCatalog[i].text[l] == nullptr && l != static_cast<int>(LanguageCode::French)) return false;
    }
  }
  return true;
}
static_assert(RowsInKeyOrder(), "catalog rows must follow MsgKey order");

constexpr const char* kKeyNames[] = {
    "HelpFileName",
    "MsgHelpOpenError",
    "MsgProgramError",
    "MsgVerifyError",
    "MsgReadError",
    "MsgProgramming",
    "MsgVerifying",
    "MsgReading",
    "MsgSaving",
    "MsgVersionMismatch",
    "MsgComOpenError",
    "MsgFileOpenError",
    "MsgFileVersionMismatch",
    "MsgFileOlderVersion",
    "MsgAskDefaults",
    "MsgAskDefaultsPage",
    "MsgBikeNotSupported",
    "TxtPrintDateTime",
    "TxtSavedAsPdf",
    "TxtUnitTunesMap",
    "TxtAdvance",
    "TxtProgramCount",
    "TxtBlocking",
    "TxtYes",
    "TxtNo",
    "TxtBlink",
    "TxtStartLimiter",
    "TxtIgnLimiter",
    "TxtJetLimiter",
    "TxtRetardLimiter",
    "TxtPickup",
    "TxtBaseAdvance",
    "TxtInjTime",
    "TxtMaxInj",
    "TxtPosition",
    "TxtGear",
    "TxtSpeed",
    "TxtShiftLight",
    "TxtCylCorrection",
    "TxtClutchMaster",
    "TxtTachoLambda",
    "TxtCoolant",
    "TxtStartSwitch",
    "TxtClutch",
    "TxtNeutral",
    "TxtSideStand",
    "TxtOilOk",
    "TxtLambdaHeat",
    "TxtFan",
    "TxtFuel",
    "TuneRpmZero",
    "TuneNoLoadSensor",
    "TuneOff",
    "TuneAccelTooHigh",
    "TuneBothMaps",
    "TuneNotInPoint",
    "TuneLambdaVoltageError",
    "TuneRpmBelow",
    "TuneRpmAbove",
    "TuneLoadBelow",
    "TuneLoadAbove",
    "TuneAdding",
    "TuneDecreasing",
    "TuneOk",
    "TuneCoupled",
    "WindowTitle",
};
static_assert(std::size(kKeyNames) == static_cast<std::size_t>(kMsgKeyCount));

// The column to read. A value outside 0..3 can only come from a hand-edited
// settings file that was cast without LanguageFromByte; it reads English
// rather than indexing past the table.
int Column(LanguageCode language) {
  const auto value = static_cast<unsigned>(language);
  return value < static_cast<unsigned>(kLanguageCount) ? static_cast<int>(value) : 0;
}

bool KeyInRange(MsgKey key) {
  return static_cast<unsigned>(key) < static_cast<unsigned>(kMsgKeyCount);
}

std::string_view RawText(MsgKey key, int column) {
  const CatalogRow& row = kCatalog[static_cast<std::size_t>(key)];
  const char* text = row.text[column];
  return text != nullptr ? text : row.text[static_cast<int>(LanguageCode::English)];
}

std::string ComposeHelpOpenError(int column, std::string_view helpFileName) {
  std::string text(RawText(MsgKey::MsgHelpOpenError, column));
  text += helpFileName;
  text += " !";
  return text;
}

}  // namespace

std::string CatalogText(MsgKey key, LanguageCode language) {
  if (!KeyInRange(key)) return {};
  const int column = Column(language);
  if (key == MsgKey::MsgHelpOpenError) {
    return ComposeHelpOpenError(column, RawText(MsgKey::HelpFileName, column));
  }
  return std::string(RawText(key, column));
}

const std::string& ResolvedTexts::operator[](MsgKey key) const {
  static const std::string kEmpty;
  return KeyInRange(key) ? texts[static_cast<std::size_t>(key)] : kEmpty;
}

ResolvedTexts ResolveTexts(LanguageCode language) {
  ResolvedTexts resolved;
  const int column = Column(language);
  resolved.language = static_cast<LanguageCode>(column);
  const auto at = [&](MsgKey key) -> std::string& {
    return resolved.texts[static_cast<std::size_t>(key)];
  };
  at(MsgKey::HelpFileName) = std::string(RawText(MsgKey::HelpFileName, column));
  for (int k = 0; k < kMsgKeyCount; ++k) {
    const auto key = static_cast<MsgKey>(k);
    if (key == MsgKey::HelpFileName) continue;
    at(key) = key == MsgKey::MsgHelpOpenError
                  ? ComposeHelpOpenError(column, at(MsgKey::HelpFileName))
                  : std::string(RawText(key, column));
  }
  return resolved;
}

std::optional<MsgKey> TuningStatusKey(int code) {
  constexpr int kFirst = static_cast<int>(MsgKey::TuneRpmZero);
  constexpr int kLast = static_cast<int>(MsgKey::TuneCoupled);
  if (code < 0 || code > kLast - kFirst) return std::nullopt;
  return static_cast<MsgKey>(kFirst + code);
}

std::string_view MsgKeyName(MsgKey key) {
  return KeyInRange(key) ? kKeyNames[static_cast<std::size_t>(key)] : std::string_view{};
}

}  // namespace velmor
