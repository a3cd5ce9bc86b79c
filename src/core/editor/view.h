// What the editor pages show for the configuration in the image: the map
// editor's view mode, the controls each page hides or disables, the header
// labels, the injection-map mode marks and the lambda bar. `RefreshView`
// computes it as a list of control states keyed by object name; the window
// applies each entry to the control of that name and changes nothing else.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "lang/catalog.h"
#include "link/monitor.h"
#include "model/image.h"

namespace velmor {

// The rules paint with the live display's colours: Normal is the button-face
// colour (labels, buttons, check boxes), Window the edit-field background.
using ViewColour = Colour;

// How the map editor shows the map of the page.
enum class MapViewMode : std::uint8_t {
  None = 0,           // not a map page
  Edit = 1,           // cells edited in place
  ReadOnly = 2,       // map 2 follows map 1: cells shown, disabled
  Times = 3,          // injection times over the cells, spinners still step them
  TimesReadOnly = 4,  // times, nothing editable
  SingleRow = 5,      // advance without TPS: only row 9, moved to the top
};

// Which members of a ControlState the window must apply.
enum ControlProperty : std::uint16_t {
  SetVisible = 1u << 0,
  SetEnabled = 1u << 1,
  SetChecked = 1u << 2,
  SetText = 1u << 3,     // literal text: Text()
  SetTextKey = 1u << 4,  // catalog text of TextKey in the current language
  SetColour = 1u << 5,   // background colour
  SetLeft = 1u << 6,
  SetTop = 1u << 7,
  SetWidth = 1u << 8,
  SetMin = 1u << 9,      // spinner range and step
  SetMax = 1u << 10,
  SetIncrement = 1u << 11,
};

struct ControlState {
  std::string_view Name;
  std::uint16_t Set = 0;
  bool Visible = false;
  bool Enabled = false;
  bool Checked = false;
  ViewColour Colour = ViewColour::Normal;
  MsgKey TextKey = MsgKey::Count;
  int Left = 0, Top = 0, Width = 0;
  int Min = 0, Max = 0, Increment = 0;
  std::array<char, 15> TextBuffer{};
  std::uint8_t TextLength = 0;

  bool Has(ControlProperty p) const { return (Set & p) != 0; }
  std::string_view Text() const { return {TextBuffer.data(), TextLength}; }
};

// A map page sets about 530 controls; every other page far fewer.
inline constexpr int kViewCapacity = 640;

// Each name appears at most once. Filled in place, so a window that keeps
// one ViewModel allocates nothing per refresh.
struct ViewModel {
  MapViewMode Mode = MapViewMode::None;
  int Count = 0;
  std::array<ControlState, kViewCapacity> Controls{};

  std::span<const ControlState> States() const { return {Controls.data(), static_cast<std::size_t>(Count)}; }
  // Linear search, for tests and diagnostics.
  const ControlState* Find(std::string_view name) const;
};

// The state outside the image that decides what is shown.
struct ViewInputs {
  int Page = PageBike;        // PageIndex
  bool MsMode = false;        // the map editor's "Ms" check box
  bool TuningOn = false;      // CheckBoxLadeniPovoleno
  bool TestsLocked = false;   // the unit refuses output tests (monitor frame)
  bool PlayingLog = false;    // a log drives the live display; the unit's port is closed
  int LambdaGaugeLeft = 0;    // CGaugeLambda, as laid out by the window
  int LambdaGaugeWidth = 0;
};

MapViewMode ComputeMapViewMode(const ParameterImage& image, int page, bool msMode);

// While tuning is on the unit owns the injection map of the tuning channel
// (P+300: 1 for map 1, 2 for map 2): each tuning read replaces it, so an
// edit there would vanish. Its cells are read-only and the step tools leave
// it alone.
bool UnitTunesMap(const ParameterImage& image, int page, bool tuningOn);

// Never changes the image.
void RefreshView(const ParameterImage& image, const ViewInputs& inputs, ViewModel& out);

// "%5.3f " of word / 1000, as the "Ms" view shows an injection time in ms:
// "11.920 " for 11920, "0.005 " for 5. Writes at most 7 characters; returns
// the count.
int FormatCellTime(std::uint16_t word, char* out);

// The printout is the page as a tuner reads it on paper: what only works on
// screen (the tool row, the status bar, the live gauges, spinners and step
// buttons, the map editor's switches) is hidden while it is drawn. True for
// the object name of such a control.
bool HiddenWhenPrinting(std::string_view name);

// The texts of MapHeaderLabel 5: the injection-map mode on pages 2 and 3.
inline constexpr std::string_view kHeaderSameText = "  1 = 2  ";
inline constexpr std::string_view kHeaderCoupledText = "  1 -> 2  ";

}  // namespace velmor
