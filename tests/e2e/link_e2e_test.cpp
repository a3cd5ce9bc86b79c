#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "sim_link_fixture.h"
#include "test_images.h"

namespace velmor {
namespace {

using platform::LinkRunner;
using platform::PortDevices;
using platform::QtSerialPort;
using sim::PtyServer;
using sim::SimOptions;

// Ticks run faster than the window's 55 ms so the suite stays quick; every
// rule counts ticks, not milliseconds.
constexpr int kTickMs = 20;

class LinkE2eTest : public SimLinkFixture {
 protected:
  LinkE2eTest() : SimLinkFixture(kTickMs) {}
  ParameterImage UnitMemory() {
    return server_->WithUnit([](sim::SimUnit& u) { return u.Memory(); });
  }
  bool ReadAll() {
    engine_.StartRead();
    return RunTransaction() && engine_.Outcome() == LinkOutcome::VerifyOk;
  }

};

TEST_F(LinkE2eTest, ReadBringsTheUnitsImageAndVerifiesIt) {
  StartSim();
  engine_.OpenPort();
  ASSERT_TRUE(port_.IsOpen()) << port_.OpenErrorReason();
  ASSERT_TRUE(ReadAll()) << engine_.Status().Text;
  EXPECT_EQ(document_.Image, UnitMemory());
  EXPECT_EQ(engine_.Status().Text, "Verify: OK");
  EXPECT_EQ(engine_.Identity().Name, "Velmor simulated unit");
  EXPECT_EQ(engine_.Identity().Date, "14. 4.2024");
  EXPECT_EQ(engine_.Identity().Time, "09:30");
}

TEST_F(LinkE2eTest, ProgramWritesEveryBlockAndVerifies) {
  StartSim();
  engine_.OpenPort();
  ASSERT_TRUE(ReadAll());
  document_.Image.P(1200) = 'Q';  // the note text: untouched by normalisation
  document_.Image.P(1349) = 'Z';
  engine_.StartProgram();
  ASSERT_TRUE(RunTransaction());
  EXPECT_EQ(engine_.Outcome(), LinkOutcome::VerifyOk);
  const ParameterImage unit = UnitMemory();
  EXPECT_EQ(unit.P(1200), 'Q');
  EXPECT_EQ(unit.P(1349), 'Z');
  EXPECT_TRUE(testsupport::SameParameters(unit, document_.Image));
  // Afterwards the unit saves and the idle tick says so.
  EXPECT_TRUE(runner_.RunUntil([&] { return engine_.Status().Text == "Saving:"; }, 3000));
}

// The frames of a transfer by the rules of the protocol: the command of
// each block, then its payload (zeros for block 0 and for every read of a
// Read, else the image's block).
std::vector<LinkFrame> TransferFrames(const std::vector<int>& commands, const ParameterImage& image, bool reading) {
  std::vector<LinkFrame> frames;
  for (int command : commands) {
    LinkFrame f{};
    f[0] = static_cast<std::uint8_t>(command);
    const int block = command & kBlockIndexMask;
    const bool zeros = block == 0 || (reading && (command & kReadFlag) != 0 && frames.size() < 10);
    if (!zeros) std::copy_n(image.Block(block).begin(), kBlockSize, f.begin() + 1);
    SealFrame(f);
    frames.push_back(f);
  }
  return frames;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> r;
  for (int c = first; c <= last; ++c) r.push_back(c);
  return r;
}

// At the window's 55 ms tick: a resend or a poll slot comes only after
// 330 ms, so a busy machine does not add frames of its own to the line.
class LinkE2eLineTest : public SimLinkFixture {
 protected:
  LinkE2eLineTest() : SimLinkFixture(55) {}
  bool ReadAll() {
    engine_.StartRead();
    return RunTransaction() && engine_.Outcome() == LinkOutcome::VerifyOk;
  }
};

// Replies are taken as they arrive and the next request follows at once:
// the unit must still see exactly the frames, in exactly the order, that a
// tick-paced transfer sends, one request at a time, and never a request
// sooner than 2 ms after the end of the reply before it.
TEST_F(LinkE2eLineTest, TheUnitSeesTheSameFramesOneAtATimeWithAGapAfterEachReply) {
  SimOptions options;
  options.LineTiming = true;
  options.RecordLine = true;
  StartSim(options);
  engine_.OpenPort();
  ASSERT_TRUE(runner_.RunUntil([&] { return engine_.MonitorFrames() > 0; }, 3000));
  ASSERT_TRUE(ReadAll()) << engine_.Status().Text;
  const ParameterImage afterRead = document_.Image;
  document_.Image.P(1349) ^= 0x20;  // the note: untouched by normalisation
  engine_.StartOutputTest("ButtonTestJet1A");
  engine_.StartProgram();
  ASSERT_TRUE(RunTransaction());
  ASSERT_EQ(engine_.Outcome(), LinkOutcome::VerifyOk);
  runner_.RunFor(12 * 55);  // idle polls again, one with the test request
  const auto log = server_->WithUnit([](sim::SimUnit& u) { return u.LineLog(); });

  std::vector<LinkFrame> blocks, polls;
  double lastReplyEnd = -1;
  bool waiting = false;
  for (const sim::LineEvent& e : log) {
    if (e.FromUnit) {
      lastReplyEnd = e.Ms;
      waiting = false;
      continue;
    }
    if (lastReplyEnd >= 0) {
      EXPECT_GE(e.Ms - lastReplyEnd, 2.0) << "request 0x" << std::hex << int(e.Frame[0]);
    }
    // A transfer's request waits for the reply to the one before it; only a
    // poll may go out unanswered (every sixth tick).
    if (e.Frame[0] != kPollCommand) {
      EXPECT_FALSE(waiting) << "request 0x" << std::hex << int(e.Frame[0]);
    }
    waiting = true;
    (e.Frame[0] == kPollCommand ? polls : blocks).push_back(e.Frame);
  }
  std::vector<LinkFrame> expected = TransferFrames(Range(0x40, 0x49), afterRead, true);
  for (const LinkFrame& f : TransferFrames(Range(0x41, 0x49), afterRead, false)) expected.push_back(f);
  for (const LinkFrame& f : TransferFrames(Range(0x00, 0x09), document_.Image, false)) expected.push_back(f);
  for (const LinkFrame& f : TransferFrames(Range(0x41, 0x49), document_.Image, false)) expected.push_back(f);
  ASSERT_EQ(blocks.size(), expected.size());
  for (std::size_t i = 0; i < blocks.size(); ++i) EXPECT_EQ(blocks[i], expected[i]) << "frame " << i;
  // No poll inside a transfer: the block frames of each are consecutive.
  std::vector<int> order;
  for (const sim::LineEvent& e : log)
    if (!e.FromUnit) order.push_back(e.Frame[0]);
  const auto firstBlock = std::find_if(order.begin(), order.end(), [](int c) { return c != kPollCommand; });
  const auto readEnd = firstBlock + 19;
  ASSERT_LE(readEnd, order.end());
  EXPECT_TRUE(std::none_of(firstBlock, readEnd, [](int c) { return c == kPollCommand; }));
  const auto programStart = std::find(readEnd, order.end(), 0x00);
  ASSERT_LE(programStart + 19, order.end());
  EXPECT_TRUE(std::none_of(programStart, programStart + 19, [](int c) { return c == kPollCommand; }));
  // Polls carry zeros but for the one test request, which rode on one poll.
  int withTest = 0;
  for (const LinkFrame& p : polls) {
    EXPECT_TRUE(std::all_of(p.begin() + 1, p.begin() + 20, [](std::uint8_t b) { return b == 0; }));
    if (p[20] != 0 || p[21] != 0 || p[22] != 0 || p[23] != 0) ++withTest;
  }
  EXPECT_EQ(withTest, 1);
}

TEST_F(LinkE2eTest, ACablePulledDuringAProgramNamesTheBlocksTheUnitTook) {
  StartSim();
  engine_.OpenPort();
  ASSERT_TRUE(ReadAll());
  const std::uint8_t oldNote = document_.Image.P(1349);
  document_.Image.P(1349) = static_cast<std::uint8_t>(oldNote ^ 0x20);  // block 9, untouched by normalisation
  engine_.StartProgram();
  auto writes = [&] { return server_->WithUnit([](sim::SimUnit& u) { return u.Counters().Writes; }); };
  // Block 0 and blocks 1 to 4 have reached the unit: block 3 was confirmed
  // before block 4 was sent.
  ASSERT_TRUE(runner_.RunUntil([&] { return writes() >= 5; }, 5000));
  const ParameterImage unit = UnitMemory();
  server_->Stop();
  ASSERT_TRUE(RunTransaction());
  EXPECT_EQ(engine_.Outcome(), LinkOutcome::Error);
  const std::string text = engine_.Status().Text;
  int last = 0, unconfirmed = 0;
  ASSERT_EQ(std::sscanf(text.c_str(), "Program error! The connection to the unit was lost. Blocks 1-%d written, block %d unconfirmed", &last, &unconfirmed), 2)
      << text;
  EXPECT_GE(last, 3) << text;
  EXPECT_EQ(unconfirmed, last + 1) << text;
  if (unconfirmed < 9) {
    // "block 9 not written" or "blocks 7-9 not written": the transfer runs
    // at the line's pace, so more may have gone out by the time it is cut.
    EXPECT_NE(text.find("9 not written"), std::string::npos) << text;
  }
  EXPECT_NE(text.find(": the unit holds a mixed configuration, program it again."), std::string::npos) << text;
  EXPECT_EQ(unit.P(1349), oldNote);  // the last block still holds the old configuration
}

TEST_F(LinkE2eTest, VerifyFailsAfterOneChangedByte) {
  StartSim();
  engine_.OpenPort();
  ASSERT_TRUE(ReadAll());
  server_->WithUnit([](sim::SimUnit& u) { u.Memory().P(777) ^= 0x01; });
  engine_.StartVerify();
  ASSERT_TRUE(RunTransaction());
  EXPECT_EQ(engine_.Outcome(), LinkOutcome::Error);
  EXPECT_EQ(engine_.Status().Text, "Verify error!");
  EXPECT_TRUE(engine_.Status().Red);
  // It stopped at block 6, the one holding P+777.
  EXPECT_EQ(engine_.State().Command, 0x46);
  EXPECT_EQ(engine_.FailureDetail(), "Block 6 differs.");
}

TEST_F(LinkE2eTest, VersionMismatchStopsTheReadAndWarnsInTheMonitor) {
  SimOptions options;
  options.Version = 77;
  StartSim(options);
  engine_.OpenPort();
  engine_.StartRead();
  ASSERT_TRUE(RunTransaction());
  EXPECT_EQ(engine_.Outcome(), LinkOutcome::VersionMismatch);
  EXPECT_EQ(host_.LastMessage, "Unmatched version of PC and Ignition programs!  PC-78, IGN-77");
  const auto frames = engine_.MonitorFrames();
  ASSERT_TRUE(runner_.RunUntil([&] { return engine_.MonitorFrames() > frames; }, 3000));
  const LabelView& version = engine_.Monitor()[MonLabel::LabelVersion];
  EXPECT_EQ(version.TextColour, Colour::Red);
  EXPECT_EQ(std::string(version.Text.View()),
            "Unmatched version of PC and Ignition programs!  PC-78, IGN-77");
}

struct FaultCase {
  const char* name;
  SimOptions options;
  LinkOutcome outcome;
  const char* text;
};

SimOptions Fault(double drop, double corrupt, double noise, double delayMs, bool silent) {
  SimOptions o;
  o.DropShare = drop;
  o.CorruptShare = corrupt;
  o.NoiseShare = noise;
  o.DelayMs = delayMs;
  o.Silent = silent;
  o.Seed = 7;
  return o;
}

class LinkE2eFaultTest : public LinkE2eTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(LinkE2eFaultTest, ReadEndsInTheRightText) {
  StartSim(GetParam().options);
  engine_.OpenPort();
  engine_.StartRead();
  ASSERT_TRUE(RunTransaction(60000));
  EXPECT_EQ(engine_.Outcome(), GetParam().outcome);
  EXPECT_EQ(engine_.Status().Text, GetParam().text);
  if (GetParam().outcome == LinkOutcome::VerifyOk) {
    EXPECT_EQ(document_.Image, UnitMemory());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LinkE2eFaultTest,
    ::testing::Values(
        FaultCase{"Silent", Fault(0, 0, 0, 0, true), LinkOutcome::Error, "Read error! The unit did not answer."},
        FaultCase{"AllDropped", Fault(1, 0, 0, 0, false), LinkOutcome::Error, "Read error! The unit did not answer."},
        FaultCase{"AllCorrupt", Fault(0, 1, 0, 0, false), LinkOutcome::Error, "Read error! The unit's answers arrived damaged."},
        FaultCase{"AllNoisy", Fault(0, 0, 1, 0, false), LinkOutcome::Error, "Read error! The unit's answers arrived damaged."},
        // Later than the resend but before the next: the late answer has the
        // code of the block still asked for and is taken.
        FaultCase{"LateReplies", Fault(0, 0, 0, 8 * kTickMs, false), LinkOutcome::VerifyOk,
                  "Verify: OK"},
        FaultCase{"RepliesAfterFiveResends", Fault(0, 0, 0, 40 * kTickMs, false),
                  LinkOutcome::Error, "Read error! The unit did not answer."},
        FaultCase{"SomeDropped", Fault(0.3, 0, 0, 0, false), LinkOutcome::VerifyOk, "Verify: OK"},
        FaultCase{"SomeCorrupt", Fault(0, 0.3, 0, 0, false), LinkOutcome::VerifyOk, "Verify: OK"},
        FaultCase{"SomeNoisy", Fault(0, 0, 0.3, 0, false), LinkOutcome::VerifyOk, "Verify: OK"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkE2eTest, AutomaticSearchFindsTheUnit) {
  StartSim();
  for (int n = 1; n <= 4; ++n) devices_.SetOverride(n, dir_.filePath("none").toStdString());
  devices_.SetOverride(5, link_);
  engine_.Port().PortSelection = kPortAuto;
  engine_.Port().ScanIndex = 0;
  engine_.OpenPort();
  EXPECT_FALSE(port_.IsOpen());
  ASSERT_TRUE(runner_.RunUntil([&] { return engine_.MonitorFrames() > 0; }, 5000));
  EXPECT_EQ(engine_.Port().ScanIndex, 4);
  EXPECT_EQ(engine_.Status().LabelCom, "COM= COM5");
  EXPECT_TRUE(host_.LastMessage.empty());
}

TEST_F(LinkE2eTest, OutputTestRequestsReachTheUnit) {
  StartSim();
  engine_.OpenPort();
  engine_.StartOutputTest("ButtonTestJet1A");
  engine_.StartOutputTest("ButtonTestIgn2");
  ASSERT_TRUE(runner_.RunUntil(
      [&] { return server_->WithUnit([](sim::SimUnit& u) { return !u.TestLog().empty(); }); },
      3000));
  EXPECT_EQ(server_->WithUnit([](sim::SimUnit& u) { return u.TestLog(); }),
            std::vector<std::string>{"ButtonTestJet1A ButtonTestIgn2"});
}

TEST_F(LinkE2eTest, TuningReadsTheChannelsMapBeforeEveryPoll) {
  StartSim();
  engine_.OpenPort();
  ASSERT_TRUE(ReadAll());
  document_.Image.P(300) = 2;
  document_.Image.P(292) = 100;  // a target the engine model never meets: the unit adds
  host_.Tuning = true;
  const ParameterImage before = document_.Image;
  const auto reads = server_->WithUnit([](sim::SimUnit& u) { return u.Counters().Reads; });
  ASSERT_TRUE(runner_.RunUntil(
      [&] {
        const std::string t(engine_.Monitor()[MonLabel::LabelLadeniMsg].Text.View());
        return t == "T: Adding" || t == "T: Decrease" || t == "T: Accelarition to big";
      },
      5000));
  EXPECT_GE(server_->WithUnit([](sim::SimUnit& u) { return u.Counters().Reads; }), reads + 2);
  runner_.RunFor(30 * kTickMs);
  // The unit changed its map of channel 2 and the tool's copy followed it;
  // the other blocks stay as they were.
  EXPECT_FALSE(std::equal(before.Block(7).begin(), before.Block(8).end(), document_.Image.Block(7).begin()));
  EXPECT_TRUE(std::equal(before.Block(5).begin(), before.Block(6).end(), document_.Image.Block(5).begin()));
}

TEST_F(LinkE2eTest, OpenFailuresSayWhy) {
  devices_.SetOverride(2, dir_.filePath("missing").toStdString());
  engine_.SelectPort(1);
  EXPECT_EQ(host_.LastMessage, "Com opening error!");
  EXPECT_NE(port_.OpenErrorReason().find("no such device"), std::string::npos)
      << port_.OpenErrorReason();

  StartSim();
  QtSerialPort other(devices_);
  ASSERT_TRUE(other.Open(1)) << other.OpenErrorReason();
  engine_.SelectPort(0);
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_NE(port_.OpenErrorReason().find("busy"), std::string::npos) << port_.OpenErrorReason();
}

TEST_F(LinkE2eTest, ReconnectsAfterTheSimulatorProgramIsStoppedAndStarted) {
  auto startProgram = [&](QProcess& p) {
    p.start(VELMOR_SIM_PROGRAM, {"--link", QString::fromStdString(link_), "--quiet"});
    ASSERT_TRUE(p.waitForStarted(5000));
    ASSERT_TRUE(p.waitForReadyRead(5000));  // the device path line
  };
  QProcess sim1;
  startProgram(sim1);
  engine_.OpenPort();
  ASSERT_TRUE(port_.IsOpen()) << port_.OpenErrorReason();
  ASSERT_TRUE(runner_.RunUntil([&] { return engine_.MonitorFrames() > 2; }, 5000));

  sim1.terminate();
  ASSERT_TRUE(sim1.waitForFinished(5000));
  ASSERT_TRUE(
      runner_.RunUntil([&] { return engine_.Status().NoConnectionVisible; }, 5000));
  EXPECT_FALSE(port_.IsOpen());
  runner_.RunFor(40 * kTickMs);  // reconnection attempts against nothing

  QProcess sim2;
  startProgram(sim2);
  const auto frames = engine_.MonitorFrames();
  ASSERT_TRUE(runner_.RunUntil([&] { return engine_.MonitorFrames() > frames; }, 5000));
  ASSERT_TRUE(runner_.RunUntil([&] { return !engine_.Status().NoConnectionVisible; }, 1000));
  engine_.StartRead();
  EXPECT_TRUE(RunTransaction());
  EXPECT_EQ(engine_.Outcome(), LinkOutcome::VerifyOk);
  engine_.ClosePort();
  sim2.terminate();
  sim2.waitForFinished(5000);
}

}  // namespace
}  // namespace velmor
