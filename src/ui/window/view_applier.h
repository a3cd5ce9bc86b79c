// Puts on the controls what the core computed for them: control states of
// the view refresh, the live display, the operating point's highlight, the
// link's status and the control texts of a language. It decides nothing.
#pragma once

#include <QString>
#include <string_view>
#include <unordered_map>

#include "editor/operating_point.h"
#include "editor/view.h"
#include "lang/catalog.h"
#include "link/identity.h"
#include "link/engine.h"
#include "link/monitor.h"
#include "model/normalise.h"
#include "ui/window/window_layout.h"

class QLabel;
class QObject;
class QStatusBar;
class QTabWidget;
class QWidget;

namespace velmor::ui {

class MapSelection;

// A label placed by position (not by a layout) grows with its new text.
void SetLabelText(QLabel* label, const QString& text);

// The captions, items and hints of `language` on the controls below `root`
// found by object name; a caption of a sheet of `tabs` is its tab's text.
void ApplyControlTexts(QObject* root, QTabWidget* tabs, LanguageCode language);

class ViewApplier {
 public:
  ViewApplier(QWidget& window, WindowControls& controls);

  // One control state, its text key resolved in `texts`.
  void Apply(const ControlState& state, const ResolvedTexts& texts);
  // The view hid the second injection map's tab while it was shown: the
  // window shows the first map instead. Asking clears it.
  bool TakeSecondMapHidden();

  void ApplyMonitor(const MonitorView& view);
  // What the normalisation pass found: both pressure-sensor voltages red
  // when they are equal.
  void ApplyNormalised(const NormaliseResult& normalised);
  // The status line, the transfer gauge, the connection labels and the port
  // menu; an error's text also goes to `statusBar`.
  void ApplyLinkStatus(const LinkStatus& status, QStatusBar* statusBar);
  // The unit's name, date and time above the pages.
  void ApplyIdentity(const IdentityTexts& identity);
  // Lights the operating point; a cell of a block keeps the block's colour.
  void ApplyHighlight(HighlightBits& shown, const HighlightSet& next, MapSelection* selection);

 private:
  QObject* ByName(std::string_view name);

  QWidget& window_;
  WindowControls& controls_;
  std::unordered_map<std::string_view, QObject*> byName_;
  bool secondMapHidden_ = false;
  // A link error put into the status bar: taken down by the next transfer.
  QString linkError_;
};

}  // namespace velmor::ui
