#include <gtest/gtest.h>

#include <algorithm>

#include <array>
#include <cstring>
#include <functional>
#include <map>
#include <optional>

#include "editor/headless_host.h"
#include "link/engine.h"
#include "link/identity.h"
#include "link/port_numbering.h"
#include "link_test_support.h"
#include "model/defaults.h"
#include "model/derived.h"
#include "model/normalise.h"
#include "test_images.h"

namespace velmor {
namespace {

using linktest::RecordingHost;
using testsupport::MakeFrame;
using testsupport::ScriptedPort;
using testsupport::ScriptedUnit;

// The unit the engine tests talk to: "Jet" 1 of this protocol version, its
// parameter blocks holding a pattern of their own.
struct TestUnit : ScriptedUnit {
  TestUnit() {
    blocks[0][0] = 'J';
    blocks[0][1] = 'e';
    blocks[0][2] = 't';
    blocks[0][3] = 1;
    for (int b = 1; b < kBlockCount; ++b)
      for (int i = 0; i < kBlockSize; ++i) blocks[b][i] = static_cast<std::uint8_t>(b * 7 + i);
  }
};

class LinkEngineTest : public ::testing::Test {
 protected:
  LinkEngineTest() : engine(image, port, host) {
    for (int i = 0; i < kParamSize; ++i) image.P(i) = static_cast<std::uint8_t>(i * 3);
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) engine.Tick();
  }
  // Ticks until `done` holds, at most `limit`; returns the ticks used.
  template <class F>
  int TicksUntil(F done, int limit = 2000) {
    for (int i = 1; i <= limit; ++i) {
      engine.Tick();
      if (done()) return i;
    }
    return -1;
  }
  std::vector<std::uint8_t> SentCommands() const {
    std::vector<std::uint8_t> c;
    for (const auto& f : port.sent) c.push_back(f[0]);
    return c;
  }

  ParameterImage image;
  ScriptedPort port;
  RecordingHost host;
  LinkEngine engine;
};

TEST(LinkFrameTest, ChecksumOfEmptyPollAndValidation) {
  LinkFrame f{};
  f[0] = kPollCommand;
  SealFrame(f);
  EXPECT_EQ(f[151], 0xCF);
  EXPECT_TRUE(FrameChecksumValid(f.data()));
  f[77] ^= 0x10;
  EXPECT_FALSE(FrameChecksumValid(f.data()));
}

TEST_F(LinkEngineTest, ReceiveWaitsForAFullFrameAndHandlesOnlyTheFirst) {
  LinkFrame m{};
  m[0] = kMonitorReply;
  m[150] = kProtocolVersion;
  SealFrame(m);
  port.rx.insert(port.rx.end(), m.begin(), m.end() - 1);  // 151 bytes
  engine.ReceiveFrame();
  EXPECT_EQ(host.monitorFrames, 0);
  EXPECT_EQ(port.rx.size(), 151u);
  port.QueueBytes({m[151]});
  engine.ReceiveFrame();
  EXPECT_EQ(host.monitorFrames, 1);
  EXPECT_EQ(engine.State().TicksSinceReply, 0);

  // Two replies at once: both are taken, only the first is looked at.
  port.Queue(m);
  port.Queue(m);
  engine.ReceiveFrame();
  EXPECT_EQ(engine.State().RxCount, 304u);
  EXPECT_TRUE(port.rx.empty());
  EXPECT_EQ(host.monitorFrames, 2);
}

TEST_F(LinkEngineTest, NoiseInFrontOfAReplyDiscardsTheWholeRead) {
  LinkFrame m{};
  m[0] = kMonitorReply;
  SealFrame(m);
  port.QueueBytes({0x55, 0xAA});
  port.Queue(m);
  engine.ReceiveFrame();
  EXPECT_EQ(host.monitorFrames, 0);
  EXPECT_TRUE(port.rx.empty());
  port.Queue(m);
  engine.ReceiveFrame();
  EXPECT_EQ(host.monitorFrames, 1);
}

TEST_F(LinkEngineTest, BlockReplyAcceptanceRules) {
  engine.StartRead();
  engine.State().Command = 0x43;
  engine.State().TicksSinceReply = 10;
  std::array<std::uint8_t, kBlockSize> payload{};
  payload.fill(0x5A);

  // The reply code of another command, with a good checksum: ignored.
  port.Queue(MakeFrame(0xC4, payload.data()));
  engine.ReceiveFrame();
  EXPECT_NE(image.Block(3)[0], 0x5A);
  EXPECT_EQ(engine.State().TicksSinceReply, 10);

  // The right code with a broken checksum: ignored.
  LinkFrame bad = MakeFrame(0xC3, payload.data());
  bad[151] ^= 1;
  port.Queue(bad);
  engine.ReceiveFrame();
  EXPECT_NE(image.Block(3)[0], 0x5A);

  port.Queue(MakeFrame(0xC3, payload.data()));
  engine.ReceiveFrame();
  EXPECT_EQ(image.Block(3)[0], 0x5A);
  EXPECT_EQ(engine.State().TicksSinceReply, 0);
  EXPECT_EQ(engine.State().Command, 0x44);
}

TEST_F(LinkEngineTest, ProgramRunsWriteThenVerifyAtOneBlockPerTick) {
  TestUnit unit;
  unit.Attach(port);
  engine.StartProgram();
  EXPECT_EQ((std::vector<std::string>{"TransferPage", "Normalise", "RefreshPage"}), host.calls);
  EXPECT_EQ(engine.State().Mode, LinkMode::Program);
  EXPECT_EQ(engine.Status().Text, "Program device:");
  EXPECT_TRUE(port.sent.empty());  // the menu sends nothing

  // The first frame goes out when the counter next reaches 6.
  Ticks(5);
  EXPECT_TRUE(port.sent.empty());
  Ticks(1);
  ASSERT_EQ(port.sent.size(), 1u);
  EXPECT_EQ(port.sent[0][0], 0x00);
  EXPECT_EQ(engine.State().Attempts, 1);
  for (int k = 1; k <= kPayloadSize; ++k) ASSERT_EQ(port.sent[0][k], 0) << k;  // block 0 carries zeros

  const int ticks = TicksUntil([&] { return engine.State().Mode == LinkMode::Idle; });
  // 10 writes and 9 reads: each reply is answered in the tick that takes it in.
  EXPECT_EQ(ticks, 19);
  std::vector<std::uint8_t> expected{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x41, 0x42, 0x43, 0x44, 0x45,
                                     0x46, 0x47, 0x48, 0x49};
  EXPECT_EQ(SentCommands(), expected);
  EXPECT_EQ(port.sent[1][1], image.Block(1)[0]);  // blocks 1..9 carry the image
  // The verify's success text is replaced in the same tick: the reply left
  // the link idle, and the idle step shows the programming success.
  EXPECT_EQ(engine.Status().Text, "Program device: OK");
  EXPECT_FALSE(engine.Status().Red);
  EXPECT_EQ(engine.Status().GaugePosition, kGaugeMax);
  EXPECT_EQ(engine.Outcome(), LinkOutcome::VerifyOk);
  EXPECT_TRUE(engine.State().ProgramDone);
  EXPECT_EQ(engine.Identity().Name, "Jet01");
  // Block 0's reply was normalised and shown before block 1 went out.
  EXPECT_EQ(host.calls, (std::vector<std::string>{"TransferPage", "Normalise", "RefreshPage",
                                                  "Normalise", "RefreshPage"}));

  // The success text stays until the status ages out, which also ends it.
  Ticks(kStatusHoldTicks - 2);
  EXPECT_TRUE(engine.Status().Visible);
  EXPECT_TRUE(engine.State().ProgramDone);
  engine.Tick();
  EXPECT_FALSE(engine.Status().Visible);
  EXPECT_FALSE(engine.State().ProgramDone);
}

TEST_F(LinkEngineTest, MismatchingEchoIsResentAfterSixTicksThenTheNextBlockFollowsAtOnce) {
  TestUnit unit;
  unit.corruptEchoOfBlock = 5;
  unit.Attach(port);
  engine.StartProgram();
  TicksUntil([&] { return port.sent.size() == 6; });  // write 5 just went out
  ASSERT_EQ(port.sent.back()[0], 5);
  engine.Tick();  // takes the bad echo: nothing sent
  EXPECT_EQ(port.sent.size(), 6u);
  EXPECT_EQ(engine.State().BlockFlags[5], 0);  // cleared even though it did not match
  // The send happened inside the reply handler, before that tick counted:
  // the counter reaches 6 on the fifth tick after it.
  Ticks(3);
  EXPECT_EQ(port.sent.size(), 6u);
  engine.Tick();
  ASSERT_EQ(port.sent.size(), 7u);
  EXPECT_EQ(port.sent.back()[0], 5);
  EXPECT_EQ(engine.State().Attempts, 2);
  engine.Tick();  // the good echo: block 6 at once
  EXPECT_EQ(port.sent.back()[0], 6);
  EXPECT_EQ(engine.State().Attempts, 1);
}

struct GiveUpCase {
  const char* name;
  void (LinkEngine::*start)();
  const char* errorText;
  std::vector<std::string> hostCalls;  // what the command asks of the window first
};

class LinkGiveUpTest : public LinkEngineTest, public ::testing::WithParamInterface<GiveUpCase> {};

TEST_P(LinkGiveUpTest, FiveUnansweredSendsThenTheRedText) {
  engine.State().ProgramDone = true;
  (engine.*GetParam().start)();
  EXPECT_EQ(host.calls, GetParam().hostCalls);
  EXPECT_TRUE(engine.Status().Visible);
  EXPECT_TRUE(engine.Status().GaugeVisible);
  EXPECT_EQ(engine.State().Attempts, 0);
  std::vector<int> sendTicks;
  for (int t = 1; t <= 36; ++t) {
    const auto before = port.sent.size();
    engine.Tick();
    if (port.sent.size() != before) sendTicks.push_back(t);
    if (t < 36) {
      ASSERT_NE(engine.State().Mode, LinkMode::Idle) << "tick " << t;
    }
  }
  EXPECT_EQ(sendTicks, (std::vector<int>{6, 12, 18, 24, 30}));
  EXPECT_EQ(engine.State().Mode, LinkMode::Idle);
  EXPECT_EQ(engine.Status().Text, GetParam().errorText);
  EXPECT_TRUE(engine.Status().Red);
  // Aged in the same tick; a failed Program's text stays until the next
  // transfer.
  const bool program = GetParam().start == &LinkEngine::StartProgram;
  EXPECT_EQ(engine.State().StatusCountdown, program ? 0 : kStatusHoldTicks - 1);
  EXPECT_FALSE(engine.State().ProgramDone);
  EXPECT_EQ(engine.Outcome(), LinkOutcome::Error);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, LinkGiveUpTest,
    ::testing::Values(GiveUpCase{"Program", &LinkEngine::StartProgram,
                                 "Program error! The unit did not answer. No block written: the unit keeps its "
                                 "configuration.",
                                 {"TransferPage", "Normalise", "RefreshPage"}},
                      // Nothing came back to differ: no "Verify error!".
                      GiveUpCase{"Verify", &LinkEngine::StartVerify, "Verify stopped! The unit did not answer.",
                                 {"TransferPage", "Normalise", "RefreshPage"}},
                      GiveUpCase{"Read", &LinkEngine::StartRead, "Read error! The unit did not answer.", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The cable is pulled right after the unit echoed the write of one block: the
// unit holds the new blocks up to it and its old ones after it.
TEST_F(LinkEngineTest, AFailedProgramNamesTheBlocksTheUnitTook) {
  struct Case {
    std::vector<int> flagged;  // empty: the Program command (all ten blocks)
    int lastEcho;              // -1: no answer at all
    const char* detail;
  };
  const Case cases[] = {
      {{}, 4,
       "Blocks 1-4 written, block 5 unconfirmed, blocks 6-9 not written: the unit holds a mixed "
       "configuration, program it again."},
      {{}, 8, "Blocks 1-8 written, block 9 unconfirmed: the unit holds a mixed configuration, program it again."},
      {{}, 0,
       "No block written, block 1 unconfirmed, blocks 2-9 not written: the unit may hold a mixed "
       "configuration, program it again."},
      {{}, -1, "No block written: the unit keeps its configuration."},
      // Programming after a change writes the changed blocks only.
      {{2, 3, 5, 7}, 3,
       "Blocks 2-3 written, block 5 unconfirmed, block 7 not written: the unit holds a mixed "
       "configuration, program it again."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.detail);
    port.sent.clear();
    port.rx.clear();
    engine.State().BlockFlags.fill(0);  // a failed Program leaves its unwritten blocks flagged
    TestUnit unit;
    unit.Attach(port);
    unit.answer = c.lastEcho >= 0;
    auto echo = port.Reply;
    port.Reply = [&unit, echo, &c](const LinkFrame& request, ScriptedPort& p) {
      echo(request, p);
      if (request[0] == c.lastEcho) unit.answer = false;
    };
    if (c.flagged.empty()) {
      engine.StartProgram();
    } else {
      for (int b : c.flagged) engine.State().BlockFlags[b] = 1;
      engine.ProgramChangedBlocks();
    }
    ASSERT_GT(TicksUntil([&] { return engine.Outcome() != LinkOutcome::Running; }), 0);
    EXPECT_EQ(engine.Outcome(), LinkOutcome::Error);
    EXPECT_EQ(engine.FailureDetail(), c.detail);
    EXPECT_EQ(engine.Status().Text, std::string("Program error! The unit did not answer. ") + c.detail);
    EXPECT_TRUE(engine.Status().Red);
  }
}

TEST_F(LinkEngineTest, AFailedVerifySaysWhetherTheBlockDifferedOrWasNotAnswered) {
  TestUnit unit;
  unit.Attach(port);
  for (int b = 1; b < kBlockCount; ++b) std::copy_n(image.Block(b).begin(), kBlockSize, unit.blocks[b].begin());
  unit.blocks[6][17] ^= 0x40;
  engine.StartVerify();
  ASSERT_GT(TicksUntil([&] { return engine.Outcome() != LinkOutcome::Running; }), 0);
  EXPECT_EQ(engine.Status().Text, "Verify error!");
  EXPECT_EQ(engine.FailureDetail(), "Block 6 differs.");

  unit.blocks[6][17] ^= 0x40;
  auto answer = port.Reply;
  port.Reply = [&](const LinkFrame& request, ScriptedPort& p) {
    if (request[0] != (kReadFlag | 3)) answer(request, p);
  };
  engine.StartVerify();
  EXPECT_EQ(engine.FailureDetail(), "");  // a new transaction starts clean
  ASSERT_GT(TicksUntil([&] { return engine.Outcome() != LinkOutcome::Running; }), 0);
  EXPECT_EQ(engine.Status().Text, "Verify stopped! The unit did not answer.");
  EXPECT_EQ(engine.FailureDetail(), "Block 3 did not answer.");
}

TEST_F(LinkEngineTest, ReadFillsTheImageThenVerifiesItself) {
  TestUnit unit;
  unit.Attach(port);
  engine.StartRead();
  EXPECT_TRUE(host.calls.empty());  // no transfer first, the file's name kept until a block comes
  EXPECT_EQ(engine.Status().Text, "Read:");
  const int ticks = TicksUntil([&] { return engine.Outcome() == LinkOutcome::VerifyOk; });
  EXPECT_GT(ticks, 0);
  for (int b = 0; b < kBlockCount; ++b)
    EXPECT_TRUE(std::equal(unit.blocks[b].begin(), unit.blocks[b].end(), image.Block(b).begin()))
        << "block " << b;
  std::vector<std::uint8_t> expected{0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49,
                                     0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49};
  EXPECT_EQ(SentCommands(), expected);
  for (int i = 0; i < 10; ++i)  // every frame of the read itself carries zeros
    for (int k = 1; k <= kPayloadSize; ++k) ASSERT_EQ(port.sent[i][k], 0) << i << "/" << k;
  // During the verify the request carries the image's block.
  EXPECT_EQ(port.sent[10][1], image.Block(1)[0]);
  EXPECT_EQ(engine.Status().Text, "Verify: OK");
  engine.Tick();
  EXPECT_EQ(engine.Status().Text, "Verify: OK");  // a Read leaves ProgramDone clear
  // The editor was refreshed once, after block 9 and before the verify.
  EXPECT_EQ(host.calls, (std::vector<std::string>{"ClearFileName", "Normalise", "RefreshPage"}));
  // Each block as it came, then all of them as normalised and shown.
  EXPECT_EQ(host.taken, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

// The window's side of a Read: the real normalisation pass, and the refresh
// that makes map 2 a copy of map 1 in " 1 = 2".
class WindowLikeHost : public HeadlessHost {
 public:
  explicit WindowLikeHost(Document& document) : HeadlessHost(document) {}
  void RefreshPage() override { document_.Refresh(); }
};

// Right after start-up the image holds the defaults (" 1 = 2", channel 1).
// A unit whose configuration is already normal, in any map mode and with
// the highest tuning channel that mode allows, reads back unchanged and
// verifies.
TEST(LinkReadOfANormalUnit, VerifiesAndLeavesTheImageEqualToTheUnit) {
  struct Case { std::uint8_t mode; std::uint8_t channel; };
  const Case cases[] = {{MapModeNormal, 2}, {MapModeNormal, 1}, {MapModeCoupled, 1}, {MapModeEqual, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE("map mode " + std::to_string(c.mode) + ", channel " + std::to_string(c.channel));
    auto [memory, tables] = testsupport::DefaultImage();
    memory.P(47) = c.mode;
    memory.P(300) = c.channel;
    if (c.mode == MapModeEqual) {
      CopyMap1ToMap2(memory, tables);  // what the tool programs in " 1 = 2"
    } else {
      for (int k = 0; k < kMapCells; ++k) memory.SetWord(kInj2Map + 2 * k, static_cast<std::uint16_t>(900 + k));
    }
    TestUnit unit;
    for (int b = 1; b < kBlockCount; ++b) std::copy_n(memory.Block(b).begin(), kBlockSize, unit.blocks[b].begin());

    Document document;
    ParameterImage& image = document.Image;
    ScriptedPort port;
    WindowLikeHost host(document);
    LinkEngine engine(image, port, host);
    unit.Attach(port);
    engine.StartRead();
    for (int t = 0; t < 100 && engine.Outcome() == LinkOutcome::Running; ++t) engine.Tick();
    EXPECT_EQ(engine.Outcome(), LinkOutcome::VerifyOk);
    EXPECT_EQ(engine.Status().Text, "Verify: OK");
    for (int b = 1; b < kBlockCount; ++b)
      EXPECT_TRUE(std::equal(unit.blocks[b].begin(), unit.blocks[b].end(), image.Block(b).begin())) << "block " << b;
  }
}

// A read for a comparison goes into its own image and verifies that one;
// the editor's image, file name, undo history and identity stay as they were,
// and its page may be committed meanwhile.
TEST_F(LinkEngineTest, AReadForAComparisonFillsOnlyItsOwnImage) {
  TestUnit unit;
  unit.Attach(port);
  const ParameterImage before = image;
  engine.ReadUnitCopy();
  EXPECT_EQ(engine.Status().Text, "Read:");
  EXPECT_TRUE(engine.AcceptsPageCommit());
  EXPECT_GT(TicksUntil([&] { return engine.Outcome() == LinkOutcome::VerifyOk; }, 200), 0);
  EXPECT_EQ(image, before);
  for (int b = 0; b < kBlockCount; ++b)
    EXPECT_TRUE(std::ranges::equal(unit.blocks[b], engine.UnitCopy().Block(b))) << "block " << b;
  EXPECT_EQ(SentCommands(), (std::vector<std::uint8_t>{0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49,
                                                       0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49}));
  EXPECT_EQ(port.sent[10][1], unit.blocks[1][0]) << "the verify checks the copy, not the editor";
  EXPECT_TRUE(host.calls.empty());
  EXPECT_TRUE(host.taken.empty());
  EXPECT_EQ(engine.Identity().Name, "");
  EXPECT_EQ(host.ended, (std::vector<std::pair<LinkTransaction, LinkOutcome>>{
                            {LinkTransaction::UnitCopy, LinkOutcome::VerifyOk}}));
  EXPECT_EQ(engine.Status().Text, "Verify: OK");

  // The next Read is the editor's again.
  engine.StartRead();
  EXPECT_GT(TicksUntil([&] { return engine.Outcome() == LinkOutcome::VerifyOk; }, 200), 0);
  EXPECT_TRUE(std::ranges::equal(unit.blocks[1], image.Block(1)));
}

// What the unit answers differently on the verify, or with another protocol
// version, ends the comparison's read; the editor never sees any of it.
TEST_F(LinkEngineTest, AFailedReadForAComparisonLeavesTheEditorAlone) {
  struct Case {
    const char* what;
    bool changeAfterRead;
    std::uint8_t version;
    LinkOutcome outcome;
  };
  const Case cases[] = {
      {"the unit changed between read and verify", true, kProtocolVersion, LinkOutcome::Error},
      {"another protocol version", false, 77, LinkOutcome::VersionMismatch},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ParameterImage editor;
    editor.P(3) = 33;
    ScriptedPort p;
    RecordingHost h;
    LinkEngine e(editor, p, h);
    TestUnit unit;
    unit.blocks[0][10] = c.version;
    unit.Attach(p);
    const ParameterImage before = editor;
    e.ReadUnitCopy();
    bool changed = false;
    for (int t = 0; t < 200 && e.Outcome() == LinkOutcome::Running; ++t) {
      e.Tick();
      if (c.changeAfterRead && !changed && e.State().Mode == LinkMode::Verify) {
        unit.blocks[4][0] ^= 0xFF;
        changed = true;
      }
    }
    EXPECT_EQ(e.Outcome(), c.outcome);
    EXPECT_EQ(editor, before);
    EXPECT_TRUE(h.calls.empty());
    ASSERT_EQ(h.ended.size(), 1u);
    EXPECT_EQ(h.ended[0].first, LinkTransaction::UnitCopy);
    EXPECT_EQ(h.messages.size(), c.outcome == LinkOutcome::VersionMismatch ? 1u : 0u);
  }
}

TEST_F(LinkEngineTest, VersionMismatchInBlockZeroAbandonsTheRead) {
  TestUnit unit;
  unit.blocks[0][10] = 77;
  unit.Attach(port);
  const ParameterImage before = image;
  engine.StartRead();
  Ticks(7);
  EXPECT_TRUE(testsupport::SameParameters(before, image));
  EXPECT_EQ(image.I(10), 77);
  // No parameter block came: the editor's tune and its file's name stay.
  EXPECT_EQ(host.calls, (std::vector<std::string>{"Normalise", "RefreshPage"}));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "Unmatched version of PC and Ignition programs!  PC-78, IGN-77");
  EXPECT_EQ(SentCommands(), (std::vector<std::uint8_t>{0x40}));  // no block 1 requested
  EXPECT_EQ(engine.State().Mode, LinkMode::Idle);
  EXPECT_EQ(engine.Outcome(), LinkOutcome::VersionMismatch);
  EXPECT_EQ(engine.Status().Text, "Read:");
  EXPECT_TRUE(engine.Status().Visible);
  EXPECT_EQ(engine.State().StatusCountdown, 0);
  EXPECT_EQ(engine.Identity().Name, "Jet01");  // built before the version test
  Ticks(300);
  EXPECT_TRUE(engine.Status().Visible);  // the countdown is stopped, not expired
}

TEST_F(LinkEngineTest, VersionMismatchDuringProgramWritesNothingElse) {
  TestUnit unit;
  unit.blocks[0][10] = 80;
  unit.Attach(port);
  engine.StartProgram();
  Ticks(8);
  EXPECT_EQ(SentCommands(), (std::vector<std::uint8_t>{0x00}));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "Unmatched version of PC and Ignition programs!  PC-78, IGN-80");
}

// A host whose message box runs an event loop: the timer fires while the box
// is open, so the engine is ticked from inside ShowMessage. It notes how the
// engine stood when the box came up.
class ModalBoxHost : public RecordingHost {
 public:
  struct Seen {
    LinkMode mode;
    LinkOutcome outcome;
    std::size_t ended;  // transactions reported ended
    int points;         // ticks that reached their last step
    LinkStatus status;  // the last status reported
  };
  void ShowOperatingPoint() override { ++points; }
  void StatusChanged() override {
    RecordingHost::StatusChanged();
    reported = engine->Status();
  }
  void ShowMessage(std::string_view text, std::string_view detail) override {
    RecordingHost::ShowMessage(text, detail);
    seen.push_back({engine->State().Mode, engine->Outcome(), ended.size(), points, reported});
    for (int i = 0; i < boxTicks; ++i) engine->Tick();
  }

  LinkEngine* engine = nullptr;
  int boxTicks = kResendTicks;  // long enough for the next poll
  int points = 0;
  LinkStatus reported;
  std::vector<Seen> seen;
};

TEST(LinkMessages, AVersionMismatchIsShownOnceTheTickIsOverAndTicksRunUnderTheBox) {
  ParameterImage image;
  ScriptedPort port;
  ModalBoxHost host;
  LinkEngine engine(image, port, host);
  host.engine = &engine;
  TestUnit unit;
  unit.blocks[0][10] = 77;
  unit.Attach(port);
  engine.StartRead();
  int pointsBefore = 0;
  for (int t = 0; t < 20 && host.messages.empty(); ++t) {
    pointsBefore = host.points;
    engine.Tick();
  }
  ASSERT_EQ(host.messages.size(), 1u);
  const ModalBoxHost::Seen& seen = host.seen[0];
  // The tick that took block 0 had ended the read, reported it and its
  // status, and reached its last step before the box came up.
  EXPECT_EQ(seen.mode, LinkMode::Idle);
  EXPECT_EQ(seen.outcome, LinkOutcome::VersionMismatch);
  EXPECT_EQ(seen.ended, 1u);
  EXPECT_EQ(seen.points, pointsBefore + 1);
  EXPECT_EQ(seen.status.Text, "Read:");
  // The ticks under the box ran on an idle engine: they polled the unit and
  // neither read on nor said anything twice.
  EXPECT_EQ(host.points, pointsBefore + 1 + host.boxTicks);
  ASSERT_FALSE(port.sent.empty());
  EXPECT_EQ(port.sent.back()[0], kPollCommand);
  EXPECT_EQ(std::count(port.sent.begin(), port.sent.end(), port.sent.front()), 1);  // block 0 asked once
  EXPECT_EQ(engine.State().Mode, LinkMode::Idle);
  EXPECT_EQ(host.ended.size(), 1u);
  EXPECT_EQ(host.messages.size(), 1u);
}

// A chosen port that cannot be opened: the box comes once the port's state
// and the menu's check mark are what the choice made them.
TEST(LinkMessages, APortThatCannotBeOpenedIsReportedWithThePortChosen) {
  ParameterImage image;
  ScriptedPort port;
  port.failing = {4};
  port.reason = "permission denied";
  ModalBoxHost host;
  LinkEngine engine(image, port, host);
  host.engine = &engine;
  engine.SelectPort(3);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.details[0], "permission denied");
  EXPECT_EQ(host.seen[0].status.CheckedComItem, 3);
  EXPECT_EQ(host.seen[0].status.LabelCom, "COM= COM4");
  EXPECT_EQ(host.points, host.boxTicks);  // the ticks under the box ran
}

TEST_F(LinkEngineTest, ProgramChangedBlocksWithoutFlagsDoesNothing) {
  engine.StartVerify();
  engine.ProgramChangedBlocks();
  EXPECT_EQ(engine.State().Mode, LinkMode::Verify);
}

// The Program cut short counts as failed: the unit may hold parts of two
// tunes, and neither the history nor the review may take it for complete.
TEST_F(LinkEngineTest, ACommandReplacesARunningTransaction) {
  using Ended = std::pair<LinkTransaction, LinkOutcome>;
  engine.StartProgram();
  Ticks(12);  // block 0 sent twice, unanswered
  ASSERT_EQ(engine.State().Attempts, 2);
  engine.StartRead();
  EXPECT_EQ(engine.State().Mode, LinkMode::Read);
  EXPECT_EQ(engine.State().Command, 0x40);
  EXPECT_EQ(engine.State().Attempts, 0);
  EXPECT_EQ(engine.Status().Text, "Read:");
  EXPECT_EQ(host.ended, (std::vector<Ended>{{LinkTransaction::Program, LinkOutcome::Error}}));
  engine.StartVerify();
  engine.ReadUnitCopy();
  EXPECT_EQ(host.ended, (std::vector<Ended>{{LinkTransaction::Program, LinkOutcome::Error},
                                            {LinkTransaction::Read, LinkOutcome::Error},
                                            {LinkTransaction::Verify, LinkOutcome::Error}}));
  EXPECT_EQ(engine.Outcome(), LinkOutcome::Running);
}

TEST_F(LinkEngineTest, AnUnfinishedVerifyRunsAfterTheNextChangedBlocksAreWritten) {
  TestUnit unit;
  unit.Attach(port);
  engine.StartProgram();
  TicksUntil([&] { return engine.State().Mode == LinkMode::Verify; });
  unit.answer = false;  // the unit goes away during the verify
  TicksUntil([&] { return engine.State().Mode == LinkMode::Idle; });
  ASSERT_EQ(engine.Outcome(), LinkOutcome::Error);
  EXPECT_TRUE(engine.State().VerifyAfterProgram);

  unit.answer = true;
  image.P(450) ^= 0xFF;  // block 4
  engine.State().BlockFlags[4] = 1;
  port.sent.clear();
  engine.ProgramChangedBlocks();
  TicksUntil([&] { return engine.Outcome() != LinkOutcome::Running; });
  EXPECT_EQ(engine.Outcome(), LinkOutcome::VerifyOk);
  EXPECT_EQ(SentCommands(), (std::vector<std::uint8_t>{4, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46,
                                                       0x47, 0x48, 0x49}));
  EXPECT_FALSE(engine.State().VerifyAfterProgram);

  // Once a verify has completed, the next change is only written.
  engine.State().BlockFlags[2] = 1;
  port.sent.clear();
  engine.ProgramChangedBlocks();
  TicksUntil([&] { return engine.Outcome() != LinkOutcome::Running; });
  EXPECT_EQ(engine.Outcome(), LinkOutcome::ProgramOk);
  EXPECT_EQ(SentCommands(), (std::vector<std::uint8_t>{2}));
}

// Programming after a change asked for while a transaction runs: the
// transaction is not replaced, it completes, and only then are the marked
// blocks written. A running Program takes the new mark along.
TEST_F(LinkEngineTest, ProgrammingAfterAChangeWaitsForTheRunningTransaction) {
  struct Case {
    const char* name;
    std::function<void(LinkEngine&)> start;
    std::size_t sendsBefore;  // frames sent when the change comes
    int changedBlock;
    std::vector<std::uint8_t> expected;
  };
  const Case cases[] = {
      {"read", [](LinkEngine& e) { e.StartRead(); }, 3, 2,
       {0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47,
        0x48, 0x49, 2}},
      {"verify", [](LinkEngine& e) { e.StartVerify(); }, 3, 1,
       {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 1}},
      {"program",
       [](LinkEngine& e) {
         e.State().BlockFlags[1] = e.State().BlockFlags[8] = 1;
         e.ProgramChangedBlocks();
       },
       1, 4, {1, 4, 8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterImage image;
    ScriptedPort port;
    RecordingHost host;
    LinkEngine engine(image, port, host);
    TestUnit unit;
    for (int b = 1; b < kBlockCount; ++b) std::copy_n(unit.blocks[b].begin(), kBlockSize, image.Block(b).begin());
    unit.Attach(port);
    c.start(engine);
    const LinkMode mode = engine.State().Mode;
    for (int t = 0; t < 100 && port.sent.size() < c.sendsBefore; ++t) engine.Tick();
    const std::uint8_t command = engine.State().Command;
    EXPECT_EQ(engine.AcceptsPageCommit(), mode != LinkMode::Read);

    // A change of a block the transaction has already passed.
    image.Block(c.changedBlock)[17] ^= 0x5A;
    engine.State().BlockFlags[c.changedBlock] = 1;
    engine.ProgramChangedBlocks();
    EXPECT_EQ(engine.State().Mode, mode);
    EXPECT_EQ(engine.State().Command, command);
    EXPECT_EQ(engine.Outcome(), LinkOutcome::Running);

    for (int t = 0; t < 200 && engine.Outcome() == LinkOutcome::Running; ++t) engine.Tick();
    engine.Tick();
    std::vector<std::uint8_t> sent;
    for (const auto& f : port.sent) sent.push_back(f[0]);
    EXPECT_EQ(sent, c.expected);
    EXPECT_EQ(engine.Outcome(), LinkOutcome::ProgramOk);
    EXPECT_EQ(engine.Status().Text, "Program device: OK");
    EXPECT_TRUE(std::equal(image.Block(c.changedBlock).begin(), image.Block(c.changedBlock).end(),
                           unit.blocks[c.changedBlock].begin()));
  }
}

TEST_F(LinkEngineTest, ChangedBlocksOnlyAndNoVerifyWhenNotAsked) {
  TestUnit unit;
  unit.Attach(port);
  engine.State().BlockFlags[7] = 1;
  engine.State().BlockFlags[3] = 1;
  engine.ProgramChangedBlocks();
  EXPECT_EQ(engine.Status().GaugePosition, 3);
  TicksUntil([&] { return engine.State().Mode == LinkMode::Idle; });
  EXPECT_EQ(SentCommands(), (std::vector<std::uint8_t>{3, 7}));
  EXPECT_EQ(engine.Status().Text, "Program device: OK");
  EXPECT_EQ(engine.Outcome(), LinkOutcome::ProgramOk);
}

// The host hears once how each transaction ended and what it was started
// as: the history keeps reads and programmings, not verifies or failures.
TEST_F(LinkEngineTest, EveryTransactionReportsOnceHowItEnded) {
  using Ended = std::pair<LinkTransaction, LinkOutcome>;
  struct Case {
    const char* name;
    std::function<void(LinkEngine&, TestUnit&, ParameterImage&)> start;
    Ended expected;
  };
  const Case cases[] = {
      {"read", [](LinkEngine& e, TestUnit&, ParameterImage&) { e.StartRead(); }, {LinkTransaction::Read, LinkOutcome::VerifyOk}},
      {"program", [](LinkEngine& e, TestUnit&, ParameterImage&) { e.StartProgram(); },
       {LinkTransaction::Program, LinkOutcome::VerifyOk}},
      {"verify",
       [](LinkEngine& e, TestUnit& u, ParameterImage& i) {
         for (int b = 1; b < kBlockCount; ++b) std::copy_n(u.blocks[b].begin(), kBlockSize, i.Block(b).begin());
         e.StartVerify();
       },
       {LinkTransaction::Verify, LinkOutcome::VerifyOk}},
      {"changed blocks",
       [](LinkEngine& e, TestUnit&, ParameterImage&) {
         e.State().BlockFlags[4] = 1;
         e.ProgramChangedBlocks();
       },
       {LinkTransaction::ProgramChanged, LinkOutcome::ProgramOk}},
      {"silent unit",
       [](LinkEngine& e, TestUnit& u, ParameterImage&) {
         u.answer = false;
         e.StartRead();
       },
       {LinkTransaction::Read, LinkOutcome::Error}},
      {"other version",
       [](LinkEngine& e, TestUnit& u, ParameterImage&) {
         u.blocks[0][10] = 77;
         e.StartProgram();
       },
       {LinkTransaction::Program, LinkOutcome::VersionMismatch}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterImage img;
    ScriptedPort p;
    RecordingHost h;
    LinkEngine e(img, p, h);
    TestUnit unit;
    unit.Attach(p);
    c.start(e, unit, img);
    EXPECT_TRUE(h.ended.empty());
    for (int t = 0; t < 400 && e.Outcome() == LinkOutcome::Running; ++t) e.Tick();
    for (int t = 0; t < 20; ++t) e.Tick();  // idle polls report nothing
    EXPECT_EQ(h.ended, std::vector<Ended>{c.expected});
    EXPECT_EQ(e.Transaction(), c.expected.first);
    // Only a whole transfer that completed tells what the unit holds;
    // changed blocks alone do not tell the rest of a unit never read.
    const bool completed = (c.expected.second == LinkOutcome::VerifyOk || c.expected.second == LinkOutcome::ProgramOk) &&
                           c.expected.first != LinkTransaction::ProgramChanged;
    EXPECT_EQ(e.KnownUnitImage() != nullptr, completed);
    if (completed) {
      for (int b = 1; b < kBlockCount; ++b)
        EXPECT_TRUE(std::equal(unit.blocks[b].begin(), unit.blocks[b].end(), e.KnownUnitImage()->Block(b).begin()))
            << "block " << b;
    }
  }
}

TEST_F(LinkEngineTest, IdlePollsEverySixTicksAndCarriesMergedTestRequestsOnce) {
  Ticks(5);
  EXPECT_TRUE(port.sent.empty());
  EXPECT_TRUE(engine.StartOutputTest("ButtonTestJet1A"));
  EXPECT_TRUE(engine.StartOutputTest("ButtonTestIgn2"));
  EXPECT_TRUE(engine.StartOutputTest("ButtonTestIgn2"));
  EXPECT_FALSE(engine.StartOutputTest("ButtonProgram"));
  engine.Tick();
  ASSERT_EQ(port.sent.size(), 1u);
  const LinkFrame& poll = port.sent[0];
  EXPECT_EQ(poll[0], kPollCommand);
  EXPECT_EQ(poll[20], 0x01);
  EXPECT_EQ(poll[21], 0x02);
  EXPECT_EQ(poll[22], 0);
  EXPECT_TRUE(FrameChecksumValid(poll.data()));
  EXPECT_EQ(engine.State().TestFlags, (std::array<std::uint8_t, 4>{}));

  EXPECT_TRUE(engine.StartOutputTest("ButtonTestRpm"));
  Ticks(6);
  ASSERT_EQ(port.sent.size(), 2u);
  EXPECT_EQ(port.sent[1][20], 0);
  EXPECT_EQ(port.sent[1][21], 0);
  EXPECT_EQ(port.sent[1][22], 0x10);
}

TEST_F(LinkEngineTest, TestRequestsWaitWhileATransactionRuns) {
  engine.StartVerify();
  engine.StartOutputTest("ButtonTestFuelPump");
  Ticks(43);  // the verify gives up at tick 36, the next poll is due at 42
  ASSERT_EQ(engine.State().Mode, LinkMode::Idle);
  std::vector<LinkFrame> polls;
  for (const auto& f : port.sent)
    if (f[0] == kPollCommand) polls.push_back(f);
  ASSERT_FALSE(polls.empty());
  EXPECT_EQ(polls[0][22], 0x02);
}

TEST_F(LinkEngineTest, TuningOffSendsZeroTuningBytesEvenWithSettingsInTheImage) {
  image.P(290) = 1;
  image.P(292) = 140;
  image.P(300) = 2;
  Ticks(6);
  ASSERT_EQ(port.sent.size(), 1u);
  for (int i = 1; i <= 19; ++i) EXPECT_EQ(port.sent[0][i], 0) << i;
}

TEST_F(LinkEngineTest, TuningOnChannelTwoReadsBlocksSevenAndEightThenPolls) {
  TestUnit unit;
  unit.Attach(port);
  host.tuning = true;
  image.P(290) = 1;
  image.P(292) = 140;
  image.P(294) = 5;
  image.P(295) = 20;
  image.P(296) = 3;
  image.P(297) = 50;
  image.P(298) = 255;
  image.P(300) = 2;
  image.P(301) = 200;
  unit.blocks[7].fill(0x77);
  unit.blocks[8].fill(0x88);
  Ticks(6);
  EXPECT_EQ(SentCommands(), (std::vector<std::uint8_t>{0x47}));
  EXPECT_EQ(engine.State().TuningPhase, 1);
  engine.Tick();
  EXPECT_EQ(SentCommands(), (std::vector<std::uint8_t>{0x47, 0x48}));
  EXPECT_EQ(engine.State().TuningPhase, 2);
  EXPECT_EQ(image.Block(7)[0], 0x77);
  engine.Tick();
  ASSERT_EQ(port.sent.size(), 3u);
  EXPECT_EQ(engine.State().TuningPhase, 0);
  EXPECT_EQ(image.Block(8)[149], 0x88);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"RefreshPage"}));
  EXPECT_EQ(host.taken, (std::vector<int>{7, 8}));
  const LinkFrame& poll = port.sent[2];
  EXPECT_EQ(poll[0], kPollCommand);
  const std::array<std::pair<int, int>, 11> bytes{{{1, 1}, {2, 1}, {3, 0}, {4, 140}, {6, 5},
                                                   {7, 20}, {8, 3}, {9, 50}, {10, 255}, {12, 2},
                                                   {13, 200}}};
  for (auto [index, value] : bytes) EXPECT_EQ(poll[index], value) << "poll byte " << index;
  // The poll reply comes in; the next cycle starts six ticks after the first read.
  Ticks(4);
  EXPECT_EQ(port.sent.size(), 4u);
  EXPECT_EQ(port.sent[3][0], 0x47);
}

TEST_F(LinkEngineTest, UnansweredTuningReadsStartOverEveryPeriodWithoutAnError) {
  host.tuning = true;
  image.P(300) = 1;
  const ParameterImage before = image;
  Ticks(18);
  EXPECT_EQ(SentCommands(), (std::vector<std::uint8_t>{0x45, 0x45, 0x45}));
  EXPECT_EQ(engine.State().TuningPhase, 1);
  EXPECT_EQ(engine.State().Mode, LinkMode::Idle);
  EXPECT_FALSE(engine.Status().Visible);
  EXPECT_EQ(image, before);
  // Tuning switched off: the next period is a plain poll again.
  host.tuning = false;
  Ticks(6);
  EXPECT_EQ(port.sent.back()[0], kPollCommand);
  EXPECT_EQ(engine.State().TuningPhase, 0);
}

TEST_F(LinkEngineTest, LateTuningReplyInIdleIsTakenOtherLateRepliesLeaveTheImage) {
  host.tuning = true;
  image.P(300) = 1;
  Ticks(6);  // read of block 5 goes out, nobody answers
  ASSERT_EQ(port.sent.back()[0], 0x45);
  std::array<std::uint8_t, kBlockSize> unitBlock{};
  unitBlock.fill(0x3C);
  port.Queue(MakeFrame(0xC5, unitBlock.data()));
  engine.Tick();
  EXPECT_EQ(image.Block(5)[0], 0x3C);
  EXPECT_EQ(port.sent.back()[0], 0x46);

  // A verify that gave up; its block's answer arrives afterwards.
  host.tuning = false;
  TestUnit unit;
  engine.StartVerify();
  Ticks(40);
  ASSERT_EQ(engine.State().Mode, LinkMode::Idle);
  const auto before = image;
  const std::uint8_t cmd = engine.State().Command;
  port.Queue(MakeFrame(cmd ^ 0x80, unitBlock.data()));
  engine.Tick();
  EXPECT_EQ(image, before);
  EXPECT_EQ(host.taken, (std::vector<int>{5}));  // only the tuning read's block
  EXPECT_EQ(engine.State().TicksSinceReply, 1);  // still counts as a sign of life
}

TEST_F(LinkEngineTest, SavingShowsProgressAgainstTheFullCount) {
  TestUnit unit;
  unit.saving = 1378;
  unit.Attach(port);
  Ticks(7);  // poll, then its reply
  EXPECT_EQ(engine.State().UnitSaving, 1378);
  EXPECT_EQ(engine.Status().Text, "Saving:");
  EXPECT_EQ(engine.Status().GaugePosition, 5);
  EXPECT_FALSE(engine.Status().Visible);  // the saving display does not show the label
  EXPECT_EQ(engine.State().StatusCountdown, kStatusHoldTicks - 1);
}

// A weak line: every block is answered only at its fifth send, and block 8
// not at all. The label hides 200 ticks after the programming started, long
// before the transfer gives up; the error then shows it again, and keeps it
// (the unit holds a mixed configuration) while the unit saves what it got,
// until the next transfer starts.
TEST_F(LinkEngineTest, AFailedProgramsErrorShowsAgainAndStaysUntilTheNextTransfer) {
  TestUnit unit;
  unit.Attach(port);
  auto answer = port.Reply;
  std::map<int, int> sends;
  port.Reply = [&](const LinkFrame& f, ScriptedPort& p) {
    if (f[0] != 8 && ++sends[f[0]] % 5 == 0) answer(f, p);
  };
  engine.StartProgram();
  int tick = 0;
  bool hidDuringTransfer = false;
  while (engine.State().Mode == LinkMode::Program && tick < 1000) {
    engine.Tick();
    ++tick;
    if (engine.State().Mode == LinkMode::Program && !engine.Status().Visible) hidDuringTransfer = true;
  }
  ASSERT_GT(tick, kStatusHoldTicks);
  ASSERT_TRUE(hidDuringTransfer);
  EXPECT_EQ(SentCommands().back(), 8);
  EXPECT_TRUE(engine.Status().Text.starts_with("Program error!")) << engine.Status().Text;
  EXPECT_TRUE(engine.Status().Red);
  EXPECT_TRUE(engine.Status().Visible);
  const LinkStatus failed = engine.Status();
  unit.saving = 1378;
  Ticks(2 * kStatusHoldTicks);
  EXPECT_EQ(engine.State().UnitSaving, 1378);
  // No "Saving:", no half bar; the no-connection label is the tick's own.
  auto same = [&] {
    const LinkStatus& now = engine.Status();
    return now.Text == failed.Text && now.Red && now.Visible && now.GaugePosition == failed.GaugePosition &&
           now.GaugeVisible == failed.GaugeVisible;
  };
  EXPECT_TRUE(same()) << engine.Status().Text;
  engine.HideStatus();  // a file opened meanwhile
  EXPECT_TRUE(same());
  engine.StartRead();
  EXPECT_EQ(engine.Status().Text, "Read:");
  EXPECT_FALSE(engine.Status().Red);
}

TEST_F(LinkEngineTest, StatusHidesTwoHundredTicksAfterTheLastUpdate) {
  engine.StartRead();
  engine.State().Mode = LinkMode::Idle;
  Ticks(199);
  EXPECT_TRUE(engine.Status().Visible);
  engine.Tick();
  EXPECT_FALSE(engine.Status().Visible);
  EXPECT_FALSE(engine.Status().GaugeVisible);
}

TEST_F(LinkEngineTest, ShownStatusIsAgedByTheTickLikeTheLinksOwn) {
  engine.StartVerify();  // the gauge is shown; a status shown later leaves it so
  engine.State().Mode = LinkMode::Idle;
  Ticks(50);
  const int changes = host.statusChanges;
  engine.ShowStatus("Open file error!", true);
  EXPECT_EQ(engine.Status().Text, "Open file error!");
  EXPECT_TRUE(engine.Status().Red);
  EXPECT_TRUE(engine.Status().Visible);
  EXPECT_TRUE(engine.Status().GaugeVisible);
  EXPECT_EQ(engine.State().StatusCountdown, kStatusHoldTicks);
  EXPECT_EQ(host.statusChanges, changes + 1);  // the window applies it at once

  engine.ShowStatus("Date and time of printing:  1.2.2025    10:00:00", false);
  EXPECT_FALSE(engine.Status().Red);
  Ticks(199);
  EXPECT_TRUE(engine.Status().Visible);
  engine.Tick();
  EXPECT_FALSE(engine.Status().Visible);
  EXPECT_FALSE(engine.Status().GaugeVisible);

  // A hidden label is shown again.
  engine.ShowStatus("Saved", false);
  EXPECT_TRUE(engine.Status().Visible);

  // New and Open hide label and gauge at once; a later status shows it again.
  engine.HideStatus();
  EXPECT_FALSE(engine.Status().Visible);
  EXPECT_FALSE(engine.Status().GaugeVisible);
  engine.ShowStatus("Saved", false);
  EXPECT_TRUE(engine.Status().Visible);
}

TEST_F(LinkEngineTest, WatchdogShowsNoConnectionAndReopensEveryThirtyTicks) {
  engine.OpenPort();
  ASSERT_EQ(port.opens, (std::vector<int>{1}));
  Ticks(6);
  EXPECT_FALSE(engine.Status().NoConnectionVisible);
  EXPECT_TRUE(engine.Status().VersionVisible);
  engine.Tick();
  EXPECT_TRUE(engine.Status().NoConnectionVisible);
  EXPECT_FALSE(engine.Status().VersionVisible);
  EXPECT_EQ(engine.State().TicksSinceReply, kConnectionTicks);
  Ticks(28);
  EXPECT_EQ(port.opens.size(), 1u);
  engine.Tick();  // the 30th disconnected tick
  EXPECT_EQ(port.opens, (std::vector<int>{1, 1}));
  EXPECT_EQ(port.closes, 1);
  EXPECT_EQ(engine.Port().ReconnectTicks, 0);

  host.printing = true;
  engine.Tick();
  EXPECT_FALSE(engine.Status().NoConnectionVisible);
  host.printing = false;

  // A valid reply hides the label on the next tick.
  LinkFrame m{};
  m[0] = kMonitorReply;
  m[150] = kProtocolVersion;
  SealFrame(m);
  port.Queue(m);
  engine.Tick();
  EXPECT_FALSE(engine.Status().NoConnectionVisible);
  EXPECT_TRUE(engine.Status().VersionVisible);
}

TEST_F(LinkEngineTest, AutomaticSearchSkipsPortsThatDoNotOpen) {
  engine.Port().PortSelection = kPortAuto;
  engine.Port().ScanIndex = 20;
  engine.OpenPort();
  EXPECT_EQ(port.opens.back(), 21);
  EXPECT_EQ(engine.Status().LabelCom, "COM= COM21");
  engine.ReconnectPort();
  EXPECT_EQ(port.opens.back(), 1);

  // An old settings file without the search entry: COM256, silently.
  port.failing = {256, 1};
  engine.Port().ScanIndex = 255;
  engine.Port().SilentOpen = false;
  engine.OpenPort();
  EXPECT_EQ(port.opens.back(), 256);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(engine.Port().ReconnectTicks, 200);
  engine.State().TicksSinceReply = kConnectionTicks;
  engine.Tick();  // the very next disconnected tick moves on
  EXPECT_EQ(port.opens.back(), 1);
  engine.Tick();  // COM1 failed too: straight on to COM2
  EXPECT_EQ(port.opens.back(), 2);
  EXPECT_EQ(engine.Status().CheckedComItem, kPortAuto);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(LinkEngineTest, ChosenPortThatFailsShowsTheMessageWithItsReason) {
  port.failing = {3};
  port.reason = "permission denied";
  engine.ClosePort();  // before any open: nothing
  EXPECT_EQ(port.closes, 0);
  engine.SelectPort(2);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "Com opening error!");
  EXPECT_EQ(host.details[0], "permission denied");
  EXPECT_EQ(engine.Status().LabelCom, "COM= COM3");
  EXPECT_EQ(engine.Status().CheckedComItem, 2);
  // The same item again closes and reopens.
  engine.SelectPort(2);
  EXPECT_EQ(port.opens, (std::vector<int>{3, 3}));
  EXPECT_EQ(port.closes, 1);
  // Com Auto opens at once and never complains.
  port.failing = {1};
  engine.Port().ScanIndex = 0;
  engine.SelectPort(kPortAuto);
  EXPECT_EQ(port.opens.back(), 1);
  EXPECT_EQ(host.messages.size(), 2u);
  // Reconnection with a fixed port is silent.
  engine.SelectPort(0);
  EXPECT_EQ(host.messages.size(), 3u);
  engine.ReconnectPort();
  EXPECT_EQ(host.messages.size(), 3u);
}

TEST(LinkPortNumberingTest, NamesAndScanSteps) {
  EXPECT_EQ(LabelComText(3), "COM= COM3");
  EXPECT_EQ(LabelComText(12), "COM= COM12");
  EXPECT_EQ(LabelComText(256), "COM= COM256");
  EXPECT_EQ(ComMenuCaption(0), "Com 1");
  EXPECT_EQ(ComMenuCaption(19), "Com 20");
  EXPECT_EQ(ComMenuCaption(20), "Com Auto");
  EXPECT_EQ(NextScanIndex(19), 20);
  EXPECT_EQ(NextScanIndex(20), 0);
  EXPECT_EQ(NextScanIndex(255), 0);
  PortState p;
  p.PortSelection = 4;
  p.ScanIndex = 9;
  EXPECT_EQ(PortNumberFor(p), 5);
  p.PortSelection = kPortAuto;
  EXPECT_EQ(PortNumberFor(p), 10);
}

struct IdentityCase {
  std::vector<std::pair<int, std::uint8_t>> bytes;
  const char* name;
  const char* date;
  const char* time;
};

TEST(LinkIdentityTest, TextsFromBlockZero) {
  const IdentityCase cases[] = {
      {{{0, 'J'}, {1, 'e'}, {2, 't'}, {3, 1}, {4, 5}, {5, 13}, {6, 9}}, "Jet01", " 5. 2.2009",
       "00:00"},
      {{{0, 'J'}, {1, 'e'}, {2, 't'}, {3, 1}, {4, 31}, {5, 12}, {6, 8}, {7, 7}, {8, 5}}, "Jet01",
       "31.12.2008", "07:05"},
      {{{4, 1}, {5, 99}, {6, 10}, {7, 23}, {8, 59}}, "", " 1.00.2010", "23:59"},
      {{{0, 'A'}, {1, 'B'}, {2, 'C'}, {3, 42}, {16, 'L'}, {17, 'o'}, {18, 'n'}, {19, 'g'}},
       "Long", " 0.00.2000", "00:00"},
      // Bytes past two digits keep their last two; only a day below 10 gets
      // the leading space.
      {{{0, 'A'}, {1, 'B'}, {2, 'C'}, {3, 142}, {4, 105}, {5, 51}, {6, 123}, {7, 200}, {8, 61}},
       "ABC42", "05.11.2023", "00:61"},
  };
  for (const auto& c : cases) {
    ParameterImage image;
    for (auto [i, v] : c.bytes) image.I(i) = v;
    const IdentityTexts t = BuildIdentityTexts(image.Block(0));
    EXPECT_EQ(t.Name, c.name);
    EXPECT_EQ(t.Date, c.date);
    EXPECT_EQ(t.Time, c.time);
  }
  // A full 30-character name stops at 30 even without a terminating zero.
  ParameterImage image;
  for (int i = 16; i < 150; ++i) image.I(i) = 'x';
  EXPECT_EQ(BuildIdentityTexts(image.Block(0)).Name, std::string(30, 'x'));
}

TEST(LinkIdentityTest, EveryMonthCode) {
  const std::pair<int, const char*> months[] = {{25, " 1"}, {13, " 2"}, {32, " 3"}, {35, " 4"},
                                                {39, " 5"}, {45, " 6"}, {43, " 7"}, {29, " 8"},
                                                {40, " 9"}, {38, "10"}, {51, "11"}, {12, "12"},
                                                {0, "00"},  {63, "00"}};
  for (auto [code, text] : months) EXPECT_STREQ(MonthText(code), text) << code;
}

// An edit made while a Verify runs, to a block not yet verified: the verify
// checks what the unit was last sent, ends well, and the edit goes out after
// it. Before, the verify compared the newer edit and ended in "Verify error!".
TEST_F(LinkEngineTest, AnEditDuringAVerifyIsProgrammedAfterIt) {
  TestUnit unit;
  for (int b = 1; b < kBlockCount; ++b) std::copy_n(image.Block(b).begin(), kBlockSize, unit.blocks[b].begin());
  unit.Attach(port);
  engine.StartVerify();
  TicksUntil([&] { return (engine.State().Command & kBlockIndexMask) >= 3; });
  ASSERT_EQ(engine.State().Mode, LinkMode::Verify);
  image.P(6 * kBlockSize + 10) ^= 0x5A;  // P+910, block 7
  engine.State().BlockFlags[7] = 1;
  engine.ProgramChangedBlocks();
  TicksUntil([&] { return engine.State().Mode == LinkMode::Idle && engine.Outcome() != LinkOutcome::Running; });
  ASSERT_GE(host.ended.size(), 2u);
  EXPECT_EQ(host.ended[0], std::make_pair(LinkTransaction::Verify, LinkOutcome::VerifyOk));
  EXPECT_EQ(host.ended[1], std::make_pair(LinkTransaction::ProgramChanged, LinkOutcome::ProgramOk));
  EXPECT_TRUE(std::equal(unit.blocks[7].begin(), unit.blocks[7].end(), image.Block(7).begin()));
  EXPECT_TRUE(std::equal(engine.UnitImage().Block(7).begin(), engine.UnitImage().Block(7).end(),
                         image.Block(7).begin()));
}

// A unit whose configuration the normalisation changes on reading (tuning
// channel 0, raised to 1): the link worked, so the Read verifies the bytes
// as they came, says what was adjusted and marks it for programming; the
// unit's own bytes stay what the link knows of the unit.
TEST(LinkReadOfAnAdjustedUnit, VerifiesWhatCameAndMarksTheAdjustedBlocks) {
  ParameterImage memory = testsupport::DefaultsOf();
  memory.P(47) = MapModeNormal;
  memory.P(300) = 0;
  TestUnit unit;
  for (int b = 1; b < kBlockCount; ++b) std::copy_n(memory.Block(b).begin(), kBlockSize, unit.blocks[b].begin());
  Document document;
  ScriptedPort port;
  WindowLikeHost host(document);
  LinkEngine engine(document.Image, port, host);
  unit.Attach(port);
  engine.StartRead();
  for (int t = 0; t < 100 && engine.Outcome() == LinkOutcome::Running; ++t) engine.Tick();
  EXPECT_EQ(engine.Outcome(), LinkOutcome::VerifyOk);
  EXPECT_EQ(engine.Status().Text,
            "The unit's configuration was adjusted on reading: block 3; Program to store it");
  EXPECT_EQ(engine.AdjustedOnRead(), 1u << 3);
  EXPECT_EQ(engine.State().BlockFlags[3], 1);
  EXPECT_EQ(document.Image.P(300), 1);
  EXPECT_EQ(engine.UnitImage().P(300), 0);
}

// ---------------------------------------------------------------- why a transfer stopped

struct CauseCase {
  const char* name;
  void (LinkEngine::*start)();
  int pullAt;        // the request after which the cable is pulled; -1 never
  bool silent;       // the unit answers nothing
  bool corrupt;      // every answer with a broken checksum
  int differs;       // the unit's copy of this block differs; 0 none
  const char* text;
};

class LinkFailureCauseTest : public LinkEngineTest, public ::testing::WithParamInterface<CauseCase> {};

TEST_P(LinkFailureCauseTest, TheRedTextSaysWhatHappened) {
  const CauseCase& c = GetParam();
  engine.OpenPort();
  TestUnit unit;
  for (int b = 1; b < kBlockCount; ++b) std::copy_n(image.Block(b).begin(), kBlockSize, unit.blocks[b].begin());
  if (c.differs != 0) unit.blocks[c.differs][5] ^= 0x01;
  unit.answer = !c.silent;
  port.Reply = [&](const LinkFrame& request, ScriptedPort& p) {
    if (!p.open) return;
    if (c.pullAt >= 0 && request[0] == c.pullAt) {
      // The adapter is gone: the port closes and does not open again.
      p.open = false;
      p.refuseOpen = true;
      return;
    }
    unit(request, p);
    if (c.corrupt && !p.rx.empty()) p.rx.back() ^= 0x5A;
  };
  (engine.*c.start)();
  ASSERT_GT(TicksUntil([&] { return engine.Outcome() != LinkOutcome::Running; }), 0);
  EXPECT_EQ(engine.Outcome(), LinkOutcome::Error);
  EXPECT_TRUE(engine.Status().Red);
  EXPECT_EQ(engine.Status().Text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, LinkFailureCauseTest,
    ::testing::Values(
        CauseCase{"ReadSilent", &LinkEngine::StartRead, -1, true, false, 0, "Read error! The unit did not answer."},
        CauseCase{"ReadPulled", &LinkEngine::StartRead, 0x43, false, false, 0,
                  "Read error! The connection to the unit was lost."},
        CauseCase{"VerifySilent", &LinkEngine::StartVerify, -1, true, false, 0,
                  "Verify stopped! The unit did not answer."},
        CauseCase{"VerifyDamaged", &LinkEngine::StartVerify, -1, false, true, 0,
                  "Verify stopped! The unit's answers arrived damaged."},
        CauseCase{"VerifyDiffers", &LinkEngine::StartVerify, -1, false, false, 4, "Verify error!"},
        CauseCase{"ProgramPulled", &LinkEngine::StartProgram, 0x03, false, false, 0,
                  "Program error! The connection to the unit was lost. Blocks 1-2 written, block 3 "
                  "unconfirmed, blocks 4-9 not written: the unit holds a mixed configuration, program it "
                  "again."}),
    [](const auto& info) { return std::string(info.param.name); });

// The verify half of a Read asks for block 1 a second time: the cable comes
// out there, after the read half went well.
TEST_F(LinkEngineTest, ACablePulledDuringAReadsVerifySaysTheConnectionWasLost) {
  engine.OpenPort();
  TestUnit unit;
  int reads1 = 0;
  port.Reply = [&](const LinkFrame& request, ScriptedPort& p) {
    if (!p.open) return;
    if (request[0] == (kReadFlag | 1) && ++reads1 == 2) {
      p.open = false;
      p.refuseOpen = true;
      return;
    }
    unit(request, p);
  };
  engine.StartRead();
  ASSERT_GT(TicksUntil([&] { return engine.Outcome() != LinkOutcome::Running; }), 0);
  EXPECT_EQ(engine.Status().Text, "Verify stopped! The connection to the unit was lost.");
  EXPECT_TRUE(engine.Status().NoConnectionVisible);
  // The same in German, whose catalog headline has no mark of its own.
  port.refuseOpen = false;
  engine.OpenPort();
  reads1 = 0;
  unit.answer = false;
  engine.SetLanguage(LanguageCode::German);
  engine.StartRead();
  ASSERT_GT(TicksUntil([&] { return engine.Outcome() != LinkOutcome::Running; }), 0);
  EXPECT_EQ(engine.Status().Text, "Lesefehler: Die Zündung hat nicht geantwortet.");
}

// ---------------------------------------------------------------- replies as they arrive

// A port that tells when bytes come in; the test is its event loop.
struct NotifyingPort : ScriptedPort {
  NotifyingPort() { notifies = true; }
  // Hands what came in to the engine until nothing more follows.
  void DeliverAll() {
    for (int i = 0; i < 100 && !rx.empty(); ++i) {
      const std::size_t before = rx.size();
      Arrive();
      if (rx.size() == before) return;
    }
  }
};

class LinkPromptTest : public ::testing::Test {
 protected:
  LinkPromptTest() : engine(image, port, host) {
    for (int i = 0; i < kParamSize; ++i) image.P(i) = static_cast<std::uint8_t>(i * 3);
    engine.OpenPort();
  }
  ParameterImage image;
  NotifyingPort port;
  RecordingHost host;
  LinkEngine engine;
};

// Read, then Program, driven by replies alone: no tick runs, and the unit
// gets exactly the frames a tick-paced link sends it.
TEST_F(LinkPromptTest, ATransferRunsReplyByReplyAndSendsTheFramesOfATickPacedOne) {
  TestUnit unit;
  unit.Attach(port);
  ParameterImage tickedImage = image;
  ScriptedPort tickedPort;
  RecordingHost tickedHost;
  LinkEngine ticked(tickedImage, tickedPort, tickedHost);
  TestUnit tickedUnit;
  tickedUnit.Attach(tickedPort);
  auto runTicked = [&] {
    for (int i = 0; i < 500 && ticked.Outcome() == LinkOutcome::Running; ++i) ticked.Tick();
  };

  engine.StartRead();
  ASSERT_EQ(port.sent.size(), 1u);  // nothing was out: the first block goes at once
  port.DeliverAll();
  EXPECT_EQ(engine.Outcome(), LinkOutcome::VerifyOk);
  ticked.StartRead();
  runTicked();
  image.P(1349) ^= 0x20;
  tickedImage.P(1349) ^= 0x20;
  engine.StartProgram();
  port.DeliverAll();
  EXPECT_EQ(engine.Outcome(), LinkOutcome::VerifyOk);
  ticked.StartProgram();
  runTicked();
  ASSERT_EQ(ticked.Outcome(), LinkOutcome::VerifyOk);

  EXPECT_EQ(port.sent.size(), 38u);
  EXPECT_EQ(port.sent, tickedPort.sent);
  EXPECT_EQ(unit.blocks, tickedUnit.blocks);
}

TEST_F(LinkPromptTest, TheFirstBlockWaitsForTheReplyToAPollStillOut) {
  TestUnit unit;
  unit.answerPolls = false;
  unit.Attach(port);
  for (int i = 0; i < 6; ++i) engine.Tick();
  ASSERT_EQ(port.Commands(), std::vector<int>{kPollCommand});
  unit.answer = false;
  engine.StartRead();
  EXPECT_EQ(port.sent.size(), 1u);  // one request at a time
  port.Queue(testsupport::MonitorFrame(1200, 3));
  port.Arrive();
  EXPECT_EQ(engine.MonitorFrames(), 1u);
  EXPECT_EQ(port.Commands(), (std::vector<int>{kPollCommand, 0x40}));
  EXPECT_EQ(engine.State().Attempts, 1);

  // A poll never answered: the first block goes at the poll slot, as the
  // tick has always sent it.
  engine.StartVerify();  // replaces the Read while its block 0 is out
  port.sent.clear();
  port.rx.clear();
  int tick = 0;
  while (port.sent.empty() && tick < 20) {
    engine.Tick();
    ++tick;
  }
  EXPECT_EQ(tick, 6);
  EXPECT_EQ(port.Commands(), std::vector<int>{0x41});
}

TEST_F(LinkPromptTest, OnlyAWholeReplyWithAGoodChecksumIsTakenOnArrival) {
  engine.StartRead();  // block 0 goes out at once
  ASSERT_EQ(port.Commands(), std::vector<int>{0x40});
  ScriptedUnit unit;
  LinkFrame reply = MakeFrame(0xC0, unit.blocks[0].data());
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool taken;
  };
  // Not taken: left to the tick, which reads a whole frame's worth and
  // drops it, and leaves fewer bytes queued.
  std::vector<std::uint8_t> whole(reply.begin(), reply.end());
  std::vector<std::uint8_t> noisy{0x13, 0x37, 0x00};
  noisy.insert(noisy.end(), reply.begin(), reply.end());
  std::vector<std::uint8_t> broken = whole;
  broken[40] ^= 0x08;
  const Case cases[] = {
      {"one byte short", {whole.begin(), whole.end() - 1}, false},
      {"noise in front", noisy, false},
      {"broken checksum", broken, false},
      {"whole", whole, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    port.rx.assign(c.bytes.begin(), c.bytes.end());
    port.sent.clear();
    port.Arrive();
    EXPECT_EQ(port.rx.empty(), c.taken);
    EXPECT_EQ(port.sent.empty(), !c.taken);
    if (c.taken) continue;
    engine.Tick();
    EXPECT_EQ(port.rx.empty(), c.bytes.size() >= static_cast<std::size_t>(kFrameSize));
    EXPECT_TRUE(port.sent.empty());
    port.rx.clear();
    EXPECT_EQ(engine.State().Command, 0x40);
  }
  EXPECT_EQ(port.Commands(), std::vector<int>{0x41});
}

TEST_F(LinkPromptTest, FastMonitorPollsOnceATickWhileTheUnitAnswers) {
  TestUnit unit;
  unit.Attach(port);
  auto pollsIn = [&](int ticks) {
    port.sent.clear();
    for (int i = 0; i < ticks; ++i) {
      engine.Tick();
      port.DeliverAll();  // the reply comes well before the next tick
    }
    return static_cast<int>(port.sent.size());
  };
  EXPECT_EQ(pollsIn(24), 4);  // every sixth tick
  engine.SetFastMonitor(true);
  const auto frames = engine.MonitorFrames();
  EXPECT_EQ(pollsIn(24), 24);
  EXPECT_EQ(engine.MonitorFrames(), frames + 24);
  // Unanswered, a poll is sent again every sixth tick, as without it.
  unit.answer = false;
  pollsIn(1);
  EXPECT_EQ(pollsIn(24), 4);
  // The next poll follows the reply at once when the reply comes after the
  // tick that sent the last one.
  unit.answer = true;
  pollsIn(6);
  port.Reply = nullptr;
  engine.Tick();
  ASSERT_EQ(port.sent.back()[0], kPollCommand);
  const auto sent = port.sent.size();
  port.Queue(testsupport::MonitorFrame(1000, 2));
  port.Arrive();
  EXPECT_EQ(port.sent.size(), sent);  // the same tick: at most one a tick
  engine.Tick();
  EXPECT_EQ(port.sent.size(), sent + 1);
  port.Queue(testsupport::MonitorFrame(1000, 2));
  engine.Tick();  // a tick passes before the reply comes
  port.Arrive();
  EXPECT_EQ(port.sent.size(), sent + 2);
}

TEST(LinkFastMonitorTest, WorksAtTheTicksPaceOnAPortThatDoesNotTell) {
  ParameterImage image;
  ScriptedPort port;
  RecordingHost host;
  LinkEngine engine(image, port, host);
  TestUnit unit;
  unit.Attach(port);
  engine.SetFastMonitor(true);
  for (int i = 0; i < 30; ++i) engine.Tick();
  // The reply is taken at the start of the next tick, which sends the next.
  EXPECT_EQ(port.sent.size(), 30u);
  EXPECT_EQ(host.monitorFrames, 29);
}

}  // namespace
}  // namespace velmor
