// The window's side of the link engine: what the engine asks of the window
// as it ticks (the switches the tuner set on the pages, whether the window is
// on paper) and what it tells it (a block taken from the unit, a message, a
// monitor frame, a transfer ended). The questions are answered from the
// window's controls; the news goes on to the window's own steps.
#pragma once

#include <QString>
#include <functional>
#include <string_view>

#include "editor/document.h"
#include "editor/undo.h"
#include "link/engine.h"
#include "ui/window/window_layout.h"

class QObject;

namespace velmor::ui {

class HistoryKeeper;
class PortDoctor;

class WindowLinkHost : public LinkHost {
 public:
  struct Hooks {
    std::function<void()> TransferPage;
    std::function<void()> Normalise;
    std::function<void()> RefreshPage;
    std::function<void()> MonitorDecoded;
    std::function<void()> ClearFileName;
    std::function<void()> StatusChanged;
    std::function<void()> ShowOperatingPoint;
    std::function<void()> UpdateCaption;  // the document's name and state in the title
    std::function<HistoryKeeper*()> History;
    std::function<bool()> Printing;
    std::function<bool()> Building;  // the window is still being built
    std::function<PortDoctor*()> Doctor;
    std::function<void(const QString&)> Message;  // the window's message box
  };
  // `window` times the messages that come while the window is built.
  WindowLinkHost(const WindowControls& controls, Document& document, UndoRing& undo, Hooks hooks, QObject* window);

  void TransferPage() override { hooks_.TransferPage(); }
  void Normalise() override { hooks_.Normalise(); }
  void RefreshPage() override { hooks_.RefreshPage(); }
  void UnitBlockTaken(int block) override;
  void MonitorDecoded() override { hooks_.MonitorDecoded(); }
  void MonitorCleared() override { hooks_.MonitorDecoded(); }
  void ShowMessage(std::string_view text, std::string_view detail) override;
  void ShowPortOpenError(std::string_view text, std::string_view detail) override;
  bool TuningOn() const override;
  bool Printing() const override { return hooks_.Printing(); }
  bool ExtendedMonitor() const override;
  bool GasEnabled() const override;
  void ClearFileName() override { hooks_.ClearFileName(); }
  void StatusChanged() override { hooks_.StatusChanged(); }
  void ShowOperatingPoint() override { hooks_.ShowOperatingPoint(); }
  void TransactionEnded(LinkTransaction kind, LinkOutcome outcome) override;

 private:
  // A link's message box; a port that did not open offers the port doctor.
  void ShowLinkMessage(std::string_view text, std::string_view detail, bool portOpenError);

  const WindowControls& controls_;
  Document& document_;
  UndoRing& undo_;
  Hooks hooks_;
  QObject* window_;
};

}  // namespace velmor::ui
