#include "lang/port_texts.h"

#include <array>

#include "lang/text_table.h"

namespace velmor {
namespace {

constexpr std::array<TextRow, static_cast<int>(PortText::Count)> kTexts{{
    {"Port diagnostics...", "Anschlussdiagnose...", "Diagnostic du port...", "Diagnostika portu..."},
    {"Port diagnostics", "Anschlussdiagnose", "Diagnostic du port", "Diagnostika portu"},
    {"Which device each port opens, why it does not open and how to fix it. The check only reads; it "
     "changes nothing on this computer.",
     "Welches Gerät jeder Anschluss öffnet, warum er sich nicht öffnet und wie man es behebt. Die Prüfung "
     "liest nur; sie ändert nichts an diesem Rechner.",
     "Le périphérique ouvert par chaque port, pourquoi il ne s'ouvre pas et comment y remédier. La "
     "vérification ne fait que lire ; elle ne modifie rien sur cet ordinateur.",
     "Které zařízení každý port otevírá, proč se neotevře a jak to napravit. Kontrola jen čte; na tomto "
     "počítači nic nemění."},
    {"Port:", "Anschluss:", "Port :", "Port:"},
    {"All ports", "Alle Anschlüsse", "Tous les ports", "Všechny porty"},
    {"Check again", "Erneut prüfen", "Vérifier à nouveau", "Zkontrolovat znovu"},
    {"Close", "Schließen", "Fermer", "Zavřít"},
    {"Diagnose...", "Diagnose...", "Diagnostiquer...", "Diagnostika..."},
    {"The port did not open: show why and how to fix it", "Der Anschluss öffnet sich nicht: zeigen, warum und wie man es behebt",
     "Le port ne s'ouvre pas : montrer pourquoi et comment y remédier", "Port se neotevřel: ukázat proč a jak to napravit"},
}};

}  // namespace

std::string_view PortCaption(PortText text, LanguageCode language) { return PickText(kTexts, text, language); }

}  // namespace velmor
