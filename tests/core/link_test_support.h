// A host that records what the link engine asks of it, for the link engine
// tests; the unit they talk to is in scripted_unit.h.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "link/engine.h"
#include "scripted_unit.h"

namespace velmor::linktest {

class RecordingHost : public LinkHost {
 public:
  void TransferPage() override { calls.push_back("TransferPage"); }
  void Normalise() override { calls.push_back("Normalise"); }
  void RefreshPage() override { calls.push_back("RefreshPage"); }
  void MonitorDecoded() override { ++monitorFrames; }
  void ShowMessage(std::string_view text, std::string_view detail) override {
    messages.emplace_back(text);
    details.emplace_back(detail);
  }
  bool TuningOn() const override { return tuning; }
  bool Printing() const override { return printing; }
  void ClearFileName() override { calls.push_back("ClearFileName"); }
  void StatusChanged() override { ++statusChanges; }
  void UnitBlockTaken(int block) override { taken.push_back(block); }
  void TransactionEnded(LinkTransaction kind, LinkOutcome outcome) override { ended.emplace_back(kind, outcome); }

  std::vector<std::string> calls, messages, details;
  std::vector<int> taken;  // blocks reported as the unit's
  std::vector<std::pair<LinkTransaction, LinkOutcome>> ended;
  bool tuning = false, printing = false;
  int monitorFrames = 0, statusChanges = 0;
};

}  // namespace velmor::linktest
