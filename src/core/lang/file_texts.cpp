#include "lang/file_texts.h"

#include <array>

#include "lang/text_table.h"

namespace velmor {
namespace {

constexpr std::array<TextRow, static_cast<int>(FileText::Count)> kTexts{{
    {"The file is cut off: it ends inside %1, in line %2. Nothing was loaded.",
     "Die Datei ist abgeschnitten: sie endet mitten in %1, in Zeile %2. Es wurde nichts geladen.",
     "Le fichier est tronqué : il se termine au milieu de %1, à la ligne %2. Rien n'a été chargé.",
     "Soubor je useknutý: končí uprostřed %1, na řádku %2. Nic nebylo načteno."},
    {"Not in the file, so their values stay as they were or take the defaults: %1",
     "Nicht in der Datei, ihre Werte bleiben daher unverändert oder werden auf die Standardwerte gesetzt: %1",
     "Absent du fichier, leurs valeurs restent donc inchangées ou prennent les valeurs par défaut : %1",
     "V souboru chybí, jejich hodnoty proto zůstanou beze změny nebo se nastaví na výchozí: %1"},
}};

}  // namespace

std::string_view FileCaption(FileText text, LanguageCode language) { return PickText(kTexts, text, language); }

}  // namespace velmor
