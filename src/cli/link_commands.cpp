// The commands that talk to the unit over the serial line: read, program,
// verify, monitor and test-output. They run the link engine exactly as the
// window does, at 55 ms ticks from a Qt event loop, and print the status
// texts as they change.
#include "cli.h"

#ifdef VELMOR_CLI_LINK

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cctype>
#include <cmath>
#include <sstream>
#include <limits>
#include <memory>
#include <optional>

#include "editor/headless_host.h"
#include "lang/catalog.h"
#include "link/engine.h"
#include "link/output_tests.h"
#include "file_commands.h"
#include "history_commands.h"
#include "files/ign_file.h"
#include "log/log_format.h"
#include "log/log_paths.h"
#include "log/ridden_tunes.h"
#include "link_runner.h"
#include "port_devices.h"
#include "qt_serial_port.h"

namespace velmor::cli {

namespace {

constexpr Option kPort{"--port", "", "DEV", "serial device of the unit, e.g. /dev/ttyUSB0", false};
constexpr Option kCom{"--com", "", "N", "port number as in the window's Com menu (default 1)", false};
constexpr Option kOutputFile{"--output", "-o", "FILE", "parameter file to write", true};
constexpr Option kSeconds{"--seconds", "", "S", "stop after S seconds (default: until interrupted)", false};
constexpr Option kCsv{"--csv", "", "FILE", "also record a log: one CSV row per monitor frame", false};
constexpr Option kFast{"--fast", "", "",
                       "fast monitor: ask for frames more often than the original schedule",
                       false};
constexpr int kTickMs = 55;
// A whole transaction needs about 20 ticks; even five attempts for every one
// of its 19 blocks stay well inside this.
constexpr int kTransactionTimeoutMs = 19 * 5 * 6 * kTickMs + 5000;

// The window's host without the window: the document's normalisation and
// refresh, and status texts and messages printed as they come.
class CliHost : public HeadlessHost {
 public:
  CliHost(Document& document, Io& io, const Command& command, const LinkEngine* const& engine)
      : HeadlessHost(document), io_(io), command_(command), engine_(engine) {}
  void Normalise() override { document_.NormaliseAndRefresh(); }
  void ShowMessage(std::string_view text, std::string_view detail) override {
    HeadlessHost::ShowMessage(text, detail);
    std::string line(text);
    if (!detail.empty()) line += " (" + std::string(detail) + ")";
    Error(io_, command_, line);
  }
  void StatusChanged() override {
    if (engine_ == nullptr || !Verbose) return;
    const LinkStatus& s = engine_->Status();
    if (s.Text != printed_ && !s.Text.empty()) {
      io_.Out << s.Text << "\n" << std::flush;
      printed_ = s.Text;
    }
    if (s.NoConnectionVisible != noConnection_) {
      noConnection_ = s.NoConnectionVisible;
      if (noConnection_) io_.Out << "No connection with PC\n" << std::flush;
    }
  }
  bool Verbose = true;
  const std::string& LastPrinted() const { return printed_; }

 private:
  Io& io_;
  const Command& command_;
  const LinkEngine* const& engine_;
  std::string printed_;
  bool noConnection_ = false;
};

// Everything a link command runs on.
struct LinkSetup {
  LinkSetup(Io& io, const Command& command)
      : port(devices), host(document, io, command, enginePtr), engine(document.Image, port, host),
        runner(engine, kTickMs) {
    enginePtr = &engine;
    host.OnEnded = [this] { runner.Poke(); };
  }
  Document document;
  platform::PortDevices devices;
  platform::QtSerialPort port;
  const LinkEngine* enginePtr = nullptr;
  CliHost host;
  LinkEngine engine;
  platform::LinkRunner runner;
};

QCoreApplication& EnsureApplication() {
  if (QCoreApplication::instance() == nullptr) {
    static int argc = 1;
    static char name[] = "velmor-cli";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
  }
  return *QCoreApplication::instance();
}

// Chooses the port from --port / --com and opens it; false (after saying why)
// when it cannot be opened.
bool OpenChosenPort(const Args& args, Io& io, const Command& c, LinkSetup& s) {
  int number = 1;
  if (args.Has(kPort.Long) && args.Has(kCom.Long)) {
    Error(io, c, "give either --port or --com, not both");
    return false;
  }
  if (args.Has(kCom.Long) && !ParseInt(args.Get(kCom.Long), 1, 256, number)) {
    Error(io, c, "--com must be a port number from 1 to 256");
    return false;
  }
  if (args.Has(kPort.Long)) s.devices.SetOverride(number, args.Get(kPort.Long));
  s.engine.Port().PortSelection = static_cast<std::uint8_t>(number <= 20 ? number - 1 : 0);
  if (number > 20) {
    // Beyond the menu's twenty fixed ports only the search reaches a number.
    s.engine.Port().PortSelection = kPortAuto;
    s.engine.Port().ScanIndex = static_cast<std::uint8_t>(number - 1);
  }
  s.engine.OpenPort();
  if (!s.port.IsOpen()) {
    if (s.engine.Port().PortSelection == kPortAuto)
      Error(io, c, "Com opening error! (" + s.port.OpenErrorReason() + ")");
    return false;
  }
  return true;
}

bool LoadFile(Io& io, const Command& c, Document& document, const std::string& path) {
  return ReportLoaded(io, c, path, document.Open(path).Read);
}

// Runs the transaction the engine was just given; exit 0 only when it ended
// with the verify's success.
int Finish(Io& io, const Command& c, LinkSetup& s) {
  if (!s.runner.RunUntil([&] { return s.engine.Outcome() != LinkOutcome::Running; },
                         kTransactionTimeoutMs)) {
    Error(io, c, "the transaction did not end");
    return kExitFailure;
  }
  switch (s.engine.Outcome()) {
    case LinkOutcome::VerifyOk:
      // The idle step may already show the programming success; the verify's
      // own text is the one that counts here.
      {
        const std::string ok = CatalogText(MsgKey::MsgVerifying, LanguageCode::English) + " OK";
        if (s.host.LastPrinted() != ok) io.Out << ok << "\n";
      }
      return kExitOk;
    case LinkOutcome::Error: {
      // The window's label names the failed block for a Program only; here
      // every failure says which block it was.
      std::string text = s.engine.Status().Text;
      const std::string& detail = s.engine.FailureDetail();
      if (s.engine.Transaction() == LinkTransaction::Program || s.engine.Transaction() == LinkTransaction::ProgramChanged) {
        // The text names the blocks already.
      } else if (detail.ends_with(" differs.")) {
        text += " " + detail;
      } else if (!detail.empty()) {
        // The text says why; the block is all the detail adds.
        text += " (block " + std::to_string(s.engine.State().Command & kBlockIndexMask) + ")";
      }
      Error(io, c, text);
      return kExitFailure;
    }
    default:
      return kExitFailure;
  }
}

int RunRead(const Args& args, Io& io);
int RunProgram(const Args& args, Io& io);
int RunVerify(const Args& args, Io& io);
int RunMonitor(const Args& args, Io& io);
int RunTestOutput(const Args& args, Io& io);

const Command& Cmd(std::string_view name) { return *Commands().Find(name); }

int RunRead(const Args& args, Io& io) {
  EnsureApplication();
  const Command& c = Cmd("read");
  LinkSetup s(io, c);
  if (!OpenChosenPort(args, io, c, s)) return kExitFailure;
  s.engine.StartRead();
  const int code = Finish(io, c, s);
  if (code != kExitOk) return code;
  const IgnVersionTexts versions = FileVersions(s.engine.Identity());
  // The history keeps the unit's bytes as they came; the file the image as
  // normalised, which a Program would store.
  KeepInHistory(io, c, s.engine.UnitImage(), versions, false);
  if (s.engine.AdjustedOnRead() != 0) io.Out << s.engine.Status().Text << "\n";
  const WriteStatus status = s.document.Save(args.Get(kOutputFile.Long), versions).Written;
  if (!status.Ok) {
    Error(io, c, "cannot save: " + status.Reason);
    return kExitFailure;
  }
  return kExitOk;
}

int RunProgram(const Args& args, Io& io) {
  EnsureApplication();
  const Command& c = Cmd("program");
  LinkSetup s(io, c);
  if (!LoadFile(io, c, s.document, args.Positional.at(0))) return kExitFailure;
  if (!OpenChosenPort(args, io, c, s)) return kExitFailure;
  s.engine.StartProgram();
  const int code = Finish(io, c, s);
  if (code == kExitOk) KeepInHistory(io, c, s.document.Image, FileVersions(s.engine.Identity()), true);
  return code;
}

int RunVerify(const Args& args, Io& io) {
  EnsureApplication();
  const Command& c = Cmd("verify");
  LinkSetup s(io, c);
  if (!LoadFile(io, c, s.document, args.Positional.at(0))) return kExitFailure;
  if (!OpenChosenPort(args, io, c, s)) return kExitFailure;
  s.engine.StartVerify();
  return Finish(io, c, s);
}

int RunMonitor(const Args& args, Io& io) {
  EnsureApplication();
  const Command& c = Cmd("monitor");
  int seconds = 0;
  if (args.Has(kSeconds.Long) && !ParseInt(args.Get(kSeconds.Long), 1, 24 * 3600, seconds)) {
    Error(io, c, "--seconds must be a whole number of seconds from 1");
    return kExitUsage;
  }
  // The log the window records, in the same format.
  LogWriter csv;
  if (args.Has(kCsv.Long)) {
    std::string error;
    if (!csv.Open(args.Get(kCsv.Long), &error)) {
      Error(io, c, "cannot write " + error);
      return kExitFailure;
    }
  }
  LinkSetup s(io, c);
  s.engine.SetFastMonitor(args.Has(kFast.Long));
  if (!OpenChosenPort(args, io, c, s)) return kExitFailure;
  // The tune the ride is on goes beside the log, as the window keeps it,
  // so that the log's analysis starts from what the unit held; its rows
  // name it.
  int tune = kUnknownTune;
  if (csv.IsOpen()) {
    TuneKeeper tunes(args.Get(kCsv.Long));
    s.engine.ReadUnitCopy();
    const bool read = s.runner.RunUntil([&] { return s.engine.Outcome() != LinkOutcome::Running; },
                                        kTransactionTimeoutMs) &&
                      s.engine.Outcome() == LinkOutcome::VerifyOk;
    std::string error = "the unit's tune could not be read";
    if (read) tune = tunes.Follow(&s.engine.UnitCopy(), [&] { return FileVersions(s.engine.Identity()); }, &error);
    if (tune != kUnknownTune)
      io.Out << "Tune: " << TunePathOfLog(args.Get(kCsv.Long), tune) << "\n";
    else
      io.Err << "velmor-cli monitor: no tune beside the log (" << error << ")\n";
  }
  std::uint32_t shown = 0;
  QElapsedTimer clock;
  clock.start();
  s.host.OnMonitor = [&] {
    ++shown;
    LogRow row = LogRowFromMonitorFrame(s.engine.LastMonitorFrame().data(), static_cast<std::int32_t>(clock.elapsed()));
    io.Out << LiveLine(row) << "\n";
    io.Out.flush();
    if (csv.IsOpen()) {
      row[LogCol::Tune] = tune;
      csv.Add(row);
    }
  };
  if (seconds > 0)
    s.runner.RunFor(seconds * 1000);
  else
    s.runner.RunUntil([] { return false; }, std::numeric_limits<int>::max());
  if (csv.IsOpen() && !csv.Close()) {
    Error(io, c, "cannot write " + args.Get(kCsv.Long));
    return kExitFailure;
  }
  if (shown == 0) {
    Error(io, c, "no monitor frame from the unit");
    return kExitFailure;
  }
  return kExitOk;
}

int RunTestOutput(const Args& args, Io& io) {
  const Command& c = Cmd("test-output");
  std::vector<std::string> names;
  for (const std::string& given : args.Positional) {
    const TestButton* found = FindTestButton(given);
    for (const TestButton& b : kTestButtons) {
      if (found != nullptr) break;
      // Also accepted: the caption ("Injector 1A") and the name without its
      // "ButtonTest" prefix ("Jet1A"), in any letter case.
      auto same = [](std::string_view a, std::string_view b2) {
        return a.size() == b2.size() &&
               std::equal(a.begin(), a.end(), b2.begin(), [](char x, char y) {
                 return std::tolower(static_cast<unsigned char>(x)) ==
                        std::tolower(static_cast<unsigned char>(y));
               });
      };
      if (same(given, b.Caption) || same(given, std::string_view(b.Name).substr(10)) ||
          same(given, b.Name))
        found = &b;
    }
    if (found == nullptr) {
      std::string list;
      for (const TestButton& b : kTestButtons) list += std::string(" ") + b.Name;
      Error(io, c, "unknown output \"" + given + "\"; one of:" + list);
      return kExitUsage;
    }
    names.push_back(found->Name);
  }
  EnsureApplication();
  LinkSetup s(io, c);
  if (!OpenChosenPort(args, io, c, s)) return kExitFailure;
  for (const std::string& name : names) s.engine.StartOutputTest(name);
  // The requests ride on the next poll; wait until a monitor reply to a poll
  // sent after them has arrived.
  const std::uint32_t before = s.engine.MonitorFrames();
  bool sent = false;
  std::uint32_t framesAtSend = 0;
  const bool answered = s.runner.RunUntil(
      [&] {
        if (!sent && s.engine.State().TestFlags == std::array<std::uint8_t, 4>{}) {
          sent = true;
          framesAtSend = s.engine.MonitorFrames();
        }
        return sent && s.engine.MonitorFrames() > framesAtSend;
      },
      3000);
  (void)before;
  if (!answered) {
    Error(io, c, "the unit did not answer the poll that carried the request");
    return kExitFailure;
  }
  for (const std::string& name : names) io.Out << "requested " << name << "\n";
  return kExitOk;
}

}  // namespace

// One line per monitor frame, from the row the frame gives a log, so that
// the screen and the CSV agree: a sensor fault reads "error", never the
// stand-in value the unit sends with it.
std::string LiveLine(const LogRow& r) {
  std::ostringstream out;
  const auto value = [&](LogCol col, int width) {
    char text[24];
    const int decimals = LogColumn(col).Decimals;
    if (!r.Has(col))
      std::snprintf(text, sizeof text, "%*s", width, "error");
    else
      std::snprintf(text, sizeof text, "%*.*f", width, decimals, r[col] / std::pow(10.0, decimals));
    return std::string(text);
  };
  const auto on = [&](LogCol col) { return r.Has(col) && r[col] != 0; };
  out << "rpm " << value(LogCol::Rpm, 5) << "  tps " << value(LogCol::TpsPct, 5) << " %  map "
      << value(LogCol::PressureKpa, 5) << " kPa  coolant " << value(LogCol::CoolantC, 4) << " C  air "
      << value(LogCol::AirC, 4) << " C  gear " << value(LogCol::Gear, 1) << "  A/F " << value(LogCol::Afr, 4)
      << "  ratio " << value(LogCol::RpmSpeedRatio, 5)
      << (on(LogCol::IgnLimiter) || on(LogCol::JetLimiter) || on(LogCol::RetardLimiter) ? "  limiter" : "")
      << (on(LogCol::TpsFault) ? "  tps-fault" : "") << (on(LogCol::UnitSaving) ? "  saving" : "");
  return out.str();
}


void AddLinkCommands(CommandTable& table) {
  static const std::string portHelp =
      "The port: --port DEV names the device; --com N uses the numbering of the window's Com\n"
      "menu (COM n = n-th of /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*; VELMOR_COM<n>=DEV\n"
      "overrides a number). Without either, COM1.";
  static const std::string readText =
      "Reads blocks 0 to 9 from the unit, then verifies blocks 1 to 9 as the window does,\n"
      "and saves FILE only after \"Verify: OK\". Exit 0 only then. The image is also kept\n"
      "in the history folder (see history --help).\n\n" + portHelp;
  table.Add({.Name = "read",
             .Arguments = "[--port DEV|--com N] -o FILE",
             .Summary = "read the unit's configuration into a parameter file",
             .Description = readText,
             .Options = {kPort, kCom, kOutputFile},
             .Positionals = {},
             .Run = RunRead});
  static const std::string programText =
      "Opens FILE as the window opens it, writes blocks 0 to 9 (block 0 checks the unit's\n"
      "protocol version) and verifies blocks 1 to 9. Exit 0 only after \"Verify: OK\"; then\n"
      "the image is also kept in the history folder (see history --help).\n\n" +
      portHelp;
  table.Add({.Name = "program",
             .Arguments = "[--port DEV|--com N] FILE",
             .Summary = "program a parameter file into the unit and verify it",
             .Description = programText,
             .Options = {kPort, kCom},
             .Positionals = {"FILE"},
             .Run = RunProgram});
  static const std::string verifyText =
      "Opens FILE as the window opens it and compares blocks 1 to 9 with the unit.\n"
      "Exit 0 only when every block matches.\n\n" + portHelp;
  table.Add({.Name = "verify",
             .Arguments = "[--port DEV|--com N] FILE",
             .Summary = "compare a parameter file with the unit's configuration",
             .Description = verifyText,
             .Options = {kPort, kCom},
             .Positionals = {"FILE"},
             .Run = RunVerify});
  static const std::string monitorText =
      "Polls the unit every 330 ms as the window does and prints one line of decoded live\n"
      "values per monitor frame. With --fast the next poll goes out as soon as the unit's\n"
      "reply to the last one has come, up to one every 55 ms: more often than the original\n"
      "schedule (about 18 frames a second at 57600 baud, against 3). With --csv the frames are also recorded into FILE as a\n"
      "log, the window's format: a header of column names (time_s, rpm, tps_pct, afr,\n"
      "coolant_c, ...), one row per frame, an empty field for a faulty sensor, written\n"
      "out at least once a second. Before the first frame the unit's tune is read and\n"
      "kept beside FILE as NAME.ign (the tune to give log analyze --tune), as the window\n"
      "keeps it beside its logs. Exit 1 when no frame came.\n\n" +
      portHelp;
  table.Add({.Name = "monitor",
             .Arguments = "[--port DEV|--com N] [--seconds S] [--csv FILE] [--fast]",
             .Summary = "show the unit's live values",
             .Description = monitorText,
             .Options = {kPort, kCom, kSeconds, kCsv, kFast},
             .Positionals = {},
             .Run = RunMonitor});
  std::string testText =
      "Fires output tests with the next monitor poll. NAME is a test button of the tuning\n"
      "page, by component name, caption or short name:\n";
  for (const TestButton& b : kTestButtons)
    testText += std::string("  ") + b.Name + "  \"" + b.Caption + "\"\n";
  static const std::string testHelp = testText + "\n" + portHelp;
  table.Add({.Name = "test-output",
             .Arguments = "[--port DEV|--com N] NAME...",
             .Summary = "fire output tests on the unit",
             .Description = testHelp,
             .Options = {kPort, kCom},
             .Positionals = {"NAME..."},
             .Run = RunTestOutput});
}

}  // namespace velmor::cli

#else

namespace velmor::cli {
// Built without Qt SerialPort: no command talks to the unit.
void AddLinkCommands(CommandTable& /*table*/) {}
}  // namespace velmor::cli

#endif
