#include "lang/link_texts.h"

#include <array>

#include "lang/text_table.h"

namespace velmor {
namespace {

constexpr std::array<TextRow, static_cast<int>(LinkText::Count)> kTexts{{
    {"The unit did not answer.", "Die Zündung hat nicht geantwortet.", "Le boîtier n'a pas répondu.",
     "Zapalování neodpovědělo."},
    {"The connection to the unit was lost.", "Die Verbindung zur Zündung ist abgerissen.",
     "La connexion avec le boîtier a été perdue.", "Spojení se zapalováním bylo přerušeno."},
    {"The unit's answers arrived damaged.", "Die Antworten der Zündung kamen beschädigt an.",
     "Les réponses du boîtier sont arrivées endommagées.", "Odpovědi zapalování dorazily poškozené."},
    {"Verify stopped!", "Vergleichen abgebrochen!", "Vérification interrompue !", "Verifikace přerušena!"},
    {"&Fast monitor", "&Schneller Monitor", "Moniteur &rapide", "&Rychlý monitor"},
    {"Asks the unit for monitor frames more often than the original schedule (every 55 ms instead of "
     "every 330 ms), for logs with more rows.",
     "Fragt die Zündung öfter nach Monitordaten als der ursprüngliche Zeitplan (alle 55 ms statt alle "
     "330 ms), für Protokolle mit mehr Zeilen.",
     "Demande les trames du moniteur au boîtier plus souvent que le rythme d'origine (toutes les 55 ms "
     "au lieu de 330 ms), pour des journaux plus détaillés.",
     "Žádá zapalování o data monitoru častěji než původní rozvrh (každých 55 ms místo 330 ms), pro "
     "záznamy s více řádky."},
}};

}  // namespace

std::string_view LinkCaption(LinkText text, LanguageCode language) { return PickText(kTexts, text, language); }

}  // namespace velmor
