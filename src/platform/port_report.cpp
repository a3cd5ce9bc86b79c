#include "port_report.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "lang/plural.h"
#include "lang/port_texts.h"
#include "lang/text_table.h"

namespace velmor::platform {
namespace {

constexpr int kMenuPorts = 20;
constexpr int kHighestPort = 256;

// The number n of "VELMOR_COM<n>=..." or 0.
int OverrideNumber(std::string_view entry) {
  std::string prefix = OverrideVariable(0);
  prefix.pop_back();  // "VELMOR_COM"
  const auto eq = entry.find('=');
  if (entry.substr(0, prefix.size()) != prefix || eq == std::string_view::npos || eq == prefix.size()) return 0;
  int n = 0;
  for (char c : entry.substr(prefix.size(), eq - prefix.size())) {
    if (c < '0' || c > '9' || n > kHighestPort) return 0;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= kHighestPort ? n : 0;
}

// The variable `device` came from, when it came from one.
std::string OverrideOf(int number, const std::string& device) {
  const std::string var = OverrideVariable(number);
  const char* value = std::getenv(var.c_str());
  return value && device == value ? var : std::string();
}

}  // namespace

std::set<int> PortNumbers(char** environment) {
  std::set<int> numbers;
  for (int n = 1; n <= kMenuPorts; ++n) numbers.insert(n);
  for (char** e = environment; e && *e; ++e)
    if (const int n = OverrideNumber(*e)) numbers.insert(n);
  return numbers;
}

bool Usable(const PortFinding& f) {
  return f.Present && std::none_of(f.Problems.begin(), f.Problems.end(), [](const PortProblem& p) {
           return p.Kind != PortProblemKind::ModemManager && p.Kind != PortProblemKind::Brltty;
         });
}

std::string Say(PortText text, LanguageCode language, std::string_view first = {}) {
  return FillText(PortCaption(text, language), first);
}

std::string FindingText(const std::string& label, const PortFinding& f, const std::string& via,
                        LanguageCode language) {
  std::string text = label;
  text.resize(std::max<std::size_t>(text.size() + 1, 7), ' ');
  text += f.Device.empty() ? "-" : f.Device;
  if (!via.empty()) text += " (" + via + ")";
  if (f.Present) {
    text += "  " + ModeText(f.Mode) + " " + f.Owner + ":" + f.Group;
    text += Say(f.CanReadWrite ? PortText::CanReadWrite : PortText::CannotReadWrite, language);
    if (!f.CanReadWrite) text += Say(f.InGroup ? PortText::InGroupNote : PortText::NotInGroupNote, language, f.Group);
  }
  if (!f.UsbVendorId.empty()) {
    text += "\n       USB " + f.UsbVendorId + ":" + f.UsbProductId;
    if (!f.UsbName.empty()) text += " " + f.UsbName;
    if (!f.Driver.empty()) text += Say(PortText::Driver, language, f.Driver);
  }
  text += '\n';
  if (f.Problems.empty()) text += "       " + Say(PortText::Ok, language) + "\n";
  for (const auto& p : f.Problems) text += "       " + p.What + "\n         " + Say(PortText::FixLine, language, p.Fix) + '\n';
  return text;
}

PortReport ReportPorts(const std::set<int>& numbers, const PortDevices& devices, const Identity& who,
                       const SystemPaths& paths, LanguageCode language) {
  PortReport report;
  int hidden = 0;
  std::vector<int> empty;
  for (int n : numbers) {
    const std::string device = devices.DeviceFor(n);
    if (device.empty()) {
      empty.push_back(n);
      continue;
    }
    const std::string via = OverrideOf(n, device);
    const PortFinding f = DiagnosePort(device, who, paths, via, language);
    report.Text += FindingText("COM" + std::to_string(n), f, via, language);
    report.AnyUsable = report.AnyUsable || Usable(f);
    hidden = std::max(hidden, f.HiddenProcesses);
  }
  if (!empty.empty()) {
    report.Text += "COM" + std::to_string(empty.front());
    if (empty.size() > 1) report.Text += " ... COM" + std::to_string(empty.back());
    report.Text += Say(PortText::NoDevice, language) + "\n";
    if (!report.AnyUsable) {
      const PortProblem p = DiagnoseNoDevice(empty.front(), language).Problems.at(0);
      report.Text += "       " + p.What + "\n         " + Say(PortText::FixLine, language, p.Fix) + '\n';
    }
  }
  if (hidden > 0 && who.Uid != 0)
    report.Text += CountText(PortCaption(PortText::HiddenProcesses, language), language, hidden) + "\n";
  return report;
}

}  // namespace velmor::platform
