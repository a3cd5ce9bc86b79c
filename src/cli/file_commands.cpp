// new, normalize, merge, diff and dump: parameter files without the window.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "cli.h"
#include "editor/document.h"
#include "file_commands.h"
#include "compare.h"
#include "files/file_io.h"
#include "lang/catalog.h"
#include "model/defaults.h"
#include "model/fields.h"

namespace velmor::cli {
namespace {

namespace fs = std::filesystem;

constexpr Option kOutput{"--output", "-o", "FILE", "the file to write", true};
constexpr Option kRaw{"--raw", "", "", "compare the files as read, without normalisation and refresh", false};

// The tab captions, for --page.
constexpr std::string_view kPageNames[PageCount] = {
    "Bike", "Advance", "Inj-1A", "Inj-2A", "Position", "Corrections", "Sensors",
    "Idle", "N2O",     "Gear",   "Race",   "Tuning",   "Monitor"};

std::string WhyUnreadable(const std::string& path) {
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (!fs::exists(st)) return "no such file";
  if (fs::is_directory(st)) return "is a directory";
  if (!fs::is_regular_file(st)) return "not a regular file";
  if (fs::file_size(path, ec) > kMaxReadBytes) return "larger than any parameter file";
  return "cannot be read (permission denied?)";
}

// Reports the outcome of a read; true when something was loaded.
bool Loaded(Io& io, const Command& c, const std::string& path, const IgnReadResult& r) {
  for (MsgKey key : r.Messages) {
    if (key == MsgKey::MsgFileOpenError) continue;  // told below with the reason
    Error(io, c, path + ": warning: " + CatalogText(key, LanguageCode::English));
  }
  const std::string notice = IgnReadNotice(r, LanguageCode::English);
  switch (r.Outcome) {
    case IgnReadOutcome::Loaded:
      if (!notice.empty()) Error(io, c, path + ": warning: " + notice);
      return true;
    case IgnReadOutcome::CannotOpen:
      Error(io, c, path + ": " + WhyUnreadable(path));
      return false;
    case IgnReadOutcome::NothingLoaded:
      Error(io, c, path + ": nothing loaded: no KORDAVIN_KEY header of version 78 or 63");
      return false;
    case IgnReadOutcome::CutOff:
      Error(io, c, path + ": " + notice);
      return false;
    case IgnReadOutcome::Refused:
      break;
  }
  return false;
}

// A file as the window shows it after opening it, or with --raw as read.
bool LoadForCompare(Io& io, const Command& c, const Args& args, const std::string& path, Document& s) {
  if (!args.Has(kRaw.Long)) return Loaded(io, c, path, s.Open(path).Read);
  const IgnReadResult r = ReadParameterFile(path, s.Image, s.Tables, IgnScope::WholeFile);
  RefreshPercentMaps(s.Image, s.Tables);
  return Loaded(io, c, path, r);
}

int SaveTo(Io& io, const Command& c, Document& s, const std::string& path) {
  const WriteStatus status = s.Save(path, FileVersions()).Written;
  if (!status.Ok) {
    Error(io, c, "cannot save: " + status.Reason);
    return kExitFailure;
  }
  return kExitOk;
}

bool ParsePage(std::string_view text, int& page) {
  if (ParseInt(text, 0, PageCount - 1, page)) return true;
  auto same = [&](std::string_view name) {
    return name.size() == text.size() && std::equal(name.begin(), name.end(), text.begin(), [](char a, char b) {
             return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
  };
  for (int p = 0; p < PageCount; ++p) {
    if (same(kPageNames[p]) || same(PageCaption(p))) {
      page = p;
      return true;
    }
  }
  return false;
}

int RunNew(const Args& args, Io& io);
int RunNormalize(const Args& args, Io& io);
int RunMerge(const Args& args, Io& io);
int RunDiff(const Args& args, Io& io);
int RunDump(const Args& args, Io& io);

const Command& Cmd(std::string_view name) { return *Commands().Find(name); }

int RunNew(const Args& args, Io& io) {
  const Command& c = Cmd("new");
  int model = 0;
  if (!ParseInt(args.Get("--model"), 0, kBikeModelCount - 1, model)) {
    Error(io, c, "--model must be a bike model from 0 to 7, not '" + args.Get("--model") + "' (see --help)");
    return kExitUsage;
  }
  Document s;
  s.New(model);
  return SaveTo(io, c, s, args.Get(kOutput.Long));
}

int RunNormalize(const Args& args, Io& io) {
  const Command& c = Cmd("normalize");
  Document s;
  if (!Loaded(io, c, args.Positional[0], s.Open(args.Positional[0]).Read)) return kExitFailure;
  return SaveTo(io, c, s, args.Get(kOutput.Long));
}

int RunMerge(const Args& args, Io& io) {
  const Command& c = Cmd("merge");
  int page = 0;
  if (!ParsePage(args.Get("--page"), page)) {
    Error(io, c, "--page must be a page number from 0 to 12 or a tab caption, not '" + args.Get("--page") + "'");
    return kExitUsage;
  }
  const std::string& base = args.Positional[0];
  const std::string& other = args.Positional[1];
  Document s;
  if (!Loaded(io, c, base, s.Open(base).Read)) return kExitFailure;
  const IgnReadResult r = s.OpenForPage(other, page).Read;
  if (r.Outcome == IgnReadOutcome::Refused) {
    Error(io, c, "page " + std::to_string(page) + " (" + std::string(kPageNames[page]) +
                     ") cannot be taken while the injection maps of " + base +
                     " are coupled; nothing written");
    return kExitFailure;
  }
  if (!Loaded(io, c, other, r)) return kExitFailure;
  return SaveTo(io, c, s, args.Get(kOutput.Long));
}

int RunDiff(const Args& args, Io& io) {
  const Command& c = Cmd("diff");
  Document a;
  Document b;
  if (!LoadForCompare(io, c, args, args.Positional[0], a) || !LoadForCompare(io, c, args, args.Positional[1], b)) {
    return kExitUsage;
  }
  const std::vector<std::string> lines = DiffImages(a.Image, a.Tables, b.Image, b.Tables);
  for (const std::string& line : lines) io.Out << line << '\n';
  return lines.empty() ? kExitOk : kExitFailure;
}

int RunDump(const Args& args, Io& io) {
  const Command& c = Cmd("dump");
  Document s;
  if (!LoadForCompare(io, c, args, args.Positional[0], s)) return kExitFailure;
  io.Out << HexDump(s.Image);
  return kExitOk;
}

const std::string& ModelList() {
  static const std::string text = [] {
    std::string t = "Bike models:\n";
    const FieldDef* bike = FindField(PageBike, "ComboBoxBike");
    for (int m = 0; m < kBikeModelCount; ++m) {
      t += "  " + std::to_string(m) + "  ";
      if (bike != nullptr && m < static_cast<int>(bike->Items.size())) t += std::string(bike->Items[m]);
      t += '\n';
    }
    t.pop_back();
    return t;
  }();
  return text;
}

const std::string& PageList() {
  static const std::string text = [] {
    std::string t = "Pages:";
    for (int p = 0; p < PageCount; ++p) t += (p % 7 == 0 ? "\n  " : ", ") + std::to_string(p) + " " + std::string(kPageNames[p]);
    return t;
  }();
  return text;
}

}  // namespace

bool ReportLoaded(Io& io, const Command& c, const std::string& path, const IgnReadResult& r) {
  return Loaded(io, c, path, r);
}

int SaveDocument(Io& io, const Command& c, Document& s, const std::string& path) { return SaveTo(io, c, s, path); }

void AddFileCommands(CommandTable& table) {
  static const std::string newText =
      "Applies the full defaults of the model, normalises and refreshes as the window does\n"
      "(in \" 1 = 2\" mode map 2 becomes a copy of map 1), and saves.\n\n" + ModelList();
  table.Add({.Name = "new",
             .Arguments = "--model N -o FILE",
             .Summary = "write the parameter file the window saves right after New",
             .Description = newText,
             .Options = {{"--model", "", "N", "bike model, 0 to 7", true}, kOutput},
             .Positionals = {},
             .Run = RunNew});
  table.Add({.Name = "normalize",
             .Arguments = "IN -o OUT",
             .Summary = "open a parameter file as the window does and save it again",
             .Description = "Reads IN whole (a BIKE section applies that model's defaults first), normalises,\n"
                            "refreshes and saves OUT. A file without an accepted header is an error, and\n"
                            "so is one cut off inside a section or a line; a file that lacks whole sections\n"
                            "loads with a warning that names them.",
             .Options = {kOutput},
             .Positionals = {"IN"},
             .Run = RunNormalize});
  static const std::string mergeText =
      "Opens BASE, then reads only the sections of page P from OTHER (\"Open for actual page\"),\n"
      "and saves OUT. Pages 2 and 3 are refused while BASE's injection maps are coupled.\n\n" +
      PageList();
  table.Add({.Name = "merge",
             .Arguments = "--page P BASE OTHER -o OUT",
             .Summary = "take one editor page of another parameter file",
             .Description = mergeText,
             .Options = {{"--page", "-p", "P", "page number or tab caption", true}, kOutput},
             .Positionals = {"BASE", "OTHER"},
             .Run = RunMerge});
  table.Add({.Name = "diff",
             .Arguments = "[--raw] A B",
             .Summary = "list every field that differs between two parameter files",
             .Description = "One line per field: page, caption, value in A -> value in B, in the units the\n"
                            "editor shows; map cells by TPS row and rpm column. Both files are opened as the\n"
                            "window opens them. Exit status: 0 equal, 1 different, 2 trouble.",
             .Options = {kRaw},
             .Positionals = {"A", "B"},
             .Run = RunDiff});
  table.Add({.Name = "dump",
             .Arguments = "[--raw] FILE",
             .Summary = "print the parameter area as hexadecimal lines",
             .Description = "Lines of the offset into the parameter area and 16 bytes, for comparing two\n"
                            "images byte by byte. The file is opened as the window opens it.",
             .Options = {{"--raw", "", "", "the image as read, without normalisation and refresh", false}},
             .Positionals = {"FILE"},
             .Run = RunDump});
}

}  // namespace velmor::cli
