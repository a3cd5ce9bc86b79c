// The window's menu bar: its menus and items in order, with their object
// names, shortcuts and check marks, each item running one of the window's
// commands. No caption is written here: the control text table holds every
// item's text, and the window applies it by object name with its language.
// The port items are the link's names for its ports.
#pragma once

#include <functional>
#include <vector>

#include "editor/tools.h"
#include "lang/catalog.h"

class QAction;
class QMainWindow;
class QMenu;

namespace velmor::ui {

class WindowMenus {
 public:
  // What the items run; every one is set by the window.
  struct Commands {
    std::function<void()> New;
    std::function<void()> NewForPage;
    std::function<void(bool fromExeDir)> Open;
    std::function<void()> OpenForPage;
    std::function<void(bool fromExeDir)> Save;
    std::function<void()> Print;
    std::function<void()> Exit;
    std::function<void(int item)> SelectPort;  // 0..19 Com 1..20, 20 Com Auto
    std::function<void()> Read;
    std::function<void()> Verify;
    std::function<void()> Program;
    std::function<void(int mode)> SetMapMode;  // a MapMode
    std::function<void(StepDirection direction)> StepMap;
    std::function<void(bool redo)> UndoRedo;
    std::function<void()> ToggleTuning;
    std::function<void(LanguageCode language)> SetLanguage;
    std::function<void()> Contents;
    std::function<void()> About;
  };

  // Builds the menu bar of `window`.
  WindowMenus(QMainWindow& window, Commands commands);

  // The menus the window's features add their items to.
  QMenu* File() const { return file_; }
  QMenu* Ports() const { return ports_; }
  QMenu* Device() const { return device_; }
  QMenu* Tools() const { return tools_; }
  // MenuCom1..20 and MenuComAuto, in order.
  const std::vector<QAction*>& PortActions() const { return portActions_; }

 private:
  Commands commands_;
  QMenu* file_ = nullptr;
  QMenu* ports_ = nullptr;
  QMenu* device_ = nullptr;
  QMenu* tools_ = nullptr;
  std::vector<QAction*> portActions_;
};

}  // namespace velmor::ui
