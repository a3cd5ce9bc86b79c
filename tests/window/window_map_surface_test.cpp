// The 3D view of a map: it opens from the Tools menu, its surface holds the
// 150 values the map page shows, it follows edits, undo and the page shown,
// it marks the live operating point and turns with the mouse. Where OpenGL
// cannot be had it says so and the window works on.
//
// Runs where software OpenGL is available (see CMakeLists.txt); the check
// that 3D is available is itself part of the test, not a reason to skip.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/QCustom3DLabel>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtTest>

#include "editor/map_edit.h"
#include "ui/window/form_hlav.h"
#include "ui/map/map_surface.h"
#include "window_harness.h"

using namespace velmor;
using namespace velmor::ui;
using namespace velmor::wtest;

class WindowMapSurfaceTest : public QObject, WindowFixture {
  Q_OBJECT

 public:
  WindowMapSurfaceTest() : WindowFixture({.showing = WindowSetup::Shown, .answer = QMessageBox::No}) {}

 private:
  // A window showing `page`.
  std::unique_ptr<TFormHlav> Make(int page) {
    auto w = WindowFixture::Make();
    ClickTab(w->findChild<QTabWidget*>("PageControl1"), page);
    return w;
  }

  static MapSurfaceView* Open(TFormHlav& w) {
    auto* action = w.findChild<QAction*>("Menu3DView");
    if (!action) return nullptr;
    action->trigger();
    auto* view = w.findChild<MapSurfaceView*>("FormMapSurface");
    if (view && !QTest::qWaitForWindowExposed(view)) return nullptr;
    return view;
  }

  // Compares the surface with the map the window holds: every cell's value,
  // placed at its rpm and throttle.
  static void CompareWithMap(TFormHlav& w, MapSurfaceView& view, int page) {
    QCOMPARE(view.MapPage(), page);
    QVERIFY(view.Series());
    const QSurfaceDataProxy* proxy = view.Series()->dataProxy();
    QCOMPARE(proxy->rowCount(), kMapRows);
    QCOMPARE(proxy->columnCount(), kMapColumns);
    DerivedTables tables = w.Tables();
    const Map150 values = MapValues(w.Image(), tables, page);
    const MapAxis axis = MapAxisOf(w.Image(), page);
    for (int r = 0; r < kMapRows; ++r) {
      for (int c = 0; c < kMapColumns; ++c) {
        const QSurfaceDataItem* item = proxy->itemAt(r, c);
        const QString where = QString("row %1 column %2").arg(r).arg(c);
        QVERIFY2(item->y() == values[MapCell(r, c)], qPrintable(where));
        QVERIFY2(item->x() == 100.0f * axis[c], qPrintable(where));
        QVERIFY2(item->z() == kTpsRows[r], qPrintable(where));
      }
    }
  }

 private slots:
  void init() { Reset(); }

  void SurfaceIsTheMapShownAndFollowsEveryChange() {
    auto w = Make(PageAdvance);
    MapSurfaceView* view = Open(*w);
    QVERIFY(view);
    QVERIFY2(view->Graph(), qPrintable("3D not available: " + view->Unavailable()));
    CompareWithMap(*w, *view, PageAdvance);

    // An edit typed into a cell, then its undo.
    const int before = w->Image().P(kAdvanceMap + MapCell(3, 7));
    TypeAndEnter(w->findChild<QLineEdit*>(QString("EditMapCell%1").arg(MapCell(3, 7))), QString::number(before + 5));
    QCOMPARE(int(w->Image().P(kAdvanceMap + MapCell(3, 7))), before + 5);
    CompareWithMap(*w, *view, PageAdvance);
    QCOMPARE(view->Series()->dataProxy()->itemAt(3, 7)->y(), float(before + 5));
    w->findChild<QAction*>("MenuZpet")->trigger();
    QCOMPARE(view->Series()->dataProxy()->itemAt(3, 7)->y(), float(before));

    // The page shown chooses the map; a page without a map keeps the last.
    for (int page : {int(PageInj1), int(PageBike)}) {
      ClickTab(w->findChild<QTabWidget*>("PageControl1"), page);
      CompareWithMap(*w, *view, PageInj1);
    }
    QVERIFY2(view->windowTitle().contains("Inj"), qPrintable(view->windowTitle()));

    // A block edit of the whole injection map.
    ClickTab(w->findChild<QTabWidget*>("PageControl1"), PageInj1);
    QVERIFY(w->ChangeTune([&] {
               return ApplyMapEdit(w->Image(), w->Tables(), PageInj1, CellBlock::Whole(), {MapOperation::Add, 7}) ==
                      MapWriteResult::Changed;
             }).Applied());
    CompareWithMap(*w, *view, PageInj1);
  }

  void OperatingPointIsMarkedWhileTheEngineRuns() {
    auto w = Make(PageAdvance);
    MapSurfaceView* view = Open(*w);
    QVERIFY(view && view->Graph());
    QVERIFY(!view->PointMarker()->isVisible());  // no monitor frame yet

    const int column = 6;
    const int rpm = w->Image().P(kAdvanceAxis + column) * 100;
    port_.Queue(MonitorFrame(rpm, 30));
    w->Timer1Timer();
    const int row = 5;  // 30 % throttle
    QVERIFY(view->PointMarker()->isVisible());
    QCOMPARE(view->PointMarker()->position(),
             QVector3D(float(rpm), float(w->Image().P(kAdvanceMap + MapCell(row, column))), float(kTpsRows[row])));

    port_.Queue(MonitorFrame(0, 30));
    w->Timer1Timer();
    QVERIFY(!view->PointMarker()->isVisible());
  }

  void TurnsWithTheMouse() {
    auto w = Make(PageAdvance);
    MapSurfaceView* view = Open(*w);
    QVERIFY(view && view->Graph());
    Q3DSurface* graph = view->Graph();
    Q3DCamera* camera = graph->scene()->activeCamera();
    const float x = camera->xRotation();
    const QPoint from(graph->width() / 2, graph->height() / 2);
    QTest::mousePress(graph, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step) {
      QMouseEvent move(QEvent::MouseMove, from + QPoint(20 * step, 0), graph->mapToGlobal(from + QPoint(20 * step, 0)),
                       Qt::NoButton, Qt::LeftButton, {});
      QCoreApplication::sendEvent(graph, &move);
    }
    QTest::mouseRelease(graph, Qt::LeftButton, {}, from + QPoint(80, 0));
    QTRY_VERIFY2(camera->xRotation() != x, qPrintable(QString::number(camera->xRotation())));
  }

  void WithoutOpenGLTheViewSaysSoAndTheWindowWorksOn() {
    qputenv("VELMOR_NO_3D", "1");
    auto w = Make(PageAdvance);
    MapSurfaceView* view = Open(*w);
    qunsetenv("VELMOR_NO_3D");
    QVERIFY(view);
    QVERIFY(!view->Graph());
    auto* label = view->findChild<QLabel*>("LabelNo3D");
    QVERIFY(label && label->isVisible());
    QVERIFY2(label->text().contains("OpenGL"), qPrintable(label->text()));
    // Edits go on with the view open.
    const int before = w->Image().P(kAdvanceMap);
    TypeAndEnter(w->findChild<QLineEdit*>("EditMapCell0"), QString::number(before + 1));
    QCOMPARE(int(w->Image().P(kAdvanceMap)), before + 1);
  }
};

QTEST_MAIN(WindowMapSurfaceTest)
#include "window_map_surface_test.moc"
