#include "files/settings.h"

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
  if (auto file = get(7)) s.File = *file;
  if (auto dir = get(8)) s.IniDir = *dir;
  const int page = integer(9, s.PageIndex);
  if (page >= 0 && page < PageCount) s.PageIndex = page;
  s.CheckBoxZobrMsUni = flag(10, s.CheckBoxZobrMsUni);
  s.CheckBoxExtMonitor = flag(11, s.CheckBoxExtMonitor);
  s.CheckBoxAllPolohaA = flag(12, s.CheckBoxAllPolohaA);
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
  put(10, s.CheckBoxZobrMsUni ? 1 : 0);
  put(11, s.CheckBoxExtMonitor ? 1 : 0);
  put(12, s.CheckBoxAllPolohaA ? 1 : 0);
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

std::string ConfigDirectory(const EnvLookup& getEnv) {
  auto env = [&](const char* name) -> std::string {
    const char* value = getEnv ? getEnv(name) : std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
  };
  const std::string own = env("VELMOR_CONFIG_DIR");
  if (!own.empty()) return own;
  // The base directory convention ignores relative paths.
  const std::string xdg = env("XDG_CONFIG_HOME");
  if (!xdg.empty() && xdg.front() == '/') return (std::filesystem::path(xdg) / "velmor").string();
  const std::string home = env("HOME");
  const std::filesystem::path base = home.empty() ? std::filesystem::path(".") : std::filesystem::path(home);
  return (base / ".config" / "velmor").string();
}

void LoadSettings(const StatePaths& paths, Settings& settings, ParameterImage& image,
                  AllCellsFlagArray& flags) {
  std::string text;
  ReadWholeFile(paths.SettingsFile, text);
  ReadSettingsText(text, settings);
  if (ReadWholeFile(paths.LastImageFile, text)) ReadLastImageText(text, image, flags);
}

SaveSettingsStatus SaveSettings(const StatePaths& paths, const Settings& settings,
                                const ParameterImage& image, const AllCellsFlagArray& flags) {
  std::error_code ec;
  for (const std::string* file : {&paths.SettingsFile, &paths.LastImageFile}) {
    const auto dir = std::filesystem::path(*file).parent_path();
    if (!dir.empty()) std::filesystem::create_directories(dir, ec);
  }
  std::string previous;
  ReadWholeFile(paths.SettingsFile, previous);
  SaveSettingsStatus status;
  status.SettingsFile = AtomicWriteFile(paths.SettingsFile, WriteSettingsText(settings, previous));
  status.LastImageFile = AtomicWriteFile(paths.LastImageFile, WriteLastImageText(image, flags));
  return status;
}

bool ReadTestMode(const StatePaths& paths) {
  std::string text;
  return ReadWholeFile(paths.TestModeFile, text) && ReadTestModeText(text);
}

}  // namespace velmor
