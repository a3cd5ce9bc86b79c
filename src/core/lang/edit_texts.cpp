#include "lang/edit_texts.h"

#include <array>

#include "lang/text_table.h"

namespace velmor {
namespace {

constexpr std::array<TextRow, static_cast<int>(EditText::Count)> kTexts{{
    {"Not while the unit is being read: nothing was changed.",
     "Nicht während das Gerät gelesen wird: nichts wurde geändert.",
     "Pas pendant la lecture du boîtier : rien n'a été modifié.",
     "Ne během čtení jednotky: nic nebylo změněno."},
    {"The unit tunes this map while tuning is on: {%1 cell was left as it is.|%1 cells were left as they are.}",
     "Das Gerät stimmt dieses Kennfeld ab, solange die Abstimmung läuft: {%1 Zelle blieb unverändert.|%1 Zellen "
     "blieben unverändert.}",
     "Le boîtier ajuste cette carte pendant le réglage : {%1 cellule est restée telle quelle.|%1 cellules sont "
     "restées telles quelles.}",
     "Jednotka tuto mapu během ladění upravuje: {%1 buňka zůstala beze změny.|%1 buňky zůstaly beze změny.|%1 "
     "buněk zůstalo beze změny.}"},
    {"{%1 value has|%1 values have} changed since this was worked out: nothing was changed. Work it out again.",
     "{%1 Wert hat|%1 Werte haben} sich seither geändert: nichts wurde geändert. Bitte neu berechnen.",
     "{%1 valeur a|%1 valeurs ont} changé depuis ce calcul : rien n'a été modifié. Recalculez.",
     "{%1 hodnota se mezitím změnila|%1 hodnoty se mezitím změnily|%1 hodnot se mezitím změnilo}: nic nebylo "
     "změněno. Spočítejte to znovu."},
    {"{%1 value was kept as the unit or a later change left it.|%1 values were kept as the unit or a later change "
     "left them.}",
     "{%1 Wert blieb, wie das Gerät oder eine spätere Änderung ihn hinterließ.|%1 Werte blieben, wie das Gerät "
     "oder eine spätere Änderung sie hinterließ.}",
     "{%1 valeur a été gardée telle que le boîtier ou une modification ultérieure l'a laissée.|%1 valeurs ont été "
     "gardées telles que le boîtier ou une modification ultérieure les a laissées.}",
     "{%1 hodnota zůstala tak, jak ji zanechala jednotka nebo pozdější změna.|%1 hodnoty zůstaly tak, jak je "
     "zanechala jednotka nebo pozdější změna.|%1 hodnot zůstalo tak, jak je zanechala jednotka nebo pozdější "
     "změna.}"},
    {"The unit's configuration was adjusted on reading: %1; Program to store it",
     "Die Konfiguration des Geräts wurde beim Lesen angepasst: %1; zum Speichern programmieren",
     "La configuration du boîtier a été ajustée à la lecture : %1 ; programmez pour l'enregistrer",
     "Konfigurace jednotky byla při čtení upravena: %1; uložte ji naprogramováním"},
    {"%1 (changed)", "%1 (geändert)", "%1 (modifié)", "%1 (změněno)"},
}};

}  // namespace

std::string_view EditCaption(EditText text, LanguageCode language) { return PickText(kTexts, text, language); }

std::string EditCaption(EditText text, LanguageCode language, std::string_view fill) {
  return FillText(EditCaption(text, language), fill);
}

}  // namespace velmor
