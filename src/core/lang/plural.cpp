#include "lang/plural.h"

#include <algorithm>
#include <vector>

#include "lang/text_table.h"

namespace velmor {
namespace {

// The placeholder number of the first "%N" in `text`, 0 when there is none.
int FirstPlaceholder(std::string_view text) {
  for (std::size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 1)) {
    if (at + 1 < text.size() && text[at + 1] >= '1' && text[at + 1] <= '9') return text[at + 1] - '0';
  }
  return 0;
}

std::vector<std::string_view> SplitForms(std::string_view group) {
  std::vector<std::string_view> forms;
  for (std::size_t start = 0;;) {
    const std::size_t bar = group.find('|', start);
    forms.push_back(group.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
    if (bar == std::string_view::npos) return forms;
    start = bar + 1;
  }
}

}  // namespace

PluralForm PluralFormOf(long long count, LanguageCode language) {
  const unsigned long long n = count < 0 ? 0ULL - static_cast<unsigned long long>(count)
                                         : static_cast<unsigned long long>(count);
  switch (language) {
    case LanguageCode::French:
      return n <= 1 ? PluralForm::One : PluralForm::Many;
    case LanguageCode::Czech:
      return n == 1 ? PluralForm::One : n >= 2 && n <= 4 ? PluralForm::Few : PluralForm::Many;
    default:
      return n == 1 ? PluralForm::One : PluralForm::Many;
  }
}

int PluralFormCount(LanguageCode language) { return language == LanguageCode::Czech ? 3 : 2; }

std::string Plural(std::string_view text, LanguageCode language, long long count, int placeholder) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find('{', at);
    const std::size_t close = open == std::string_view::npos ? open : text.find('}', open);
    if (close == std::string_view::npos) break;
    const std::string_view group = text.substr(open + 1, close - open - 1);
    out.append(text.substr(at, open - at));
    const std::vector<std::string_view> forms = SplitForms(group);
    if (forms.size() < 2 || FirstPlaceholder(forms.front()) != placeholder) {
      out.append(text.substr(open, close - open + 1));
    } else {
      const PluralForm form = PluralFormOf(count, language);
      const std::size_t last = forms.size() - 1;
      const std::size_t index = form == PluralForm::One ? 0 : form == PluralForm::Few ? std::min<std::size_t>(1, last) : last;
      out.append(forms[index]);
    }
    at = close + 1;
  }
  if (at < text.size()) out.append(text.substr(at));
  return out;
}

std::string CountText(std::string_view text, LanguageCode language, long long count) {
  return FillText(Plural(text, language, count), std::to_string(count));
}

}  // namespace velmor
