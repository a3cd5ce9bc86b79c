// Writes a log of a given length as the recorder would: a row every 330 ms,
// every column of the monitor frame, an engine that sweeps rpm and throttle
// and warms up. For the log benchmarks (bench/log_compare.sh).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "link/frame.h"
#include "log/log_format.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: log_make HOURS OUT.csv\n");
    return 2;
  }
  const double hours = std::atof(argv[1]);
  velmor::LogWriter writer;
  std::string error;
  if (!writer.Open(argv[2], &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const long rows = static_cast<long>(hours * 3600 * 1000 / 330);
  velmor::LinkFrame f{};
  f[0] = velmor::kMonitorReply;
  f[150] = velmor::kProtocolVersion;
  auto word = [&](int offset, int value) {
    f[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value & 0xFF);
    f[static_cast<std::size_t>(offset) + 1] = static_cast<std::uint8_t>(value >> 8 & 0xFF);
  };
  for (long i = 0; i < rows; ++i) {
    const int rpm = 1500 + static_cast<int>(i * 37 % 9000);
    f[1] = static_cast<std::uint8_t>(0xFB | (i / 500 % 2) << 2);
    // The throttle up and down a per cent a row, so that most rows pass
    // the analysis' rate filter.
    const long phase = i % 200;
    f[9] = static_cast<std::uint8_t>(phase < 100 ? phase : 200 - phase);
    f[28] = static_cast<std::uint8_t>(i % 3);
    f[10] = f[11] = static_cast<std::uint8_t>(10 + i % 30);
    f[14] = f[15] = static_cast<std::uint8_t>(20 + i % 60);
    f[23] = static_cast<std::uint8_t>(120 + std::min<long>(70, i / 100));
    f[24] = static_cast<std::uint8_t>(120 + i / 1000 % 10);
    f[25] = static_cast<std::uint8_t>(1 + i / 40 % 6);
    f[30] = static_cast<std::uint8_t>(120 + i % 30);
    word(48, rpm);
    word(52, 950 + static_cast<int>(i % 60));
    word(56, 500 + static_cast<int>(i * 7 % 4000));
    word(58, 100 + static_cast<int>(i % 800));
    word(64, 13500 + static_cast<int>(i % 500));
    word(116, static_cast<int>(i % 180));
    velmor::SealFrame(f);
    writer.Add(velmor::LogRowFromMonitorFrame(f.data(), static_cast<std::int32_t>(i * 330)));
  }
  return writer.Close() ? 0 : 1;
}
