#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "lang/catalog.h"
#include "lang/file_texts.h"
#include "lang/history_texts.h"
#include "lang/control_texts.h"
#include "lang/language.h"
#include "lang/edit_texts.h"
#include "lang/log_texts.h"
#include "lang/map_edit_texts.h"
#include "lang/help_texts.h"
#include "lang/plural.h"
#include "lang/text_table.h"
#include "lang/port_texts.h"
#include "editor/edit.h"

namespace velmor {
namespace {

constexpr LanguageCode kEn = LanguageCode::English;
constexpr LanguageCode kDe = LanguageCode::German;
constexpr LanguageCode kFr = LanguageCode::French;
constexpr LanguageCode kCz = LanguageCode::Czech;
constexpr LanguageCode kAll[] = {kEn, kDe, kFr, kCz};

// A stored language byte that never went through LanguageFromByte.
const LanguageCode kBogus = static_cast<LanguageCode>(9);

std::optional<std::string> FindText(const std::vector<ControlText>& list, std::string_view name,
                                    TextProperty property, int item = 0) {
  std::optional<std::string> found;
  for (const ControlText& entry : list) {
    if (entry.component == name && entry.property == property && entry.item == item) found = entry.text;
  }
  return found;
}

std::optional<std::string> FindLabel(const std::vector<LabelText>& list, std::string_view name) {
  for (const LabelText& entry : list) {
    if (entry.label == name) return entry.text;
  }
  return std::nullopt;
}

TEST(LangCatalog, RowsReadTheirExactTexts) {
  struct Case {
    MsgKey key;
    LanguageCode language;
    const char* text;
  };
  const Case cases[] = {
      // French rows that borrow the English text.
      {MsgKey::TxtIgnLimiter, kFr, "Limiter by ignition"},
      {MsgKey::TxtBlink, kFr, "Twinkle"},
      {MsgKey::MsgBikeNotSupported, kFr, "This version of program Pyrolan.exe is not for required bike!"},
      {MsgKey::TxtGear, kFr, "Gear"},
      // French rows of their own next to them.
      {MsgKey::TxtStartLimiter, kFr, "Limitateur départ"},
      {MsgKey::MsgReading, kFr, "Lire"},
      // Trailing spaces and accents belong to the texts.
      {MsgKey::TxtPrintDateTime, kDe, "Zeitpunkt des Ausdruckes   "},
      {MsgKey::TxtPrintDateTime, kFr, "Date et heur de l´imprimé:   "},
      {MsgKey::TxtProgramCount, kCz, "Počet programování = "},
      {MsgKey::MsgComOpenError, kDe, "Falscher COM-Anschlußes!"},
      {MsgKey::MsgProgramError, kCz, "Chyba programování"},
      {MsgKey::TxtIgnLimiter, kDe, "Begrenzer - Zündung"},
      {MsgKey::TxtClutchMaster, kCz, "Clutch master"},
      // Composites.
      {MsgKey::MsgFileOlderVersion, kEn,
       "Older version of *.ign file!\n\nSome parameters won't be changed or will be set to default "
       "value.\nThey are parameters which are not in older version or have another structure."},
      {MsgKey::MsgFileOlderVersion, kFr,
       "Older version of *.ign file!\n\nSome parameters won't be changed or will be set to default "
       "value.\nThey are parameters which are not in older version or have another structure."},
      {MsgKey::MsgFileOlderVersion, kCz,
       "Starší verze souboru *.ign!\n\nNěkteré parametry budou nezměněny nebo nataveny na základní "
       "hodnotu.\nJsou to parametry, které v této verzi nebyly obsaženy nebo měly jinou strukturu."},
      {MsgKey::TxtTachoLambda, kEn, "Tacho/Lambda"},
      {MsgKey::TxtTachoLambda, kDe, "Tacho/Lambda"},
      {MsgKey::TxtTachoLambda, kFr, "Tacho/Lambda"},
      {MsgKey::TxtTachoLambda, kCz, "Tacho/Lambda"},
      {MsgKey::WindowTitle, kCz, "Velmor"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(MsgKeyName(c.key)) + " / " + std::to_string(static_cast<int>(c.language)));
    EXPECT_EQ(CatalogText(c.key, c.language), c.text);
    EXPECT_EQ(ResolveTexts(c.language)[c.key], c.text);
  }
}

TEST(LangCatalog, HelpOpenErrorEmbedsTheHelpFileOfItsLanguage) {
  const std::pair<LanguageCode, const char*> cases[] = {
      {kEn, "Error by opening file Velmor_en.pdf !"},
      {kDe, "Fehler beim öffnen der Datei Velmor_de.pdf !"},
      {kFr, "Erreur à l´ouvertur du Fichier Velmor_fr.pdf !"},
      {kCz, "Chyba při otevírání souboru Velmor_cz.pdf !"},
  };
  for (const auto& [language, text] : cases) {
    EXPECT_EQ(CatalogText(MsgKey::MsgHelpOpenError, language), text);
    const ResolvedTexts resolved = ResolveTexts(language);
    EXPECT_EQ(resolved[MsgKey::MsgHelpOpenError], text);
  }
}

TEST(LangCatalog, TuningStatusCodesMapToTheirTextsAndNothingBeyond14) {
  EXPECT_EQ(TuningStatusKey(0), MsgKey::TuneRpmZero);
  EXPECT_EQ(TuningStatusKey(9), MsgKey::TuneLoadBelow);
  EXPECT_EQ(TuningStatusKey(13), MsgKey::TuneOk);
  EXPECT_EQ(TuningStatusKey(14), MsgKey::TuneCoupled);
  for (int code : {15, 16, 255, -1}) EXPECT_FALSE(TuningStatusKey(code).has_value()) << code;

  EXPECT_EQ(CatalogText(*TuningStatusKey(10), kDe), "E: TPS or IAP zu hoch ((hinter letzte Punkt)");
  EXPECT_EQ(CatalogText(*TuningStatusKey(9), kCz), "malé TPS nebo IAP - před prvním bodem");
  EXPECT_EQ(CatalogText(*TuningStatusKey(14), kCz), "L: Spřažený");
  // Every French status is the English one, so every one starts with "T: ".
  for (int code = 0; code <= 14; ++code) {
    const MsgKey key = *TuningStatusKey(code);
    EXPECT_EQ(CatalogText(key, kFr), CatalogText(key, kEn)) << code;
    EXPECT_EQ(CatalogText(key, kFr).rfind("T: ", 0), 0u) << code;
  }
}

TEST(LangCatalog, LanguageOutsideTheFourColumnsReadsEnglish) {
  EXPECT_EQ(LanguageFromByte(3), kCz);
  EXPECT_EQ(LanguageFromByte(4), kEn);
  EXPECT_EQ(LanguageFromByte(255), kEn);

  EXPECT_EQ(CatalogText(MsgKey::MsgReadError, kBogus), "Read error!");
  EXPECT_EQ(CatalogText(MsgKey::MsgHelpOpenError, kBogus), "Error by opening file Velmor_en.pdf !");
  const ResolvedTexts resolved = ResolveTexts(kBogus);
  EXPECT_EQ(resolved.language, kEn);
  EXPECT_EQ(resolved[MsgKey::HelpFileName], "Velmor_en.pdf");

  const auto english = ControlTexts(kEn);
  const auto bogus = ControlTexts(kBogus);
  ASSERT_EQ(bogus.size(), english.size());
  for (std::size_t i = 0; i < english.size(); ++i) EXPECT_EQ(bogus[i].text, english[i].text);
  EXPECT_EQ(FindLabel(MonitorPlaceholders(kBogus), "LabelMon_Ign"), "Advance= --- [°]");
  EXPECT_EQ(MenuItemForLanguage(kBogus), "MenuEnglish");
  EXPECT_EQ(AboutWindowTitle(kBogus), "About Velmor");
}

TEST(LangCatalog, ResolvedTextsAreEmptyBeforeTheFirstResolutionAndPastTheLastKey) {
  const ResolvedTexts none;
  EXPECT_EQ(none[MsgKey::MsgProgramError], "");
  EXPECT_EQ(ResolveTexts(kDe)[MsgKey::Count], "");
  EXPECT_EQ(CatalogText(MsgKey::Count, kDe), "");
  EXPECT_EQ(CatalogText(static_cast<MsgKey>(4000), kDe), "");
  EXPECT_EQ(MsgKeyName(MsgKey::TuneOk), "TuneOk");
}

// Every key and every control entry, in every language.
TEST(LangCatalog, EveryKeyAndEveryControlEntryIsFilledAndUnique) {
  for (LanguageCode language : kAll) {
    SCOPED_TRACE(static_cast<int>(language));
    const ResolvedTexts resolved = ResolveTexts(language);
    for (int k = 0; k < kMsgKeyCount; ++k) {
      const auto key = static_cast<MsgKey>(k);
      EXPECT_FALSE(MsgKeyName(key).empty()) << k;
      EXPECT_FALSE(resolved[key].empty()) << MsgKeyName(key);
      EXPECT_EQ(resolved[key], CatalogText(key, language)) << MsgKeyName(key);
    }

    std::set<std::tuple<std::string_view, TextProperty, int>> seen;
    for (const ControlText& entry : ControlTexts(language)) {
      EXPECT_FALSE(entry.component.empty());
      EXPECT_FALSE(entry.text.empty()) << entry.component;
      EXPECT_TRUE(seen.insert({entry.component, entry.property, entry.item}).second)
          << "set twice: " << entry.component;
      EXPECT_TRUE(entry.property == TextProperty::Item || entry.item == 0) << entry.component;
    }

    const auto placeholders = MonitorPlaceholders(language);
    for (const LabelText& entry : placeholders) {
      EXPECT_FALSE(entry.label.empty());
      // Only the tuning status label is emptied.
      EXPECT_EQ(entry.text.empty(), entry.label == "LabelLadeniMsg") << entry.label;
    }
  }
}

TEST(LangControlTexts, ControlsReadTheirTextsPerLanguage) {
  struct Case {
    LanguageCode language;
    std::string_view component;
    TextProperty property;
    int item;
    const char* text;
  };
  const auto C = TextProperty::Caption;
  const auto H = TextProperty::Hint;
  const auto I = TextProperty::Item;
  const Case cases[] = {
      {kCz, "MenuRead", C, 0, "Čí&st"},
      {kCz, "ButtonRead", C, 0, "Čí&st"},
      {kCz, "MenuRead", H, 0, "Čtení parametrů ze zapalování"},
      {kCz, "ButtonRead", H, 0, "Čtení parametrů ze zapalování"},
      {kFr, "MenuNewActPage", C, 0, "New for actual page"},
      {kFr, "MenuCzech", C, 0, "&Tchèque"},
      {kCz, "MenuCzech", C, 0, "Če&sky"},
      {kEn, "MenuExit", C, 0, "E&xit"},
      {kEn, "MenuLanguage", H, 0, "Language|Set English or German or French"},
      {kDe, "MenuLanguage", H, 0, "Sprache"},
      {kDe, "MenuEnglish", H, 0, "|Set Englich menu"},
      {kCz, "MenuCom", H, 0, "Nastavení čísla serivého portu (Com) "},
      {kEn, "SpeedButton6", H, 0, "Set default parametrs"},
      // Tabs, the three map sheets included.
      {kDe, kAdvanceSheetName, C, 0, "Vorzündung"},
      {kFr, kInj1ASheetName, C, 0, "Inj. 1"},
      {kCz, kInj2ASheetName, C, 0, "Vstřik 2"},
      {kFr, "TabSheet_Poloha", C, 0, "Positon"},
      // Set with the message texts.
      {kFr, "TabSheet_Ladeni", C, 0, "Tuning"},
      {kCz, "TabSheet_Ladeni", C, 0, "Ladění"},
      {kCz, "GroupBoxMonAdvance", C, 0, "Předstih"},
      {kDe, "GroupBoxMonInj", C, 0, "Einspritzung"},
      {kFr, "LabelSpojeni", C, 0, "Pas de connection acec pc"},
      // The same control with a caption and a hint.
      {kDe, "CheckBoxProgHned", C, 0, "Programmierung nach Änderung"},
      {kDe, "CheckBoxProgHned", H, 0, "Programmmierung gleich nach der Änderung"},
      {kEn, "GroupBoxActivation", C, 0, "Activation by Switch on"},
      // Radio-group items and captions.
      {kCz, "RadioGroupClutchMode", I, 1, "Zpoždění zážehu"},
      {kDe, "RadioGroupIdleMode", I, 0, "Keine "},
      {kFr, "RadioGroupLadeniMode", I, 1, "All"},
      {kCz, "RadioGroupPinBody11", C, 0, "Funkce pinu Body 11"},
      // Composed captions.
      {kEn, "LabelStartLimiter", C, 0, "Start limiter [rpm]"},
      {kDe, "LabelPilotLight", C, 0, "Schaltblitz [rpm]"},
      {kFr, "LabelPilotLight", C, 0, "Retard à l´allumage [rpm]"},
      {kFr, "LabelApsTlak2", C, 0, "Pressure 2 [kPa]"},
      {kCz, "LabelApsNapeti1", C, 0, "Napětí 1 [mV]"},
      // Two controls sharing one entry.
      {kFr, "CheckBoxAll_PolohaA", C, 0, "Tout"},
      {kFr, kMapAllCheckBoxName, C, 0, "Tout"},
      {kDe, "LabelRetardD", C, 0, "Verspätung [ms]"},
      {kDe, "LabelGasJetKor2", C, 0, "Korrektion Einsp. endlich [%] "},
  };
  std::vector<ControlText> lists[kLanguageCount];
  for (LanguageCode language : kAll) lists[static_cast<int>(language)] = ControlTexts(language);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.component) + " / " + std::to_string(static_cast<int>(c.language)));
    EXPECT_EQ(FindText(lists[static_cast<int>(c.language)], c.component, c.property, c.item), c.text);
  }
}

TEST(LangControlTexts, ControlsThatShareACatalogWordAgreeWithIt) {
  for (LanguageCode language : kAll) {
    const auto list = ControlTexts(language);
    EXPECT_EQ(FindText(list, "TabSheet_Poloha", TextProperty::Caption), CatalogText(MsgKey::TxtPosition, language));
    EXPECT_EQ(FindText(list, "LabelVoda2", TextProperty::Caption), CatalogText(MsgKey::TxtCoolant, language));
    EXPECT_EQ(FindText(list, "LabelVoda3", TextProperty::Caption), CatalogText(MsgKey::TxtCoolant, language));
    EXPECT_EQ(FindText(list, "LabelPilotLight", TextProperty::Caption),
              CatalogText(MsgKey::TxtShiftLight, language) + " [rpm]");
    EXPECT_EQ(FindText(list, "GroupBoxMonAdvance", TextProperty::Caption), CatalogText(MsgKey::TxtAdvance, language));
  }
}

TEST(LangControlTexts, UntranslatedControlsAreLeftAlone) {
  for (LanguageCode language : kAll) {
    for (const ControlText& entry : ControlTexts(language)) {
      EXPECT_NE(entry.component, "TabSheet_Race");
      EXPECT_NE(entry.component, "TabSheet_Monitor");
      // Only the group captions of these are translated, never their items.
      if (entry.component == "RadioGroupPinEngine23" || entry.component == "RadioGroupPinEngine14" ||
          entry.component == "RadioGroupPinBody11") {
        EXPECT_EQ(entry.property, TextProperty::Caption);
      }
      EXPECT_NE(entry.component, "RadioGroupGearSystem");
    }
  }
}

TEST(LangControlTexts, PositionGroupHasThreeItemsInEveryLanguage) {
  const std::vector<std::string> czech = {"Počátek", "Střed", "Konec"};
  for (LanguageCode language : kAll) {
    const auto items = FindText(ControlTexts(language), "RadioGroupPolohaA", TextProperty::Items);
    ASSERT_TRUE(items.has_value());
    EXPECT_EQ(SplitItemList(*items).size(), 3u);
  }
  EXPECT_EQ(SplitItemList(*FindText(ControlTexts(kCz), "RadioGroupPolohaA", TextProperty::Items)), czech);
  EXPECT_EQ(SplitItemList("One"), std::vector<std::string>{"One"});
}

TEST(LangControlTexts, HintsSplitIntoTooltipAndStatusBarText) {
  EXPECT_EQ(HintStatusText("Language|Set English or German or French"), "Set English or German or French");
  EXPECT_EQ(HintTooltipText("Language|Set English or German or French"), "Language");
  EXPECT_EQ(HintStatusText("Sprache"), "Sprache");
  EXPECT_EQ(HintTooltipText("Sprache"), "Sprache");
  EXPECT_EQ(HintStatusText("|Set Englich menu"), "Set Englich menu");
  EXPECT_EQ(HintTooltipText("|Set Englich menu"), "");
}

TEST(LangMonitorPlaceholders, StemsOfTheLanguageFollowedByTheirPlaceholders) {
  const std::tuple<LanguageCode, std::string_view, const char*> cases[] = {
      {kDe, "LabelMon_Ign", "Vorzündung= --- [°]"},
      {kDe, "LabelMonIgnLimiter", "Begrenzer - Zündung - ---"},
      {kCz, "LabelMon_PolohaA", "Poloha = ---"},
      {kEn, "LabelPocetProgramovani", "Number of Programing = ---"},
      {kEn, "LabelMon_Jet_2A", "Injection time 2 = --- us"},
      {kFr, "LabelMonSpeed", "Vitesse = --- [km/h]"},
      {kFr, "LabelMonFan2", "Fan 2 - ---"},
      {kCz, "LabelGear", "Rychlost. stupeň = --- "},
      {kCz, "LabelMaxInjProcent", "Max. vstřik = --- %"},
      {kDe, "LabelMonPilotLight", "Schaltblitz - ---"},
      {kEn, "LabelLadeniMsg", ""},
  };
  for (const auto& [language, label, text] : cases) {
    EXPECT_EQ(FindLabel(MonitorPlaceholders(language), label), text) << label;
  }
  EXPECT_EQ(MonitorPlaceholders(kDe).back().label, "LabelLadeniMsg");
}

TEST(LangWindow, CaptionIsTitleSevenSpacesAndTheFileName) {
  EXPECT_EQ(MainWindowCaptionBase(), "  Velmor");
  EXPECT_EQ(MainWindowCaption(""), "  Velmor       ");
  EXPECT_EQ(MainWindowCaption("/home/tuner/data.ign"), "  Velmor       /home/tuner/data.ign");
}

TEST(LangWindow, MenuCheckMarkAndAboutTitleFollowTheLanguage) {
  EXPECT_EQ(MenuItemForLanguage(kEn), "MenuEnglish");
  EXPECT_EQ(MenuItemForLanguage(kDe), "MenuGerman");
  EXPECT_EQ(MenuItemForLanguage(kFr), "MenuFrench");
  EXPECT_EQ(MenuItemForLanguage(kCz), "MenuCzech");
  EXPECT_EQ(AboutWindowTitle(kDe), "Über Programm Velmor");
  EXPECT_EQ(AboutWindowTitle(kCz), "O programu Velmor");
  EXPECT_EQ(AboutWindowTitle(kFr), std::nullopt);
}

TEST(LangCommandLine, OnlyAnExactFirstWordChangesTheLanguage) {
  struct Case {
    std::vector<std::string> arguments;  // after the program name
    LanguageCode settings;
    LanguageCode expected;
  };
  const Case cases[] = {
      {{"DEUTSCH"}, kCz, kDe},
      {{"FRENCH"}, kEn, kFr},
      {{"CESKY"}, kEn, kCz},
      {{"ENGLISH"}, kCz, kEn},
      {{"deutsch"}, kCz, kCz},
      {{"French"}, kDe, kDe},
      {{"GERMAN"}, kCz, kCz},
      {{"CZECH"}, kDe, kDe},
      {{"FRENCH "}, kEn, kEn},
      {{""}, kDe, kDe},
      {{"data.ign", "FRENCH"}, kDe, kDe},
      {{"FRENCH", "DEUTSCH"}, kEn, kFr},
      {{}, kCz, kCz},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.empty() ? std::string("(none)") : c.arguments.front());
    EXPECT_EQ(LanguageFromCommandLine(c.arguments, c.settings), c.expected);

    std::vector<const char*> argv = {"velmor"};
    for (const std::string& a : c.arguments) argv.push_back(a.c_str());
    argv.push_back(nullptr);
    EXPECT_EQ(LanguageFromCommandLine(static_cast<int>(argv.size()) - 1, argv.data(), c.settings), c.expected);
  }
  EXPECT_EQ(LanguageFromCommandLine(0, nullptr, kFr), kFr);
}

// A word that only looks like a language ("deutsch", "FRENCH ") is a file
// name: opening it tells the tuner that no such file exists, which says more
// than ignoring it.
TEST(LangCommandLine, EveryArgumentThatIsNotALanguageWordIsAFile) {
  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> files;
  };
  const Case cases[] = {
      {{}, {}},
      {{"CESKY"}, {}},
      {{"tune.ign"}, {"tune.ign"}},
      {{"DEUTSCH", "/home/me/r1.ign"}, {"/home/me/r1.ign"}},
      {{"r1.ign", "FRENCH"}, {"r1.ign"}},
      {{"a.ign", "ENGLISH", "b.ign"}, {"a.ign", "b.ign"}},
      {{"deutsch", "FRENCH "}, {"deutsch", "FRENCH "}},
      {{"", "x y.ign"}, {"x y.ign"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileArguments(c.arguments), c.files) << testing::PrintToString(c.arguments);
  }
}

}  // namespace
}  // namespace velmor

namespace velmor {
namespace {

// Every text of a table translated, with the same "%1"/"%2" that are filled
// in, so that no language drops a file name or a count or shows a raw
// placeholder.
template <typename Text>
void ExpectTranslatedWithTheSamePlaceholders(std::string_view (*caption)(Text, LanguageCode)) {
  const auto placeholders = [](std::string_view s) {
    return std::pair(s.find("%1") != std::string_view::npos, s.find("%2") != std::string_view::npos);
  };
  for (int t = 0; t < static_cast<int>(Text::Count); ++t) {
    const auto text = static_cast<Text>(t);
    const std::string_view english = caption(text, LanguageCode::English);
    ASSERT_FALSE(english.empty()) << t;
    for (int l = 1; l < kLanguageCount; ++l) {
      const std::string_view other = caption(text, static_cast<LanguageCode>(l));
      EXPECT_FALSE(other.empty()) << t << "/" << l;
      EXPECT_EQ(placeholders(other), placeholders(english)) << other;
    }
  }
}

// The history, compare and review texts.
TEST(LangHistoryTexts, EveryTextIsTranslatedWithTheSamePlaceholders) {
  ExpectTranslatedWithTheSamePlaceholders(&HistoryCaption);
  EXPECT_EQ(HistoryCaption(HistoryText::Count, LanguageCode::English), "");
  EXPECT_EQ(HistoryCaption(HistoryText::Open, static_cast<LanguageCode>(kLanguageCount)), "");
  EXPECT_EQ(HistoryCaption(HistoryText::MenuReviewBeforeProgram, LanguageCode::Czech),
            "Zobrazit změny před programováním");
}

// What is said about a cut-off file and the sections a file lacks.
TEST(LangFileTexts, EveryTextIsTranslatedWithTheSamePlaceholders) {
  ExpectTranslatedWithTheSamePlaceholders(&FileCaption);
  EXPECT_EQ(FileCaption(FileText::Count, LanguageCode::English), "");
}

// The newer tables: the doctor's findings, the block edits with the 3D
// view's reasons, what F1 says about the guide.
TEST(LangNewerTexts, EveryTextIsTranslatedWithTheSamePlaceholders) {
  ExpectTranslatedWithTheSamePlaceholders(&PortCaption);
  ExpectTranslatedWithTheSamePlaceholders(&MapEditCaption);
  ExpectTranslatedWithTheSamePlaceholders(&HelpCaption);
  ExpectTranslatedWithTheSamePlaceholders(&LogUiText);
  EXPECT_EQ(MapEditCaption(MapEditText::No3DVariable, kDe), "VELMOR_NO_3D ist gesetzt");
  EXPECT_EQ(GuideFileName(kCz), "guide.cs.md");
}

// The grammatical number of a count, per language: the table a translator
// would check.
TEST(LangPlural, FormsOfACountPerLanguage) {
  using F = PluralForm;
  struct Case {
    LanguageCode language;
    std::vector<std::pair<long long, PluralForm>> counts;
  };
  const Case cases[] = {
      {kEn, {{0, F::Many}, {1, F::One}, {2, F::Many}, {4, F::Many}, {5, F::Many}, {21, F::Many}, {101, F::Many}}},
      {kDe, {{0, F::Many}, {1, F::One}, {2, F::Many}, {4, F::Many}, {5, F::Many}, {21, F::Many}, {101, F::Many}}},
      // French counts 0 as singular ("0 cellule").
      {kFr, {{0, F::One}, {1, F::One}, {2, F::Many}, {4, F::Many}, {5, F::Many}, {21, F::Many}, {101, F::Many}}},
      // Czech: 1 buňka, 2-4 buňky, 0 and 5 and up buněk; 21, 22 and 101
      // written in digits take the last form too.
      {kCz,
       {{0, F::Many}, {1, F::One}, {2, F::Few}, {3, F::Few}, {4, F::Few}, {5, F::Many}, {11, F::Many},
        {21, F::Many}, {22, F::Many}, {101, F::Many}, {1000, F::Many}}},
  };
  for (const Case& c : cases) {
    for (const auto& [count, form] : c.counts) {
      EXPECT_EQ(PluralFormOf(count, c.language), form) << "language " << int(c.language) << ", count " << count;
    }
  }
}

// The words after a count follow it; groups of other placeholders, other
// braces and the placeholders themselves stay for the caller.
TEST(LangPlural, GroupsTakeTheFormOfTheirCount) {
  struct Case {
    LanguageCode language;
    std::string_view text;
    long long count;
    int placeholder;
    std::string_view expected;
  };
  const Case cases[] = {
      {kEn, "{%1 cell|%1 cells}", 1, 1, "%1 cell"},
      {kEn, "{%1 cell|%1 cells}", 0, 1, "%1 cells"},
      {kFr, "{%1 cellule|%1 cellules}", 0, 1, "%1 cellule"},
      {kCz, "{%1 buňka|%1 buňky|%1 buněk}", 1, 1, "%1 buňka"},
      {kCz, "{%1 buňka|%1 buňky|%1 buněk}", 3, 1, "%1 buňky"},
      {kCz, "{%1 buňka|%1 buňky|%1 buněk}", 5, 1, "%1 buněk"},
      // The group of %3 is left for its own count.
      {kDe, "{%1 Zeile|%1 Zeilen}, {%3 Zelle|%3 Zellen}", 1, 1, "%1 Zeile, {%3 Zelle|%3 Zellen}"},
      {kDe, "{%1 Zeile|%1 Zeilen}, {%3 Zelle|%3 Zellen}", 7, 3, "{%1 Zeile|%1 Zeilen}, %3 Zellen"},
      // Braces without a choice are text (a udev rule).
      {kEn, "ATTRS{idVendor}==%1 {%1 rule|%1 rules}", 2, 1, "ATTRS{idVendor}==%1 %1 rules"},
      {kEn, "no groups here", 2, 1, "no groups here"},
  };
  for (const Case& c : cases) EXPECT_EQ(Plural(c.text, c.language, c.count, c.placeholder), c.expected) << c.text;
  EXPECT_EQ(CountText("{%1 cell was|%1 cells were} left", kEn, 1), "1 cell was left");
}

// Texts that show a count, as the tuner reads them: "1 Zellen", "1 buněk"
// and "1 cells" never appear.
TEST(LangPlural, CountedTextsReadRightInEveryLanguage) {
  const auto tuned = [](LanguageCode language, int count) {
    EditResult r;
    r.Verdict = EditVerdict::Refused;
    r.Refusal = EditRefusal::TunedMap;
    r.Count = count;
    return EditResultText(r, false, language);
  };
  EXPECT_EQ(tuned(kEn, 1), "The unit tunes this map while tuning is on: 1 cell was left as it is.");
  EXPECT_EQ(tuned(kEn, 16), "The unit tunes this map while tuning is on: 16 cells were left as they are.");
  EXPECT_EQ(tuned(kDe, 1), "Das Gerät stimmt dieses Kennfeld ab, solange die Abstimmung läuft: 1 Zelle blieb unverändert.");
  EXPECT_EQ(tuned(kFr, 0), "Le boîtier ajuste cette carte pendant le réglage : 0 cellule est restée telle quelle.");
  EXPECT_EQ(tuned(kCz, 1), "Jednotka tuto mapu během ladění upravuje: 1 buňka zůstala beze změny.");
  EXPECT_EQ(tuned(kCz, 2), "Jednotka tuto mapu během ladění upravuje: 2 buňky zůstaly beze změny.");
  EXPECT_EQ(tuned(kCz, 16), "Jednotka tuto mapu během ladění upravuje: 16 buněk zůstalo beze změny.");
  const auto tab = [](LanguageCode language, long long cells) {
    return FillText(Plural(HistoryCaption(HistoryText::MapTab, language), language, cells, 2),
                    PageTabCaption(2, language), std::to_string(cells));
  };
  EXPECT_EQ(tab(kEn, 1), "Inj. 1 (1 cell)");
  EXPECT_EQ(tab(kDe, 1), "Einsp. 1 (1 Zelle)");
  EXPECT_EQ(tab(kDe, 3), "Einsp. 1 (3 Zellen)");
  EXPECT_EQ(tab(kFr, 1), "Inj. 1 (1 cellule)");
  EXPECT_EQ(tab(kCz, 1), "Vstřik 1 (1 buňka)");
  EXPECT_EQ(tab(kCz, 4), "Vstřik 1 (4 buňky)");
  EXPECT_EQ(tab(kCz, 5), "Vstřik 1 (5 buněk)");
}

// Every plural group of every table has as many forms as its language has,
// and each form shows the count it belongs to, so no language falls back to
// a wrong form or drops the number.
TEST(LangPlural, EveryGroupOfEveryTableHasTheFormsOfItsLanguage) {
  std::vector<std::pair<std::string_view, LanguageCode>> texts;
  const auto add = [&](auto caption, int count) {
    for (int t = 0; t < count; ++t)
      for (LanguageCode l : kAll) texts.emplace_back(caption(t, l), l);
  };
  add([](int t, LanguageCode l) { return HistoryCaption(static_cast<HistoryText>(t), l); }, int(HistoryText::Count));
  add([](int t, LanguageCode l) { return LogUiText(static_cast<LogText>(t), l); }, int(LogText::Count));
  add([](int t, LanguageCode l) { return EditCaption(static_cast<EditText>(t), l); }, int(EditText::Count));
  add([](int t, LanguageCode l) { return MapEditCaption(static_cast<MapEditText>(t), l); }, int(MapEditText::Count));
  add([](int t, LanguageCode l) { return FileCaption(static_cast<FileText>(t), l); }, int(FileText::Count));
  add([](int t, LanguageCode l) { return PortCaption(static_cast<PortText>(t), l); }, int(PortText::Count));
  int groups = 0;
  for (const auto& [text, language] : texts) {
    for (std::size_t open = text.find('{'); open != std::string_view::npos; open = text.find('{', open + 1)) {
      const std::size_t close = text.find('}', open);
      ASSERT_NE(close, std::string_view::npos) << text;
      const std::string_view group = text.substr(open + 1, close - open - 1);
      if (group.find('|') == std::string_view::npos) continue;
      ++groups;
      std::vector<std::string_view> forms;
      for (std::size_t start = 0;;) {
        const std::size_t bar = group.find('|', start);
        forms.push_back(group.substr(start, bar == std::string_view::npos ? bar : bar - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
      }
      EXPECT_EQ(static_cast<int>(forms.size()), PluralFormCount(language)) << text;
      const std::size_t at = forms.front().find('%');
      ASSERT_NE(at, std::string_view::npos) << text;
      const std::string_view placeholder = forms.front().substr(at, 2);
      for (std::string_view form : forms) EXPECT_NE(form.find(placeholder), std::string_view::npos) << text;
    }
  }
  EXPECT_GT(groups, 0);
}

// The compare and review windows name a page as the window's tab does.
TEST(LangControlTexts, PageTabCaptionsAreTheTabsOwnTexts) {
  for (LanguageCode l : kAll) {
    const std::vector<ControlText> texts = ControlTexts(l);
    EXPECT_EQ(PageTabCaption(1, l), FindText(texts, kAdvanceSheetName, TextProperty::Caption));
    EXPECT_EQ(PageTabCaption(2, l), FindText(texts, kInj1ASheetName, TextProperty::Caption));
    EXPECT_EQ(PageTabCaption(3, l), FindText(texts, kInj2ASheetName, TextProperty::Caption));
    EXPECT_EQ(PageTabCaption(10, l), "Race");
    EXPECT_EQ(PageTabCaption(13, l), "");
  }
  EXPECT_EQ(PageTabCaption(2, kDe), "Einsp. 1");
}

}  // namespace
}  // namespace velmor
