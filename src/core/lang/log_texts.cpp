#include "lang/log_texts.h"

#include <array>

namespace velmor {
namespace {

using Row = std::array<std::string_view, kLanguageCount>;
constexpr std::array<Row, static_cast<int>(LogText::Count)> kTexts{{
    {"&Log", "&Protokoll", "&Journal", "&Záznam"},
    {"&Record", "&Aufzeichnen", "&Enregistrer", "&Nahrávat"},
    {"&Stop", "&Stopp", "&Arrêter", "&Zastavit"},
    {"Record a log of the monitor", "Monitor als Protokoll aufzeichnen", "Enregistrer le moniteur dans un journal",
     "Nahrávat záznam monitoru"},
    {"REC %1  %2 rows", "REC %1  %2 Zeilen", "REC %1  %2 lignes", "REC %1  %2 řádků"},
    {"Log saved: %1", "Protokoll gespeichert: %1", "Journal enregistré : %1", "Záznam uložen: %1"},
    {"Cannot record the log: %1", "Protokoll kann nicht geschrieben werden: %1",
     "Impossible d'enregistrer le journal : %1", "Záznam nelze zapsat: %1"},
}};

}  // namespace

std::string_view LogUiText(LogText text, LanguageCode language) {
  const int l = static_cast<int>(language);
  return kTexts[static_cast<int>(text)][l >= 0 && l < kLanguageCount ? l : 0];
}

}  // namespace velmor
