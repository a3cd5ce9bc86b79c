// The window's side of the 3D view: its command and what the window lends it.
#include <QAction>
#include <QMenu>
#include <QTabWidget>

#include "lang/map_edit_texts.h"
#include "ui/map/map_surface.h"
#include "ui/widgets/widgets.h"
#include "ui/window/form_hlav.h"

namespace velmor::ui {

void TFormHlav::AddMapSurfaceCommand(QMenu* tools) {
  QAction* action = tools->addAction(Utf8(MapEditCaption(MapEditText::Menu3DView, Language())));
  action->setObjectName("Menu3DView");
  connect(tools, &QMenu::aboutToShow, action,
          [this, action] { action->setText(Utf8(MapEditCaption(MapEditText::Menu3DView, Language()))); });
  connect(action, &QAction::triggered, this, [this] {
    auto* view = findChild<MapSurfaceView*>("FormMapSurface");
    if (view == nullptr) {
      MapSurfaceView::Hooks hooks;
      hooks.Page = [this] { return PageIndex(); };
      hooks.Image = [this]() -> const ParameterImage& { return Image(); };
      hooks.Tables = [this]() -> const DerivedTables& { return Tables(); };
      hooks.Live = [this]() -> const EngineReading& { return Link().Live(); };
      hooks.Language = [this] { return Language(); };
      hooks.PageName = [this](int page) {
        auto* tabs = findChild<QTabWidget*>("PageControl1");
        return tabs ? tabs->tabText(page).remove('&') : QString();
      };
      view = new MapSurfaceView(std::move(hooks), this);
      connect(this, &TFormHlav::ImageShown, view, &MapSurfaceView::Follow);
    }
    view->show();
    view->raise();
    view->activateWindow();
  });
}

}  // namespace velmor::ui
