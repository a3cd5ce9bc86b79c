#include "editor/program_review.h"

#include "editor/document.h"

namespace velmor {

void NormaliseForComparison(ParameterImage& image) {
  Document taken(image);
  taken.NormaliseAndRefresh();
  image = taken.Image;
}

IgnReadResult LoadComparableImage(const std::string& path, const ParameterImage& base, ParameterImage& image) {
  Document file(base);
  IgnReadResult read = file.Open(path).Read;
  image = read.Loaded() ? file.Image : base;
  return read;
}

}  // namespace velmor
