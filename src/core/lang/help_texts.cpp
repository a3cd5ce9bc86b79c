#include "lang/help_texts.h"

#include <array>

#include "lang/text_table.h"

namespace velmor {
namespace {

constexpr std::array<TextRow, static_cast<int>(HelpText::Count)> kTexts{{
    {"Guide", "Anleitung", "Guide", "Příručka"},
    {"No program for PDF files opened the help document %1, so here is the guide it holds. The PDF is there to "
     "print or to open with a PDF viewer.",
     "Kein Programm für PDF-Dateien hat das Hilfedokument %1 geöffnet, daher steht hier die Anleitung, die es "
     "enthält. Das PDF liegt dort zum Drucken oder zum Öffnen mit einem PDF-Betrachter.",
     "Aucun programme pour les fichiers PDF n'a ouvert le document d'aide %1 : voici le guide qu'il contient. Le "
     "PDF s'y trouve pour l'imprimer ou l'ouvrir avec un lecteur PDF.",
     "Žádný program pro soubory PDF neotevřel dokument nápovědy %1, proto je zde příručka, kterou obsahuje. PDF tam "
     "zůstává k tisku nebo k otevření prohlížečem PDF."},
    {"Here is the guide.", "Hier ist die Anleitung.", "Voici le guide.", "Zde je příručka."},
}};

}  // namespace

std::string_view HelpCaption(HelpText text, LanguageCode language) { return PickText(kTexts, text, language); }

std::string_view GuideFileName(LanguageCode language) {
  static constexpr std::array<std::string_view, kLanguageCount> kFiles = {"guide.md", "guide.de.md", "guide.fr.md",
                                                                          "guide.cs.md"};
  const auto column = static_cast<std::size_t>(language);
  return kFiles[column < kFiles.size() ? column : 0];
}

}  // namespace velmor
