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
    {"{%1 cell has changed since this log was recorded and is left out.|%1 cells have changed since this log was "
     "recorded and are left out.}",
     "{%1 Zelle wurde seit der Aufzeichnung geändert und bleibt außen vor.|%1 Zellen wurden seit der Aufzeichnung "
     "geändert und bleiben außen vor.}",
     "{%1 cellule a changé depuis l'enregistrement de ce journal et est laissée de côté.|%1 cellules ont changé "
     "depuis l'enregistrement de ce journal et sont laissées de côté.}",
     "{%1 buňka se od pořízení záznamu změnila a vynechává se.|%1 buňky se od pořízení záznamu změnily a "
     "vynechávají se.|%1 buněk se od pořízení záznamu změnilo a vynechávají se.}"},
    {" (changed since this log was recorded: now %1 %)", " (seit der Aufzeichnung geändert: jetzt %1 %)",
     " (modifiée depuis l'enregistrement : actuel %1 %)", " (od pořízení záznamu změněno: nyní %1 %)"},
}};

}  // namespace

std::string_view LogUiText(LogText text, LanguageCode language) { return PickText(kTexts, text, language); }

}  // namespace velmor
