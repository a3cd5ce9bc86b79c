#include "lang/log_texts.h"

#include <array>

#include "lang/text_table.h"

namespace velmor {
namespace {

constexpr std::array<TextRow, static_cast<int>(LogText::Count)> kTexts{{
    {"&Log", "&Protokoll", "&Journal", "&Záznam"},
    {"&Record", "&Aufzeichnen", "&Enregistrer", "&Nahrávat"},
    {"&Stop", "&Stopp", "&Arrêter", "&Zastavit"},
    {"Record a log of the monitor", "Monitor als Protokoll aufzeichnen", "Enregistrer le moniteur dans un journal",
     "Nahrávat záznam monitoru"},
    {"REC %1  {%2 row|%2 rows}", "REC %1  {%2 Zeile|%2 Zeilen}", "REC %1  {%2 ligne|%2 lignes}",
     "REC %1  {%2 řádek|%2 řádky|%2 řádků}"},
    {"Log saved: %1", "Protokoll gespeichert: %1", "Journal enregistré : %1", "Záznam uložen: %1"},
    {"Cannot record the log: %1", "Protokoll kann nicht geschrieben werden: %1",
     "Impossible d'enregistrer le journal : %1", "Záznam nelze zapsat: %1"},
    {"&Analyse log...", "Protokoll &auswerten...", "&Analyser le journal...", "&Vyhodnotit záznam..."},
    {"Log:", "Protokoll:", "Journal :", "Záznam:"},
    {"Open...", "Öffnen...", "Ouvrir...", "Otevřít..."},
    {"Map:", "Kennfeld:", "Carte :", "Mapa:"},
    {"Target A/F:", "Ziel A/F:", "A/F cible :", "Cílové A/F:"},
    {"Min. rows:", "Min. Zeilen:", "Lignes min. :", "Min. řádků:"},
    {"Min. coolant °C:", "Min. Kühlmittel °C:", "Liquide min. °C :", "Min. chladicí kap. °C:"},
    {"Max. throttle %/s:", "Max. Drosselkl. %/s:", "Papillon max. %/s :", "Max. škrticí kl. %/s:"},
    {"Max. change %:", "Max. Änderung %:", "Modif. max. % :", "Max. změna %:"},
    {"Apply", "Übernehmen", "Appliquer", "Použít"},
    {"{%1 row|%1 rows}, %2 used, {%3 cell|%3 cells} to change",
     "{%1 Zeile|%1 Zeilen}, %2 verwendet, {%3 Zelle|%3 Zellen} zu ändern",
     "{%1 ligne|%1 lignes}, {%2 utilisée|%2 utilisées}, {%3 cellule|%3 cellules} à modifier",
     "{%1 řádek|%1 řádky|%1 řádků}, {%2 použit|%2 použity|%2 použito}, {%3 buňka|%3 buňky|%3 buněk} ke změně"},
    {"rows %1, mean A/F %2, target %3, now %4 %, suggested %5 %",
     "Zeilen %1, mittleres A/F %2, Ziel %3, jetzt %4 %, Vorschlag %5 %",
     "lignes %1, A/F moyen %2, cible %3, actuel %4 %, proposé %5 %",
     "řádků %1, průměrné A/F %2, cíl %3, nyní %4 %, návrh %5 %"},
    {" (too few rows)", " (zu wenige Zeilen)", " (trop peu de lignes)", " (málo řádků)"},
    {"Map 2 follows map 1 in this map mode: correct map 1.",
     "Kennfeld 2 folgt in diesem Modus Kennfeld 1: Kennfeld 1 korrigieren.",
     "La carte 2 suit la carte 1 dans ce mode : corrigez la carte 1.",
     "Mapa 2 v tomto režimu sleduje mapu 1: opravte mapu 1."},
    {"{%1 cell written into the map. Record a new log to check it.|%1 cells written into the map. Record a new "
     "log to check them.}",
     "{%1 Zelle|%1 Zellen} ins Kennfeld geschrieben. Zur Kontrolle neues Protokoll aufzeichnen.",
     "{%1 cellule écrite dans la carte. Enregistrez un nouveau journal pour la vérifier.|%1 cellules écrites dans "
     "la carte. Enregistrez un nouveau journal pour les vérifier.}",
     "{%1 buňka zapsána|%1 buňky zapsány|%1 buněk zapsáno} do mapy. Pro kontrolu nahrajte nový záznam."},
    {"&Open log...", "Protokoll ö&ffnen...", "&Ouvrir un journal...", "&Otevřít záznam..."},
    {"Re&cent logs", "&Letzte Protokolle", "Journaux &récents", "&Poslední záznamy"},
    {"Analyse...", "Auswerten...", "Analyser...", "Vyhodnotit..."},
    {"{%1 row|%1 rows}; Shift+drag chooses a range", "{%1 Zeile|%1 Zeilen}; Umschalt+Ziehen wählt einen Bereich",
     "{%1 ligne|%1 lignes} ; Maj+glisser choisit une plage", "{%1 řádek|%1 řádky|%1 řádků}; Shift+tažení vybere úsek"},
    {"%1 s to %2 s: {%3 row|%3 rows}", "%1 s bis %2 s: {%3 Zeile|%3 Zeilen}", "%1 s à %2 s : {%3 ligne|%3 lignes}",
     "%1 s až %2 s: {%3 řádek|%3 řádky|%3 řádků}"},
    {"Play", "Abspielen", "Lire", "Přehrát"},
    {"Pause", "Pause", "Pause", "Pozastavit"},
    {"Stop playback", "Wiedergabe beenden", "Arrêter la lecture", "Ukončit přehrávání"},
    {"Corrections", "Korrekturen", "Corrections", "Korekce"},
    {"Target A/F", "Ziel A/F", "A/F cible", "Cílové A/F"},
    {"Target table", "Zieltabelle", "Table cible", "Tabulka cílů"},
    {"Save table", "Tabelle speichern", "Enregistrer la table", "Uložit tabulku"},
    {"Target table saved: %1", "Zieltabelle gespeichert: %1", "Table cible enregistrée : %1",
     "Tabulka cílů uložena: %1"},
    {"Save the tune first: the target table is kept beside it.",
     "Zuerst die Abstimmung speichern: die Zieltabelle liegt daneben.",
     "Enregistrez d'abord le réglage : la table cible est gardée à côté.",
     "Nejdřív uložte nastavení: tabulka cílů se ukládá vedle něj."},
    {"Dead band %:", "Totband %:", "Zone morte % :", "Pásmo necitlivosti %:"},
    {"Fill the cells between corrected ones", "Zellen zwischen korrigierten auffüllen",
     "Remplir les cellules entre les cellules corrigées", "Doplnit buňky mezi opravenými"},
    {"filled from the corrected cells beside it: now %1 %, suggested %2 %",
     "aus den korrigierten Nachbarzellen aufgefüllt: jetzt %1 %, Vorschlag %2 %",
     "remplie d'après les cellules corrigées voisines : actuel %1 %, proposé %2 %",
     "doplněno podle opravených sousedních buněk: nyní %1 %, návrh %2 %"},
    {"The suggestions start from the tune this log was ridden on (%1).",
     "Die Vorschläge gehen von der Abstimmung aus, mit der dieses Protokoll gefahren wurde (%1).",
     "Les propositions partent du réglage avec lequel ce journal a été enregistré (%1).",
     "Návrhy vycházejí z nastavení, se kterým byl záznam pořízen (%1)."},
    {"The tune this log was ridden on is not known: the suggestions start from the map as it is now.",
     "Die Abstimmung dieses Protokolls ist unbekannt: die Vorschläge gehen vom jetzigen Kennfeld aus.",
     "Le réglage de ce journal est inconnu : les propositions partent de la carte actuelle.",
     "Nastavení tohoto záznamu není známo: návrhy vycházejí z mapy v současném stavu."},
    {"{%1 cell has changed since this log was recorded and is not selected.|%1 cells have changed since this log "
     "was recorded and are not selected.}",
     "{%1 Zelle wurde seit der Aufzeichnung geändert und ist nicht ausgewählt.|%1 Zellen wurden seit der "
     "Aufzeichnung geändert und sind nicht ausgewählt.}",
     "{%1 cellule a changé depuis l'enregistrement de ce journal et n'est pas sélectionnée.|%1 cellules ont changé "
     "depuis l'enregistrement de ce journal et ne sont pas sélectionnées.}",
     "{%1 buňka se od pořízení záznamu změnila a není vybrána.|%1 buňky se od pořízení záznamu změnily a nejsou "
     "vybrány.|%1 buněk se od pořízení záznamu změnilo a nejsou vybrány.}"},
    {" (changed since this log was recorded: now %1 %)", " (seit der Aufzeichnung geändert: jetzt %1 %)",
     " (modifiée depuis l'enregistrement : actuel %1 %)", " (od pořízení záznamu změněno: nyní %1 %)"},
    {"This log was ridden on %1 tunes: each cell starts from the tune its rows were ridden on (%2).",
     "Dieses Protokoll wurde mit %1 Abstimmungen gefahren: jede Zelle geht von der Abstimmung aus, mit der ihre "
     "Zeilen gefahren wurden (%2).",
     "Ce journal a été enregistré avec %1 réglages : chaque cellule part du réglage avec lequel ses lignes ont été "
     "enregistrées (%2).",
     "Záznam byl pořízen s %1 nastaveními: každá buňka vychází z nastavení, se kterým byly pořízeny její řádky (%2)."},
    {"The tune could not be kept beside the log: %1", "Die Abstimmung konnte nicht neben dem Protokoll abgelegt "
     "werden: %1", "Le réglage n'a pas pu être conservé à côté du journal : %1",
     "Nastavení nelze uložit vedle záznamu: %1"},
    {"not a log: no header line of column names", "kein Protokoll: keine Kopfzeile mit Spaltennamen",
     "pas un journal : aucune ligne d'en-tête avec les noms de colonnes",
     "není záznam: chybí úvodní řádek s názvy sloupců"},
    {"column %1 appears twice", "Spalte %1 kommt zweimal vor", "la colonne %1 apparaît deux fois",
     "sloupec %1 je uveden dvakrát"},
    {"not a log of ours: no column %1", "kein Protokoll dieses Programms: keine Spalte %1",
     "pas un journal de ce programme : pas de colonne %1", "není záznam tohoto programu: chybí sloupec %1"},
    {"not a log of ours: the columns are separated by semicolons; a log separates them by commas",
     "kein Protokoll dieses Programms: die Spalten sind durch Semikolons getrennt; ein Protokoll trennt sie "
     "durch Kommas",
     "pas un journal de ce programme : les colonnes sont séparées par des points-virgules ; un journal les "
     "sépare par des virgules",
     "není záznam tohoto programu: sloupce jsou odděleny středníky; záznam je odděluje čárkami"},
    {"not a log of ours: the columns are separated by tabs; a log separates them by commas",
     "kein Protokoll dieses Programms: die Spalten sind durch Tabulatoren getrennt; ein Protokoll trennt sie "
     "durch Kommas",
     "pas un journal de ce programme : les colonnes sont séparées par des tabulations ; un journal les sépare "
     "par des virgules",
     "není záznam tohoto programu: sloupce jsou odděleny tabulátory; záznam je odděluje čárkami"},
    {"line %1: %2 is not a number: %3", "Zeile %1: %2 ist keine Zahl: %3", "ligne %1 : %2 n'est pas un nombre : %3",
     "řádek %1: %2 není číslo: %3"},
    {"line %1: %2 is out of range: %3 (a log holds %4 to %5)",
     "Zeile %1: %2 liegt außerhalb des Bereichs: %3 (ein Protokoll fasst %4 bis %5)",
     "ligne %1 : %2 est hors limites : %3 (un journal admet de %4 à %5)",
     "řádek %1: %2 je mimo rozsah: %3 (záznam pojme %4 až %5)"},
    {"line %1 has another number of fields than the header: %2, not %3",
     "Zeile %1 hat eine andere Anzahl Felder als die Kopfzeile: %2 statt %3",
     "la ligne %1 n'a pas le même nombre de champs que l'en-tête : %2 au lieu de %3",
     "řádek %1 má jiný počet polí než úvodní řádek: %2 místo %3"},
    {"line %1: no time_s", "Zeile %1: kein time_s", "ligne %1 : pas de time_s", "řádek %1: chybí time_s"},
    {"line %1 is longer than %2 MiB: not a log", "Zeile %1 ist länger als %2 MiB: kein Protokoll",
     "la ligne %1 dépasse %2 Mio : pas un journal", "řádek %1 je delší než %2 MiB: není záznam"},
    {"no such file", "Datei nicht vorhanden", "fichier introuvable", "soubor neexistuje"},
    {"a folder, not a file", "ein Ordner, keine Datei", "un dossier, pas un fichier", "složka, ne soubor"},
    {"a pipe (FIFO), not a file", "eine Pipe (FIFO), keine Datei", "un tube (FIFO), pas un fichier",
     "roura (FIFO), ne soubor"},
    {"a device, not a file", "ein Gerät, keine Datei", "un périphérique, pas un fichier", "zařízení, ne soubor"},
    {"no permission to read the file", "keine Berechtigung, die Datei zu lesen",
     "pas l'autorisation de lire le fichier", "chybí oprávnění soubor číst"},
    {"cannot read the file: %1", "Datei kann nicht gelesen werden: %1", "impossible de lire le fichier : %1",
     "soubor nelze přečíst: %1"},
    {"too large for the memory free (%1 MiB of log)", "zu groß für den freien Speicher (%1 MiB Protokoll)",
     "trop grand pour la mémoire libre (%1 Mio de journal)", "příliš velký pro volnou paměť (%1 MiB záznamu)"},
    {"the times are not in order: line %1 is at %2 s, before the line above it at %3 s",
     "die Zeiten sind nicht in Reihenfolge: Zeile %1 steht bei %2 s, vor der Zeile darüber bei %3 s",
     "les temps ne sont pas dans l'ordre : la ligne %1 est à %2 s, avant la ligne du dessus à %3 s",
     "časy nejdou po sobě: řádek %1 je v %2 s, dříve než řádek nad ním v %3 s"},
    {"Cannot open the log %1: %2", "Protokoll %1 kann nicht geöffnet werden: %2",
     "Impossible d'ouvrir le journal %1 : %2", "Záznam %1 nelze otevřít: %2"},
    {"Rows per cell", "Zeilen je Zelle", "Lignes par cellule", "Řádky v buňkách"},
    {"{%1 row|%1 rows} of the log in this cell; the analysis asks for %2",
     "{%1 Zeile|%1 Zeilen} des Protokolls in dieser Zelle; die Auswertung verlangt %2",
     "{%1 ligne|%1 lignes} du journal dans cette cellule ; l'analyse en demande %2",
     "{%1 řádek|%1 řádky|%1 řádků} záznamu v této buňce; vyhodnocení jich žádá %2"},
}};

struct ChannelText {
  TextRow Name;
  std::string_view Unit;
};
constexpr ChannelText kChannels[] = {
// One row per column of a log, in the log's column order: the channel's
// name in English, German, French and Czech, then its unit (the same in
// every language but the engine speed's).
{{"Time", "Zeit", "Temps", "Čas"}, "s"},
{{"Engine speed", "Drehzahl", "Régime", "Otáčky"}, "rpm"},
{{"Throttle", "Drosselklappe", "Papillon", "Škrticí klapka"}, "%"},
{{"Air/fuel ratio", "Luft/Kraftstoff", "Rapport air/essence", "Poměr vzduch/palivo"}, "A/F"},
{{"Coolant", "Kühlmittel", "Liquide de refroidissement", "Chladicí kapalina"}, "°C"},
{{"Intake air", "Ansaugluft", "Air d'admission", "Nasávaný vzduch"}, "°C"},
{{"Air pressure", "Luftdruck", "Pression d'air", "Tlak vzduchu"}, "kPa"},
{{"Advance 1", "Zündzeitpunkt 1", "Avance 1", "Předstih 1"}, "°"},
{{"Advance 2", "Zündzeitpunkt 2", "Avance 2", "Předstih 2"}, "°"},
{{"Injection 1", "Einspritzung 1", "Injection 1", "Vstřik 1"}, "µs"},
{{"Injection 2", "Einspritzung 2", "Injection 2", "Vstřik 2"}, "µs"},
{{"Gear", "Gang", "Rapport", "Převodový stupeň"}, ""},
{{"Speed", "Geschwindigkeit", "Vitesse", "Rychlost"}, "km/h"},
{{"Time since start", "Zeit seit Start", "Temps depuis le démarrage", "Čas od startu"}, "s"},
{{"Supply voltage", "Bordspannung", "Tension d'alimentation", "Napájecí napětí"}, "V"},
{{"Coolant correction", "Kühlmittelkorrektur", "Correction liquide", "Korekce chladicí kapaliny"}, "%"},
{{"Air temperature correction", "Lufttemperaturkorrektur", "Correction température d'air", "Korekce teploty vzduchu"}, "%"},
{{"Pressure correction", "Druckkorrektur", "Correction de pression", "Korekce tlaku"}, "%"},
{{"Start correction", "Startkorrektur", "Correction de démarrage", "Korekce startu"}, "%"},
{{"Acceleration correction", "Beschleunigungskorrektur", "Correction d'accélération", "Korekce akcelerace"}, "%"},
{{"Voltage correction", "Spannungskorrektur", "Correction de tension", "Korekce napětí"}, "µs"},
{{"Coolant advance correction", "Zündkorrektur Kühlmittel", "Correction d'avance liquide", "Korekce předstihu chladicí kap."}, "°"},
{{"Idle advance correction", "Zündkorrektur Leerlauf", "Correction d'avance ralenti", "Korekce předstihu volnoběhu"}, "°"},
{{"Rpm/speed ratio", "Drehzahl/Geschwindigkeit", "Rapport régime/vitesse", "Poměr otáčky/rychlost"}, ""},
{{"Throttle sensor", "Drosselklappensensor", "Capteur de papillon", "Snímač škrticí klapky"}, "mV"},
{{"Lambda sensor", "Lambdasonde", "Sonde lambda", "Lambda sonda"}, "mV"},
{{"Pressure sensor", "Drucksensor", "Capteur de pression", "Snímač tlaku"}, "mV"},
{{"Coolant sensor", "Kühlmittelsensor", "Capteur de liquide", "Snímač chladicí kapaliny"}, "mV"},
{{"Air sensor", "Luftsensor", "Capteur d'air", "Snímač vzduchu"}, "mV"},
{{"Fuel sensor", "Kraftstoffsensor", "Capteur d'essence", "Snímač paliva"}, "mV"},
{{"Tuning status", "Abstimmstatus", "État du réglage", "Stav ladění"}, ""},
{{"Shift light", "Schaltblitz", "Voyant de passage", "Řadicí světlo"}, ""},
{{"Unit saving", "Gerät speichert", "Sauvegarde du boîtier", "Jednotka ukládá"}, ""},
{{"Start switch in", "Starterschalter Eingang", "Entrée contacteur de démarrage", "Vstup spínače startu"}, ""},
{{"Clutch", "Kupplung", "Embrayage", "Spojka"}, ""},
{{"Neutral", "Leerlauf", "Point mort", "Neutrál"}, ""},
{{"Side stand", "Seitenständer", "Béquille latérale", "Boční stojan"}, ""},
{{"Start limiter in", "Startbegrenzer Eingang", "Entrée limiteur de départ", "Vstup omezovače startu"}, ""},
{{"Clutch master in", "Kupplungsgeber Eingang", "Entrée maître-cylindre d'embrayage", "Vstup spojkového válce"}, ""},
{{"Tacho/lambda in", "Tacho/Lambda Eingang", "Entrée compte-tours/lambda", "Vstup otáčkoměr/lambda"}, ""},
{{"Engine pin 23 in", "Motor-Pin 23 Eingang", "Entrée broche moteur 23", "Vstup pin motoru 23"}, ""},
{{"Body pin 11 in", "Fahrzeug-Pin 11 Eingang", "Entrée broche châssis 11", "Vstup pin karoserie 11"}, ""},
{{"Start switch out", "Starterschalter Ausgang", "Sortie contacteur de démarrage", "Výstup spínače startu"}, ""},
{{"Start limiter out", "Startbegrenzer Ausgang", "Sortie limiteur de départ", "Výstup omezovače startu"}, ""},
{{"Ignition limiter", "Zündbegrenzer", "Limiteur d'allumage", "Omezovač zapalování"}, ""},
{{"Injection limiter", "Einspritzbegrenzer", "Limiteur d'injection", "Omezovač vstřiku"}, ""},
{{"Retard limiter", "Spätzündungsbegrenzer", "Limiteur de retard", "Omezovač zpoždění"}, ""},
{{"Tacho out", "Tacho Ausgang", "Sortie compte-tours", "Výstup otáčkoměru"}, ""},
{{"N2O on", "N2O ein", "N2O actif", "N2O zapnuto"}, ""},
{{"Clutch master out", "Kupplungsgeber Ausgang", "Sortie maître-cylindre d'embrayage", "Výstup spojkového válce"}, ""},
{{"Base advance", "Grundzündung", "Avance de base", "Základní předstih"}, ""},
{{"Pickup signal", "Gebersignal", "Signal du capteur", "Signál snímače"}, ""},
{{"Data error", "Datenfehler", "Erreur de données", "Chyba dat"}, ""},
{{"Throttle sensor fault", "Drosselklappensensor defekt", "Défaut capteur de papillon", "Porucha snímače klapky"}, ""},
{{"Pressure sensor fault", "Drucksensor defekt", "Défaut capteur de pression", "Porucha snímače tlaku"}, ""},
{{"Oil OK", "Öl OK", "Huile OK", "Olej OK"}, ""},
{{"Lambda heater", "Lambdaheizung", "Chauffage lambda", "Ohřev lambda sondy"}, ""},
{{"Fan 1", "Lüfter 1", "Ventilateur 1", "Ventilátor 1"}, ""},
{{"Fan 2", "Lüfter 2", "Ventilateur 2", "Ventilátor 2"}, ""},
{{"Blocking out", "Sperre Ausgang", "Sortie de blocage", "Výstup blokování"}, ""},
{{"Fuel warning", "Kraftstoffwarnung", "Alerte carburant", "Varování paliva"}, ""},
{{"Tests locked", "Tests gesperrt", "Tests verrouillés", "Testy zamčeny"}, ""},
{{"Tune", "Abstimmung", "Réglage", "Nastavení"}, ""},
};
static_assert(std::size(kChannels) == kLogChannelTexts);

}  // namespace

std::string_view LogChannelName(int column, LanguageCode language) {
  if (column < 0 || column >= kLogChannelTexts) return {};
  return kChannels[column].Name[static_cast<std::size_t>(language)];
}

std::string_view LogChannelUnit(int column, LanguageCode language) {
  if (column < 0 || column >= kLogChannelTexts) return {};
  // The engine speed's unit is said in each language's own way.
  if (column == 1) return std::array<std::string_view, 4>{"rpm", "U/min", "tr/min", "ot/min"}[static_cast<std::size_t>(language)];
  return kChannels[column].Unit;
}

std::string_view LogUiText(LogText text, LanguageCode language) { return PickText(kTexts, text, language); }

}  // namespace velmor
