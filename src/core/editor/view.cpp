#include "editor/view.h"

#include <algorithm>

#include "editor/names.h"
#include "link/output_tests.h"

namespace velmor {
namespace {

class Builder {
 public:
  explicit Builder(ViewModel& model) : model_(model) { model_.Count = 0; }

  ControlState& Add(std::string_view name) {
    if (name.empty() || model_.Count >= kViewCapacity) {
      spare_ = ControlState{};
      return spare_;
    }
    ControlState& s = model_.Controls[model_.Count++];
    s = ControlState{};
    s.Name = name;
    return s;
  }

  ControlState& Show(std::string_view name, bool visible) {
    ControlState& s = Add(name);
    s.Set |= SetVisible;
    s.Visible = visible;
    return s;
  }

 private:
  ViewModel& model_;
  ControlState spare_;
};

ControlState& Enable(ControlState& s, bool enabled) {
  s.Set |= SetEnabled;
  s.Enabled = enabled;
  return s;
}

ControlState& Check(ControlState& s, bool checked) {
  s.Set |= SetChecked;
  s.Checked = checked;
  return s;
}

ControlState& Paint(ControlState& s, ViewColour colour) {
  s.Set |= SetColour;
  s.Colour = colour;
  return s;
}

ControlState& Left(ControlState& s, int left) {
  s.Set |= SetLeft;
  s.Left = left;
  return s;
}

ControlState& Top(ControlState& s, int top) {
  s.Set |= SetTop;
  s.Top = top;
  return s;
}

ControlState& Text(ControlState& s, std::string_view text) {
  s.Set |= SetText;
  const std::size_t n = std::min(text.size(), s.TextBuffer.size());
  std::copy_n(text.data(), n, s.TextBuffer.data());
  s.TextLength = static_cast<std::uint8_t>(n);
  return s;
}

ControlState& Range(ControlState& s, int min, int max, int increment) {
  s.Set |= SetMin | SetMax | SetIncrement;
  s.Min = min;
  s.Max = max;
  s.Increment = increment;
  return s;
}

// The map editor on pages 1 to 3.
void MapView(const ParameterImage& image, const ViewInputs& in, MapViewMode mode, Builder& b) {
  using namespace map_layout;
  const int page = in.Page;
  const bool coupled = image.P(kMapModeByte) == MapModeCoupled;
  const bool same = image.P(kMapModeByte) == MapModeEqual;

  const bool tuned = UnitTunesMap(image, page, in.TuningOn);
  const bool axisSpinners = mode != MapViewMode::ReadOnly && mode != MapViewMode::TimesReadOnly;
  const bool columnButtons = !tuned && (mode == MapViewMode::Edit || mode == MapViewMode::Times);
  const bool cellEdits = mode == MapViewMode::Edit || mode == MapViewMode::ReadOnly ||
                         mode == MapViewMode::SingleRow;
  const bool cellSpinners = !tuned && (mode == MapViewMode::Edit || mode == MapViewMode::Times ||
                                       mode == MapViewMode::SingleRow);
  const bool timeLabels = mode == MapViewMode::Times || mode == MapViewMode::TimesReadOnly;
  const bool singleRow = mode == MapViewMode::SingleRow;
  const bool tools = mode == MapViewMode::Edit || mode == MapViewMode::Times || singleRow;
  const bool cellsEnabled = mode != MapViewMode::ReadOnly && !tuned;
  // Times are shown for the injection maps only; the advance map has none.
  const int timeFirstByte = page == PageInj1 ? kInj1Map : (page == PageInj2 ? kInj2Map : -1);
  const bool fillTimes = in.MsMode && timeFirstByte >= 0;

  b.Show(kLabelMapRpmName, true);
  b.Show(kMapTopBevelName, true);
  b.Show(kLabelMapTpsName, !singleRow);
  for (int j = 0; j < kMapRows; ++j) b.Show(EditorNames::TpsRowLabel(j), !singleRow);

  for (int i = 0; i < kMapColumns; ++i) {
    b.Show(EditorNames::RpmAxisEdit(i), true);
    b.Show(EditorNames::RpmAxisUpDown(i), axisSpinners);
    b.Show(EditorNames::ColumnStepButton(i), columnButtons);
  }

  // Row 9 edits the last map row; without TPS it is the only row and sits
  // where row 0 is.
  const int row9Top = (singleRow ? TpsRowLabelTop(0) : TpsRowLabelTop(kMapRows - 1)) - 3;
  for (int k = 0; k < kMapCells; ++k) {
    const int row = k / kMapColumns;
    const bool rowShown = !singleRow || row == kMapRows - 1;
    ControlState& edit = Enable(b.Show(EditorNames::MapCellEdit(k), cellEdits && rowShown), cellsEnabled);
    ControlState& spin = b.Show(EditorNames::MapCellUpDown(k), cellSpinners && rowShown);
    ControlState& label = b.Show(EditorNames::CellTimeLabel(k), timeLabels);
    if (row == kMapRows - 1) {
      Top(edit, row9Top);
      Top(spin, row9Top);
      Top(label, row9Top + kCellLabelInset);
    }
    if (fillTimes) {
      char text[8];
      const int n = FormatCellTime(image.Word(timeFirstByte + 2 * k), text);
      Text(label, std::string_view(text, static_cast<std::size_t>(n)));
    }
  }

  b.Show(kMapStepButtonName, tools);
  b.Show(kCheckBoxAllUniName, tools);
  b.Show(kCheckBoxTpsUniName, page == PageAdvance);
  b.Show(kCheckBoxMsUniName, page != PageAdvance);

  ControlState& header5 = b.Show(EditorNames::MapHeaderLabel(5), page != PageAdvance && (coupled || same));
  Text(header5, same ? kHeaderSameText : kHeaderCoupledText);
  Paint(header5, same ? ViewColour::Aqua : ViewColour::Yellow);
  for (int n = 2; n <= 4; ++n) b.Show(EditorNames::MapHeaderLabel(n), false);

  if (page == PageAdvance) {
    // Left to right on the "All" line: base advance, its caption, the two
    // cylinder corrections, their caption.
    const int extra2 = kTpsCheckBoxLeft + 70;
    const int header0 = extra2 + 55;
    const int extra0 = header0 + 165;  // room for the longest caption (Czech)
    const int extra1 = extra0 + 55;
    const int header1 = extra1 + 55;
    ControlState& h0 = Left(b.Show(EditorNames::MapHeaderLabel(0), true), header0);
    h0.Set |= SetTextKey;
    h0.TextKey = MsgKey::TxtBaseAdvance;
    ControlState& h1 = Left(b.Show(EditorNames::MapHeaderLabel(1), true), header1);
    h1.Set |= SetTextKey;
    h1.TextKey = MsgKey::TxtCylCorrection;

    const int lefts[kMapExtraCount] = {extra0, extra1, extra2};
    for (int n = 0; n < kMapExtraCount; ++n) {
      ControlState& edit = Left(b.Show(EditorNames::MapExtraEdit(n), true), lefts[n]);
      edit.Set |= SetWidth;
      edit.Width = kExtraEditWidth;
      ControlState& spin = Left(b.Show(EditorNames::MapExtraUpDown(n), true),
                                SpinnerLeft(lefts[n], kExtraEditWidth));
      if (n < 2) {
        Range(spin, -15, 15, 1);
      } else {
        spin.Set |= SetMin | SetMax;
        spin.Min = 0;
        spin.Max = 100;
      }
    }
  } else {
    b.Show(EditorNames::MapHeaderLabel(0), false);
    b.Show(EditorNames::MapHeaderLabel(1), false);
    for (int n = 0; n < kMapExtraCount; ++n) {
      b.Show(EditorNames::MapExtraEdit(n), false);
      b.Show(EditorNames::MapExtraUpDown(n), false);
    }
  }
}

void IdleView(const ParameterImage& image, Builder& b) {
  const bool servo = image.P(333) != 0;
  const bool step = image.P(333) == 1;
  const bool adv = image.P(358) != 0;
  for (std::string_view name : {"GroupBoxIdleServoPoz", "CheckBoxIdleSmerReg", "EditIdleStepPuls",
                                "UpDownIdleStepPuls", "LabelIdleStepPuls", "EditIdleStepPerioda",
                                "UpDownIdleStepPerioda", "LabelIdleStepPerioda"}) {
    b.Show(name, servo);
  }
  for (std::string_view name : {"EditIdleStart", "UpDownIdleStart", "LabelIdleStart", "EditIdleHyster",
                                "UpDownIdleHyster", "LabelIdleHyster"}) {
    b.Show(name, step);
  }
  for (std::string_view name : {"LabelIdleKorAdv", "GroupBoxIdleAdvPoz", "EditIdleAdvNaRpm",
                                "UpDownIdleAdvNaRpm", "LabelIdleAdvNaRpm", "EditIdleAdvNaCas",
                                "UpDownIdleAdvNaCas", "LabelIdleAdvNaCas", "EditIdleMaxAdv",
                                "UpDownIdleMaxAdv", "LabelIdleMaxAdv"}) {
    b.Show(name, adv);
  }
  for (std::string_view name : {"EditIdleRpmMez", "UpDownIdleRpmMez", "LabelIdleRpmMez", "EditIdleTpsMez",
                                "UpDownIdleTpsMez", "LabelIdleTpsMez"}) {
    b.Show(name, adv || step);
  }
  // The idle table holds a servo position in idle mode 0 and a desired rpm
  // otherwise.
  const int max = image.P(333) == 0 ? 100 : 12000;
  const int increment = image.P(333) == 0 ? 1 : 10;
  for (int i = 0; i < kIdleTableRows; ++i) {
    ControlState& s = b.Add(EditorNames::IdleServoPozUpDown(i));
    s.Set |= SetMax | SetIncrement;
    s.Max = max;
    s.Increment = increment;
  }
}

void NitrousView(const ParameterImage& image, Builder& b) {
  const bool gas = image.P(98) != 0;
  b.Show("GroupBoxGas", gas);
  b.Show("GroupBoxRetard", gas);
  Enable(b.Add("CheckBoxGas"), true);
}

void GearView(const ParameterImage& image, Builder& b) {
  const int s = image.P(136);
  const int n = image.P(137);
  b.Show("GroupBoxRpmSpeedProGear", s == 0);
  b.Show(EditorNames::ButtonGear(1), s == 0);
  b.Show(EditorNames::LabelGearKor(1), s != 2);
  for (int g = 2; g <= kGearCount; ++g) {
    b.Show(EditorNames::ButtonGear(g), s == 0 && n >= g);
    b.Show(EditorNames::LabelPomerRpmSpeed(g), n >= g);
    b.Show(EditorNames::LabelMonPomerRpmSpeedAuto(g), n >= g);
    b.Show(EditorNames::LabelMonGearAuto(g), n >= g);
    b.Show(EditorNames::LabelGearKor(g), s != 2 && n >= g);
  }
  // Gear 1 of the correction grid is there whenever the grid is.
  for (int row = 0; row < kGearCount; ++row) {
    const bool shown = row == 0 || n >= row + 1;
    b.Show(EditorNames::GearKorAdvEdit(row), shown);
    b.Show(EditorNames::GearKorAdvUpDown(row), shown);
    b.Show(EditorNames::GearKorJetEdit(row), shown);
    b.Show(EditorNames::GearKorJetUpDown(row), shown);
  }
  for (std::string_view name : {"EditPocetGear", "UpDownPocetGear", "LabelPocetGear", "GroupBoxGearKor"}) {
    b.Show(name, s != 2);
  }
  b.Show("GroupBoxMonAutoGear", s == 1);
  b.Show("LabelMonPomerRpmSpeed", s == 0 || s == 1);
}

void RaceView(const ParameterImage& image, Builder& b) {
  const int s = image.P(136);
  const int n = image.P(137);
  b.Show(EditorNames::LabelRaceGear(1), s != 2);
  for (int row = 0; row < kGearCount; ++row) {
    const int g = row + 1;
    const bool shown = row == 0 || (n >= g && s != 2);
    if (g >= 2) b.Show(EditorNames::LabelRaceGear(g), shown);
    for (int pair = 0; pair < kClutchPairs; ++pair) {
      b.Show(EditorNames::ClutchEdit(pair, row), shown);
      b.Show(EditorNames::ClutchUpDown(pair, row), shown);
    }
  }
}

void TuningView(const ParameterImage& image, const ViewInputs& in, Builder& b) {
  Paint(b.Add("CheckBoxLadeniPovoleno"), in.TuningOn ? ViewColour::Red : ViewColour::Normal);
  const bool points = image.P(290) == 0;
  for (std::string_view name : {"EditLadeniRpm", "UpDownLadeniRpm", "LabelLadeniRpm", "EditLadeniTps",
                                "UpDownLadeniTps", "LabelLadeniTps"}) {
    b.Show(name, points);
  }
  const bool normal = image.P(kMapModeByte) != MapModeCoupled && image.P(kMapModeByte) != MapModeEqual;
  ControlState& kanal = b.Show("UpDownLadeniKanal", normal);
  kanal.Set |= SetMax;
  kanal.Max = 2;
  b.Show("EditLadeniKanal", normal);
  b.Show("LabelLadeniKanal", normal);
  for (std::string_view name : {"GroupBoxTestJet", "ButtonTestJet1A", "ButtonTestJet2A", "ButtonTestIgn1",
                                "ButtonTestIgn2", "ButtonTestPilotLight", "ButtonTestFuelPump",
                                "ButtonTestCooling", "ButtonTestGas", "ButtonTestRpm",
                                "ButtonTestServoInPlus", "ButtonTestServoInMinus"}) {
    Enable(b.Add(name), !in.TestsLocked);
  }
  for (std::string_view name : {"ButtonTestJet3A", "ButtonTestJet4A", "ButtonTestJet1B", "ButtonTestJet2B",
                                "ButtonTestJet3B", "ButtonTestJet4B", "ButtonTestIgn3", "ButtonTestIgn4",
                                "ButtonTestServoExPlus", "ButtonTestServoExMinus"}) {
    b.Show(name, false);
  }
}

// The three colour labels split the lambda gauge at the thresholds b1 and b2
// of the scale b0..b3.
void LambdaBar(const ParameterImage& image, const ViewInputs& in, Builder& b) {
  const int b0 = image.P(322), b1 = image.P(323), b2 = image.P(324), b3 = image.P(325);
  const int left = in.LambdaGaugeLeft;
  const int width = std::max(in.LambdaGaugeWidth, 0);
  int blue = 0, green = 0;
  if (b3 > b0 && b0 <= b1 && b1 <= b2 && b2 <= b3) {
    blue = (b1 - b0) * width / (b3 - b0);
    green = (b2 - b1) * width / (b3 - b0);
  } else {
    // No proportion exists for an empty or disordered scale: equal thirds
    // keep the three colours visible until the thresholds are corrected.
    blue = width / 3;
    green = width / 3;
  }
  auto place = [&](std::string_view name, int x, int w) {
    ControlState& s = Left(b.Add(name), x);
    s.Set |= SetWidth;
    s.Width = w;
  };
  place("LabelLambdaBlue", left, blue);
  place("LabelLambdaGreen", left + blue, green);
  place("LabelLambdaRed", left + blue + green, left + width - (left + blue + green));
}

}  // namespace

const ControlState* ViewModel::Find(std::string_view name) const {
  for (const ControlState& s : States()) {
    if (s.Name == name) return &s;
  }
  return nullptr;
}

bool UnitTunesMap(const ParameterImage& image, int page, bool tuningOn) {
  if (!tuningOn) return false;
  const std::uint8_t channel = image.P(kTuningChannelOffset);
  return (page == PageInj1 && channel <= 1) || (page == PageInj2 && channel == 2);
}

MapViewMode ComputeMapViewMode(const ParameterImage& image, int page, bool msMode) {
  const bool coupled = image.P(kMapModeByte) == MapModeCoupled;
  switch (page) {
    case PageAdvance:
      return image.P(42) != 0 ? MapViewMode::Edit : MapViewMode::SingleRow;
    case PageInj1:
      return msMode ? MapViewMode::Times : MapViewMode::Edit;
    case PageInj2:
      if (msMode) return coupled ? MapViewMode::TimesReadOnly : MapViewMode::Times;
      return coupled ? MapViewMode::ReadOnly : MapViewMode::Edit;
    default:
      return MapViewMode::None;
  }
}

int FormatCellTime(std::uint16_t word, char* out) {
  // Integer formatting of word / 1000 with three decimals: exact, unlike a
  // round trip through a double, and never shorter than "0.000".
  int n = 0;
  char whole[8];
  int w = 0;
  unsigned value = word / 1000u;
  do {
    whole[w++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (w > 0) out[n++] = whole[--w];
  const unsigned frac = word % 1000u;
  out[n++] = '.';
  out[n++] = static_cast<char>('0' + frac / 100);
  out[n++] = static_cast<char>('0' + frac / 10 % 10);
  out[n++] = static_cast<char>('0' + frac % 10);
  out[n++] = ' ';
  return n;
}

void RefreshView(const ParameterImage& image, const ViewInputs& inputs, ViewModel& out) {
  Builder b(out);
  const int page = inputs.Page;
  out.Mode = ComputeMapViewMode(image, page, inputs.MsMode);

  switch (page) {
    case PageAdvance:
    case PageInj1:
    case PageInj2:
      MapView(image, inputs, out.Mode, b);
      break;
    case PageIdle:
      IdleView(image, b);
      break;
    case PageN2O:
      NitrousView(image, b);
      break;
    case PageGear:
      GearView(image, b);
      break;
    case PageRace:
      RaceView(image, b);
      break;
    case PageTuning:
      TuningView(image, inputs, b);
      break;
    default:
      break;
  }

  const std::uint8_t mode = image.P(kMapModeByte);
  const bool coupled = mode == MapModeCoupled;
  const bool same = mode == MapModeEqual;
  Check(b.Add("Menu_Jet123Normal"), !coupled && !same);
  Check(b.Add("Menu_Jet123Coupled"), coupled);
  Check(b.Add("Menu_Jet123Stejny"), same);
  b.Show(kTabSheetInj2AName, !same);
  // Decided on every page, so leaving a coupled injection page enables the
  // page-scoped New and Open again.
  const bool pageCommands = !(coupled && (page == PageInj1 || page == PageInj2));
  Enable(b.Add("MenuNewActPage"), pageCommands);
  Enable(b.Add("MenuOpenActPage"), pageCommands);
  // While a log plays its frames, nothing would reach the unit: its
  // commands wait until the playback stops.
  for (std::string_view name : {"MenuRead", "ButtonRead", "MenuVerify", "ButtonVerify", "MenuProgram",
                                "ButtonProgram", "MenuCompareUnit", "CheckBoxProgHned"})
    Enable(b.Add(name), !inputs.PlayingLog);
  LambdaBar(image, inputs, b);
}

namespace {

constexpr std::string_view kPrintHidden[] = {
    "StatusBar1",          "GroupBoxToolBar",     "LabelSpojeni",        "LabelLambdaBlue",
    "LabelLambdaGreen",    "LabelLambdaRed",      "CheckBoxExtMonitor",  "CGaugeRpm",
    "CGaugeTps",           "CGaugeLambda",        "CGaugeVoda",          "CSpinButtonPolohaA",
    "CheckBoxAll_PolohaA", "UpDownStartJet",      "UpDownAkcelPrah",     "UpDownAkcelJet",
    "UpDownTps0",          "UpDownTps100",        "ButtonTps0",          "ButtonTps100",
    "UpDownFan1",          "UpDownFan2",          "UpDownGas1",          "UpDownGas2",
    "UpDownGasD",          "UpDownGasT",          "UpDownRetard1",       "UpDownRetard2",
    "UpDownRetardD",       "UpDownRetardT",       "UpDownSyticCas1",     "UpDownSyticCas2",
    "UpDownSyticCas3",     "UpDownSyticCas4",     "UpDownSyticKorekce0", "UpDownSyticKorekce1",
    "UpDownSyticKorekce2", "UpDownSyticKorekce3",
    // The map editor's switches and step buttons.
    "CheckBoxAll_Uni",     "CheckBoxTps_Uni",     "CheckBoxZobrMs_Uni",  "MapStepButton",
};
// Whole families: the map editor's spinners and column steps, the spinners
// of the position and correction grids.
constexpr std::string_view kPrintHiddenStems[] = {
    "UpDownRpmAxisField", "UpDownMapCell", "UpDownMapExtra", "ColumnStepButton",
    "UpDownPolohaA",      "UpDownKorVoda", "UpDownKorVzduch",
};

}  // namespace

bool HiddenWhenPrinting(std::string_view name) {
  for (std::string_view n : kPrintHidden) {
    if (name == n) return true;
  }
  for (std::string_view stem : kPrintHiddenStems) {
    if (name.starts_with(stem)) return true;
  }
  return false;
}

}  // namespace velmor
