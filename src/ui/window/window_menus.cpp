#include "ui/window/window_menus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "lang/language.h"
#include "link/port_numbering.h"
#include "model/image.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {

WindowMenus::WindowMenus(QMainWindow& window, Commands commands) : commands_(std::move(commands)) {
  QMenuBar* bar = window.menuBar();
  bar->setObjectName("MainMenu1");
  const Commands& run = commands_;
  auto menu = [bar](const char* name) {
    QMenu* m = bar->addMenu(QString());
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
  };
  auto item = [](QMenu* m, const QString& name, const char* key, auto handler) {
    QAction* a = m->addAction(QString());
    a->setObjectName(name);
    if (*key != 0) a->setShortcut(QKeySequence(key));
    QObject::connect(a, &QAction::triggered, a, handler);
    return a;
  };

  file_ = menu("MenuFile");
  item(file_, "MenuNew", "Ctrl+N", [&run] { run.New(); });
  item(file_, "MenuNewActPage", "Ctrl+Alt+N", [&run] { run.NewForPage(); });
  item(file_, "MenuOpen", "F3", [&run] { run.Open(false); });
  item(file_, "MenuOpenExeDir", "Ctrl+F3", [&run] { run.Open(true); });
  item(file_, "MenuOpenActPage", "Shift+F3", [&run] { run.OpenForPage(); });
  item(file_, "MenuSave", "F2", [&run] { run.Save(false); });
  item(file_, "MenuSaveExeDir", "Ctrl+F2", [&run] { run.Save(true); });
  item(file_, "MenuPrint", "Ctrl+P", [&run] { run.Print(); });
  file_->addSeparator();
  item(file_, "MenuExit", "", [&run] { run.Exit(); });

  ports_ = menu("MenuCom");
  for (int i = 0; i <= kPortAuto; ++i) {
    // Named by the link, which numbers its ports the same way.
    QAction* a = ports_->addAction(Utf8(ComMenuCaption(i)));
    a->setObjectName(i < kPortAuto ? QString("MenuCom%1").arg(i + 1) : QString("MenuComAuto"));
    a->setCheckable(true);
    QObject::connect(a, &QAction::triggered, a, [&run, i] { run.SelectPort(i); });
    portActions_.push_back(a);
  }

  device_ = menu("MenuDevice");
  item(device_, "MenuRead", "F7", [&run] { run.Read(); });
  item(device_, "MenuVerify", "F8", [&run] { run.Verify(); });
  item(device_, "MenuProgram", "F9", [&run] { run.Program(); });

  QMenu* mode = menu("Menu_Jet123Mode");
  const char* const modeNames[] = {"Menu_Jet123Normal", "Menu_Jet123Coupled", "Menu_Jet123Stejny"};
  for (int value = 0; value < 3; ++value) {
    item(mode, modeNames[value], "", [&run, value] { run.SetMapMode(value); })->setCheckable(true);
  }

  tools_ = menu("MenuTools");
  item(tools_, "MenuToolsMinus", "F4", [&run] { run.StepMap(StepDirection::Down); });
  item(tools_, "MenuToolsPlus", "F5", [&run] { run.StepMap(StepDirection::Up); });
  item(tools_, "MenuZpet", "Ctrl+Z", [&run] { run.UndoRedo(false); });
  item(tools_, "MenuZnovu", "Ctrl+Alt+Z", [&run] { run.UndoRedo(true); });
  item(tools_, "MenuLadeniOn", "F6", [&run] { run.ToggleTuning(); });

  QMenu* lang = menu("MenuLanguage");
  for (int i = 0; i < kLanguageCount; ++i) {
    const auto language = static_cast<LanguageCode>(i);
    item(lang, Utf8(kLanguageMenuItems[static_cast<std::size_t>(i)]), "", [&run, language] {
      run.SetLanguage(language);
    })->setCheckable(true);
  }

  QMenu* help = menu("MenuHelp");
  item(help, "MenuContens", "F1", [&run] { run.Contents(); });
  item(help, "MenuAbout", "", [&run] { run.About(); });
}

}  // namespace velmor::ui
