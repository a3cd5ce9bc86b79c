// The 3D view: the map of the page shown (Advance, Inj. 1 or Inj. 2) as a
// surface over rpm and throttle, turned with the mouse, with the engine's
// operating point marked. It follows every refresh of the window and every
// tick, so an edit, an undo, a file or a read shows at once.
//
// Where no OpenGL context can be had (a remote desktop without GLX, a
// broken driver, VELMOR_NO_3D set) the view holds a label that says so and
// the rest of the program is untouched.
#pragma once

#include <QWidget>
#include <functional>

#include "editor/map_edit.h"
#include "editor/operating_point.h"
#include "lang/catalog.h"
#include "lang/map_edit_texts.h"

class QLabel;
class Q3DSurface;
class QCustom3DLabel;
class QSurface3DSeries;

namespace velmor::ui {

class MapSurfaceView : public QWidget {
  Q_OBJECT
 public:
  // What the window lends.
  struct Hooks {
    std::function<int()> Page;  // the page shown
    std::function<const ParameterImage&()> Image;
    std::function<const DerivedTables&()> Tables;
    std::function<const EngineReading&()> Live;
    std::function<LanguageCode()> Language;
    std::function<QString(int page)> PageName;  // the tab's caption
  };

  MapSurfaceView(Hooks hooks, QWidget* parent);
  ~MapSurfaceView() override;

  // Takes what changed: the map shown, its values and axis, the operating
  // point. Cheap when nothing did, so the window calls it on every tick.
  void Follow();

  // The map drawn: the page shown while it is a map page, else the last one.
  int MapPage() const { return page_; }
  // Null where 3D is not available.
  Q3DSurface* Graph() const { return graph_; }
  QSurface3DSeries* Series() const { return series_; }
  // The marker of the operating point; hidden while the engine stands.
  QCustom3DLabel* PointMarker() const { return marker_; }
  // Why 3D is not available (empty when it is).
  QString Unavailable() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildGraph();
  void ApplyLanguage();
  void ShowValues(const Map150& values, const MapAxis& axis);
  void ShowPoint(int cell);

  Hooks hooks_;
  int page_ = PageAdvance;
  LanguageCode language_ = LanguageCode::English;
  bool drawn_ = false;
  Map150 values_{};
  MapAxis axis_{};
  int cell_ = -1;
  MapEditText unavailable_ = MapEditText::Count;  // why 3D is not available, Count when it is
  QString unavailablePlatform_;
  QLabel* label_ = nullptr;
  Q3DSurface* graph_ = nullptr;
  QSurface3DSeries* series_ = nullptr;
  QCustom3DLabel* marker_ = nullptr;
};

}  // namespace velmor::ui
