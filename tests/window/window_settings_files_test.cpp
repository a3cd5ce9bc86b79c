// The window against settings files it cannot trust, offscreen on two
// configured screens (full HD, and 1280 x 1024 to its right): rectangles no
// screen can show, a file that is set aside, and a save that fails.
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>
#include <fstream>
#include <sys/stat.h>

#include "files/settings.h"
#include "form_hlav.h"
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
