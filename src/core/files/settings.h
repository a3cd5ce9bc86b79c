// The program's state between runs: the settings INI (section "BASIC"), the
// last-run image file and the test-mode marker, and where they live.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "files/folders.h"
#include <string_view>

#include "files/file_io.h"
#include "model/image.h"
#include "model/normalise.h"

namespace velmor {

// What the settings file holds. Before loading, the members are the window's
// current values; every key that is missing or unreadable leaves its member as
// it is (the two port keys excepted, see ReadSettingsText).
struct Settings {
  int Left = 0;
  int Top = 0;
  int Height = 0;
  int Width = 0;
  // The port selection starts at 1, as the window sets it just before
  // loading, so that a missing "ComPort" yields 1 − 1 = 0 (COM1).
  PersistedSelection Selection{.Language = 0, .PortSelection = 1, .ScanIndex = 0};
  std::string File;    // CurrentFileName
  std::string IniDir;  // the name both file dialogs start with
  int PageIndex = PageGear;  // the page active when the window is created
  bool CellsInMs = false;        // CheckBoxZobrMs_Uni->Checked
  bool ExtendedMonitor = false;  // CheckBoxExtMonitor->Checked
  bool AllPositions = false;     // CheckBoxAll_PolohaA->Checked
  // Program first shows what it will change in the unit; off keeps F9 a
  // plain Program.
  bool ReviewBeforeProgram = false;
  // The map editor colours its cells by value (blue low, red high); on
  // until the tuner switches it off.
  bool HeatColours = true;
  // The monitor asks for frames as fast as the unit answers (Log menu);
  // off keeps the unit's original poll every 330 ms.
  bool FastMonitor = false;
};

inline constexpr std::string_view kSettingsSection = "BASIC";

// The thirteen keys, in the order they are written and read.
std::span<const std::string_view, 13> SettingsKeys();

// Written and read after the thirteen: 0 or 1; missing keeps the default.
inline constexpr std::string_view kReviewBeforeProgramKey = "ReviewBeforeProgram";
inline constexpr std::string_view kHeatColoursKey = "HeatColours";
inline constexpr std::string_view kFastMonitorKey = "FastMonitor";

// Reads the keys in order, each with the member's current value as default.
// "ComPort" and "ComPortAuto" hold the selection + 1 and are decremented
// after reading, in 8 bits. A language outside 0..3 becomes 0 (English) and a
// page outside 0..12 keeps the current page, since both index fixed tables.
// A "File" or "IniDir" longer than any path (4096) is ignored.
void ReadSettingsText(std::string_view iniText, Settings& settings);

// The INI text: `previousText` with the keys of "BASIC" set; other
// sections and keys of a hand-edited file are kept.
std::string WriteSettingsText(const Settings& settings, std::string_view previousText = {});

// The per-page state of the map editor's "All" check box.
using AllCellsFlagArray = std::array<std::uint8_t, PageCount>;

// The last-run image: P+0..P+1349 as "%5u ", a line break after every tenth
// number and a blank line after every hundredth, then the 13 "All" flags.
std::string WriteLastImageText(const ParameterImage& image, const AllCellsFlagArray& flags);

// Unsigned numbers, low 8 bits, into P+0, P+1 … and then the flags, up to the
// end of the text or the first item that is not a number; what follows keeps
// its value. Returns how many numbers were taken.
int ReadLastImageText(std::string_view text, ParameterImage& image, AllCellsFlagArray& flags);

// The test display is on when a word of the marker file is exactly
// "DIAG_SWITCH". Words are cut into pieces of at most 255 characters.
bool ReadTestModeText(std::string_view text);

// The file names: Velmor_v78.ini, its last-run image _Velmor_v78.ini and the
// marker test_vostel.txt, all in one directory.
struct StatePaths {
  std::string SettingsFile;
  std::string LastImageFile;
  std::string TestModeFile;
};
StatePaths StatePathsIn(const std::string& directory);

// The help document `fileName` of the program in `programDir`: beside the
// program as it is unpacked, else in the data directory of an installed one
// (../share/velmor). Empty when neither holds it.
std::string HelpDocumentPath(const std::string& programDir, std::string_view fileName);

// The directory of those files on this system: the config folder of
// VelmorFolder (empty when there is none). Not created here.
std::string ConfigDirectory(const EnvLookup& getEnv = {});

// No settings file of ours comes near this; a larger one is not ours to keep.
inline constexpr std::size_t kMaxSettingsBytes = 64u << 10;

// Why a settings text cannot be taken as a settings file: larger than
// kMaxSettingsBytes, or not empty and without one line the INI reader takes
// (a "[section]", a key=value or a comment, in printable characters). Empty
// when it can.
std::string_view UnusableSettingsText(std::string_view text);

// What SaveSettings writes: WriteSettingsText over the previous file's text
// when that text is usable and the result stays within kMaxSettingsBytes,
// else a fresh file, so that a saved file is never refused at the next start.
std::string SettingsFileText(const Settings& settings, std::string_view previousText);

// What LoadSettings did with one of its files it could not use.
struct SetAsideFile {
  std::string SetAsideAs;  // its new name, "<file>.bad", once renamed
  std::string Reason;      // why it was not used; empty when it was
  std::string Failure;     // why the rename failed, if it did
  bool SetAside() const { return !Reason.empty(); }
};
struct LoadSettingsStatus {
  SetAsideFile SettingsFile;
  SetAsideFile LastImageFile;
  bool SetAside() const { return SettingsFile.SetAside() || LastImageFile.SetAside(); }
};

// LoadSettings: the settings file (a missing file reads as empty, so the key
// defaults apply), then the last-run image into the image and flags when that
// file can be read. Port values outside the lists are left to the
// normalisation pass that start-up runs next. A settings file that is not a
// regular file, or whose text UnusableSettingsText refuses, is renamed to
// "<name>.bad" (replacing an older one) and read as missing, so that the
// next save writes a fresh file instead of carrying it along; so is a
// last-run image file that is not a regular file, which no save could
// replace.
LoadSettingsStatus LoadSettings(const StatePaths& paths, Settings& settings, ParameterImage& image,
                                AllCellsFlagArray& flags);

// SaveSettings: both files, each written atomically and independently, so a
// settings file that cannot be written never costs the image file. The
// directory is created when missing. Keys and sections others put in the
// settings file are kept, unless its text is unusable (see above).
struct SaveSettingsStatus {
  WriteStatus SettingsFile;
  WriteStatus LastImageFile;
  bool Ok() const { return SettingsFile.Ok && LastImageFile.Ok; }
};
SaveSettingsStatus SaveSettings(const StatePaths& paths, const Settings& settings,
                                const ParameterImage& image, const AllCellsFlagArray& flags);

// What the window tells the user about the two outcomes above; empty when
// there is nothing to tell.
std::string SetAsideMessage(const StatePaths& paths, const LoadSettingsStatus& status);
std::string SaveFailureMessage(const StatePaths& paths, const SaveSettingsStatus& status);

// The window's rectangle; `Left` and `Top` of the client area.
struct WindowRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool operator==(const WindowRect&) const = default;
};

// The window's smallest size when the screen leaves room for it.
inline constexpr int kMinWindowWidth = 320;
inline constexpr int kMinWindowHeight = 240;

// The rectangle read from the settings file, made to fit `available` (the
// screen area the window lands on): never larger than it, at least the
// minimum size where it has room, and wholly inside it. A file written on a
// bigger screen or edited by hand cannot put the window off-screen or give
// it a size the windowing system cannot draw.
WindowRect FitWindowRect(const WindowRect& wanted, const WindowRect& available);

// ReadTestMode: off when the marker file is missing.
bool ReadTestMode(const StatePaths& paths);

}  // namespace velmor
