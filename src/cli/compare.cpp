#include "compare.h"

#include <cstdio>

#include "editor/compare.h"

namespace velmor::cli {

std::vector<std::string> DiffImages(const ParameterImage& a, const DerivedTables& tablesA,
                                    const ParameterImage& b, const DerivedTables& tablesB) {
  std::vector<std::string> lines;
  for (const ImageDifference& d : velmor::DiffImages(a, tablesA, b, tablesB)) lines.push_back(d.Line());
  return lines;
}

std::string HexDump(const ParameterImage& image) {
  std::string out;
  char buffer[8];
  for (int row = 0; row < kParamSize; row += 16) {
    std::snprintf(buffer, sizeof buffer, "%04x", row);
    out += buffer;
    for (int n = row; n < row + 16 && n < kParamSize; ++n) {
      std::snprintf(buffer, sizeof buffer, " %02x", image.P(n));
      out += buffer;
    }
    out += '\n';
  }
  return out;
}

}  // namespace velmor::cli
