// The window's side of the 3D view: its command and what the window lends it.
#include <QAction>
#include <QMenu>
#include <QTabWidget>

#include "lang/map_edit_texts.h"
#include "ui/map/map_surface.h"
#include "ui/widgets/widgets.h"
#include "ui/window/form_hlav.h"

namespace velmor::ui {

void AddMapSurfaceCommand(TFormHlav& window, QMenu* tools) {
  TFormHlav* w = &window;
  QAction* action = tools->addAction(Utf8(MapEditCaption(MapEditText::Menu3DView, w->Language())));
  action->setObjectName("Menu3DView");
  QObject::connect(tools, &QMenu::aboutToShow, action,
                   [w, action] { action->setText(Utf8(MapEditCaption(MapEditText::Menu3DView, w->Language()))); });
  QObject::connect(action, &QAction::triggered, w, [w] {
    auto* view = w->findChild<MapSurfaceView*>("FormMapSurface");
    if (view == nullptr) {
      MapSurfaceView::Hooks hooks;
      hooks.Page = [w] { return w->PageIndex(); };
      hooks.Image = [w]() -> const ParameterImage& { return w->Image(); };
      hooks.Tables = [w]() -> const DerivedTables& { return w->Tables(); };
      hooks.Live = [w]() -> const EngineReading& { return w->Link().Live(); };
      hooks.Language = [w] { return w->Language(); };
      hooks.PageName = [w](int page) {
        auto* tabs = w->findChild<QTabWidget*>("PageControl1");
        return tabs ? tabs->tabText(page).remove('&') : QString();
      };
      view = new MapSurfaceView(std::move(hooks), w);
      QObject::connect(w, &TFormHlav::ImageShown, view, &MapSurfaceView::Follow);
    }
    view->show();
    view->raise();
    view->activateWindow();
  });
}

}  // namespace velmor::ui
