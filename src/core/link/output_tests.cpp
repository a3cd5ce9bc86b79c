#include "link/output_tests.h"

namespace velmor {

const std::array<TestButton, kTestButtonCount> kTestButtons{{
    {"ButtonTestJet1A", "Injector 1A", 0, 0x01},
    {"ButtonTestJet2A", "Injector 2A", 0, 0x02},
    {"ButtonTestJet3A", "Injector 3A", 0, 0x04},
    {"ButtonTestJet4A", "Injector 4A", 0, 0x08},
    {"ButtonTestJet1B", "Injector 1B", 0, 0x10},
    {"ButtonTestJet2B", "Injector 2B", 0, 0x20},
    {"ButtonTestJet3B", "Injector 3B", 0, 0x40},
    {"ButtonTestJet4B", "Injector 4B", 0, 0x80},
    {"ButtonTestIgn1", "Ignition 1", 1, 0x01},
    {"ButtonTestIgn2", "Ignition 2", 1, 0x02},
    {"ButtonTestIgn3", "Ignition 3", 1, 0x04},
    {"ButtonTestIgn4", "Ignition 4", 1, 0x08},
    {"ButtonTestPilotLight", "Pilot light", 2, 0x01},
    {"ButtonTestFuelPump", "Fuel pump", 2, 0x02},
    {"ButtonTestCooling", "Cooling", 2, 0x04},
    {"ButtonTestGas", "Gas", 2, 0x08},
    {"ButtonTestRpm", "Rpm", 2, 0x10},
    {"ButtonTestServoInPlus", "Intake servo plus", 3, 0x01},
    {"ButtonTestServoInMinus", "Intake servo minus", 3, 0x02},
    {"ButtonTestServoExPlus", "Exhaust servo plus", 3, 0x04},
    {"ButtonTestServoExMinus", "Exhaust servo minus", 3, 0x08},
}};

const TestButton* FindTestButton(std::string_view name) {
  for (const TestButton& b : kTestButtons)
    if (name == b.Name) return &b;
  return nullptr;
}

bool MergeTestRequest(std::array<std::uint8_t, 4>& flags, std::string_view buttonName) {
  const TestButton* b = FindTestButton(buttonName);
  if (b == nullptr) return false;
  flags[b->FlagByte] |= b->Bit;
  return true;
}

}  // namespace velmor
