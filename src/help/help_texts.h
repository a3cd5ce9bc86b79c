// The user's guide in the four languages, as simple HTML.
#pragma once

#include <vector>

struct HelpDocument {
  const char* FileName;  // the name the help command opens
  const char* Title;
  const char* Html;
};

const std::vector<HelpDocument>& HelpDocuments();
