// The editor field table: every value a page of the window edits, where it
// lives in the image, how it is encoded, which controls edit it and what the
// user may enter. Transfer (controls -> image), refresh (image -> controls),
// the readable diff and the printout are loops over this one table.
//
// Component names. Controls declared in the form keep their form names
// (`EditFan1` / `UpDownFan1`, `CheckBoxGas`, `RadioGroupIdleMode`,
// `ComboBoxBike`, `Memo1`). The controls built at start-up are named by one
// rule: "Edit" or "UpDown", then the stem of their grid column, then the row
// index counted from 0 (the column index in the position grid, whose two
// rows are the RPM axis and the positions):
//
//   map editor (shared by pages 1..3)   RpmAxisField<column>, MapCell<k> with
//                                       k = 15 * row + column, MapExtra<n>;
//                                       the "TPS" box is CheckBoxTps_Uni
//   GroupBoxPolohaA                     PolohaARpm<i>, PolohaAPoz<i>
//   GroupBoxKorVodaVzduch               KorVoda<i>, KorVzduch<i>
//   GroupBoxIgnVoda                     IgnVoda<i>
//   GroupBoxCidloTVodaVzduch            CidloTVoda<i>, CidloTVzduch<i>
//   GroupBoxRpmSpeedProGear             RpmSpeedProGear<i>
//   GroupBoxGearKor                     GearKorAdv<i>, GearKorJet<i>
//   GroupBoxClutch                      ClutchPilotA<i>, ClutchPilotB<i>,
//                                       ClutchTime<i>, ClutchPause<i>
//   GroupBoxIdleServoPoz                IdleServoPoz<i>
//   GroupBoxIdleAdvPoz                  IdleAdvPoz<i>
//   GroupBoxCidloLambda                 CidloLambdaAf<i>, CidloLambdaNap<i>
//   GroupBoxLambdaTacho                 LambdaTachoAf<i>, LambdaTachoRpm<i>
//
// The Czech stems of these names (Poloha, Kor, Voda, Vzduch, Cidlo ...) are
// explained in docs/GLOSSARY.md.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/derived.h"
#include "model/image.h"

namespace velmor {

// How a shown value v is kept in the image.
enum class Encoding : std::uint8_t {
  Value,     // v
  Scaled,    // v / Scale, truncating; shown as stored * Scale
  Plus100,   // v + 100 (signed quantities)
  Minus100,  // v - 100 (percentages of 100 and more)
  Tps100,    // the throttle 100 % voltage at P+34: v / 10 - 250; shown as stored * 10 + 2500
  OnOff,     // check box: 1 checked, 0 not; any non-zero byte shows checked
  Choice,    // zero-based item of a radio group, list or menu group
  Percent,   // injection-map cell: edited in the percent table, the image holds the time
  Text,      // the note area, packed line by line
};

enum class FieldWidth : std::uint8_t { Byte, Word, Text };

enum class ControlKind : std::uint8_t { FieldPair, CheckBox, RadioGroup, ComboBox, MenuGroup, Memo };

// Which of the two page loops handle the field.
enum class FieldFlow : std::uint8_t {
  TransferAndRefresh,  // read by the page transfer, shown by the page refresh
  RefreshOnly,         // shown by the refresh; its own click handler writes the image
  OwnHandler,          // written by its own commands and shown by the view refresh
};

// Ranges that depend on other values of the image.
enum class RangeRule : std::uint8_t {
  Fixed,
  IdleServo,  // 0..100 step 1 while the idle mode P+333 is 0, else 0..12000 step 10
};

// The run-time built grid a field belongs to, and the group box holding it.
enum class FieldGrid : std::uint8_t {
  None,
  RpmAxis,
  MapCells,
  MapExtra,
  InjectionPosition,       // GroupBoxPolohaA
  InjectionByTemperature,  // GroupBoxKorVodaVzduch
  AdvanceByCoolant,        // GroupBoxIgnVoda
  TemperatureSensors,      // GroupBoxCidloTVodaVzduch
  RpmSpeedPerGear,         // GroupBoxRpmSpeedProGear
  GearCorrection,          // GroupBoxGearKor
  Clutch,                  // GroupBoxClutch
  IdleServoRpm,            // GroupBoxIdleServoPoz
  IdleAdvanceRpm,          // GroupBoxIdleAdvPoz
  LambdaSensor,            // GroupBoxCidloLambda
  LambdaTacho,             // GroupBoxLambdaTacho
};

struct FieldRange {
  int Min = 0;
  int Max = 0;
  int Step = 1;

  bool Contains(int v) const { return v >= Min && v <= Max; }
  int Limit(int v) const { return v < Min ? Min : (v > Max ? Max : v); }
};

struct FieldDef {
  int Page = 0;          // PageIndex
  int Offset = 0;        // P+ offset; a percent cell names the map word it drives
  FieldWidth Width = FieldWidth::Byte;
  Encoding Enc = Encoding::Value;
  int Scale = 1;         // divisor of Scaled (and 10 for Tps100)
  ControlKind Kind = ControlKind::FieldPair;
  FieldFlow Flow = FieldFlow::TransferAndRefresh;
  std::string EditName;     // "EditFan1"; empty unless Kind is FieldPair
  std::string ControlName;  // "UpDownFan1", or the check box, radio group, list, menu or memo
  int Min = 0, Max = 0, Step = 1;  // as shown to the user (Text: characters)
  RangeRule Range = RangeRule::Fixed;
  std::string Caption;      // English with unit: "Fan 1 switch-on temperature [°C]"
  std::string_view Unit;    // "°C"; empty when the value has none
  std::string_view Section; // parameter-file section keyword, "FAN"
  std::span<const std::string_view> Items;  // Choice: English item texts by index
  FieldGrid Grid = FieldGrid::None;
  std::string_view Parent;  // group box of a grid ("MapPanel" for the map editor)
  int Row = -1;             // grid row (map: TPS row), -1 outside grids
  int Column = -1;          // grid column / pair index (map: RPM column)
  int Cell = -1;            // map cell index k = 15 * row + column, -1 elsewhere
};

// Every editor field, in page order; within a page in the order the page
// transfer reads them (grids row by row).
std::span<const FieldDef> EditorFields();
// The fields of one page (empty for a page index outside 0..12).
std::span<const FieldDef> FieldsOfPage(int page);
// The field a control edits on a page, looked up by its edit or control name.
const FieldDef* FindField(int page, std::string_view name);

// When a field's edit box commits its page. Enter always does; the boxes of
// the grids and the map editor also on a click and when the focus leaves
// them, some declared boxes on one of the two.
enum CommitEvent : int { CommitOnEnter = 0, CommitOnClick = 1, CommitOnLeave = 2 };
int CommitEventsOf(const FieldDef& field);

// Bytes of the image the field occupies: 1, 2 or the 150 of the note area.
int FieldByteCount(const FieldDef& field);

// The stored value that holds P+offset, as edits and undo treat it: a word of
// an injection map or of a word field is one value of two bytes (its low byte
// first), every other byte a value of its own. An offset outside the
// parameter area gives itself, one byte wide.
struct FieldSpan {
  int Offset = 0;
  int Width = 1;
};
FieldSpan FieldSpanAt(int offset);
// The value of a span as stored (a word as one number).
int SpanValue(const ParameterImage& image, FieldSpan span);
void SetSpanValue(ParameterImage& image, FieldSpan span, int value);
// The value of the other injection map that moves with one at P+offset (the
// same cell, the same axis point); -1 for an offset that has none.
int PartnerOffset(int offset);

// The range and step in force; for RangeRule::Fixed the table's own.
FieldRange RangeOf(const FieldDef& field, const ParameterImage& image);

// The stored byte or word as it stands.
int RawValue(const FieldDef& field, const ParameterImage& image);

// Image -> shown value, the inverse of the stored encoding, not limited to the
// range (the field pair limits what it shows). A percent cell gives the
// injection time word in µs here; the percentage needs the tables overload.
// Text gives 0.
int ShownValue(const FieldDef& field, const ParameterImage& image);
int ShownValue(const FieldDef& field, const ParameterImage& image, const DerivedTables& tables);

// Shown value -> image. The value is first limited to RangeOf (so no field
// ever wraps), then encoded, non-multiples of the scale truncating toward
// zero. A choice outside its items (a radio group without selection, the
// list's "-------------" item) leaves the byte unchanged. Percent cells and
// the note are not written by the image-only overload; the tables overload
// sets the percent-table entry (limited to 0..32000) and leaves deriving the
// map times (and the coupled arithmetic) to the map page's transfer.
void StoreShownValue(const FieldDef& field, int shown, ParameterImage& image);
void StoreShownValue(const FieldDef& field, int shown, ParameterImage& image,
                     DerivedTables& tables);

// The percent table a map cell is edited in (PercentMap1 or PercentMap2);
// nullptr for any other field.
Map150* PercentTableOf(const FieldDef& field, DerivedTables& tables);
const Map150* PercentTableOf(const FieldDef& field, const DerivedTables& tables);

// The value a field pair holds after reading its edit text: a whole decimal
// number with an optional leading minus, the spinner's digit-group separator
// ignored, surrounding blanks ignored. Text that is not such a number, or a
// number outside the range, leaves the value the pair held.
int ReadFieldText(std::string_view text, int held, const FieldRange& range,
                  std::string_view groupSeparator = ",");

// English page captions as the tab row shows them ("Bike", "Inj. 1" ...);
// empty outside 0..12.
std::string_view PageCaption(int page);

// "TPS 40 %" for map row 6.
std::string MapRowCaption(int row);
// "column 3 (4000 rpm)" from the RPM axis of the map shown on `page`
// (1..3); "column 3" on any other page.
std::string MapColumnCaption(int page, int column, const ParameterImage& image);
// P+ offset of the RPM axis of a map page, -1 on other pages.
int MapAxisOffset(int page);

}  // namespace velmor
