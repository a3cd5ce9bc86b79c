#include "editor/operating_point.h"

#include "editor/names.h"

namespace velmor {
namespace {

// Lights index `lit` of the group [first, first + count) and puts the rest
// of the group to plain; lit = -1 leaves the whole group plain.
void Group(HighlightSet& out, int first, int count, int lit) {
  for (int i = 0; i < count; ++i) {
    out.Managed.Set(first + i, true);
    out.Lit.Set(first + i, i == lit);
  }
}

int AxisOfPage(int page) {
  switch (page) {
    case PageAdvance: return kAdvanceAxis;
    case PageInj1: return kInj1Axis;
    default: return kInj2Axis;
  }
}

void MapPage(const ParameterImage& image, int page, bool msMode, const EngineReading& live,
             OperatingPoint& point, HighlightSet& out) {
  const int column = LocateRpm(image, AxisOfPage(page), live.Rpm);
  const int tpsRow = LocateTpsRow(live.TpsPercent);
  // Without TPS the advance map uses its last row whatever the throttle says.
  const int row = page == PageAdvance && image.P(42) == 0 ? kMapRows - 1 : tpsRow;
  point.Column = column;
  point.Row = row;

  const bool running = live.Rpm != 0;
  const int cell = running ? MapCell(row, column) : -1;
  Group(out, HlMapCell, kMapCells, cell);
  if (msMode) Group(out, HlCellTimeLabel, kMapCells, cell);
  Group(out, HlRpmAxis, kMapColumns, running ? column : -1);
  Group(out, HlTpsRowLabel, kMapRows, tpsRow);
}

int GearRow(std::uint8_t gear) { return gear >= 1 && gear <= kGearCount ? gear - 1 : -1; }

}  // namespace

int LocateRpm(const ParameterImage& image, int axisOffset, std::uint16_t rpm) {
  const int twice = 2 * static_cast<int>(rpm);
  for (int i = 0; i < kMapColumns - 1; ++i) {
    if (twice < (image.P(axisOffset + i) + image.P(axisOffset + i + 1)) * 100) return i;
  }
  return kMapColumns - 1;
}

int LocateTpsRow(std::uint16_t tpsPercent) {
  const int twice = 2 * static_cast<int>(tpsPercent);
  for (int j = 0; j < kMapRows - 1; ++j) {
    if (twice < kTpsRows[j] + kTpsRows[j + 1]) return j;
  }
  return kMapRows - 1;
}

int LocateTemperature(std::uint16_t raw, int faultIndex) {
  if (raw == 0) return faultIndex;
  for (int i = 0; i < kTemp5Count; ++i) {
    if (raw < 105 + 30 * i) return i;
  }
  return -1;
}

int LocateStartTime(const ParameterImage& image, std::uint16_t startTime) {
  const int twice = 2 * static_cast<int>(startTime);
  if (twice <= image.P(67) * 10) return 0;
  for (int k = 0; k < 3; ++k) {
    if (twice < (image.P(67 + k) + image.P(68 + k)) * 10) return k + 1;
  }
  return 4;
}

void ShowOperatingPoint(const ParameterImage& image, int page, bool msMode, const EngineReading& live,
                        OperatingPoint& point, HighlightSet& out) {
  out = HighlightSet{};
  switch (page) {
    case PageAdvance:
    case PageInj1:
    case PageInj2:
      MapPage(image, page, msMode, live, point, out);
      break;
    case PagePosition: {
      // Lit also at 0 rpm: the position step acts on this column regardless.
      const int i = LocateRpm(image, kPositionAxis, live.Rpm);
      point.PositionIndex = i;
      Group(out, HlPositionRpm, kMapColumns, i);
      Group(out, HlPosition, kMapColumns, i);
      break;
    }
    case PageCorrections: {
      const int coolant = LocateTemperature(live.CoolantRaw, 3);
      Group(out, HlInjectionByCoolant, kTemp5Count, coolant);
      Group(out, HlAdvanceByCoolant, kTemp5Count, coolant);
      Group(out, HlInjectionByAir, kTemp5Count, LocateTemperature(live.AirRaw, 2));
      const int start = LocateStartTime(image, live.StartTime);
      Group(out, HlAfterStartTime, kTemp5Count, start);
      Group(out, HlAfterStartCorrection, kTemp5Count, start);
      break;
    }
    case PageGear: {
      const int row = GearRow(live.Gear);
      const int s = image.P(136);
      if (s == 0) {
        Group(out, HlRpmSpeedPerGear, kGearCount, row);
        Group(out, HlLabelRpmSpeedRatio, kGearCount, row);
        Group(out, HlButtonGear, kGearCount, row);
      } else if (s == 1) {
        Group(out, HlLabelMonRpmSpeedRatioAuto, kGearCount, row);
        Group(out, HlLabelMonGearAuto, kGearCount, row);
      }
      Group(out, HlGearAdvanceCorrection, kGearCount, row);
      Group(out, HlGearInjectionCorrection, kGearCount, row);
      Group(out, HlLabelGearCorrection, kGearCount, row);
      break;
    }
    case PageRace: {
      const int row = GearRow(live.Gear);
      for (int pair = 0; pair < kClutchPairs; ++pair) Group(out, HlClutch + 6 * pair, kGearCount, row);
      Group(out, HlLabelRaceGear, kGearCount, row);
      break;
    }
    default:
      break;
  }
  // Without a unit nothing is the engine's operating point: the page's
  // controls are put back to their own colours.
  if (live.ConnectionLost) out.Lit = {};
}

std::string_view HighlightName(int id) {
  auto in = [id](int first, int count) { return id >= first && id < first + count; };
  if (in(HlMapCell, kMapCells)) return EditorNames::MapCellEdit(id - HlMapCell);
  if (in(HlCellTimeLabel, kMapCells)) return EditorNames::CellTimeLabel(id - HlCellTimeLabel);
  if (in(HlRpmAxis, kMapColumns)) return EditorNames::RpmAxisEdit(id - HlRpmAxis);
  if (in(HlTpsRowLabel, kMapRows)) return EditorNames::TpsRowLabel(id - HlTpsRowLabel);
  if (in(HlPositionRpm, kMapColumns)) return EditorNames::PolohaARpmEdit(id - HlPositionRpm);
  if (in(HlPosition, kMapColumns)) return EditorNames::PolohaAPozEdit(id - HlPosition);
  if (in(HlInjectionByCoolant, 5)) return EditorNames::KorVodaEdit(id - HlInjectionByCoolant);
  if (in(HlAdvanceByCoolant, 5)) return EditorNames::IgnVodaEdit(id - HlAdvanceByCoolant);
  if (in(HlInjectionByAir, 5)) return EditorNames::KorVzduchEdit(id - HlInjectionByAir);
  if (in(HlAfterStartTime, 5)) return EditorNames::SyticCasCell(id - HlAfterStartTime);
  if (in(HlAfterStartCorrection, 5)) return EditorNames::SyticKorekceCell(id - HlAfterStartCorrection);
  if (in(HlRpmSpeedPerGear, 6)) return EditorNames::RpmSpeedProGearEdit(id - HlRpmSpeedPerGear);
  if (in(HlLabelRpmSpeedRatio, 6)) return EditorNames::LabelPomerRpmSpeed(id - HlLabelRpmSpeedRatio + 1);
  if (in(HlButtonGear, 6)) return EditorNames::ButtonGear(id - HlButtonGear + 1);
  if (in(HlLabelMonRpmSpeedRatioAuto, 6)) {
    return EditorNames::LabelMonPomerRpmSpeedAuto(id - HlLabelMonRpmSpeedRatioAuto + 1);
  }
  if (in(HlLabelMonGearAuto, 6)) return EditorNames::LabelMonGearAuto(id - HlLabelMonGearAuto + 1);
  if (in(HlGearAdvanceCorrection, 6)) return EditorNames::GearKorAdvEdit(id - HlGearAdvanceCorrection);
  if (in(HlGearInjectionCorrection, 6)) return EditorNames::GearKorJetEdit(id - HlGearInjectionCorrection);
  if (in(HlLabelGearCorrection, 6)) return EditorNames::LabelGearKor(id - HlLabelGearCorrection + 1);
  if (in(HlClutch, 24)) return EditorNames::ClutchEdit((id - HlClutch) / 6, (id - HlClutch) % 6);
  if (in(HlLabelRaceGear, 6)) return EditorNames::LabelRaceGear(id - HlLabelRaceGear + 1);
  return {};
}

HighlightKind HighlightKindOf(int id) {
  if (id >= HlButtonGear && id < HlButtonGear + 6) return HighlightKind::BoldCaption;
  const std::string_view name = HighlightName(id);
  return name.starts_with("Edit") ? HighlightKind::Edit : HighlightKind::Label;
}

}  // namespace velmor
