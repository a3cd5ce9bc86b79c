// edit: one edit of a block of map cells, as the window's map editor makes it.
#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "cli.h"
#include "editor/document.h"
#include "editor/map_edit.h"
#include "file_commands.h"

namespace velmor::cli {
namespace {

constexpr std::string_view kOperations[] = {"--set", "--add", "--scale", "--interpolate", "--smooth"};

struct MapName {
  std::string_view Name;
  int Page;
  std::string_view Unit;
};
constexpr MapName kMaps[] = {{"advance", PageAdvance, "degrees"}, {"inj1", PageInj1, "%"}, {"inj2", PageInj2, "%"}};

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// "A-B" or a single "A", both within lo..hi and A <= B.
bool ParseSpan(std::string_view text, int lo, int hi, int& first, int& last) {
  const auto dash = text.find('-', 1);
  if (dash == std::string_view::npos) {
    if (!ParseInt(text, lo, hi, first)) return false;
    last = first;
    return true;
  }
  return ParseInt(text.substr(0, dash), lo, hi, first) && ParseInt(text.substr(dash + 1), lo, hi, last) &&
         first <= last;
}

// A percentage with at most two decimals, as hundredths: "115.79" -> 11579.
bool ParseHundredths(std::string_view text, std::int32_t& value) {
  const auto dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  if (dot != std::string_view::npos && (fraction.empty() || fraction.size() > 2)) return false;
  int w = 0;
  int f = 0;
  if (!ParseInt(whole, 0, 100000, w)) return false;
  if (!fraction.empty()) {
    if (!std::all_of(fraction.begin(), fraction.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    ParseInt(fraction, 0, 99, f);
    if (fraction.size() == 1) f *= 10;
  }
  value = w * 100 + f;
  return true;
}

int Usage(Io& io, const Command& c, const std::string& message) {
  Error(io, c, message);
  io.Err << "usage: velmor-cli " << c.Name << ' ' << c.Arguments << '\n';
  return kExitUsage;
}

int RunEdit(const Args& args, Io& io) {
  const Command& c = *Commands().Find("edit");

  const MapName* map = nullptr;
  for (const MapName& m : kMaps) {
    if (SameText(args.Get("--map"), m.Name)) map = &m;
  }
  if (map == nullptr) return Usage(io, c, "--map must be advance, inj1 or inj2, not '" + args.Get("--map") + "'");

  int top = 0, bottom = kMapRows - 1, left = 0, right = kMapColumns - 1;
  if (args.Has("--rows") && !ParseSpan(args.Get("--rows"), 0, kMapRows - 1, top, bottom)) {
    return Usage(io, c, "--rows must be A-B with 0 <= A <= B <= 9, not '" + args.Get("--rows") + "'");
  }
  if (args.Has("--cols") && !ParseSpan(args.Get("--cols"), 0, kMapColumns - 1, left, right)) {
    return Usage(io, c, "--cols must be C-D with 0 <= C <= D <= 14, not '" + args.Get("--cols") + "'");
  }

  std::string given;
  for (std::string_view op : kOperations) {
    if (!args.Has(op)) continue;
    if (!given.empty()) return Usage(io, c, given + " and " + std::string(op) + " cannot be combined: give one edit");
    given = op;
  }
  if (given.empty()) return Usage(io, c, "no edit given: one of --set, --add, --scale, --interpolate, --smooth");

  MapEdit edit;
  const std::string& value = args.Get(given);
  if (given == "--set" || given == "--add") {
    edit.Operation = given == "--set" ? MapOperation::Set : MapOperation::Add;
    if (!ParseInt(value, -100000, 100000, edit.Value)) {
      return Usage(io, c, given + " must be a whole number of " + std::string(map->Unit) + ", not '" + value + "'");
    }
  } else if (given == "--scale") {
    edit.Operation = MapOperation::Scale;
    if (!ParseHundredths(value, edit.Value)) {
      return Usage(io, c, "--scale must be a percentage such as 105 or 112.5 (at most two decimals), not '" +
                              value + "'");
    }
  } else if (given == "--interpolate") {
    if (SameText(value, "h")) edit.Operation = MapOperation::InterpolateRows;
    else if (SameText(value, "v")) edit.Operation = MapOperation::InterpolateColumns;
    else if (SameText(value, "both")) edit.Operation = MapOperation::InterpolateBoth;
    else return Usage(io, c, "--interpolate must be h, v or both, not '" + value + "'");
  } else {
    edit.Operation = MapOperation::Smooth;
  }

  const std::string& in = args.Positional[0];
  Document s;
  if (!ReportLoaded(io, c, in, s.Open(in).Read)) return kExitFailure;
  const Map150 before = MapValues(s.Image, s.Tables, map->Page);
  const CellBlock block{top, left, bottom, right};
  switch (ApplyMapEdit(s.Image, s.Tables, map->Page, block, edit)) {
    case MapWriteResult::Refused:
      Error(io, c, in + ": map 2 follows map 1 while the injection maps are " +
                       (s.Image.P(kMapModeByte) == MapModeCoupled ? "coupled" : "equal (\" 1 = 2\")") +
                       "; edit inj1 instead. Nothing written");
      return kExitFailure;
    case MapWriteResult::Unchanged:
      Error(io, c, "nothing to do: no cell of " + std::string(map->Name) + " changes. Nothing written");
      return kExitFailure;
    case MapWriteResult::Changed:
      break;
  }
  const Map150 after = MapValues(s.Image, s.Tables, map->Page);
  int changed = 0;
  for (int k = 0; k < kMapCells; ++k) changed += before[k] != after[k] ? 1 : 0;
  const int code = SaveDocument(io, c, s, args.Get("--output"));
  if (code == kExitOk) io.Out << map->Name << ": " << changed << " of " << block.Cells() << " cells changed\n";
  return code;
}

}  // namespace

void AddEditCommand(CommandTable& table) {
  table.Add({.Name = "edit",
             .Arguments = "IN --map advance|inj1|inj2 [--rows A-B] [--cols C-D] (--set V | --add V | --scale P |\n"
                          "       --interpolate h|v|both | --smooth) -o OUT",
             .Summary = "change a block of cells of one map, as the window's map editor does",
             .Description =
                 "Opens IN as the window does, makes one edit on the block of cells and saves OUT as\n"
                 "the window saves. Rows are the throttle rows 0..9 (0 = 0 %), columns the RPM columns\n"
                 "0..14; without --rows or --cols the block spans the whole map in that direction.\n"
                 "Values are in the editor's units: degrees for advance, percent of the base time for\n"
                 "inj1 and inj2. Every result is limited to the cell's range (0..60 degrees;\n"
                 "0..32000 %, and an injection time of at most 60000 us: a cell whose base time is\n"
                 "1370 us stops at 4380 %) and divisions round halves up. Cells outside the block\n"
                 "keep their stored values exactly.\n\n"
                 "  --set V            every cell becomes V\n"
                 "  --add V            every cell + V (V may be negative)\n"
                 "  --scale P          every cell x P / 100 (P with up to two decimals)\n"
                 "  --interpolate h    straight lines along each row, the rpm of the axis as x\n"
                 "  --interpolate v    straight lines along each column, the throttle % as x\n"
                 "  --interpolate both bilinear from the four corner cells\n"
                 "  --smooth           each cell the mean of itself and its neighbours in the map\n\n"
                 "While the injection maps are coupled, an edit of inj1 moves inj2 by the same\n"
                 "amounts; while they are equal, inj2 is a copy of inj1. In both modes inj2 is not\n"
                 "edited by itself. Exit status: 0 saved, 1 IN unreadable or nothing to do (no cell\n"
                 "changes, or inj2 follows inj1; nothing is written), 2 wrong arguments.",
             .Options = {{"--map", "-m", "MAP", "advance, inj1 or inj2", true},
                         {"--rows", "", "A-B", "throttle rows, 0..9 (default all)", false},
                         {"--cols", "", "C-D", "RPM columns, 0..14 (default all)", false},
                         {"--set", "", "V", "set every cell to V", false},
                         {"--add", "", "V", "add V to every cell", false},
                         {"--scale", "", "P", "scale every cell by P percent", false},
                         {"--interpolate", "", "h|v|both", "straight lines between the block's edges", false},
                         {"--smooth", "", "", "smooth the block", false},
                         {"--output", "-o", "FILE", "the file to write", true}},
             .Positionals = {"IN"},
             .Run = RunEdit});
}

}  // namespace velmor::cli
