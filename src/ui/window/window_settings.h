// The window's settings: its rectangle, the page, the language and port
// choices, the last-run tune and a few switches, kept in the settings file
// between runs. The language and port choices are also what the document's
// normalisation pass limits, so the window hands them over from here.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "editor/document.h"
#include "files/settings.h"
#include "lang/catalog.h"
#include "link/engine.h"
#include "ui/window/window_layout.h"

class QWidget;

namespace velmor::ui {

class FileCommands;
class HistoryKeeper;
class MapSelection;

class WindowSettings {
 public:
  // The window's state the settings fill and read, by reference.
  struct State {
    QWidget& Window;
    Document& Doc;
    LinkEngine& Link;
    WindowControls& Controls;
    LanguageCode& Language;
    int& Page;
    std::array<std::uint8_t, PageCount>& AllCells;
    HistoryKeeper& History;
    FileCommands& Files;
    MapSelection* Selection;  // the map's blocks; none in a window without them
  };
  // `message` is the window's message box.
  WindowSettings(StatePaths paths, State state, std::function<void(const QString&)> message);

  // Language and port choices as the settings file and the normalisation
  // pass see them; the port ones live in the link.
  PersistedSelection CurrentSelection() const;
  void AdoptSelection(const PersistedSelection& selection);
  // Runs a document operation that normalises. The pass limits the
  // persisted selections too: the language and the link's port choice go
  // into the document first and come back limited.
  template <typename Operation>
  auto WithSelection(Operation operation) {
    w_.Doc.Selection = CurrentSelection();
    auto result = operation();
    AdoptSelection(w_.Doc.Selection);
    return result;
  }
  // The last run's settings and tune into the window; the window's
  // rectangle made to fit a screen.
  void Load();
  void Save();

 private:
  StatePaths paths_;
  State w_;
  std::function<void(const QString&)> message_;
};

}  // namespace velmor::ui
