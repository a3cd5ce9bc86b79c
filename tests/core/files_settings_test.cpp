#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "files/file_io.h"
#include "temp_dir.h"
#include "files/ini.h"
#include "files/settings.h"

namespace velmor {
namespace {

namespace fs = std::filesystem;


TEST(SettingsIni, FirstStartWithoutAFileGivesTheStartUpValues) {
  Settings s;
  s.Left = 120;
  s.Top = -40;  // centred windows may start off-screen
  s.Width = 800;
  s.Height = 600;
  ReadSettingsText("", s);
  EXPECT_EQ(s.Left, 120);
  EXPECT_EQ(s.Top, -40);
  EXPECT_EQ(s.Width, 800);
  EXPECT_EQ(s.Height, 600);
  EXPECT_EQ(s.Selection.PortSelection, 0);  // COM1
  EXPECT_EQ(s.Selection.ScanIndex, 255);    // the search wraps it to COM1
  EXPECT_EQ(s.Selection.Language, 0);
  EXPECT_EQ(s.File, "");
  EXPECT_EQ(s.IniDir, "");
  EXPECT_EQ(s.PageIndex, PageGear);
  EXPECT_FALSE(s.CellsInMs);
  EXPECT_FALSE(s.ReviewBeforeProgram) << "F9 programs without a question until asked for";
  EXPECT_FALSE(s.FastMonitor) << "the unit is polled on its original schedule until asked otherwise";
}

TEST(SettingsIni, ValuesAreConvertedAndLimited) {
  struct Case {
    std::string key, value;
    int port, scan, language, page;
  };
  // Start-up values: port 1 (before decrementing), scan 0, language 2, page 4.
  const Case cases[] = {
      {"ComPort", "21", 20, 255, 2, 4},
      {"ComPortAuto", "5", 0, 4, 2, 4},
      {"ComPort", "0", 255, 255, 2, 4},     // 8 bits; normalisation later makes it COM1
      {"ComPort", "257", 0, 255, 2, 4},
      {"Language", "3", 0, 255, 3, 4},
      {"Language", "7", 0, 255, 0, 4},      // no fifth catalog column: English
      {"Language", "258", 0, 255, 2, 4},    // low 8 bits
      {"Language", "-1", 0, 255, 0, 4},
      {"Language", "abc", 0, 255, 2, 4},    // unreadable: the current value
      {"PageControl1->ActivePageIndex", "12", 0, 255, 2, 12},
      {"PageControl1->ActivePageIndex", "13", 0, 255, 2, 4},
      {"PageControl1->ActivePageIndex", "-1", 0, 255, 2, 4},
      {"pagecontrol1->activepageindex", " 0 ", 0, 255, 2, 0},  // keys ignore case
  };
  for (const Case& c : cases) {
    Settings s;
    s.Selection.Language = 2;
    s.PageIndex = 4;
    ReadSettingsText("[BASIC]\r\n" + c.key + "=" + c.value + "\r\n", s);
    EXPECT_EQ(s.Selection.PortSelection, c.port) << c.key << "=" << c.value;
    EXPECT_EQ(s.Selection.ScanIndex, c.scan) << c.key << "=" << c.value;
    EXPECT_EQ(s.Selection.Language, c.language) << c.key << "=" << c.value;
    EXPECT_EQ(s.PageIndex, c.page) << c.key << "=" << c.value;
  }
}

TEST(SettingsIni, PathsLongerThanAnyPathAreIgnored) {
  Settings s;
  s.File = "/kept.ign";
  ReadSettingsText("[BASIC]\nFile=/" + std::string(4096, 'a') + "\nIniDir=/" + std::string(4095, 'b') + "\n", s);
  EXPECT_EQ(s.File, "/kept.ign");
  EXPECT_EQ(s.IniDir.size(), 4096u);
}

TEST(SettingsIni, WritesTheThirteenKeysLiterallyInOrder) {
  Settings s;
  s.Left = 10;
  s.Top = -5;
  s.Height = 700;
  s.Width = 1000;
  s.Selection = {.Language = 3, .PortSelection = 20, .ScanIndex = 4};
  s.File = "/home/rider/maps/track day.ign";
  s.IniDir = "/home/rider/maps/";
  s.PageIndex = 1;
  s.CellsInMs = true;
  s.AllPositions = true;
  s.ReviewBeforeProgram = true;
  s.HeatColours = true;
  s.FastMonitor = true;
  EXPECT_EQ(WriteSettingsText(s),
            "[BASIC]\n"
            "Left=10\n"
            "Top=-5\n"
            "Height=700\n"
            "Width=1000\n"
            "ComPort=21\n"
            "ComPortAuto=5\n"
            "Language=3\n"
            "File=/home/rider/maps/track day.ign\n"
            "IniDir=/home/rider/maps/\n"
            "PageControl1->ActivePageIndex=1\n"
            "CheckBoxZobrMs_Uni->Checked=1\n"
            "CheckBoxExtMonitor->Checked=0\n"
            "CheckBoxAll_PolohaA->Checked=1\n"
            "ReviewBeforeProgram=1\n"
            "HeatColours=1\n"
            "FastMonitor=1\n");

  Settings back;
  back.Selection.PortSelection = 7;  // a read overrides whatever was held
  ReadSettingsText(WriteSettingsText(s), back);
  EXPECT_EQ(back.Left, 10);
  EXPECT_EQ(back.Top, -5);
  EXPECT_EQ(back.Selection.Language, 3);
  EXPECT_EQ(back.Selection.PortSelection, 20);
  EXPECT_EQ(back.Selection.ScanIndex, 4);
  EXPECT_EQ(back.File, s.File);
  EXPECT_EQ(back.IniDir, s.IniDir);
  EXPECT_EQ(back.PageIndex, 1);
  EXPECT_TRUE(back.CellsInMs);
  EXPECT_FALSE(back.ExtendedMonitor);
  EXPECT_TRUE(back.AllPositions);
  EXPECT_TRUE(back.ReviewBeforeProgram);
  EXPECT_TRUE(back.HeatColours);
  EXPECT_TRUE(back.FastMonitor);
}

TEST(SettingsIni, RewritingKeepsWhatOthersPutInTheFile) {
  const std::string previous =
      "; written by hand\r\n[Other]\r\nKey=Value\r\n[basic]\r\nlanguage=1\r\nExtra=keep me\r\n";
  Settings s;
  s.Selection.Language = 2;
  s.File = "a\nb";  // a line break cannot be stored; the value ends there
  const std::string text = WriteSettingsText(s, previous);
  const IniDocument doc = IniDocument::Parse(text);
  EXPECT_EQ(doc.Get("Other", "Key"), "Value");
  EXPECT_EQ(doc.Get("BASIC", "Extra"), "keep me");
  EXPECT_EQ(doc.Get("BASIC", "Language"), "2");
  EXPECT_EQ(doc.Get("BASIC", "File"), "a");
  EXPECT_NE(text.find("; written by hand"), std::string::npos);
  EXPECT_EQ(text.find("language=1"), std::string::npos);

  // A section without a name keeps its header, so its keys never join the
  // section before it.
  const std::string unnamed = WriteSettingsText(Settings{}, "[BASIC]\n[]\nLanguage=3\n");
  Settings back;
  ReadSettingsText(unnamed, back);
  EXPECT_EQ(back.Selection.Language, 0);
  EXPECT_NE(unnamed.find("[]\nLanguage=3"), std::string::npos) << unnamed;
}

TEST(SettingsIni, IntegersReadAsTheIniAccessReadsThem) {
  const std::map<std::string, int> cases{
      {"42", 42}, {" 42 ", 42}, {"-3", -3}, {"+3", 3}, {"0x10", 16}, {"$1f", 31},
      {"", -7}, {"12abc", -7}, {"--5", -7}, {"4294967296", -7}, {"0x", -7}, {"abc", -7},
      {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(IniInteger(text, -7), value) << '"' << text << '"';
  EXPECT_EQ(IniInteger(std::nullopt, -7), -7);
}

TEST(SettingsLastImage, LayoutIsTenNumbersALineAndABlankLineEveryHundred) {
  ParameterImage image;
  image.P(0) = 3;
  image.P(1349) = 255;
  AllCellsFlagArray flags{};
  flags[2] = 1;
  const std::string text = WriteLastImageText(image, flags);
  EXPECT_EQ(text.substr(0, 61), "    3     0     0     0     0     0     0     0     0     0 \n");
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  // 135 lines of numbers, 13 blank lines, and the flags on a line of their own.
  ASSERT_EQ(lines.size(), 135u + 13u + 1u);
  EXPECT_EQ(lines[10], "");
  EXPECT_EQ(lines[11].size(), 60u);
  EXPECT_EQ(lines[147], "    0     0     0     0     0     0     0     0     0   255 ");
  EXPECT_EQ(lines[148], "    0     0     1     0     0     0     0     0     0     0     0     0     0 ");
  EXPECT_FALSE(text.ends_with("\n"));
}

TEST(SettingsLastImage, ReadsUpToTheFirstUnreadableItem) {
  std::mt19937 random(1);
  ParameterImage saved;
  for (auto& b : saved.ParamArea()) b = static_cast<std::uint8_t>(random());
  AllCellsFlagArray savedFlags{1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  {
    ParameterImage image;
    AllCellsFlagArray flags{};
    EXPECT_EQ(ReadLastImageText(WriteLastImageText(saved, savedFlags), image, flags), 1363);
    EXPECT_EQ(image, saved);
    EXPECT_EQ(flags, savedFlags);
  }
  struct Case {
    std::string text;
    int taken;
  };
  std::string hundred;
  for (int i = 0; i < 100; ++i) hundred += "7 ";
  const Case cases[] = {
      {hundred, 100},
      {"300 1", 2},
      {"1 2 x 4", 2},
      {"1 2 3.5 4", 3},  // "3" is read, ".5" is not a number
      {"", 0},
      {"-1", 1},
  };
  for (const Case& c : cases) {
    ParameterImage image = saved;
    AllCellsFlagArray flags = savedFlags;
    EXPECT_EQ(ReadLastImageText(c.text, image, flags), c.taken) << c.text;
    EXPECT_EQ(flags, savedFlags) << c.text;
    for (int n = c.taken; n < kParamSize; ++n) ASSERT_EQ(image.P(n), saved.P(n)) << c.text << " P+" << n;
  }
  ParameterImage image;
  AllCellsFlagArray flags{};
  ReadLastImageText("300 1 -1", image, flags);
  EXPECT_EQ(image.P(0), 44);  // 300 mod 256
  EXPECT_EQ(image.P(2), 255);

  // Numbers beyond the flags are not read.
  std::string longer = WriteLastImageText(saved, savedFlags) + " 9 9 9";
  EXPECT_EQ(ReadLastImageText(longer, image, flags), 1363);
}

TEST(SettingsTestMode, OnlyTheWholeCaseSensitiveWordCounts) {
  const std::pair<std::string, bool> cases[] = {
      {"DIAG_SWITCH", true},
      {"some words\r\n\tDIAG_SWITCH more", true},
      {"diag_switch", false},
      {"DIAG_SWITCHES", false},
      {"XDIAG_SWITCH", false},
      {"", false},
      {std::string(255, 'x') + "DIAG_SWITCH", true},  // words are cut at 255 characters
      {std::string(254, 'x') + "DIAG_SWITCH", false},
  };
  for (const auto& [text, on] : cases) EXPECT_EQ(ReadTestModeText(text), on) << text.size();
}

TEST(SettingsPaths, FilesLiveInOneRelocatableDirectory) {
  const StatePaths p = StatePathsIn("/x/y");
  EXPECT_EQ(p.SettingsFile, "/x/y/Velmor_v78.ini");
  EXPECT_EQ(p.LastImageFile, "/x/y/_Velmor_v78.ini");
  EXPECT_EQ(p.TestModeFile, "/x/y/test_vostel.txt");
}

// F1 finds the guide beside an unpacked program first, then in the data
// directory of an installed one; a directory of that name is no document.
TEST(SettingsFiles, HelpDocumentIsFoundBesideTheProgramOrInTheShareFolder) {
  struct Case {
    const char* what;
    bool beside, shared, besideIsDirectory;
    const char* expected;  // relative to the program directory; empty: none
  };
  const Case cases[] = {
      {"beside the program", true, false, false, "Velmor.pdf"},
      {"both: the program's own wins", true, true, false, "Velmor.pdf"},
      {"in the share folder", false, true, false, "../share/velmor/Velmor.pdf"},
      {"a directory beside, the file shared", false, true, true, "../share/velmor/Velmor.pdf"},
      {"neither", false, false, false, ""},
      {"only a directory of that name", false, false, true, ""},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const fs::path program = dir.path / "bin";
    fs::create_directories(program);
    if (c.beside) std::ofstream(program / "Velmor.pdf") << "%PDF";
    if (c.besideIsDirectory) fs::create_directories(program / "Velmor.pdf");
    if (c.shared) {
      fs::create_directories(dir.path / "share" / "velmor");
      std::ofstream(dir.path / "share" / "velmor" / "Velmor.pdf") << "%PDF";
    }
    const std::string found = HelpDocumentPath(program.string(), "Velmor.pdf");
    if (*c.expected == 0) {
      EXPECT_EQ(found, "") << c.what;
    } else {
      ASSERT_FALSE(found.empty()) << c.what;
      EXPECT_TRUE(fs::equivalent(found, program / c.expected)) << c.what << ": " << found;
    }
  }
}

TEST(SettingsFiles, SaveAndLoadGiveBackTheStateAndTheMarkerIsRead) {
  TempDir dir;
  const StatePaths paths = StatePathsIn((dir.path / "new" / "sub").string());  // created on save
  Settings s;
  s.Selection = {.Language = 1, .PortSelection = 3, .ScanIndex = 7};
  s.PageIndex = 6;
  ParameterImage image;
  image.P(0) = 4;
  image.P(700) = 99;
  AllCellsFlagArray flags{};
  flags[1] = 1;
  const SaveSettingsStatus status = SaveSettings(paths, s, image, flags);
  EXPECT_TRUE(status.SettingsFile.Ok) << status.SettingsFile.Reason;
  EXPECT_TRUE(status.LastImageFile.Ok) << status.LastImageFile.Reason;

  Settings loaded;
  ParameterImage loadedImage;
  AllCellsFlagArray loadedFlags{};
  LoadSettings(paths, loaded, loadedImage, loadedFlags);
  EXPECT_EQ(loaded.Selection.Language, 1);
  EXPECT_EQ(loaded.Selection.PortSelection, 3);
  EXPECT_EQ(loaded.Selection.ScanIndex, 7);
  EXPECT_EQ(loaded.PageIndex, 6);
  EXPECT_EQ(loadedImage, image);
  EXPECT_EQ(loadedFlags, flags);

  EXPECT_FALSE(ReadTestMode(paths));
  std::ofstream(paths.TestModeFile) << "mode DIAG_SWITCH\n";
  EXPECT_TRUE(ReadTestMode(paths));
}

TEST(SettingsFiles, AnUnwritableSettingsFileDoesNotCostTheImageFile) {
  TempDir dir;
  StatePaths paths = StatePathsIn(dir.path.string());
  fs::create_directories(paths.SettingsFile);  // a directory where the file should be
  ParameterImage image;
  image.P(5) = 42;
  AllCellsFlagArray flags{};
  const SaveSettingsStatus status = SaveSettings(paths, Settings{}, image, flags);
  EXPECT_FALSE(status.SettingsFile.Ok);
  EXPECT_FALSE(status.SettingsFile.Reason.empty());
  ASSERT_TRUE(status.LastImageFile.Ok);

  Settings loaded;
  ParameterImage loadedImage;
  LoadSettings(paths, loaded, loadedImage, flags);  // the settings "file" reads as missing
  EXPECT_EQ(loaded.Selection.PortSelection, 0);
  EXPECT_EQ(loadedImage.P(5), 42);
}

TEST(SettingsFiles, MissingFilesLeaveTheStartUpState) {
  TempDir dir;
  const StatePaths paths = StatePathsIn(dir.path.string());
  Settings s;
  ParameterImage image;
  image.P(10) = 9;  // start-up defaults stand in
  AllCellsFlagArray flags{};
  flags[3] = 1;
  LoadSettings(paths, s, image, flags);
  EXPECT_EQ(s.Selection.PortSelection, 0);
  EXPECT_EQ(image.P(10), 9);
  EXPECT_EQ(flags[3], 1);
}

TEST(SettingsWindow, GeometryIsLimitedToTheScreenAreaTheWindowLandsOn) {
  struct Case {
    const char* what;
    WindowRect wanted, available, fitted;
  };
  const WindowRect hd{0, 0, 1920, 1080};
  const WindowRect second{1920, 30, 1280, 994};  // a screen right of another, below a panel
  const Case cases[] = {
      {"sane values stay", {100, 50, 1000, 700}, hd, {100, 50, 1000, 700}},
      {"largest int", {0, 0, 2147483647, 2147483647}, hd, {0, 0, 1920, 1080}},
      {"widget size limit", {10, 10, 16777215, 16777215}, hd, {0, 0, 1920, 1080}},
      {"tall", {5, 5, 800, 99999999}, hd, {5, 0, 800, 1080}},
      {"far right and down", {99999999, 99999999, 800, 600}, hd, {1120, 480, 800, 600}},
      {"negative", {-2147483647 - 1, -500, -20, 0}, hd, {0, 0, kMinWindowWidth, kMinWindowHeight}},
      {"half off the left edge", {-300, 100, 1000, 700}, hd, {0, 100, 1000, 700}},
      {"from a bigger screen", {2000, 900, 2400, 1300}, second, {1920, 30, 1280, 994}},
      {"on the second screen", {2100, 100, 1000, 700}, second, {2100, 100, 1000, 700}},
      {"screen smaller than the minimum", {0, 0, 1000, 700}, {0, 0, 300, 200}, {0, 0, 300, 200}},
  };
  for (const Case& c : cases) EXPECT_EQ(FitWindowRect(c.wanted, c.available), c.fitted) << c.what;
}

TEST(SettingsFiles, UnusableSettingsFilesAreSetAsideOnceAndAFreshOneWritten) {
  struct Case {
    const char* what;
    std::function<void(const std::string&)> make;
    const char* reason;
  };
  auto text = [](std::string t) { return [t](const std::string& path) { std::ofstream(path, std::ios::binary) << t; }; };
  std::string garbage(10u << 20, '\0');
  std::mt19937 rng(3);
  for (char& c : garbage) c = static_cast<char>(rng());
  // Still an INI file, but no settings file of ours grows to this.
  std::string huge = "[BASIC]\nComPort=3\n[Notes]\n";
  while (huge.size() <= kMaxSettingsBytes) huge += "line=" + std::string(60, 'x') + "\n";
  const Case cases[] = {
      {"10 MB of noise", text(garbage), "larger than 64 KiB"},
      {"an INI file over 64 KiB", text(huge), "larger than 64 KiB"},
      {"no readable line", text(std::string("\x01\x02=\x7f\n\xff\xfe\n=value\n\0\0", 17)), "no readable line"},
      {"a pipe", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }, "not a regular file"},
      {"a directory", [](const std::string& path) { fs::create_directory(path); }, "not a regular file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const StatePaths paths = StatePathsIn(dir.path.string());
    std::ofstream(paths.SettingsFile + ".bad") << "an older one";
    c.make(paths.SettingsFile);
    const auto before = fs::status(paths.SettingsFile).type();
    Settings s;
    ParameterImage image;
    AllCellsFlagArray flags{};
    const LoadSettingsStatus status = LoadSettings(paths, s, image, flags);
    EXPECT_EQ(status.SettingsFile.Reason, c.reason);
    EXPECT_EQ(status.SettingsFile.SetAsideAs, paths.SettingsFile + ".bad");
    EXPECT_FALSE(status.LastImageFile.SetAside());
    EXPECT_EQ(fs::symlink_status(paths.SettingsFile + ".bad").type(), before);
    EXPECT_FALSE(fs::exists(paths.SettingsFile));
    EXPECT_EQ(s.Selection.PortSelection, 0);  // read as missing
    const std::string message = SetAsideMessage(paths, status);
    EXPECT_NE(message.find(paths.SettingsFile + ".bad"), std::string::npos) << message;
    EXPECT_NE(message.find(c.reason), std::string::npos) << message;

    ASSERT_TRUE(SaveSettings(paths, s, image, flags).Ok());
    EXPECT_LT(fs::file_size(paths.SettingsFile), 1000u);
    LoadSettings(paths, s, image, flags);
    EXPECT_EQ(fs::status(paths.SettingsFile + ".bad").type(), before);  // not set aside again
  }
}

TEST(SettingsFiles, ALastImageThatIsNoFileIsSetAsideSoThatTheNextSaveCanWriteIt) {
  TempDir dir;
  const StatePaths paths = StatePathsIn(dir.path.string());
  ASSERT_EQ(::mkfifo(paths.LastImageFile.c_str(), 0600), 0);
  Settings s;
  ParameterImage image;
  image.P(10) = 9;
  AllCellsFlagArray flags{};
  const LoadSettingsStatus status = LoadSettings(paths, s, image, flags);
  EXPECT_FALSE(status.SettingsFile.SetAside());
  EXPECT_EQ(status.LastImageFile.Reason, "not a regular file");
  EXPECT_TRUE(fs::is_fifo(paths.LastImageFile + ".bad"));
  EXPECT_EQ(image.P(10), 9);
  EXPECT_NE(SetAsideMessage(paths, status).find(paths.LastImageFile + ".bad"), std::string::npos);
  EXPECT_TRUE(SaveSettings(paths, s, image, flags).Ok());
}

TEST(SettingsFiles, HandWrittenFilesAreKeptAndGarbageIsNeverCarriedAlong) {
  for (const std::string kept : {"", "\r\n  \n", "; only a comment\n", "[Mine]\nx=1\n\x01\x02garbage\n"}) {
    TempDir dir;
    const StatePaths paths = StatePathsIn(dir.path.string());
    std::ofstream(paths.SettingsFile, std::ios::binary) << kept;
    Settings s;
    ParameterImage image;
    AllCellsFlagArray flags{};
    EXPECT_FALSE(LoadSettings(paths, s, image, flags).SetAside()) << kept;
    EXPECT_FALSE(fs::exists(paths.SettingsFile + ".bad"));
  }
  // A file that could not be set aside (the rename failed) is still not
  // written back with the new keys.
  TempDir dir;
  const StatePaths paths = StatePathsIn(dir.path.string());
  std::ofstream(paths.SettingsFile, std::ios::binary) << std::string(kMaxSettingsBytes + 1, 'x');
  ASSERT_TRUE(SaveSettings(paths, Settings{}, ParameterImage{}, AllCellsFlagArray{}).Ok());
  EXPECT_LT(fs::file_size(paths.SettingsFile), 1000u);
}

TEST(SettingsFiles, AFailedSaveNamesTheFilesAndTheReason) {
  TempDir dir;
  const StatePaths paths = StatePathsIn(dir.path.string());
  SaveSettingsStatus status;
  status.SettingsFile = {true, {}};
  status.LastImageFile = {true, {}};
  EXPECT_EQ(SaveFailureMessage(paths, status), "");

  fs::create_directories(paths.SettingsFile);  // cannot be replaced by a file
  status = SaveSettings(paths, Settings{}, ParameterImage{}, AllCellsFlagArray{});
  EXPECT_FALSE(status.Ok());
  const std::string message = SaveFailureMessage(paths, status);
  EXPECT_NE(message.find(paths.SettingsFile + ":\n"), std::string::npos) << message;
  EXPECT_NE(message.find("Is a directory"), std::string::npos) << message;
  EXPECT_EQ(message.find(paths.LastImageFile), std::string::npos) << message;  // that one was saved
}

}  // namespace
}  // namespace velmor
