#include "editor/program_review.h"

#include "editor/document.h"

namespace velmor {

void NormaliseForComparison(ParameterImage& image) {
  Document taken(image);
  taken.NormaliseAndRefresh();
  image = taken.Image;
}

bool LoadComparableImage(const std::string& path, const ParameterImage& base, ParameterImage& image) {
  Document file(base);
  const bool loaded = file.Open(path).Loaded();
  image = loaded ? file.Image : base;
  return loaded;
}

}  // namespace velmor
