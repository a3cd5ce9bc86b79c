// velmor-sim: a simulated ignition unit on a pseudo-terminal.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "files/ign_file.h"
#include "model/derived.h"
#include "pty_server.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

void Usage() {
  std::puts(
      "usage: velmor-sim [options]\n"
      "  --link PATH        also make PATH a symbolic link to the device\n"
      "  --version N        protocol version the unit reports (default 78)\n"
      "  --drop SHARE       leave this share of requests unanswered (0..1)\n"
      "  --corrupt SHARE    break the checksum of this share of replies\n"
      "  --noise SHARE      send noise bytes before this share of replies\n"
      "  --delay MS         answer every request MS milliseconds late\n"
      "  --silent           answer nothing\n"
      "  --line-timing      pace frames like a 57600-baud line (26.4 ms each way)\n"
      "  --seed N           seed of the fault dice\n"
      "  --true-tune FILE   the engine needs the fuel of map 1 of this .ign file: it\n"
      "                     sweeps the map and reads A/F 13.2 x true time / programmed\n"
      "                     time in each cell\n"
      "  --no-noise         no ±0.1 noise on that A/F\n"
      "  --engine-speed X   run the engine's clock X times faster (default 1)\n"
      "  --quiet            print only the device path");
}

}  // namespace

int main(int argc, char** argv) {
  velmor::sim::SimOptions options;
  std::string link;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char* name) -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "velmor-sim: %s needs a value\n", name);
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--link") link = value("--link");
    else if (a == "--version") options.Version = std::atoi(value("--version"));
    else if (a == "--drop") options.DropShare = std::atof(value("--drop"));
    else if (a == "--corrupt") options.CorruptShare = std::atof(value("--corrupt"));
    else if (a == "--noise") options.NoiseShare = std::atof(value("--noise"));
    else if (a == "--delay") options.DelayMs = std::atof(value("--delay"));
    else if (a == "--silent") options.Silent = true;
    else if (a == "--line-timing") options.LineTiming = true;
    else if (a == "--seed") options.Seed = static_cast<std::uint32_t>(std::atol(value("--seed")));
    else if (a == "--quiet") quiet = true;
    else if (a == "--no-noise") options.AfrNoise = false;
    else if (a == "--engine-speed") {
      options.EngineSpeed = std::atof(value("--engine-speed"));
      if (!(options.EngineSpeed > 0 && options.EngineSpeed <= 1000)) {
        std::fprintf(stderr, "velmor-sim: --engine-speed must be above 0 and at most 1000\n");
        return 2;
      }
    } else if (a == "--true-tune") {
      const char* path = value("--true-tune");
      velmor::ParameterImage tune;
      velmor::DerivedTables tables;
      if (!velmor::ReadParameterFile(path, tune, tables, velmor::IgnScope::WholeFile).Loaded()) {
        std::fprintf(stderr, "velmor-sim: %s: not a parameter file that can be read\n", path);
        return 2;
      }
      options.TrueTune = tune;
    }
    else if (a == "--help" || a == "-h") {
      Usage();
      return 0;
    } else {
      std::fprintf(stderr, "velmor-sim: unknown option %s\n", a.c_str());
      Usage();
      return 2;
    }
  }
  if (options.Version < 0 || options.Version > 255) {
    std::fprintf(stderr, "velmor-sim: --version must be 0..255\n");
    return 2;
  }

  velmor::sim::PtyServer server(options);
  if (!quiet)
    server.OnTestRequest([](const std::string& line) {
      std::printf("output test: %s\n", line.c_str());
      std::fflush(stdout);
    });
  std::string error;
  if (!server.Start(link, &error)) {
    std::fprintf(stderr, "velmor-sim: cannot open a pseudo-terminal: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", server.DevicePath().c_str());
  if (!quiet && !link.empty()) std::printf("linked at %s\n", link.c_str());
  std::fflush(stdout);

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  velmor::sim::SimCounters last{};
  while (!g_stop) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (quiet) continue;
    const auto c = server.WithUnit([](velmor::sim::SimUnit& u) { return u.Counters(); });
    if (c.Writes != last.Writes || c.Reads != last.Reads) {
      std::printf("blocks: %u written, %u read, %u polls, %u dropped\n", c.Writes, c.Reads,
                  c.Polls, c.Dropped);
      std::fflush(stdout);
    }
    last = c;
  }
  server.Stop();
  // Remove the link only while it is still ours: a simulator started after
  // this one may have taken it over.
  std::error_code ec;
  if (!link.empty() && std::filesystem::read_symlink(link, ec) == server.DevicePath())
    std::filesystem::remove(link, ec);
  return 0;
}
