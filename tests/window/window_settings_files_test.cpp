// The window against files it cannot trust, offscreen on two configured
// screens (full HD, and 1280 x 1024 to its right): settings with rectangles
// no screen can show, a settings file that is set aside, a save that fails,
// and parameter files cut off or lacking sections.
#include <QFile>
#include <QGuiApplication>
#include <QStatusBar>
#include <QScreen>
#include <QtTest>
#include <fstream>
#include <sys/stat.h>

#include "ui/history/compare_dialog.h"
#include "editor/document.h"
#include "files/settings.h"
#include "lang/catalog.h"
#include "ui/window/form_hlav.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

class WindowSettingsFilesTest : public QObject, WindowFixture {
  Q_OBJECT

 public:
  WindowSettingsFilesTest() : WindowFixture({.programDir = "", .showing = WindowSetup::Shown}) {}

 private:
  QString ConfigDir() const { return dir_->filePath("config"); }
  QString SettingsFile() const { return ConfigDir() + "/Velmor_v78.ini"; }

  std::unique_ptr<TFormHlav> Make(const QString& configDir) {
    FormOptions o = Options();
    o.ConfigDir = configDir.toStdString();
    auto w = Open(std::move(o));
    QCoreApplication::processEvents();  // what the window shows once it runs
    return w;
  }

  // A tune with injection map 1 at 110 % in uncoupled maps, saved and
  // opened, so that the window has a file name and an undo step; the text
  // of the file.
  std::string OpenTune(TFormHlav& w) {
    Document tune;
    tune.Image.P(kMapModeByte) = MapModeNormal;
    for (int cell = 0; cell < 150; ++cell) tune.Image.SetWord(kInj1Map + 2 * cell, 1100);
    chosenFile_ = dir_->filePath("tune.ign");
    if (!tune.Save(chosenFile_.toStdString(), FileVersions()).Written.Ok) return {};
    Action(w, "MenuOpen")->trigger();
    messages_.clear();
    QFile f(chosenFile_);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
  }
  QString Put(const QString& name, const std::string& text) const {
    QFile f(dir_->filePath(name));
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(text.data(), static_cast<qint64>(text.size()));
    return f.fileName();
  }

  Settings Saved() const {
    std::ifstream in(SettingsFile().toStdString(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    Settings s;
    ReadSettingsText(text, s);
    return s;
  }

 private slots:
  void initTestCase() { QCOMPARE(QGuiApplication::screens().size(), 2); }

  void init() {
    Reset();
    QDir(dir_->path()).mkpath("config");
  }

  void GeometryLandsOnAScreenAndIsSavedAsTheWindowHadIt_data() {
    QTest::addColumn<QString>("basic");
    QTest::addColumn<int>("screen");
    QTest::newRow("largest int") << "Left=0\nTop=0\nWidth=2147483647\nHeight=2147483647\n" << 0;
    QTest::newRow("widget size limit") << "Width=16777215\nHeight=16777215\n" << 0;
    QTest::newRow("tall") << "Height=99999999\n" << 0;
    QTest::newRow("far away") << "Left=99999999\nTop=99999999\n" << 0;
    QTest::newRow("negative") << "Left=-2147483648\nTop=-700\nWidth=-5\nHeight=0\n" << 0;
    QTest::newRow("from a bigger second screen") << "Left=2500\nTop=100\nWidth=2400\nHeight=1300\n" << 1;
    QTest::newRow("on the second screen") << "Left=2000\nTop=50\nWidth=1100\nHeight=760\n" << 1;
  }
  void GeometryLandsOnAScreenAndIsSavedAsTheWindowHadIt() {
    QFETCH(QString, basic);
    QFETCH(int, screen);
    QFile ini(SettingsFile());
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(("[BASIC]\n" + basic).toLatin1());
    ini.close();
    auto w = Make(ConfigDir());
    const QRect area = QGuiApplication::screens().at(screen)->availableGeometry();
    // The platform draws a frame of two pixels around the window and keeps
    // the frame on the screen, as a window manager does with its own.
    const QRect frame = w->frameGeometry();
    QVERIFY2(area.adjusted(-2, -2, 2, 2).contains(w->geometry()) && w->width() <= area.width() &&
                 w->height() <= area.height(),
             qPrintable(QString("%1,%2 %3x%4 frame %5,%6 %7x%8")
                            .arg(w->geometry().x())
                            .arg(w->geometry().y())
                            .arg(w->width())
                            .arg(w->height())
                            .arg(frame.x())
                            .arg(frame.y())
                            .arg(frame.width())
                            .arg(frame.height())));
    if (basic.contains("Width=1100")) QCOMPARE(w->geometry(), QRect(2000, 50, 1100, 760));  // fits: untouched
    const QRect had = w->geometry();
    QVERIFY(w->close());
    const Settings s = Saved();
    QCOMPARE(QRect(s.Left, s.Top, s.Width, s.Height), had);
    QVERIFY(messages_.isEmpty());
  }

  void AGarbageFileIsSetAsideWithAMessageAndAFreshOneWritten() {
    {
      std::ofstream out(SettingsFile().toStdString(), std::ios::binary);
      std::string noise(10u << 20, '\0');
      std::uint32_t x = 1;
      for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
      out << noise;
    }
    auto w = Make(ConfigDir());
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_[0].contains(SettingsFile() + ".bad") && messages_[0].contains("larger than 64 KiB"),
             qPrintable(messages_[0]));
    QCOMPARE(QFileInfo(SettingsFile() + ".bad").size(), qint64(10u << 20));
    QVERIFY(w->close());
    QVERIFY(QFileInfo(SettingsFile()).size() < 1000);
    QCOMPARE(Saved().Selection.PortSelection, 0);
    QCOMPARE(messages_.size(), 1);
  }

  // A tune cut off inside injection map 1 changes nothing through any of
  // the window's ways to read a file: not the image, not the file name, not
  // the undo history, and no compare opens. The message says where the
  // file ends, in the window's language.
  void ACutOffTuneIsRefusedByOpenOpenForPageAndCompare_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("message");
    const QString english = "The file is cut off: it ends inside JET_1A, in line %1. Nothing was loaded.";
    QTest::newRow("Open") << "MenuOpen" << int(PageBike) << "" << english;
    QTest::newRow("Open for actual page") << "MenuOpenActPage" << int(PageInj1) << "" << english;
    QTest::newRow("Compare with file") << "MenuCompareFile" << int(PageBike) << "" << english;
    QTest::newRow("Open, in French") << "MenuOpen" << int(PageBike) << "MenuFrench"
                                     << "Le fichier est tronqué : il se termine au milieu de JET_1A, à la ligne %1. "
                                        "Rien n'a été chargé.";
  }
  void ACutOffTuneIsRefusedByOpenOpenForPageAndCompare() {
    QFETCH(QString, action);
    QFETCH(int, page);
    QFETCH(QString, language);
    QFETCH(QString, message);
    auto w = Make(ConfigDir());
    const std::string text = OpenTune(*w);
    QVERIFY(!text.empty());
    if (!language.isEmpty()) Action(*w, qPrintable(language))->trigger();
    Tabs(*w)->setCurrentIndex(page);
    const std::size_t cut = text.find("JET_1A") + 300;
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(cut), '\n');
    chosenFile_ = Put("half.ign", text.substr(0, cut));
    const ParameterImage before = w->Image();
    const std::string file = w->CurrentFileName();
    const int steps = UndoSteps(*w);

    Action(*w, qPrintable(action))->trigger();
    QCOMPARE(w->Image(), before);
    QCOMPARE(w->CurrentFileName(), file);
    QCOMPARE(UndoSteps(*w), steps);
    QVERIFY(!w->findChild<CompareDialog*>());
    QCOMPARE(messages_, QStringList{message.arg(line)});
    QCOMPARE(w->statusBar()->currentMessage(), message.arg(line));
  }

  // A file that ends between two sections, as older versions and files made
  // by hand do, loads as ever and names the sections it does not hold.
  void AFileWithoutSomeSectionsLoadsAndNamesThem() {
    auto w = Make(ConfigDir());
    const std::string text = OpenTune(*w);
    Action(*w, "MenuNew")->trigger();
    chosenFile_ = Put("short.ign", text.substr(0, text.find("\r\nRPM_JET_2A") + 2));
    Action(*w, "MenuOpen")->trigger();
    QCOMPARE(QString::fromStdString(w->CurrentFileName()), chosenFile_);
    QCOMPARE(int(w->Image().Word(kInj1Map)), 1100);
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_[0].startsWith("Not in the file, so their values stay as they were or take the defaults: "
                                     "RPM_JET_2A, JET_2A, POSITION_A, ") &&
                 messages_[0].endsWith(", LAMBDA_BAR, MEMO"),
             qPrintable(messages_[0]));
  }

  // A file of the older version is said to be one when it is compared, as
  // when it is opened, and the comparison still opens.
  void ComparingWithAnOlderVersionSaysSo() {
    auto w = Make(ConfigDir());
    std::string text = OpenTune(*w);
    const std::size_t version = text.find(" 78");
    QVERIFY(version != std::string::npos && version < 40);
    text.replace(version, 3, " 63");
    chosenFile_ = Put("older.ign", text);
    Action(*w, "MenuCompareFile")->trigger();
    QCOMPARE(messages_, QStringList{QString::fromStdString(
                            std::string(CatalogText(MsgKey::MsgFileOlderVersion, LanguageCode::English)))});
    QTRY_VERIFY(w->findChild<CompareDialog*>());
  }

  void AFailedSaveNamesTheFileAndTheReason() {
    // A directory that cannot be made, even by the superuser: its parent is
    // a file.
    QFile blocker(dir_->filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString config = dir_->filePath("file/config");
    auto w = Make(config);
    QVERIFY(messages_.isEmpty());
    QVERIFY(w->close());
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_[0].contains(config + "/Velmor_v78.ini") && messages_[0].contains(config + "/_Velmor_v78.ini") &&
                 messages_[0].contains("Not a directory"),
             qPrintable(messages_[0]));
  }
};

QTEST_MAIN(WindowSettingsFilesTest)
#include "window_settings_files_test.moc"
