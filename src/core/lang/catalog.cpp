#include "lang/catalog.h"

namespace velmor {

// Filled in with the full table of texts.
std::string CatalogText(MsgKey, LanguageCode) { return {}; }

}  // namespace velmor
