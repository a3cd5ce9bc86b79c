// The main window driven through its controls by name, offscreen, with a
// serial port that never answers.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QtTest>

#include "ui/window/form_about.h"
#include "window_harness.h"
#include "ui/window/form_hlav.h"
#include "ui/widgets/up_down.h"

using namespace velmor;
using namespace velmor::ui;


// The port opens and never answers; the windows are not shown.
class WindowTest : public QObject, wtest::WindowFixture {
  Q_OBJECT

 public:
  WindowTest() : WindowFixture({.configDir = "", .programDir = "", .showing = wtest::WindowSetup::Hidden}) {}

 private:
  // Types a text into an edit box and presses Enter there.
  static void Enter(TFormHlav& w, const char* edit, const QString& text) {
    auto* e = w.findChild<QLineEdit*>(edit);
    QVERIFY2(e, edit);
    e->setText(text);
    QTest::keyClick(e, Qt::Key_Return);
  }

 private slots:
  void init() { Reset(); }

  void PagesAndMenusAreBuiltInOrder() {
    auto w = Make();
    auto* tabs = w->findChild<QTabWidget*>("PageControl1");
    QVERIFY(tabs);
    const QStringList names = {"TabSheet_Bike",  "TabSheet_Advance", "TabSheet_Inj1A", "TabSheet_Inj2A",
                               "TabSheet_Poloha", "TabSheet_Korekce", "TabSheet_Cidla", "TabSheet_Idle",
                               "TabSheet_Gas",   "TabSheet_Gear",    "TabSheet_Race",  "TabSheet_Ladeni",
                               "TabSheet_Monitor"};
    QCOMPARE(tabs->count(), names.size());
    for (int i = 0; i < names.size(); ++i) QCOMPARE(tabs->widget(i)->objectName(), names[i]);
    QCOMPARE(tabs->tabText(10), QString("Race"));

    auto* com = w->findChild<QMenu*>("MenuCom");
    QVERIFY(com);
    // The 21 port items, then the port diagnostics after a separator.
    QCOMPARE(com->actions().size(), 23);
    QCOMPARE(com->actions().first()->text(), QString("Com 1"));
    QCOMPARE(com->actions()[20]->text(), QString("Com Auto"));
    QVERIFY(com->actions()[21]->isSeparator());
    QCOMPARE(com->actions().last()->objectName(), QString("MenuPortDiagnostics"));
    for (const char* name : {"MenuNew", "MenuOpen", "MenuSave", "MenuRead", "MenuVerify", "MenuProgram",
                             "MenuToolsPlus", "MenuZpet", "MenuLadeniOn", "MenuContens", "MenuAbout"}) {
      QVERIFY2(w->findChild<QAction*>(name), name);
    }
    QCOMPARE(w->findChild<QAction*>("MenuToolsPlus")->shortcut(), QKeySequence("F5"));
  }

  void StartsWithoutFilesOnCom1InEnglishOnTheGearPage() {
    auto w = Make();
    QCOMPARE(w->PageIndex(), int(PageGear));
    QCOMPARE(w->Language(), LanguageCode::English);
    QCOMPARE(port_.LastOpened(), 1);
    QVERIFY(w->findChild<QAction*>("MenuEnglish")->isChecked());
    QVERIFY(w->windowTitle().startsWith("  Velmor       "));
  }

  void EnterCommitsTheFieldInItsEncoding() {
    auto w = Make();
    w->ActivatePage(PageBike);
    struct Case { const char* edit; const char* text; int offset; int stored; };
    const Case cases[] = {
        {"EditRpmKorekce", "-60", 37, 40},
        {"EditBuzeni", "700", 4, 7},
        {"EditIgnLimiter", "12345", 29, 123},
    };
    for (const Case& c : cases) {
      Enter(*w, c.edit, c.text);
      QCOMPARE(int(w->Image().P(c.offset)), c.stored);
    }
    // The refresh shows the truncated value.
    QCOMPARE(w->findChild<QLineEdit*>("EditIgnLimiter")->text(), QString("12300"));

    w->ActivatePage(PageSensors);
    Enter(*w, "EditTps100", "4900");
    QCOMPARE(int(w->Image().P(34)), 240);
  }

  // The box then shows the stored value again, not what was typed.
  void TextThatIsNotANumberKeepsTheValue() {
    auto w = Make();
    w->ActivatePage(PageBike);
    const int before = w->Image().P(35);
    auto* fan = w->findChild<QLineEdit*>("EditFan1");
    const QString shown = fan->text();
    for (const char* typed : {"hot", "151", "0099999"}) {
      Enter(*w, "EditFan1", typed);
      QCOMPARE(int(w->Image().P(35)), before);
      QCOMPARE(fan->text(), shown);
    }
  }

  void RefreshShowsStoredValuesLimitedToTheRange() {
    auto w = Make();
    w->Image().P(4) = 7;
    w->ActivatePage(PageBike);
    w->RefreshPage();
    QCOMPARE(w->findChild<QLineEdit*>("EditBuzeni")->text(), QString("700"));
    w->Image().P(4) = 0;
    w->RefreshPage();
    QCOMPARE(w->findChild<QLineEdit*>("EditBuzeni")->text(), QString("100"));
    QCOMPARE(int(w->Image().P(4)), 0);  // the refresh never writes the image
    w->Image().P(37) = 40;
    w->RefreshPage();
    QCOMPARE(w->findChild<QLineEdit*>("EditRpmKorekce")->text(), QString("-60"));
  }

  void MapPagesEditPercentagesOfTheBaseTime() {
    auto w = Make();
    w->ActivatePage(PageInj1);
    const int base = w->Tables().BaseTime1[0];
    QCOMPARE(w->findChild<QLineEdit*>("EditMapCell0")->text(), QString("100"));
    Enter(*w, "EditMapCell0", "110");
    QCOMPARE(int(w->Image().Word(kInj1Map)), (110 * base + 50) / 100);
    // " 1 = 2" is the default mode: map 2 follows map 1.
    QCOMPARE(w->Image().Word(kInj2Map), w->Image().Word(kInj1Map));
  }

  void CommandLineWordSelectsTheLanguage() {
    struct Case { std::vector<std::string> args; LanguageCode expected; };
    const Case cases[] = {{{"DEUTSCH"}, LanguageCode::German},
                          {{"deutsch"}, LanguageCode::English},
                          {{"x", "CESKY"}, LanguageCode::English},
                          {{"CESKY"}, LanguageCode::Czech}};
    for (const Case& c : cases) {
      auto w = Make(c.args);
      QCOMPARE(w->Language(), c.expected);
    }
    auto w = Make({"CESKY"});
    QCOMPARE(w->findChild<QAction*>("MenuRead")->text(), QString::fromUtf8("Čí&st"));
  }

  void AboutTitleFollowsTheLanguage() {
    LanguageCode lang = LanguageCode::German;
    TFormAbout about([&] { return lang; });
    about.show();
    QApplication::setActiveWindow(&about);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&about, &activate);
    QCOMPARE(about.windowTitle(), QString::fromUtf8("Über Programm Velmor"));
    lang = LanguageCode::French;
    QApplication::sendEvent(&about, &activate);
    QCOMPARE(about.windowTitle(), QString::fromUtf8("Über Programm Velmor"));
    lang = LanguageCode::Czech;
    QApplication::sendEvent(&about, &activate);
    QCOMPARE(about.windowTitle(), QString("O programu Velmor"));
    QCOMPARE(about.findChild<QLabel*>("LabelRsKey")->text(), QString("Version - 78"));
  }

  // The menu bar's items take their captions from the text table alone: an
  // item the table lacks would stand blank in every language, which the
  // comparison with English below cannot see. The Log menu names its items
  // itself when it opens.
  void EveryMenuItemShowsACaptionInEveryLanguage() {
    auto w = Make();
    const QMenuBar* bar = w->menuBar();
    for (LanguageCode language : {LanguageCode::English, LanguageCode::German, LanguageCode::French,
                                  LanguageCode::Czech}) {
      w->SetLanguage(language);
      QStringList blank;
      for (QAction* top : bar->actions()) {
        if (top->text().isEmpty()) blank << top->objectName();
        if (top->objectName() == "MenuLog") continue;
        for (QAction* a : top->menu()->actions()) {
          if (!a->isSeparator() && a->text().trimmed().isEmpty()) blank << a->objectName();
        }
      }
      QVERIFY2(blank.isEmpty(), qPrintable(QString("language %1: %2").arg(int(language)).arg(blank.join(", "))));
    }
    // Those that read the same everywhere, in Czech.
    QCOMPARE(w->findChild<QAction*>("MenuToolsPlus")->text(), QString("Plus"));
    QCOMPARE(w->findChild<QAction*>("Menu_Jet123Stejny")->text(), QString(" 1 = 2"));
    QCOMPARE(w->findChild<QMenu*>("MenuFile")->title(), QString("&Soubor"));
  }

  // Every control, action and tab the window names that shows a caption in
  // English shows one in German, French and Czech too: a text missing from
  // one language would leave a blank button or label there.
  void EveryNamedCaptionHasATextInEveryLanguage() {
    auto w = Make();
    const auto captions = [&w] {
      QMap<QString, QString> all;
      for (QWidget* c : w->findChildren<QWidget*>()) {
        if (c->objectName().isEmpty()) continue;
        if (auto* l = qobject_cast<QLabel*>(c))
          all[c->objectName()] = l->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(c))
          all[c->objectName()] = b->text();
        else if (auto* g = qobject_cast<QGroupBox*>(c))
          all[c->objectName()] = g->title();
      }
      for (QAction* a : w->findChildren<QAction*>())
        if (!a->objectName().isEmpty() && !a->isSeparator()) all["action " + a->objectName()] = a->text();
      QTabWidget* tabs = wtest::Tabs(*w);
      for (int i = 0; i < tabs->count(); ++i) all["tab " + tabs->widget(i)->objectName()] = tabs->tabText(i);
      return all;
    };
    w->SetLanguage(LanguageCode::English);
    const QMap<QString, QString> english = captions();
    QVERIFY(english.size() > 300);
    for (LanguageCode language : {LanguageCode::German, LanguageCode::French, LanguageCode::Czech}) {
      w->SetLanguage(language);
      const QMap<QString, QString> texts = captions();
      QStringList blank;
      for (auto it = english.begin(); it != english.end(); ++it)
        if (!it.value().trimmed().isEmpty() && texts.value(it.key()).trimmed().isEmpty()) blank << it.key();
      QVERIFY2(blank.isEmpty(), qPrintable(QString("language %1: %2").arg(int(language)).arg(blank.join(", "))));
    }
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
