// A link host without a window: the document is the whole state, the
// normalisation pass runs on it directly, and messages and status changes go
// to callbacks. The command-line tool, the end-to-end tests and the timing
// harness drive the engine through it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "editor/document.h"
#include "link/engine.h"

namespace velmor {

class HeadlessHost : public LinkHost {
 public:
  // The engine works on `document.Image`.
  explicit HeadlessHost(Document& document) : document_(document) {}

  void Normalise() override { document_.Normalise(); }
  void ClearFileName() override { document_.FileName.clear(); }
  void ShowMessage(std::string_view text, std::string_view detail) override;
  bool TuningOn() const override { return Tuning; }
  bool ExtendedMonitor() const override { return Extended; }
  void MonitorDecoded() override {
    if (OnMonitor) OnMonitor();
  }
  void StatusChanged() override {
    if (OnStatus) OnStatus();
  }
  void TransactionEnded(LinkTransaction, LinkOutcome) override {
    if (OnEnded) OnEnded();
  }

  bool Tuning = false;
  bool Extended = false;
  std::function<void(std::string_view text, std::string_view detail)> OnMessage;
  std::function<void()> OnMonitor;
  std::function<void()> OnStatus;
  std::function<void()> OnEnded;
  std::string LastMessage;

 protected:
  Document& document_;
};

}  // namespace velmor
