#include "editor/edit.h"

#include "lang/edit_texts.h"
#include "lang/plural.h"

namespace velmor {

Edit EditBetween(const ParameterImage& before, const ParameterImage& after, int page) {
  Edit edit;
  edit.Page = page;
  AppendChangedFields(before.ParamArea().data(), after.ParamArea().data(), 0, kParamSize, edit.Changes);
  return edit;
}

std::string EditResultText(const EditResult& result, bool undo, LanguageCode language) {
  EditText text = EditText::Count;
  switch (result.Refusal) {
    case EditRefusal::Reading: text = EditText::WhileReading; break;
    case EditRefusal::TunedMap: text = EditText::TunedMap; break;
    case EditRefusal::Stale: text = EditText::Stale; break;
    case EditRefusal::None:
      if (undo && result.Count > 0) text = EditText::Kept;
      break;
  }
  if (text == EditText::Count) return {};
  return CountText(EditCaption(text, language), language, result.Count);
}

}  // namespace velmor
