#include "files/settings.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "files/ini.h"
#include "files/text_scan.h"

namespace velmor {
namespace {

constexpr std::array<std::string_view, 13> kKeys{
    "Left",
    "Top",
    "Height",
    "Width",
    "ComPort",
    "ComPortAuto",
    "Language",
    "File",
    "IniDir",
    "PageControl1->ActivePageIndex",
    "CheckBoxZobrMs_Uni->Checked",
    "CheckBoxExtMonitor->Checked",
    "CheckBoxAll_PolohaA->Checked",
};

// The protocol version the unit must report; a program for another version
// keeps its own settings.
constexpr int kProtocolVersion = 78;

std::string SettingsFileName() { return "Velmor_v" + std::to_string(kProtocolVersion) + ".ini"; }

void AppendNumber(std::string& out, unsigned value) {
  char digits[8];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const auto length = static_cast<std::size_t>(end - digits);
  if (length < 5) out.append(5 - length, ' ');
  out.append(digits, length);
  out += ' ';
}

}  // namespace

std::span<const std::string_view, 13> SettingsKeys() { return kKeys; }

void ReadSettingsText(std::string_view iniText, Settings& s) {
  const IniDocument doc = IniDocument::Parse(iniText);
  auto get = [&](int index) { return doc.Get(kSettingsSection, kKeys[index]); };
  auto integer = [&](int index, int current) { return IniInteger(get(index), current); };
  auto flag = [&](int index, bool current) { return integer(index, current ? 1 : 0) != 0; };

  s.Left = integer(0, s.Left);
  s.Top = integer(1, s.Top);
  s.Height = integer(2, s.Height);
  s.Width = integer(3, s.Width);
  s.Selection.PortSelection = static_cast<std::uint8_t>(integer(4, s.Selection.PortSelection) - 1);
  s.Selection.ScanIndex = static_cast<std::uint8_t>(integer(5, s.Selection.ScanIndex) - 1);
  const auto language = static_cast<std::uint8_t>(integer(6, s.Selection.Language));
  s.Selection.Language = language < 4 ? language : 0;
  // No path is longer than the system's limit; a longer value is not one.
  constexpr std::size_t kMaxPath = 4096;
  if (auto file = get(7); file && file->size() <= kMaxPath) s.File = *file;
  if (auto dir = get(8); dir && dir->size() <= kMaxPath) s.IniDir = *dir;
  const int page = integer(9, s.PageIndex);
  if (page >= 0 && page < PageCount) s.PageIndex = page;
  s.CellsInMs = flag(10, s.CellsInMs);
  s.ExtendedMonitor = flag(11, s.ExtendedMonitor);
  s.AllPositions = flag(12, s.AllPositions);
  auto option = [&](std::string_view key, bool current) {
    return IniInteger(doc.Get(kSettingsSection, key), current ? 1 : 0) != 0;
  };
  s.ReviewBeforeProgram = option(kReviewBeforeProgramKey, s.ReviewBeforeProgram);
  s.HeatColours = option(kHeatColoursKey, s.HeatColours);
  s.FastMonitor = option(kFastMonitorKey, s.FastMonitor);
}

std::string WriteSettingsText(const Settings& s, std::string_view previousText) {
  IniDocument doc = IniDocument::Parse(previousText);
  auto put = [&](int index, int value) { doc.Set(kSettingsSection, kKeys[index], std::to_string(value)); };
  put(0, s.Left);
  put(1, s.Top);
  put(2, s.Height);
  put(3, s.Width);
  put(4, s.Selection.PortSelection + 1);
  put(5, s.Selection.ScanIndex + 1);
  put(6, s.Selection.Language);
  doc.Set(kSettingsSection, kKeys[7], s.File);
  doc.Set(kSettingsSection, kKeys[8], s.IniDir);
  put(9, s.PageIndex);
  put(10, s.CellsInMs ? 1 : 0);
  put(11, s.ExtendedMonitor ? 1 : 0);
  put(12, s.AllPositions ? 1 : 0);
  doc.Set(kSettingsSection, kReviewBeforeProgramKey, s.ReviewBeforeProgram ? "1" : "0");
  doc.Set(kSettingsSection, kHeatColoursKey, s.HeatColours ? "1" : "0");
  doc.Set(kSettingsSection, kFastMonitorKey, s.FastMonitor ? "1" : "0");
  return doc.Serialise();
}

std::string WriteLastImageText(const ParameterImage& image, const AllCellsFlagArray& flags) {
  std::string out;
  out.reserve(kParamSize * 6 + kParamSize / 10 + 200);
  for (int i = 0; i < kParamSize; ++i) {
    AppendNumber(out, image.P(i));
    if (i % 10 == 9) out += '\n';
    if (i % 100 == 99) out += '\n';
  }
  for (std::uint8_t flag : flags) AppendNumber(out, flag);
  return out;
}

int ReadLastImageText(std::string_view text, ParameterImage& image, AllCellsFlagArray& flags) {
  TextScanner in(text);
  std::uint32_t number = 0;
  int taken = 0;
  for (; taken < kParamSize + PageCount && in.NextNumber(number); ++taken) {
    const auto low8 = static_cast<std::uint8_t>(number & 0xFF);
    if (taken < kParamSize) {
      image.P(taken) = low8;
    } else {
      flags[taken - kParamSize] = low8;
    }
  }
  return taken;
}

bool ReadTestModeText(std::string_view text) {
  constexpr std::size_t kWordLimit = 255;
  TextScanner in(text);
  std::string_view word;
  while (in.NextWord(word)) {
    for (std::size_t at = 0; at < word.size(); at += kWordLimit) {
      if (word.substr(at, kWordLimit) == "DIAG_SWITCH") return true;
    }
  }
  return false;
}

StatePaths StatePathsIn(const std::string& directory) {
  const std::filesystem::path dir(directory);
  const std::string name = SettingsFileName();
  return {(dir / name).string(), (dir / ("_" + name)).string(), (dir / "test_vostel.txt").string()};
}

std::string HelpDocumentPath(const std::string& programDir, std::string_view fileName) {
  const std::filesystem::path dir(programDir);
  for (const std::filesystem::path& path : {dir / fileName, dir / ".." / "share" / "velmor" / fileName}) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return path.string();
  }
  return {};
}

std::string ConfigDirectory(const EnvLookup& getEnv) { return VelmorFolder(FolderKind::Config, getEnv); }

std::string_view UnusableSettingsText(std::string_view text) {
  if (text.size() > kMaxSettingsBytes) return "larger than 64 KiB";
  bool content = false;  // a file of blank lines is empty, not garbage
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) line.remove_suffix(1);
    if (line.empty()) continue;
    content = true;
    const bool printable = std::all_of(line.begin(), line.end(), [](char c) {
      const auto u = static_cast<unsigned char>(c);
      return u == '\t' || (u >= 0x20 && u != 0x7F);
    });
    if (!printable) continue;
    const bool section = line.front() == '[' && line.back() == ']';
    const bool comment = line.front() == ';' || line.front() == '#';
    const std::size_t eq = line.find('=');
    const bool keyValue = eq != std::string_view::npos && eq > 0;
    if (section || comment || keyValue) return {};
  }
  return content ? "no readable line" : std::string_view();
}

std::string SettingsFileText(const Settings& settings, std::string_view previousText) {
  // Garbage that could not be set aside at start-up is not carried along.
  if (UnusableSettingsText(previousText).empty()) {
    std::string text = WriteSettingsText(settings, previousText);
    if (text.size() <= kMaxSettingsBytes) return text;
  }
  return WriteSettingsText(settings);
}

namespace {

// Renames `file` to "<file>.bad" when `aside.Reason` says it cannot be used.
void SetAside(const std::string& file, bool isDirectory, SetAsideFile& aside) {
  namespace fs = std::filesystem;
  if (!aside.SetAside()) return;
  const std::string name = file + ".bad";
  std::error_code ec;
  // A directory replaces only an empty directory; an older file set aside
  // gives way to it.
  if (isDirectory && !fs::is_directory(fs::symlink_status(name, ec))) fs::remove(name, ec);
  fs::rename(file, name, ec);
  if (ec) {
    aside.Failure = ec.message();
  } else {
    aside.SetAsideAs = name;
  }
}

}  // namespace

LoadSettingsStatus LoadSettings(const StatePaths& paths, Settings& settings, ParameterImage& image,
                                AllCellsFlagArray& flags) {
  namespace fs = std::filesystem;
  LoadSettingsStatus status;
  std::string text;
  std::error_code ec;
  // The type and size are looked at before the file is opened: a pipe or a
  // disk image is never read.
  const fs::file_status type = fs::status(paths.SettingsFile, ec);
  if (fs::exists(type)) {
    if (!fs::is_regular_file(type)) {
      status.SettingsFile.Reason = "not a regular file";
    } else if (fs::file_size(paths.SettingsFile, ec) > kMaxSettingsBytes) {
      status.SettingsFile.Reason = "larger than 64 KiB";
    } else if (ReadWholeFile(paths.SettingsFile, text, kMaxSettingsBytes)) {
      status.SettingsFile.Reason = UnusableSettingsText(text);
    }
  }
  if (status.SettingsFile.SetAside()) text.clear();
  SetAside(paths.SettingsFile, fs::is_directory(type), status.SettingsFile);
  ReadSettingsText(text, settings);

  const fs::file_status imageType = fs::status(paths.LastImageFile, ec);
  if (fs::exists(imageType) && !fs::is_regular_file(imageType)) {
    status.LastImageFile.Reason = "not a regular file";
    SetAside(paths.LastImageFile, fs::is_directory(imageType), status.LastImageFile);
  } else if (ReadWholeFile(paths.LastImageFile, text)) {
    ReadLastImageText(text, image, flags);
  }
  return status;
}

SaveSettingsStatus SaveSettings(const StatePaths& paths, const Settings& settings,
                                const ParameterImage& image, const AllCellsFlagArray& flags) {
  std::error_code ec;
  for (const std::string* file : {&paths.SettingsFile, &paths.LastImageFile}) {
    const auto dir = std::filesystem::path(*file).parent_path();
    if (!dir.empty()) std::filesystem::create_directories(dir, ec);
  }
  std::string previous;
  ReadWholeFile(paths.SettingsFile, previous, kMaxSettingsBytes);
  SaveSettingsStatus status;
  status.SettingsFile = AtomicWriteFile(paths.SettingsFile, SettingsFileText(settings, previous));
  status.LastImageFile = AtomicWriteFile(paths.LastImageFile, WriteLastImageText(image, flags));
  return status;
}

std::string SetAsideMessage(const StatePaths& paths, const LoadSettingsStatus& status) {
  std::string text;
  auto add = [&](const std::string& file, const SetAsideFile& aside) {
    if (!aside.SetAside()) return;
    if (!text.empty()) text += "\n";
    text += "The file " + file + " could not be used (" + aside.Reason + ")";
    if (!aside.SetAsideAs.empty()) {
      text += "; it was set aside as " + aside.SetAsideAs + ".";
    } else {
      text += " and could not be set aside (" + aside.Failure + ").";
    }
  };
  add(paths.SettingsFile, status.SettingsFile);
  add(paths.LastImageFile, status.LastImageFile);
  if (text.empty()) return {};
  return text + "\nThe program starts without it and writes a new file on closing.";
}

std::string SaveFailureMessage(const StatePaths& paths, const SaveSettingsStatus& status) {
  std::string text;
  auto add = [&](const std::string& file, const WriteStatus& w) {
    if (w.Ok) return;
    text += "\n" + file + ":\n" + w.Reason;
  };
  add(paths.SettingsFile, status.SettingsFile);
  add(paths.LastImageFile, status.LastImageFile);
  if (text.empty()) return {};
  return "The settings of this session could not be saved." + text;
}

WindowRect FitWindowRect(const WindowRect& wanted, const WindowRect& available) {
  // In 64 bits: a hand-edited file may hold any int, and sums must not wrap.
  auto fit = [](long long start, long long size, long long areaStart, long long areaSize, long long minSize,
                int& outStart, int& outSize) {
    areaSize = std::max(1LL, areaSize);
    size = std::clamp(size, std::min(minSize, areaSize), areaSize);
    start = std::clamp(start, areaStart, areaStart + areaSize - size);
    outStart = static_cast<int>(start);
    outSize = static_cast<int>(size);
  };
  WindowRect r;
  fit(wanted.Left, wanted.Width, available.Left, available.Width, kMinWindowWidth, r.Left, r.Width);
  fit(wanted.Top, wanted.Height, available.Top, available.Height, kMinWindowHeight, r.Top, r.Height);
  return r;
}

bool ReadTestMode(const StatePaths& paths) {
  std::string text;
  return ReadWholeFile(paths.TestModeFile, text) && ReadTestModeText(text);
}

}  // namespace velmor
