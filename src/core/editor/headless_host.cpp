#include "editor/headless_host.h"

namespace velmor {

void HeadlessHost::ShowMessage(std::string_view text, std::string_view detail) {
  LastMessage = std::string(text);
  if (OnMessage) OnMessage(text, detail);
}

}  // namespace velmor
