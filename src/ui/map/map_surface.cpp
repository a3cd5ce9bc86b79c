#include "ui/map/map_surface.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QVBoxLayout>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DInputHandler>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QCustom3DLabel>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtDataVisualization/QValue3DAxis>

#include "lang/map_edit_texts.h"

namespace velmor::ui {
namespace {

QString Text(MapEditText text, LanguageCode language) {
  const std::string_view s = MapEditCaption(text, language);
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}


// Data Visualization aborts on some drivers when its window cannot get a
// context, so the view asks for one first and stays a label without it.
// The reason's text ("%1" the platform), or Count when 3D can be drawn.
MapEditText OpenGlProblem() {
  if (qEnvironmentVariableIsSet("VELMOR_NO_3D")) return MapEditText::No3DVariable;
  // With a display at hand the offscreen platform does hand out a GLX
  // context, and Data Visualization (6.4) crashes on its first frame there.
  if (QGuiApplication::platformName() == "offscreen") return MapEditText::No3DOffscreen;
  QOpenGLContext context;
  if (!context.create()) return MapEditText::No3DContext;
  QOffscreenSurface surface;
  surface.setFormat(context.format());
  surface.create();
  if (!surface.isValid() || !context.makeCurrent(&surface)) return MapEditText::No3DUnusable;
  context.doneCurrent();
  return MapEditText::Count;
}

// A tuner turns the surface with the left button as with the right one:
// clicks select nothing here, the marker belongs to the engine.
class TurnWithEitherButton : public Q3DInputHandler {
 public:
  using Q3DInputHandler::Q3DInputHandler;
  void mousePressEvent(QMouseEvent* event, const QPoint& pos) override {
    if (event->button() != Qt::LeftButton) {
      Q3DInputHandler::mousePressEvent(event, pos);
      return;
    }
    QMouseEvent right(event->type(), event->position(), event->globalPosition(), Qt::RightButton, Qt::RightButton,
                      event->modifiers());
    Q3DInputHandler::mousePressEvent(&right, pos);
  }
};

}  // namespace

MapSurfaceView::MapSurfaceView(Hooks hooks, QWidget* parent) : QWidget(parent, Qt::Window), hooks_(std::move(hooks)) {
  setObjectName("FormMapSurface");
  resize(720, 560);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  unavailable_ = OpenGlProblem();
  unavailablePlatform_ = QGuiApplication::platformName();
  if (unavailable_ != MapEditText::Count) {
    label_ = new QLabel(this);
    label_->setObjectName("LabelNo3D");
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignCenter);
    label_->setMargin(24);
    layout->addWidget(label_);
  } else {
    BuildGraph();
    layout->addWidget(QWidget::createWindowContainer(graph_, this));
  }
  language_ = hooks_.Language();
  ApplyLanguage();
}

MapSurfaceView::~MapSurfaceView() = default;

void MapSurfaceView::BuildGraph() {
  graph_ = new Q3DSurface();
  graph_->setObjectName("MapSurfaceGraph");
  graph_->setActiveInputHandler(new TurnWithEitherButton(graph_));
  graph_->setSelectionMode(QAbstract3DGraph::SelectionNone);
  // By default the floor follows the axes' ranges, 11000 rpm against 100 %
  // throttle: a line. The map page's own shape instead.
  graph_->setHorizontalAspectRatio(1.6);
  QFont font = graph_->activeTheme()->font();
  font.setPointSize(36);
  graph_->activeTheme()->setFont(font);
  graph_->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);  // software OpenGL stays quick
  // Low rpm and closed throttle at the front left, as on the map page.
  graph_->scene()->activeCamera()->setCameraPosition(-35, 25);
  graph_->axisX()->setTitle("rpm");
  graph_->axisX()->setLabelFormat("%.0f");
  graph_->axisZ()->setTitle("TPS %");
  graph_->axisZ()->setLabelFormat("%.0f");
  graph_->axisZ()->setRange(0, 100);
  for (QValue3DAxis* axis : {graph_->axisX(), graph_->axisY(), graph_->axisZ()}) axis->setTitleVisible(true);

  series_ = new QSurface3DSeries();
  series_->setDrawMode(QSurface3DSeries::DrawSurfaceAndWireframe);
  // The heat colours of the map page: blue for the low values, red for the
  // high ones, no green so the lime marker stands out.
  QLinearGradient heat;
  heat.setColorAt(0.0, QColor::fromHsv(215, 200, 240));
  heat.setColorAt(0.5, QColor(235, 235, 235));
  heat.setColorAt(1.0, QColor::fromHsv(5, 200, 240));
  series_->setBaseGradient(heat);
  series_->setColorStyle(Q3DTheme::ColorStyleRangeGradient);
  graph_->addSeries(series_);

  marker_ = new QCustom3DLabel();
  marker_->setObjectName("MapSurfacePoint");
  marker_->setFacingCamera(true);
  marker_->setBackgroundColor(QColor(Qt::green));
  marker_->setTextColor(Qt::black);
  marker_->setBorderEnabled(true);
  marker_->setVisible(false);
  graph_->addCustomItem(marker_);
}

void MapSurfaceView::ApplyLanguage() {
  QString title = Text(MapEditText::Menu3DView, language_);
  if (hooks_.PageName) title += " - " + hooks_.PageName(page_);
  setWindowTitle(title);
  if (label_) label_->setText(Text(MapEditText::No3DView, language_).arg(Unavailable()));
}

QString MapSurfaceView::Unavailable() const {
  if (unavailable_ == MapEditText::Count) return {};
  const QString reason = Text(unavailable_, language_);
  return reason.contains("%1") ? reason.arg(unavailablePlatform_) : reason;
}

void MapSurfaceView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Follow();
}

void MapSurfaceView::Follow() {
  if (!isVisible()) return;
  const int shown = hooks_.Page();
  const bool pageChanged = IsMapPage(shown) && shown != page_;
  if (pageChanged) page_ = shown;
  if (pageChanged || hooks_.Language() != language_) {
    language_ = hooks_.Language();
    ApplyLanguage();
  }
  if (!graph_) return;
  const ParameterImage& image = hooks_.Image();
  // A copy: the window's percent tables are its own state between a
  // refresh and the next transfer.
  DerivedTables tables = hooks_.Tables();
  const Map150 values = MapValues(image, tables, page_);
  const MapAxis axis = MapAxisOf(image, page_);
  if (!drawn_ || pageChanged || values != values_ || axis != axis_) ShowValues(values, axis);

  OperatingPoint point;
  HighlightSet lit;
  ShowOperatingPoint(image, page_, false, hooks_.Live(), point, lit);
  int cell = -1;
  for (int k = 0; k < kMapCells && cell < 0; ++k) {
    if (lit.IsLit(HlMapCell + k)) cell = k;
  }
  if (cell != cell_ || drawn_ == false) ShowPoint(cell);
  drawn_ = true;
}

void MapSurfaceView::ShowValues(const Map150& values, const MapAxis& axis) {
  values_ = values;
  axis_ = axis;
  auto* rows = new QSurfaceDataArray;
  rows->reserve(kMapRows);
  for (int r = 0; r < kMapRows; ++r) {
    auto* row = new QSurfaceDataRow(kMapColumns);
    for (int c = 0; c < kMapColumns; ++c) {
      (*row)[c].setPosition(QVector3D(100.0f * axis[c], values[MapCell(r, c)], static_cast<float>(kTpsRows[r])));
    }
    rows->append(row);
  }
  series_->dataProxy()->resetArray(rows);
  graph_->axisY()->setTitle(page_ == PageAdvance ? "°" : "%");
  ShowPoint(cell_);  // the marker stands on the surface
}

void MapSurfaceView::ShowPoint(int cell) {
  cell_ = cell;
  marker_->setVisible(cell >= 0);
  if (cell < 0) return;
  const int r = cell / kMapColumns;
  const int c = cell % kMapColumns;
  marker_->setText(QString::number(values_[cell]));
  marker_->setPosition(QVector3D(100.0f * axis_[c], values_[cell], static_cast<float>(kTpsRows[r])));
}

}  // namespace velmor::ui
