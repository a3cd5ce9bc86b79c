// The pages as the window gets them: every field of the table has its named
// controls with the table's range, the run-time grids sit where the view
// refresh expects them, the live labels exist once, and every page fits the
// window in every language.
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include "lang/control_texts.h"
#include "link/monitor.h"
#include "link/output_tests.h"
#include "model/fields.h"
#include "ui/pages/page_common.h"
#include "page_host.h"
#include "ui/widgets/widgets.h"

using namespace velmor;
using namespace velmor::ui;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The edit box's rectangle in the coordinates of `ancestor`.
QRect RectIn(QWidget* w, QWidget* ancestor) { return QRect(w->mapTo(ancestor, QPoint(0, 0)), w->size()); }

}  // namespace

class PagesTest : public QObject {
  Q_OBJECT

 private:
  testing::PageHost host_;

  QWidget* ScopeOf(int page) const {
    return (page >= PageAdvance && page <= PageInj2) ? static_cast<QWidget*>(host_.Map.Panel) : host_.Sheets[page];
  }

 private slots:
  void init() { host_ = testing::BuildPageHost(); }
  void cleanup() { delete host_.Tabs; }

  void everyFieldHasItsControlsOnItsPage() {
    for (const FieldDef& f : EditorFields()) {
      if (f.Kind == ControlKind::MenuGroup) continue;  // the window's menu
      QWidget* scope = ScopeOf(f.Page);
      const QString what = QString("page %1 %2").arg(f.Page).arg(Q(f.ControlName));
      switch (f.Kind) {
        case ControlKind::FieldPair: {
          auto* edit = scope->findChild<QLineEdit*>(Q(f.EditName));
          auto* spin = scope->findChild<UpDown*>(Q(f.ControlName));
          QVERIFY2(edit && spin, qPrintable(what));
          QCOMPARE(spin->Associate(), edit);
          QCOMPARE(edit->height(), 21);
          QCOMPARE(spin->size(), QSize(16, 21));
          // The map pages share one set of controls; the advance page's rows
          // give their ranges until the first refresh.
          if (f.Page == PageInj1 || f.Page == PageInj2) break;
          QVERIFY2(spin->Min() == f.Min && spin->Max() == f.Max && spin->Increment() == f.Step, qPrintable(what));
          break;
        }
        case ControlKind::CheckBox: QVERIFY2(scope->findChild<QCheckBox*>(Q(f.ControlName)), qPrintable(what)); break;
        case ControlKind::RadioGroup: {
          auto* r = scope->findChild<RadioGroup*>(Q(f.ControlName));
          QVERIFY2(r, qPrintable(what));
          QCOMPARE(r->Items().size(), static_cast<qsizetype>(f.Items.size()));
          break;
        }
        case ControlKind::ComboBox: {
          auto* c = scope->findChild<QComboBox*>(Q(f.ControlName));
          QVERIFY2(c, qPrintable(what));
          QCOMPARE(c->count(), static_cast<int>(f.Items.size()) + 1);
          QCOMPARE(c->itemText(0), QString("Velmor 749"));
          QCOMPARE(c->itemText(c->count() - 1), QString("-------------"));
          break;
        }
        case ControlKind::Memo: QVERIFY2(scope->findChild<QPlainTextEdit*>(Q(f.ControlName)), qPrintable(what)); break;
        case ControlKind::MenuGroup: break;
      }
    }
  }

  void objectNamesAreUnique() {
    QHash<QString, int> seen;
    for (QObject* o : host_.Tabs->findChildren<QObject*>()) {
      const QString name = o->objectName();
      if (name.isEmpty() || name.startsWith("qt_")) continue;
      QVERIFY2(++seen[name] == 1, qPrintable("twice: " + name));
    }
  }

  // Declared field pairs carry a caption label named after the spinner; the
  // language tables' texts are the initial ones.
  void fieldPairsHaveCaptionLabels() {
    for (const FieldDef& f : EditorFields()) {
      if (f.Kind != ControlKind::FieldPair || f.Grid != FieldGrid::None) continue;
      // The after-start table labels its two rows, not each cell.
      if (Q(f.ControlName).startsWith("UpDownSytic")) continue;
      const QString name = detail::FieldLabelName(f);
      QVERIFY2(host_.Sheets[f.Page]->findChild<QLabel*>(name), qPrintable(name));
    }
    const std::pair<const char*, const char*> kTexts[] = {
        {"LabelStartLimiter", "Start limiter [rpm]"}, {"LabelMaxAcc", "Max Acc Kor. [%]"},
        {"LabelTestServo", "Time [ms]"},             {"LabelFan1", "Fan 1 switch-on temperature [°C]"},
        {"LabelApsTlak2", "Pressure 2 [kPa]"},        {"LabelSyticKorekce", "Corrections for -10°C [%]"},
        {"LabelPilotLight", "Gear Shift Light [rpm]"}};
    for (const auto& [name, text] : kTexts) {
      auto* l = host_.Tabs->findChild<QLabel*>(name);
      QVERIFY2(l, name);
      QCOMPARE(l->text(), QString::fromUtf8(text));
    }
    QVERIFY(!host_.Tabs->findChild<QLabel*>("LabelLadeniMaxAcc"));
  }

  void mapPanelHasEveryCellAtItsPlace() {
    const MapPanelWidgets& m = host_.Map;
    QWidget* panel = m.Panel;
    QCOMPARE(panel->objectName(), QString("MapPanel"));
    QCOMPARE(panel->parentWidget(), host_.Sheets[PageAdvance]);
    QCOMPARE(panel->findChildren<QLineEdit*>(QRegularExpression("^EditMapCell\\d+$")).size(), 150);
    QCOMPARE(panel->findChildren<UpDown*>(QRegularExpression("^UpDownRpmAxisField\\d+$")).size(), 15);
    for (int k = 0; k < kMapCells; ++k) {
      const int row = k / 15, col = k % 15;
      QCOMPARE(m.CellEdit[k]->objectName(), QString("EditMapCell%1").arg(k));
      QCOMPARE(RectIn(m.CellEdit[k], panel), QRect(62 * col + 44, 30 * row + 53, 40, 21));
      QCOMPARE(RectIn(m.CellSpin[k], panel).topLeft(), QPoint(62 * col + 84, 30 * row + 53));
      QCOMPARE(m.CellTimeLabel[k]->geometry().topLeft(), QPoint(62 * col + 49, 30 * row + 58));
      QCOMPARE(m.CellTimeLabel[k]->width(), 40);
    }
    for (int i = 0; i < kMapColumns; ++i) {
      QCOMPARE(RectIn(m.AxisEdit[i], panel), QRect(62 * i + 44, 21, 40, 21));
      QCOMPARE(m.ColumnStep[i]->geometry(), QRect(62 * i + 59, 350, 17, 23));
      QCOMPARE(m.ColumnStep[i]->objectName(), QString("ColumnStepButton%1").arg(i));
    }
    const char* kRows[] = {"0%", "2%", "5%", "10%", "20%", "30%", "40%", "60%", "80%", "100%"};
    const int kLefts[] = {16, 16, 16, 10, 10, 10, 10, 10, 10, 4};
    for (int j = 0; j < kMapRows; ++j) {
      QCOMPARE(m.TpsRowLabel[j]->text(), QString(kRows[j]));
      QCOMPARE(m.TpsRowLabel[j]->pos(), QPoint(kLefts[j], 30 * j + 56));
    }
    QCOMPARE(m.MapStep->geometry(), QRect(894, 378, 20, 25));
    QCOMPARE(m.All->objectName(), QString("CheckBoxAll_Uni"));
    QCOMPARE(m.All->text(), QString("All"));
    // Right of the step buttons, as wide as "Alles" needs and whole inside
    // the panel's least width, so the window's smallest width shows it.
    QCOMPARE(m.All->y(), 385);
    QVERIFY(m.All->x() > m.MapStep->geometry().right());
    QVERIFY(m.All->geometry().right() < m.Panel->minimumWidth());
    m.All->setText("Alles");
    QVERIFY(m.All->sizeHint().width() <= m.All->width());
    m.All->setText("All");
    QCOMPARE(m.Tps->objectName(), QString("CheckBoxTps_Uni"));
    QCOMPARE(m.Tps->pos(), QPoint(20, 385));
    QCOMPARE(m.Ms->objectName(), QString("CheckBoxZobrMs_Uni"));
    QCOMPARE(m.Ms->pos(), QPoint(740, 385));
    for (QCheckBox* c : {m.All, m.Tps, m.Ms}) QVERIFY(!(c->focusPolicy() & Qt::TabFocus));
    for (int n = 0; n < 3; ++n) {
      QCOMPARE(m.ExtraEdit[n]->objectName(), QString("EditMapExtra%1").arg(n));
      QCOMPARE(m.ExtraEdit[n]->width(), 30);
      QCOMPARE(RectIn(m.ExtraEdit[n], panel).y(), 383);
    }
    QCOMPARE(m.HeaderLabel[5]->text(), QString("  1->2     "));
    QCOMPARE(m.HeaderLabel[5]->pos(), QPoint(10, 383));
    QCOMPARE(m.HeaderLabel[5]->font().pointSize(), 14);
    QCOMPARE(m.TopBevel->geometry().left(), 44);
    QCOMPARE(m.TopBevel->geometry().right() + 1, 62 * 14 + 44 + 56);
    QCOMPARE(m.TopBevel->y(), 47);
    // Every element lies inside the panel ("All" with the 40 pixels the
    // layout gives it; it may draw wider where the panel has the room).
    const QRect inside(QPoint(0, 0), panel->minimumSize());
    for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const QRect r = w == m.All ? QRect(w->pos(), QSize(40, w->height())) : w->geometry();
      QVERIFY2(inside.contains(r), qPrintable(w->objectName()));
    }
  }

  void mapPanelMovesBetweenMapSheets() {
    PutMapPanelOn(host_.Map, host_.Sheets[PageInj2]);
    QCOMPARE(host_.Map.Panel->parentWidget(), host_.Sheets[PageInj2]);
    QVERIFY(host_.Sheets[PageInj2]->layout()->indexOf(host_.Map.Panel) >= 0);
    QVERIFY(!host_.Map.Panel->isHidden());
    PutMapPanelOn(host_.Map, host_.Sheets[PageAdvance]);
    QCOMPARE(host_.Map.Panel->parentWidget(), host_.Sheets[PageAdvance]);
    QCOMPARE(host_.Sheets[PageAdvance]->layout()->count(), 1);
  }

  // Where the view refresh and the operating-point highlight expect the grid
  // cells, in their group box's coordinates.
  void gridCellsSitAtTheirPositions() {
    auto labelPos = [this](const char* name) { return host_.Tabs->findChild<QLabel*>(name)->pos(); };
    const QPoint polohaRow0 = labelPos("LabelPolohaA_1") - QPoint(0, 3);
    const QPoint polohaRow1 = labelPos("LabelPolohaA_2") - QPoint(0, 3);
    const QPoint lambdaAf = labelPos("LabelCidloLambdaAf");
    const QPoint lambdaNap = labelPos("LabelCidloLambdaNap");
    const QPoint tachoAf = labelPos("LabelLambdaTachoAf");
    const QPoint tachoRpm = labelPos("LabelLambdaTachoRpm");
    const struct {
      const char* Edit;
      QRect Rect;
    } kCases[] = {
        {"EditPolohaARpm0", {44, polohaRow0.y(), 40, 21}},
        {"EditPolohaARpm14", {60 * 14 + 44, polohaRow0.y(), 40, 21}},
        {"EditPolohaAPoz7", {60 * 7 + 44, polohaRow1.y(), 40, 21}},
        {"EditKorVoda0", {85, 53, 40, 21}},
        {"EditKorVzduch4", {165, 38 * 4 + 53, 40, 21}},
        {"EditIgnVoda4", {85, 39 * 4 + 65, 40, 21}},
        {"EditCidloTVoda0", {75, 65, 40, 21}},
        {"EditCidloTVzduch8", {155, 37 * 8 + 65, 40, 21}},
        {"EditRpmSpeedProGear5", {24, 39 * 5 + 65, 40, 21}},
        {"EditGearKorAdv0", {24, 65, 30, 21}},
        {"EditGearKorJet5", {102, 39 * 5 + 65, 30, 21}},
        {"EditClutchPilotA0", {24, 65, 42, 21}},
        {"EditClutchPilotB2", {114, 39 * 2 + 65, 42, 21}},
        {"EditClutchTime3", {254, 39 * 3 + 65, 42, 21}},
        {"EditClutchPause5", {394, 39 * 5 + 65, 42, 21}},
        {"EditIdleServoPoz0", {70, 31, 42, 21}},
        {"EditIdleAdvPoz8", {70, 37 * 8 + 31, 42, 21}},
        {"EditCidloLambdaAf0", {lambdaAf.x(), lambdaAf.y() + 25, 40, 21}},
        {"EditCidloLambdaNap4", {lambdaNap.x(), lambdaAf.y() + 120 + 25, 40, 21}},
        {"EditLambdaTachoAf1", {tachoAf.x(), tachoAf.y() + 30 + 25, 40, 21}},
        {"EditLambdaTachoRpm0", {tachoRpm.x(), tachoAf.y() + 25, 40, 21}},
    };
    for (const auto& c : kCases) {
      auto* edit = host_.Tabs->findChild<QLineEdit*>(c.Edit);
      QVERIFY2(edit, c.Edit);
      auto* group = qobject_cast<QGroupBox*>(edit->parentWidget()->parentWidget());
      QVERIFY2(group, c.Edit);
      QCOMPARE(RectIn(edit, group), c.Rect);
    }
    auto* step = host_.Tabs->findChild<StepButtons*>("IdleStepButton");
    QVERIFY(step);
    QCOMPARE(step->parentWidget()->objectName(), QString("GroupBoxIdleServoPoz"));
    QCOMPARE(step->geometry(), QRect(82, 37 * 8 + 31 + 34, 17, 23));
    QCOMPARE(host_.Tabs->findChild<UpDown*>("UpDownClutchPilotA3")->Position(), 15000);
    QCOMPARE(host_.Tabs->findChild<UpDown*>("UpDownIdleAdvPoz3")->Position(), 1000);
  }

  // Fixed-position group boxes are sized so that nothing in them is cut off.
  void fixedGroupsHoldTheirContents() {
    for (QGroupBox* g : host_.Tabs->findChildren<QGroupBox*>()) {
      if (g->layout() || g == host_.Map.Panel || qobject_cast<RadioGroup*>(g)) continue;
      for (QWidget* w : g->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QVERIFY2(g->rect().contains(w->geometry()),
                 qPrintable(g->objectName() + " cuts " + (w->objectName().isEmpty() ? QString("a pair") : w->objectName())));
      }
    }
  }

  void temperatureRowLabelsMatchTheSensorTable() {
    const char* kTexts[] = {"-10 °C", "  5 °C", " 20 °C", " 35 °C", " 50 °C", " 65 °C", " 80 °C", " 95 °C", "110 °C"};
    for (int i = 0; i < 9; ++i) {
      const QString expected = QString::fromUtf8(kTexts[i]);
      for (const char* group : {"GroupBoxCidloTVodaVzduch", "GroupBoxIdleServoPoz", "GroupBoxIdleAdvPoz"}) {
        auto* l = host_.Tabs->findChild<QLabel*>(GridRowLabelName(group, i));
        QVERIFY2(l, group);
        QCOMPARE(l->text(), expected);
        QCOMPARE(l->parentWidget()->objectName(), QString(group));
      }
      // The idle tables' labels stand at 37 i + 35, their edits 4 pixels higher.
      QCOMPARE(host_.Tabs->findChild<QLabel*>(GridRowLabelName("GroupBoxIdleServoPoz", i))->pos(), QPoint(24, 37 * i + 35));
    }
  }

  void outputTestButtonsAreOnTheTuningPage() {
    QWidget* tuning = host_.Sheets[PageTuning];
    for (const auto& t : kTestButtons) {
      auto* b = tuning->findChild<QPushButton*>(t.Name);
      QVERIFY2(b, t.Name);
      QCOMPARE(b->text(), QString(t.Caption));
    }
    auto* jets = tuning->findChild<QGroupBox*>("GroupBoxTestJet");
    QVERIFY(jets && jets->findChild<QPushButton*>("ButtonTestJet4B"));
    QVERIFY(tuning->findChild<QGroupBox*>("GroupBoxTestOut")->isAncestorOf(jets));
    QVERIFY(tuning->findChild<QCheckBox*>("CheckBoxLadeniPovoleno"));
  }

  void captureButtonsAndPositionToolsExist() {
    for (const char* name : {"ButtonTps0", "ButtonTps100"}) QVERIFY2(host_.Sheets[PageSensors]->findChild<QPushButton*>(name), name);
    for (int g = 1; g <= 6; ++g) {
      const QString name = QString("ButtonGear%1").arg(g);
      QVERIFY2(host_.Sheets[PageGear]->findChild<QPushButton*>(name), qPrintable(name));
      for (const char* prefix : {"LabelPomerRpmSpeed", "LabelGearKor", "LabelMonGearAuto"})
        QVERIFY(host_.Sheets[PageGear]->findChild<QLabel*>(QString("%1%2").arg(prefix).arg(g)));
      QVERIFY(host_.Sheets[PageRace]->findChild<QLabel*>(QString("LabelRaceGear%1").arg(g)));
    }
    QVERIFY(host_.Sheets[PagePosition]->findChild<StepButtons*>("CSpinButtonPolohaA"));
    QCOMPARE(host_.Sheets[PagePosition]->findChild<QCheckBox*>("CheckBoxAll_PolohaA")->text(), QString("All"));
    for (const char* name : {"LabelSyticCas0", "LabelSyticKorekce4"}) QVERIFY(host_.Sheets[PageCorrections]->findChild<QLabel*>(name));
    auto* polohaA = host_.Sheets[PagePosition]->findChild<RadioGroup*>("RadioGroupPolohaA");
    QCOMPARE(polohaA->Items(), QStringList({"Beginning", "Centre", "End"}));
    QCOMPARE(polohaA->title(), QString("Position of:"));
  }

  // The window shows LabelVersion above the pages; every other live label and
  // gauge is on a page, once.
  void liveLabelsAndGaugesExistOnce() {
    for (int i = 0; i < kMonLabelCount; ++i) {
      const QString name = MonLabelName(static_cast<MonLabel>(i));
      const auto found = host_.Tabs->findChildren<QLabel*>(name);
      QCOMPARE(found.size(), name == "LabelVersion" ? 0 : 1);
    }
    for (int i = 0; i < kMonGaugeCount; ++i) {
      const auto found = host_.Tabs->findChildren<Gauge*>(MonGaugeName(static_cast<MonGauge>(i)));
      QCOMPARE(found.size(), 1);
      QCOMPARE(found[0]->MaxValue(), kMonGaugeMax);
    }
    for (int i = 0; i < kMonEditCount; ++i) QVERIFY(host_.Sheets[PageBike]->findChild<QLineEdit*>(MonEditName(static_cast<MonEdit>(i))));
    QWidget* strip = host_.Sheets[PageMonitor]->findChild<QWidget*>(kLiveGaugesName);
    QVERIFY(strip);
    auto* lambda = strip->findChild<Gauge*>("CGaugeLambda");
    for (const char* band : {"LabelLambdaBlue", "LabelLambdaGreen", "LabelLambdaRed"}) {
      auto* l = strip->findChild<QLabel*>(band);
      QVERIFY2(l, band);
      QCOMPARE(l->parentWidget(), lambda->parentWidget());
    }
    QVERIFY(strip->findChild<QCheckBox*>("CheckBoxExtMonitor"));
    for (const char* group : {"GroupBoxMonAdvance", "GroupBoxMonInj", "GroupBoxMonInput"})
      QVERIFY2(host_.Sheets[PageMonitor]->findChild<QGroupBox*>(group), group);
    QCOMPARE(host_.Sheets[PageMonitor]->findChild<QGroupBox*>("GroupBoxMonInput")->findChildren<QLabel*>().size(), 9);
  }

  void memoKeepsAtMost149Characters() {
    auto* memo = host_.Sheets[PageBike]->findChild<QPlainTextEdit*>("Memo1");
    memo->setPlainText(QString(200, 'x'));
    QCOMPARE(memo->toPlainText().size(), 149);
    memo->setPlainText(QString(70, 'a') + '\n' + QString(70, 'b') + '\n' + QString(20, 'c'));
    QCOMPARE(memo->toPlainText().size(), 149);
    QVERIFY(memo->toPlainText().endsWith("\nccccccc"));
    memo->clear();
    QTest::keyClicks(memo, QString(160, 'k'));
    QCOMPARE(memo->toPlainText(), QString(149, 'k'));
  }

  // A page that does not fit the window's page area would be cut off; the
  // texts of every language are applied as the window applies them.
  void everyPageFitsTheWindowInEveryLanguage() {
    for (int l = 0; l < kLanguageCount; ++l) {
      testing::ApplyCaptions(host_.Tabs, static_cast<LanguageCode>(l));
      for (int p = 0; p < PageCount; ++p) {
        QWidget* sheet = host_.Sheets[p];
        const QSize need = sheet->layout() ? sheet->layout()->minimumSize() : sheet->minimumSizeHint();
        QVERIFY2(need.width() <= 980 && need.height() <= 480,
                 qPrintable(QString("language %1 page %2 needs %3 x %4").arg(l).arg(p).arg(need.width()).arg(need.height())));
      }
    }
  }
};

QTEST_MAIN(PagesTest)
#include "pages_test.moc"
