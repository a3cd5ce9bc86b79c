#include "lang/history_texts.h"

#include <array>

#include "lang/text_table.h"

namespace velmor {
namespace {


constexpr std::array<TextRow, static_cast<int>(HistoryText::Count)> kTexts{{
    {"History...", "Historie...", "Historique...", "Historie..."},
    {"Compare with file...", "Mit Datei vergleichen...", "Comparer avec un fichier...", "Porovnat se souborem..."},
    {"Compare with the ignition...", "Mit der Zündung vergleichen...", "Comparer avec le boîtier...",
     "Porovnat se zapalováním..."},
    {"Review changes before programming", "Änderungen vor dem Programmieren zeigen",
     "Revoir les modifications avant de programmer", "Zobrazit změny před programováním"},
    {"History", "Historie", "Historique", "Historie"},
    {"Images read from and programmed into units, kept in %1 (the newest %2).",
     "Aus Zündungen gelesene und in sie programmierte Daten, abgelegt in %1 (die neuesten %2).",
     "Données lues dans les boîtiers et programmées dans ceux-ci, gardées dans %1 (les %2 plus récentes).",
     "Data načtená ze zapalování a do něj naprogramovaná, uložená v %1 (nejnovějších %2)."},
    {"Time", "Zeit", "Heure", "Čas"},
    {"Kind", "Art", "Type", "Druh"},
    {"Unit", "Zündung", "Boîtier", "Zapalování"},
    {"Note", "Notiz", "Note", "Poznámka"},
    {"read", "gelesen", "lu", "čtení"},
    {"program", "programmiert", "programmé", "programování"},
    {"Open", "Öffnen", "Ouvrir", "Otevřít"},
    {"Compare", "Vergleichen", "Comparer", "Porovnat"},
    {"Close", "Schließen", "Fermer", "Zavřít"},
    {"Compare with %1", "Vergleich mit %1", "Comparaison avec %1", "Porovnání: %1"},
    {"No differences.", "Keine Unterschiede.", "Aucune différence.", "Žádné rozdíly."},
    {"{%1 difference|%1 differences}; the chosen ones are applied.",
     "{%1 Unterschied|%1 Unterschiede}; die gewählten werden übernommen.",
     "{%1 différence ; celle qui est cochée est appliquée.|%1 différences ; celles qui sont cochées sont "
     "appliquées.}",
     "{%1 rozdíl|%1 rozdíly|%1 rozdílů}; převezmou se vybrané."},
    {"Inj. 2 follows Inj. 1 ( 1 = 2): its {%1 difference is|%1 differences are} not listed.",
     "Einsp. 2 folgt Einsp. 1 ( 1 = 2): {sein %1 Unterschied ist|seine %1 Unterschiede sind} nicht aufgeführt.",
     "Inj. 2 suit Inj. 1 ( 1 = 2) : {sa %1 différence n'est pas listée.|ses %1 différences ne sont pas listées.}",
     "Vstřik 2 sleduje Vstřik 1 ( 1 = 2): {jeho %1 rozdíl není uveden.|jeho %1 rozdíly nejsou uvedeny.|jeho %1 "
     "rozdílů není uvedeno.}"},
    {"Apply", "Übernehmen", "Appliquer", "Převzít"},
    {"Take the chosen values into the editor as one change",
     "Die gewählten Werte als eine Änderung in den Editor übernehmen",
     "Reprendre les valeurs cochées dans l'éditeur en une seule modification",
     "Převzít vybrané hodnoty do editoru jako jednu změnu"},
    {"Field", "Feld", "Champ", "Položka"},
    {"Editor", "Editor", "Éditeur", "Editor"},
    {"Fields", "Felder", "Champs", "Položky"},
    {"%1 ({%2 cell|%2 cells})", "%1 ({%2 Zelle|%2 Zellen})", "%1 ({%2 cellule|%2 cellules})",
     "%1 ({%2 buňka|%2 buňky|%2 buněk})"},
    {"the ignition", "der Zündung", "le boîtier", "zapalování"},
    {"Nothing to compare: %1 holds no parameters", "Nichts zu vergleichen: %1 enthält keine Parameter",
     "Rien à comparer : %1 ne contient aucun paramètre", "Není s čím porovnat: %1 neobsahuje parametry"},
    {"Not kept in the history: %1", "Nicht in der Historie abgelegt: %1", "Non gardé dans l'historique : %1",
     "Neuloženo do historie: %1"},
    {"No copy of the unit's previous tune in the history", "Keine Kopie der vorigen Abstimmung der Zündung in der Historie",
     "Aucune copie du réglage précédent du boîtier dans l'historique",
     "V historii není kopie předchozího nastavení zapalování"},
    {"The ignition could not be read for the comparison", "Die Zündung konnte für den Vergleich nicht gelesen werden",
     "Le boîtier n'a pas pu être lu pour la comparaison", "Zapalování se pro porovnání nepodařilo načíst"},
    {"The ignition is busy with a transfer; compare again when it has ended",
     "Die Zündung ist mit einer Übertragung beschäftigt; nach deren Ende erneut vergleichen",
     "Le boîtier est occupé par un transfert ; comparez à nouveau quand il sera terminé",
     "Zapalování právě přenáší data; porovnejte znovu po skončení přenosu"},
    {"Review changes before programming", "Änderungen vor dem Programmieren",
     "Modifications avant de programmer", "Změny před programováním"},
    {"Compared with what %1 holds, read from it just now.",
     "Verglichen mit dem Inhalt von %1, soeben aus ihr gelesen.",
     "Comparé au contenu de %1, lu à l'instant dans le boîtier.",
     "Porovnáno s obsahem %1, právě z něj načteným."},
    {"The ignition could not be read for the review; nothing was programmed",
     "Die Zündung konnte für die Übersicht nicht gelesen werden; nichts wurde programmiert",
     "Le boîtier n'a pas pu être lu pour la revue ; rien n'a été programmé",
     "Zapalování se pro přehled změn nepodařilo načíst; nic nebylo naprogramováno"},
    {"No changes: the ignition already holds these values.", "Keine Änderungen: die Zündung enthält diese Werte bereits.",
     "Aucune modification : le boîtier contient déjà ces valeurs.", "Žádné změny: zapalování už tyto hodnoty obsahuje."},
    {"{%1 value will change.|%1 values will change.}", "{%1 Wert wird geändert.|%1 Werte werden geändert.}",
     "{%1 valeur sera modifiée.|%1 valeurs seront modifiées.}",
     "{Změní se %1 hodnota.|Změní se %1 hodnoty.|Změní se %1 hodnot.}"},
    {"Program", "Programmieren", "Programmer", "Programovat"},
    {"Cancel", "Abbrechen", "Annuler", "Zrušit"},
    {"In the ignition", "In der Zündung", "Dans le boîtier", "V zapalování"},
    {"After programming", "Nach dem Programmieren", "Après programmation", "Po naprogramování"},
    {"In each coloured cell: top – %1, bottom – %2.", "In jeder farbigen Zelle: oben – %1, unten – %2.",
     "Dans chaque cellule colorée : en haut – %1, en bas – %2.", "V každé barevné buňce: nahoře – %1, dole – %2."},
    {"Space ticks or unticks the selected cells.", "Leertaste setzt oder löscht die Haken der gewählten Zellen.",
     "Espace coche ou décoche les cellules sélectionnées.", "Mezerník zaškrtne nebo odškrtne vybrané buňky."},
    {"Tick all", "Alle ankreuzen", "Tout cocher", "Zaškrtnout vše"},
    {"Untick all", "Keine ankreuzen", "Tout décocher", "Odškrtnout vše"},
}};

}  // namespace

std::string_view HistoryCaption(HistoryText text, LanguageCode language) { return PickText(kTexts, text, language); }

}  // namespace velmor
