#include "editor/edit.h"

#include "lang/edit_texts.h"
#include "link/frame.h"
#include "link/output_tests.h"
#include "model/fields.h"

namespace velmor {

Edit EditBetween(const ParameterImage& before, const ParameterImage& after, EditOrigin origin, int page) {
  Edit edit;
  edit.Origin = origin;
  edit.Page = page;
  for (int n = 0; n < kParamSize; ++n) {
    if (before.P(n) == after.P(n)) continue;
    const FieldSpan span = FieldSpanAt(n);
    if (!edit.Changes.empty() && edit.Changes.back().Offset == span.Offset) continue;
    edit.Changes.push_back({static_cast<std::uint16_t>(span.Offset), static_cast<std::uint8_t>(span.Width),
                            static_cast<std::uint16_t>(SpanValue(before, span)),
                            static_cast<std::uint16_t>(SpanValue(after, span))});
  }
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
  std::string said(EditCaption(text, language));
  if (const auto at = said.find("%1"); at != std::string::npos) said.replace(at, 2, std::to_string(result.Count));
  return said;
}

int PartnerOffset(int offset) {
  constexpr int kMapDistance = kInj2Map - kInj1Map;
  constexpr int kAxisDistance = kInj2Axis - kInj1Axis;
  if (offset >= kInj1Map && offset < kInj2Map) return offset + kMapDistance;
  if (offset >= kInj2Map && offset < kInj2Map + kMapDistance) return offset - kMapDistance;
  if (offset >= kInj1Axis && offset < kInj1Axis + kMapColumns) return offset + kAxisDistance;
  if (offset >= kInj2Axis && offset < kInj2Axis + kMapColumns) return offset - kAxisDistance;
  return -1;
}

bool InTunedBlock(const ParameterImage& image, int offset) {
  const std::uint8_t channel = image.P(kTuningChannelOffset);
  const int block = BlockOfParam(offset);
  for (int second = 0; second < 2; ++second) {
    if ((TuningReadCommand(channel, static_cast<std::uint8_t>(second)) & kBlockIndexMask) == block) return true;
  }
  return false;
}

}  // namespace velmor
