#include "ui/window/window_link_host.h"

#include <QCheckBox>
#include <QTimer>
#include <string>

#include "ui/history/history_keeper.h"
#include "ui/port/port_doctor_dialog.h"
#include "ui/widgets/widgets.h"

namespace velmor::ui {
WindowLinkHost::WindowLinkHost(const WindowControls& controls, Document& document, UndoRing& undo, Hooks hooks,
                               QObject* window)
    : controls_(controls), document_(document), undo_(undo), hooks_(std::move(hooks)), window_(window) {}

void WindowLinkHost::UnitBlockTaken(int block) { TakeUnitBlock(undo_, document_.Image, document_.Tables, block); }

bool WindowLinkHost::TuningOn() const { return Checked(controls_.TuningEnabled); }
bool WindowLinkHost::ExtendedMonitor() const { return Checked(controls_.ExtendedMonitor); }
bool WindowLinkHost::GasEnabled() const { return Checked(controls_.GasEnabled); }

void WindowLinkHost::TransactionEnded(LinkTransaction kind, LinkOutcome outcome) {
  // A whole Read: the editor holds the unit's tune, nothing unsaved.
  if (kind == LinkTransaction::Read && outcome == LinkOutcome::VerifyOk) {
    document_.Saved = document_.Image;
    hooks_.UpdateCaption();
  }
  hooks_.History()->TransactionEnded(kind, outcome);
}

void WindowLinkHost::ShowMessage(std::string_view text, std::string_view detail) {
  ShowLinkMessage(text, detail, false);
}

void WindowLinkHost::ShowPortOpenError(std::string_view text, std::string_view detail) {
  ShowLinkMessage(text, detail, true);
}

void WindowLinkHost::ShowLinkMessage(std::string_view text, std::string_view detail, bool portOpenError) {
  if (hooks_.Building()) {
    // The port opens while the window is built: its message comes once the
    // event loop runs, in front of the window rather than on an empty screen.
    QTimer::singleShot(0, window_, [this, t = std::string(text), d = std::string(detail), portOpenError] {
      ShowLinkMessage(t, d, portOpenError);
    });
    return;
  }
  QString message = Utf8(text);
  if (!detail.empty()) message += "\n" + Utf8(detail);
  PortDoctor* doctor = hooks_.Doctor();
  if (portOpenError && doctor && doctor->Available()) {
    if (doctor->AskDiagnose(message)) doctor->ShowSelected();
    return;
  }
  hooks_.Message(message);
}

}  // namespace velmor::ui
