#include "lang/map_edit_texts.h"

#include <array>

#include "lang/text_table.h"

namespace velmor {
namespace {


constexpr std::array<TextRow, static_cast<int>(MapEditText::Count)> kTexts{{
    {"Set selection to...", "Auswahl setzen auf...", "Fixer la sélection à...", "Nastavit výběr na..."},
    {"Add to selection...", "Zur Auswahl addieren...", "Ajouter à la sélection...", "Přičíst k výběru..."},
    {"Increase by one step", "Um einen Schritt erhöhen", "Augmenter d'un pas", "Zvýšit o jeden krok"},
    {"Decrease by one step", "Um einen Schritt verringern", "Diminuer d'un pas", "Snížit o jeden krok"},
    {"Scale by percent...", "Prozentual skalieren...", "Multiplier en pourcent...", "Násobit v procentech..."},
    {"Interpolate horizontally", "Horizontal interpolieren", "Interpoler horizontalement", "Interpolovat vodorovně"},
    {"Interpolate vertically", "Vertikal interpolieren", "Interpoler verticalement", "Interpolovat svisle"},
    {"Interpolate both ways", "In beide Richtungen interpolieren", "Interpoler dans les deux sens",
     "Interpolovat oběma směry"},
    {"Smooth", "Glätten", "Lisser", "Vyhladit"},
    {"Copy", "Kopieren", "Copier", "Kopírovat"},
    {"Paste", "Einfügen", "Coller", "Vložit"},
    {"Heat colours", "Farbskala", "Couleurs de chaleur", "Barevná škála"},
    {"New value of the selected cells:", "Neuer Wert der gewählten Zellen:", "Nouvelle valeur des cellules choisies :",
     "Nová hodnota vybraných buněk:"},
    {"Add to the selected cells:", "Zu den gewählten Zellen addieren:", "Ajouter aux cellules choisies :",
     "Přičíst k vybraným buňkám:"},
    {"Scale the selected cells by (%):", "Gewählte Zellen skalieren um (%):", "Multiplier les cellules choisies par (%) :",
     "Násobit vybrané buňky (%):"},
    {"The clipboard does not hold numbers (\"%1\"). Nothing was changed.",
     "Die Zwischenablage enthält keine Zahlen (\"%1\"). Nichts wurde geändert.",
     "Le presse-papiers ne contient pas de nombres (\"%1\"). Rien n'a été modifié.",
     "Schránka neobsahuje čísla (\"%1\"). Nic nebylo změněno."},
    {"The pasted block is larger than the map; only {%1 x %2 cell was|%1 x %2 cells were} pasted.",
     "Der eingefügte Block ist größer als das Kennfeld; nur {%1 x %2 Zelle wurde|%1 x %2 Zellen wurden} eingefügt.",
     "Le bloc collé dépasse la carte ; {seule %1 x %2 cellule a été collée.|seules %1 x %2 cellules ont été "
     "collées.}",
     "Vložený blok je větší než mapa; {vložena byla jen %1 x %2 buňka.|vloženy byly jen %1 x %2 buňky.|vloženo "
     "bylo jen %1 x %2 buněk.}"},
    {"Map 2 follows map 1 in this mode; edit Inj. 1 instead.",
     "Kennfeld 2 folgt in diesem Modus Kennfeld 1; bitte Inj. 1 bearbeiten.",
     "La carte 2 suit la carte 1 dans ce mode ; modifiez Inj. 1.",
     "Mapa 2 v tomto režimu sleduje mapu 1; upravte Inj. 1."},
    {"3D view", "3D-Ansicht", "Vue 3D", "3D pohled"},
    {"The 3D view needs OpenGL, which cannot be used here (%1). The maps are edited as before.",
     "Die 3D-Ansicht braucht OpenGL, das hier nicht nutzbar ist (%1). Die Kennfelder werden wie bisher bearbeitet.",
     "La vue 3D nécessite OpenGL, inutilisable ici (%1). Les cartes se modifient comme avant.",
     "3D pohled potřebuje OpenGL, které zde nelze použít (%1). Mapy se upravují jako dosud."},
    {"%1 is outside this map's range of %2 to %3. Nothing was changed.",
     "%1 liegt außerhalb des Bereichs dieses Kennfelds von %2 bis %3. Nichts wurde geändert.",
     "%1 est hors de la plage de cette carte, de %2 à %3. Rien n'a été modifié.",
     "%1 je mimo rozsah této mapy %2 až %3. Nic nebylo změněno."},
    {"\"%1\" could be a thousand or a decimal: write it without the comma, or with a point for a decimal. "
     "Nothing was changed.",
     "\"%1\" kann eine Tausenderzahl oder ein Dezimalwert sein: ohne Komma schreiben, oder mit Punkt für "
     "Dezimalstellen. Nichts wurde geändert.",
     "« %1 » peut être un millier ou un décimal : écrivez-le sans virgule, ou avec un point pour un décimal. "
     "Rien n'a été modifié.",
     "„%1“ může být tisícovka i desetinné číslo: napište ho bez čárky, nebo s tečkou pro desetinné místo. "
     "Nic nebylo změněno."},
    {"VELMOR_NO_3D is set", "VELMOR_NO_3D ist gesetzt", "VELMOR_NO_3D est défini", "VELMOR_NO_3D je nastaveno"},
    {"the offscreen platform draws no 3D", "die Offscreen-Plattform zeichnet kein 3D",
     "la plateforme offscreen ne dessine pas en 3D", "platforma offscreen nekreslí 3D"},
    {"no OpenGL context on the %1 platform", "kein OpenGL-Kontext auf der Plattform %1",
     "aucun contexte OpenGL sur la plateforme %1", "na platformě %1 není kontext OpenGL"},
    {"the OpenGL context cannot be used", "der OpenGL-Kontext ist nicht nutzbar",
     "le contexte OpenGL est inutilisable", "kontext OpenGL nelze použít"},
}};

}  // namespace

std::string_view MapEditCaption(MapEditText text, LanguageCode language) { return PickText(kTexts, text, language); }

}  // namespace velmor
