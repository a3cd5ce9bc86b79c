// What the window starts with and keeps, driven through its controls by
// name, offscreen on the screens of a desk: the settings kept between runs
// and a settings file edited by hand, the file dialogs' starting places, and
// a file (with or without a language word) on the command line. Modal
// messages and file dialogs are answered through the window's hooks.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <QtTest>

#include "files/file_io.h"
#include "files/ign_file.h"
#include "ui/window/form_hlav.h"
#include "lang/catalog.h"
#include "model/defaults.h"
#include "window_harness.h"
#include "test_images.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

class WindowSettingsTest : public QObject, WindowFixture {
  Q_OBJECT

 private slots:
  void init() { Reset(); }

  // ------------------------------------------------------------ settings

  void SettingsSurviveCloseAndRestart() {
    {
      auto w = Make();
      Action(*w, "MenuGerman")->trigger();
      Action(*w, "MenuCom3")->trigger();
      QCOMPARE(port_.LastOpened(), 3);

      ClickTab(Tabs(*w), PageInj1);
      ClickButton(Get<QCheckBox>(*w, "CheckBoxZobrMs_Uni"));
      ClickTab(Tabs(*w), PagePosition);
      ClickButton(Get<QCheckBox>(*w, "CheckBoxAll_PolohaA"));
      ClickTab(Tabs(*w), PageMonitor);
      ClickButton(Get<QCheckBox>(*w, "CheckBoxExtMonitor"));
      ClickTab(Tabs(*w), PageBike);
      TypeAndEnter(Get<QLineEdit>(*w, "EditFan1"), "97");
      QCOMPARE(int(w->Image().P(35)), 97);
      chosenFile_ = dir_->filePath("saved");
      QTest::keyClick(w.get(), Qt::Key_F2);
      QVERIFY(QFileInfo::exists(chosenFile_ + ".ign"));
      ClickTab(Tabs(*w), PageSensors);
      w->resize(1100, 760);
      QVERIFY(w->close());
    }
    port_ = ScriptedPort();
    auto w = Make();
    QCOMPARE(w->Language(), LanguageCode::German);
    QVERIFY(Action(*w, "MenuGerman")->isChecked());
    QCOMPARE(w->PageIndex(), int(PageSensors));
    QCOMPARE(Tabs(*w)->currentIndex(), int(PageSensors));
    QCOMPARE(port_.LastOpened(), 3);
    QVERIFY(Action(*w, "MenuCom3")->isChecked());
    for (const char* box : {"CheckBoxZobrMs_Uni", "CheckBoxAll_PolohaA", "CheckBoxExtMonitor"}) {
      QVERIFY2(Get<QCheckBox>(*w, box)->isChecked(), box);
    }
    QCOMPARE(int(w->Image().P(35)), 97);
    QCOMPARE(w->size(), QSize(1100, 760));
    // The file last saved names the window and starts the next dialog.
    const QString saved = dir_->filePath("saved.ign");
    QCOMPARE(QString::fromStdString(w->CurrentFileName()), saved);
    QVERIFY(w->windowTitle().endsWith("       " + saved));
    chosenFile_.clear();
    dialogs_.clear();
    QTest::keyClick(w.get(), Qt::Key_F3);
    QCOMPARE(dialogs_, QStringList{"open:" + saved});
  }

  // The caption names the file only while the tune equals it: an edit marks
  // it "(changed)", Save takes the mark down, and after a restart an edit
  // that was never saved is still marked.
  void TheCaptionMarksUnsavedChangesAcrossARestart() {
    const QString saved = dir_->filePath("r1.ign");
    {
      auto w = Make();
      ClickTab(Tabs(*w), PageBike);
      TypeAndEnter(Get<QLineEdit>(*w, "EditFan1"), "96");
      QVERIFY2(w->windowTitle().endsWith("       *"), qPrintable(w->windowTitle()));
      chosenFile_ = saved;
      QTest::keyClick(w.get(), Qt::Key_F2);
      QVERIFY2(w->windowTitle().endsWith("       " + saved), qPrintable(w->windowTitle()));
      TypeAndEnter(Get<QLineEdit>(*w, "EditFan1"), "95");
      QVERIFY2(w->windowTitle().endsWith(saved + " (changed)"), qPrintable(w->windowTitle()));
      w->findChild<QAction*>("MenuZpet")->trigger();  // undo: the file's tune again
      QVERIFY2(w->windowTitle().endsWith("       " + saved), qPrintable(w->windowTitle()));
      w->findChild<QAction*>("MenuZnovu")->trigger();
      QVERIFY(w->close());
    }
    auto again = Make();
    QCOMPARE(int(again->Image().P(35)), 95);
    QVERIFY2(again->windowTitle().endsWith(saved + " (changed)"), qPrintable(again->windowTitle()));
  }

  void FileDialogsStartWhereTheCommandSays_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("programDir");
    QTest::newRow("open button") << "SpeedButtonOpen" << false << "open" << false;
    QTest::newRow("open button with Ctrl") << "SpeedButtonOpen" << true << "open" << true;
    QTest::newRow("save button") << "SpeedButtonSave" << false << "save" << false;
    QTest::newRow("save button with Ctrl") << "SpeedButtonSave" << true << "save" << true;
    QTest::newRow("Open") << "MenuOpen" << false << "open" << false;
    QTest::newRow("Open from exe dir") << "MenuOpenExeDir" << false << "open" << true;
    QTest::newRow("Save") << "MenuSave" << false << "save" << false;
    QTest::newRow("Save to exe dir") << "MenuSaveExeDir" << false << "save" << true;
  }
  void FileDialogsStartWhereTheCommandSays() {
    QFETCH(QString, control);
    QFETCH(bool, ctrl);
    QFETCH(QString, dialog);
    QFETCH(bool, programDir);
    auto w = Make();
    const ParameterImage before = w->Image();
    if (auto* b = Get<QAbstractButton>(*w, control)) {
      QTest::mouseClick(b, Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::KeyboardModifiers());
    } else {
      QVERIFY(Action(*w, qPrintable(control)));
      Action(*w, qPrintable(control))->trigger();
    }
    const QString start = programDir ? dir_->filePath("program/data.ign") : QString();
    QCOMPARE(dialogs_, QStringList{dialog + ":" + start});
    // A cancelled dialog changes nothing.
    QCOMPARE(w->Image(), before);
    QVERIFY(w->CurrentFileName().empty());
  }

  void HandEditedSettingsFile_data() {
    QTest::addColumn<QString>("basic");
    QTest::addColumn<int>("openedPort");
    QTest::addColumn<QString>("checkedCom");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("page");
    QTest::newRow("automatic search from COM5") << "ComPort=21\nComPortAuto=5\n" << 5 << "MenuComAuto"
                                                << int(LanguageCode::English) << int(PageGear);
    QTest::newRow("fixed port") << "ComPort=4\n" << 4 << "MenuCom4" << int(LanguageCode::English) << int(PageGear);
    QTest::newRow("language and page out of range") << "Language=9\nPageControl1->ActivePageIndex=40\n" << 1
                                                    << "MenuCom1" << int(LanguageCode::English) << int(PageGear);
    QTest::newRow("language and page in range") << "Language=3\nPageControl1->ActivePageIndex=12\n" << 1
                                                 << "MenuCom1" << int(LanguageCode::Czech) << int(PageMonitor);
  }
  void HandEditedSettingsFile() {
    QFETCH(QString, basic);
    QFETCH(int, openedPort);
    QFETCH(QString, checkedCom);
    QFETCH(int, language);
    QFETCH(int, page);
    QDir(dir_->path()).mkpath("config");
    QFile ini(dir_->filePath("config/Velmor_v78.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(("[BASIC]\n" + basic).toLatin1());
    ini.close();
    auto w = Make();
    QCOMPARE(port_.LastOpened(), openedPort);
    QVERIFY(Get<QAction>(*w, checkedCom)->isChecked());
    QCOMPARE(int(w->Language()), language);
    QCOMPARE(w->PageIndex(), page);
    QCOMPARE(Tabs(*w)->currentIndex(), page);
  }

  // ------------------------------------------------------------ a file on the command line

  // What the desktop starts for a double-clicked file: `velmor [LANGUAGE]
  // FILE`. The file opens once the window runs, as File → Open opens it.
  void FileOnTheCommandLineOpensAfterStartUp_data() {
    QTest::addColumn<QStringList>("args");  // "%1" stands for the file
    QTest::addColumn<int>("language");
    QTest::newRow("the file alone") << QStringList{"%1"} << int(LanguageCode::English);
    QTest::newRow("a language word first") << QStringList{"DEUTSCH", "%1"} << int(LanguageCode::German);
    QTest::newRow("a language word after it") << QStringList{"%1", "CESKY"} << int(LanguageCode::English);
  }
  void FileOnTheCommandLineOpensAfterStartUp() {
    QFETCH(QStringList, args);
    QFETCH(int, language);
    ParameterImage file = testsupport::DefaultsOf(5);
    file.P(35) = 111;
    file.P(kAdvanceMap + 7) = 33;
    QVERIFY(QDir().mkpath(dir_->filePath("my tunes")));
    const QString path = dir_->filePath("my tunes/r1 race.ign");
    QVERIFY(SaveParameterFile(path.toStdString(), file, {}).Ok);
    std::vector<std::string> argv;
    for (const QString& a : args) argv.push_back((a == "%1" ? path : a).toStdString());

    auto w = Make(argv);
    QTRY_COMPARE(QString::fromStdString(w->CurrentFileName()), path);
    QCOMPARE(int(w->Language()), language);
    QCOMPARE(int(w->Image().P(35)), 111);
    QCOMPARE(int(w->Image().P(kAdvanceMap + 7)), 33);
    QVERIFY2(w->windowTitle().endsWith(path), qPrintable(w->windowTitle()));
    QVERIFY(messages_.isEmpty());
    // One undo step, back to the image the window started with.
    QCOMPARE(UndoSteps(*w), 1);
    Action(*w, "MenuZpet")->trigger();
    QVERIFY(w->Image().P(35) != 111);
  }

  // A file that brings a message shows it as File → Open would; a path that
  // names nothing is told in the status bar and the window starts as usual.
  void FileOnTheCommandLineThatDoesNotOpenCleanly() {
    const QString older = dir_->filePath("older.ign");
    std::string text = WriteParameterText(ParameterImage{}, {});
    const std::size_t version = text.find(" 78");
    QVERIFY(version != std::string::npos && version < 40);
    text.replace(version, 3, " 63");
    QVERIFY(AtomicWriteFile(older.toStdString(), text).Ok);
    {
      auto w = Make({"FRENCH", older.toStdString()});
      QTRY_COMPARE(QString::fromStdString(w->CurrentFileName()), older);
      QCOMPARE(messages_, QStringList{QString::fromStdString(
                              std::string(CatalogText(MsgKey::MsgFileOlderVersion, LanguageCode::French)))});
    }
    messages_.clear();
    const QString missing = dir_->filePath("gone.ign");
    // A control under the pointer would put its hint over the message.
    QCursor::setPos(0, 0);
    auto w = Make({"DEUTSCH", missing.toStdString()});
    const QString expected =
        QString::fromStdString(std::string(CatalogText(MsgKey::MsgFileOpenError, LanguageCode::German))) + " " +
        missing;
    QTRY_COMPARE(w->statusBar()->currentMessage(), expected);
    QVERIFY(messages_.isEmpty());
    QVERIFY(w->CurrentFileName().empty());
    QCOMPARE(UndoSteps(*w), 0);
  }
};

QTEST_MAIN(WindowSettingsTest)
#include "window_settings_test.moc"
