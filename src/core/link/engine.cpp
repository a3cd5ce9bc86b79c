#include "link/engine.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "lang/edit_texts.h"
#include "lang/link_texts.h"
#include "link/failure_text.h"
#include "link/output_tests.h"
#include "link/port_numbering.h"

namespace velmor {

LinkEngine::LinkEngine(ParameterImage& image, SerialPort& port, LinkHost& host)
    : image_(image), serial_(port), host_(host), stems_(MonitorStems::For(language_)) {
  prompt_ = serial_.SetArrivalHandler([this] { BytesArrived(); });
}

LinkEngine::~LinkEngine() {
  if (prompt_) serial_.SetArrivalHandler({});
}

void LinkEngine::SetLanguage(LanguageCode language) {
  language_ = language;
  stems_ = MonitorStems::For(language);
  RenderMonitor();
}

void LinkEngine::RenderMonitor() {
  if (monitorFrames_ == 0 || live_.ConnectionLost) {
    NoReadingView(language_, monitor_);
    return;
  }
  // The last frame again, for its texts only: the live values and the unit's
  // save countdown stay as that frame left them.
  LiveValues scratch = live_;
  std::uint16_t saving = 0;
  const MonitorInputs in = MonitorInputsFromImage(image_, stems_, host_.ExtendedMonitor(), host_.GasEnabled());
  velmor::DecodeMonitorFrame(lastMonitorFrame_.data(), in, scratch, monitor_, saving);
}

// ---------------------------------------------------------------- the tick

void LinkEngine::Tick() {
  // A host that opens a modal box from a callback inside the tick (a refresh
  // warning about an unsupported model) spins an event loop that fires the
  // timer again; the unit protocol has one request outstanding, so a nested
  // tick must not run.
  if (inTick_) return;
  inTick_ = true;
  ++ticks_;

  if (state_.Mode != LinkMode::Idle) {
    if (serial_.IsOpen())
      openDuringTransfer_ = true;
    else if (openDuringTransfer_)
      lostDuringTransfer_ = true;
  }

  ReceiveFrame();
  SendWhatWaits();

  switch (state_.Mode) {
    case LinkMode::Program:
    case LinkMode::Verify:
    case LinkMode::Read: {
      const LinkMode mode = state_.Mode;
      if (++state_.TicksSinceSend >= kResendTicks) {
        state_.TicksSinceSend = 0;
        ++state_.Attempts;
        if (state_.Attempts > kAttemptLimit) {
          failureDetail_ = DescribeFailure({mode, state_.Command & kBlockIndexMask, blockDiffered_, programFlagged_, programWritten_});
          SetStatus(FailureText(mode), true);
          // A Program cut short leaves the unit with a mixed configuration:
          // that stays in sight until the next transfer starts.
          holdError_ = mode == LinkMode::Program;
          state_.StatusCountdown = holdError_ ? 0 : kStatusHoldTicks;
          state_.Mode = LinkMode::Idle;
          if (mode == LinkMode::Verify) state_.ProgramDone = false;
          EndTransaction(LinkOutcome::Error);
        } else {
          SendBlockFrame();
        }
      }
      if (mode == LinkMode::Read) state_.ProgramDone = false;
      break;
    }
    default: {
      // Both branches reset the counter at 6, so ">=" is "reaches 6"; it only
      // keeps a stray larger value from waiting for a 16-bit wrap.
      const bool fastDue = fastMonitor_ && outstanding_ < 0 && state_.TuningPhase == 0 && slotTick_ != ticks_;
      if (++state_.TicksSinceSend >= kResendTicks || fastDue) SendIdleSlot();
      if (holdError_) {
        // The unit saves what a failed Program wrote; the error says more.
      } else if (state_.UnitSaving > 0) {
        status_.Text = Text(MsgKey::MsgSaving);
        status_.Red = false;
        state_.StatusCountdown = kStatusHoldTicks;
        status_.GaugePosition =
            std::max(0, kGaugeMax * (kSaveCount - static_cast<int>(state_.UnitSaving)) / kSaveCount);
      } else if (state_.ProgramDone) {
        status_.Text = Text(MsgKey::MsgProgramming) + " OK";
        status_.GaugePosition = kGaugeMax;
      }
      break;
    }
  }

  if (state_.StatusCountdown > 0 && --state_.StatusCountdown == 0) {
    status_.Visible = false;
    status_.GaugeVisible = false;
    state_.ProgramDone = false;
  }

  if (state_.TicksSinceReply < kConnectionTicks) {
    ++state_.TicksSinceReply;
    status_.NoConnectionVisible = false;
  } else {
    status_.NoConnectionVisible = !host_.Printing();
    if (!live_.ConnectionLost) {
      // The last values are no longer the engine's: show none rather than
      // frozen ones.
      live_ = LiveValues{};
      live_.ConnectionLost = true;
      RenderMonitor();
      host_.MonitorCleared();
    }
    if (++port_.ReconnectTicks >= kReconnectTicks) ReconnectPort();
  }
  status_.VersionVisible = !status_.NoConnectionVisible;

  host_.ShowOperatingPoint();
  NotifyStatus();
  inTick_ = false;
  if (arrivalPending_) BytesArrived();
  DeliverMessages();
}

void LinkEngine::SendIdleSlot() {
  state_.TicksSinceSend = 0;
  slotTick_ = ticks_;
  if (host_.TuningOn()) {
    RequestTuningBlock(0);
    state_.TuningPhase = 1;
  } else {
    SendPollFrame();
    state_.TuningPhase = 0;
  }
}

void LinkEngine::BytesArrived() {
  // Called again from inside (an event loop a host callback runs): the
  // outer call takes what came once it is done.
  if (inTick_ || inArrival_) {
    arrivalPending_ = true;
    return;
  }
  inArrival_ = true;
  do {
    arrivalPending_ = false;
    TakeArrivedReplies();
  } while (arrivalPending_);
  inArrival_ = false;
  NotifyStatus();
  DeliverMessages();
}

void LinkEngine::TakeArrivedReplies() {
  std::array<std::uint8_t, kFrameSize> head{};
  while (serial_.QueuedBytes() >= static_cast<std::size_t>(kFrameSize)) {
    if (serial_.Peek(head) < head.size() || !FrameChecksumValid(head.data())) return;
    // One frame only: what follows it is the start of the next one.
    const std::size_t got = serial_.Read(std::span<std::uint8_t>(state_.RxBuffer.data(), kFrameSize));
    state_.RxCount = static_cast<std::uint32_t>(got);
    if (got < static_cast<std::size_t>(kFrameSize)) return;
    if (state_.RxBuffer[0] == kMonitorReply)
      DecodeMonitorFrame();
    else
      TakeBlockReply();
    SendWhatWaits();
  }
}

void LinkEngine::SendWhatWaits() {
  if (!prompt_ || outstanding_ >= 0 || !serial_.IsOpen()) return;
  if (state_.Mode != LinkMode::Idle) {
    if (state_.Attempts == 0) {
      state_.Attempts = 1;
      SendBlockFrame();
    }
    return;
  }
  if (fastMonitor_ && state_.TuningPhase == 0 && slotTick_ != ticks_) SendIdleSlot();
}

std::string LinkEngine::FailureText(LinkMode mode) const {
  std::string cause;
  if (!blockDiffered_) {
    const LinkText why = lostDuringTransfer_ ? LinkText::ConnectionLost
                         : damagedForBlock_                     ? LinkText::RepliesDamaged
                                                                : LinkText::UnitSilent;
    cause = LinkCaption(why, language_);
  }
  // Some languages' headlines end without a mark: the sentence after one
  // still needs a break.
  auto join = [](std::string headline, std::string_view sentence) {
    if (sentence.empty()) return headline;
    if (!headline.empty() && std::string_view("!:.").find(headline.back()) == std::string_view::npos)
      headline += ':';
    return headline + " " + std::string(sentence);
  };
  switch (mode) {
    case LinkMode::Program:
      return join(join(Text(MsgKey::MsgProgramError), cause), failureDetail_);
    case LinkMode::Verify:
      // "Verify error!" says that the unit holds other data; only a block
      // that came back different says that.
      if (cause.empty()) return Text(MsgKey::MsgVerifyError);
      return join(std::string(LinkCaption(LinkText::VerifyStopped, language_)), cause);
    default:
      return join(Text(MsgKey::MsgReadError), cause);
  }
}

// ---------------------------------------------------------------- frames

void LinkEngine::ReceiveFrame() {
  const std::size_t queued = serial_.QueuedBytes();
  if (queued < static_cast<std::size_t>(kFrameSize)) return;
  const std::size_t want = std::min<std::size_t>(queued, kRxBufferSize);
  const std::size_t got = serial_.Read(std::span<std::uint8_t>(state_.RxBuffer.data(), want));
  state_.RxCount = static_cast<std::uint32_t>(got);
  // A port that reported more than it delivered: nothing complete to look at.
  if (got < static_cast<std::size_t>(kFrameSize)) return;
  if (state_.Mode != LinkMode::Idle && !FrameChecksumValid(state_.RxBuffer.data())) damagedForBlock_ = true;
  if (state_.RxBuffer[0] == kMonitorReply)
    DecodeMonitorFrame();
  else
    HandleBlockReply();
}

void LinkEngine::SendBlockFrame() {
  state_.TicksSinceSend = 0;
  auto& tx = state_.TxFrame;
  tx[0] = state_.Command;
  state_.BlockIndex = state_.Command & kBlockIndexMask;
  // Block 0 and every frame of a Read carry zeros; so does a block number the
  // image does not have (a tuning channel that was never normalised).
  const bool withContent = state_.Mode != LinkMode::Read && state_.BlockIndex != 0 &&
                           state_.BlockIndex < kBlockCount;
  if (withContent) {
    const auto block = Target().Block(state_.BlockIndex);
    std::copy(block.begin(), block.end(), tx.begin() + 1);
    // What the unit is sent is what it holds once it confirms it.
    if (state_.Mode == LinkMode::Program) std::copy(block.begin(), block.end(), unit_.Block(state_.BlockIndex).begin());
  } else {
    std::fill(tx.begin() + 1, tx.begin() + 1 + kPayloadSize, 0);
  }
  SealFrame(tx);
  outstanding_ = tx[0];
  serial_.Write(tx);
}

void LinkEngine::SendPollFrame() {
  auto& tx = state_.TxFrame;
  tx.fill(0);
  tx[0] = kPollCommand;
  if (host_.TuningOn()) {
    for (const TuningPollByte& b : kTuningPollBytes)
      tx[b.PollByte] = b.ParamOffset < 0 ? 1 : image_.P(b.ParamOffset);
  }
  for (int i = 0; i < 4; ++i) tx[20 + i] = state_.TestFlags[i];
  state_.TestFlags.fill(0);
  SealFrame(tx);
  outstanding_ = kPollCommand;
  serial_.Write(tx);
}

void LinkEngine::RequestTuningBlock(std::uint8_t second) {
  state_.Command = TuningReadCommand(image_.P(kTuningChannelOffset), second);
  state_.Attempts = 1;
  state_.TicksSinceSend = 0;
  SendBlockFrame();
}

bool LinkEngine::DecodeMonitorFrame() {
  const MonitorInputs in =
      MonitorInputsFromImage(image_, stems_, host_.ExtendedMonitor(), host_.GasEnabled());
  if (!velmor::DecodeMonitorFrame(state_.RxBuffer.data(), in, live_, monitor_, state_.UnitSaving))
    return false;
  state_.TicksSinceReply = 0;
  if (outstanding_ == kPollCommand) outstanding_ = -1;
  ++monitorFrames_;
  std::copy_n(state_.RxBuffer.begin(), kFrameSize, lastMonitorFrame_.begin());
  host_.MonitorDecoded();
  return true;
}

void LinkEngine::BuildIdentityTexts() { identity_ = velmor::BuildIdentityTexts(image_.Block(0)); }

// ---------------------------------------------------------------- transactions

bool LinkEngine::BlockMatchesImage() const {
  const auto block = readingCopy_ ? copy_.Block(state_.BlockIndex) : unit_.Block(state_.BlockIndex);
  return std::equal(block.begin(), block.end(), state_.RxBuffer.begin() + 1);
}

void LinkEngine::StartVerifyFromReply() {
  state_.Mode = LinkMode::Verify;
  state_.Command = kReadFlag | kFirstParamBlock;
  state_.Attempts = 1;
  blockDiffered_ = false;
  SendBlockFrame();
  SetStatus(Text(MsgKey::MsgVerifying), false);
  state_.StatusCountdown = kStatusHoldTicks;
  status_.Visible = true;
  status_.GaugePosition = 0;
}

void LinkEngine::EndWithVersionMismatch(int unitVersion) {
  state_.Mode = LinkMode::Idle;
  // The status stays up: the countdown is stopped, not run down.
  state_.StatusCountdown = 0;
  char tail[40];
  std::snprintf(tail, sizeof tail, "  PC-%d, IGN-%d", kProtocolVersion, unitVersion);
  Say(Text(MsgKey::MsgVersionMismatch) + tail);
  EndTransaction(LinkOutcome::VersionMismatch);
}

void LinkEngine::HandleBlockReply() {
  TakeBlockReply();
  DeliverMessages();
}

void LinkEngine::TakeBlockReply() {
  const std::uint8_t* rx = state_.RxBuffer.data();
  if (!FrameChecksumValid(rx)) return;
  state_.BlockIndex = state_.Command & kBlockIndexMask;
  if (state_.BlockIndex >= kBlockCount) return;
  if (rx[0] != (state_.Command ^ kReplyFlag)) return;
  state_.TicksSinceReply = 0;
  if (outstanding_ == state_.Command) outstanding_ = -1;
  damagedForBlock_ = false;

  const int b = state_.BlockIndex;
  auto store = [&] {
    std::copy_n(rx + 1, kBlockSize, image_.Block(b).begin());
    std::copy_n(rx + 1, kBlockSize, unit_.Block(b).begin());
  };

  switch (state_.Mode) {
    case LinkMode::Program: {
      bool matched;
      if (b == 0) {
        store();
        BuildIdentityTexts();
        host_.Normalise();
        host_.RefreshPage();
        if (const int version = IdentityProtocolVersion(image_.Block(0)); version != kProtocolVersion) {
          EndWithVersionMismatch(version);
          return;
        }
        matched = true;
      } else {
        matched = BlockMatchesImage();
      }
      state_.BlockFlags[b] = 0;
      blockDiffered_ = !matched;
      if (!matched) return;
      programWritten_ |= static_cast<std::uint16_t>(1u << b);
      for (int j = 0; j < kBlockCount; ++j) {
        if (state_.BlockFlags[j] != 0) {
          state_.Command = static_cast<std::uint8_t>(j);
          state_.Attempts = 1;
          status_.GaugePosition = j;
          SendBlockFrame();
          return;
        }
      }
      state_.ProgramDone = true;
      if (state_.VerifyAfterProgram) {
        StartVerifyFromReply();
      } else {
        FinishWithOk(MsgKey::MsgProgramming, LinkOutcome::ProgramOk);
      }
      return;
    }
    case LinkMode::Verify: {
      if (!BlockMatchesImage()) {
        blockDiffered_ = true;
        return;
      }
      blockDiffered_ = false;
      if (b < kLastBlock) {
        ++state_.Command;
        status_.GaugePosition = state_.Command & kBlockIndexMask;
        state_.Attempts = 1;
        SendBlockFrame();
      } else {
        state_.VerifyAfterProgram = false;
        const bool adjusted = transaction_ == LinkTransaction::Read && adjusted_ != 0;
        if (adjusted) {
          for (int block = kFirstParamBlock; block < kBlockCount; ++block) {
            if (adjusted_ >> block & 1) state_.BlockFlags[block] = 1;
          }
        }
        FinishWithOk(MsgKey::MsgVerifying, LinkOutcome::VerifyOk);
        if (adjusted && state_.Mode == LinkMode::Idle) {
          SetStatus(EditCaption(EditText::ReadAdjusted, language_, BlockList(adjusted_)), false);
          NotifyStatus();
        }
      }
      return;
    }
    case LinkMode::Read: {
      if (readingCopy_) {
        // Only the copy takes it: nothing of the editor changes.
        std::copy_n(rx + 1, kBlockSize, copy_.Block(b).begin());
        const int version = IdentityProtocolVersion(copy_.Block(0));
        if (b == 0 && version != kProtocolVersion) {
          EndWithVersionMismatch(version);
          return;
        }
        if (b < kLastBlock) {
          ++state_.Command;
          status_.GaugePosition = state_.Command & kBlockIndexMask;
          state_.Attempts = 1;
          SendBlockFrame();
        } else {
          StartVerifyFromReply();
        }
        return;
      }
      store();
      // The editor's tune is now (part of) the unit's: no longer the file's.
      // A Read that ends before this leaves the editor and its name alone.
      if (b == kFirstParamBlock) host_.ClearFileName();
      if (b != 0) host_.UnitBlockTaken(b);
      if (b == 0) {
        BuildIdentityTexts();
        if (const int version = IdentityProtocolVersion(image_.Block(0)); version != kProtocolVersion) {
          state_.Mode = LinkMode::Idle;
          host_.Normalise();
          host_.RefreshPage();
          EndWithVersionMismatch(version);
          return;
        }
      }
      if (b < kLastBlock) {
        ++state_.Command;
        status_.GaugePosition = state_.Command & kBlockIndexMask;
        state_.Attempts = 1;
        SendBlockFrame();
      } else {
        host_.Normalise();
        host_.RefreshPage();
        for (int block = kFirstParamBlock; block < kBlockCount; ++block) host_.UnitBlockTaken(block);
        // The verify checks the unit's bytes as they came; what the
        // normalisation changed is the editor's, to be programmed.
        adjusted_ = 0;
        for (int block = kFirstParamBlock; block < kBlockCount; ++block) {
          const auto mine = image_.Block(block);
          if (!std::equal(mine.begin(), mine.end(), unit_.Block(block).begin()))
            adjusted_ |= static_cast<std::uint16_t>(1u << block);
        }
        StartVerifyFromReply();
      }
      return;
    }
    default: {
      // Idle: only the reply to an outstanding tuning read may change the
      // image. A transfer reply that turns up after its transaction ended
      // (a verify that gave up, say) would otherwise silently put the unit's
      // copy of a block over the user's edits.
      const std::uint8_t channel = image_.P(kTuningChannelOffset);
      const bool tuningRead = state_.TuningPhase != 0 &&
                              (state_.Command == TuningReadCommand(channel, 0) ||
                               state_.Command == TuningReadCommand(channel, 1));
      if (!tuningRead) return;
      store();
      host_.UnitBlockTaken(b);
      if (state_.TuningPhase == 1) {
        RequestTuningBlock(1);
        state_.TuningPhase = 2;
      } else {
        host_.RefreshPage();
        SendPollFrame();
        state_.TuningPhase = 0;
      }
      return;
    }
  }
}

// ---------------------------------------------------------------- commands

void LinkEngine::StartProgram() {
  EndReplacedTransaction();
  host_.TransferPage();
  host_.Normalise();
  host_.RefreshPage();
  state_.VerifyAfterProgram = true;
  state_.BlockFlags.fill(1);
  BeginProgramming();
  transaction_ = LinkTransaction::Program;
}

void LinkEngine::ProgramChangedBlocks() {
  if (state_.Mode != LinkMode::Idle) {
    state_.ProgrammingWaits = true;
    return;
  }
  BeginProgramming();
}

void LinkEngine::BeginProgramming() {
  const auto it = std::find_if(state_.BlockFlags.begin(), state_.BlockFlags.end(),
                               [](std::uint8_t f) { return f != 0; });
  if (it == state_.BlockFlags.end()) return;
  const int i = static_cast<int>(it - state_.BlockFlags.begin());
  state_.Command = static_cast<std::uint8_t>(i);
  state_.Attempts = 0;
  status_.GaugePosition = i;
  state_.Mode = LinkMode::Program;
  readingCopy_ = false;
  unit_ = image_;
  programFlagged_ = 0;
  for (int j = 0; j < kBlockCount; ++j)
    if (state_.BlockFlags[j] != 0) programFlagged_ |= static_cast<std::uint16_t>(1u << j);
  programWritten_ = 0;
  failureDetail_.clear();
  SetStatus(Text(MsgKey::MsgProgramming), false);
  state_.StatusCountdown = kStatusHoldTicks;
  status_.Visible = true;
  status_.GaugeVisible = true;
  state_.ProgramDone = false;
  outcome_ = LinkOutcome::Running;
  transaction_ = LinkTransaction::ProgramChanged;
  BeginTransfer();
  NotifyStatus();
}

void LinkEngine::BeginTransfer() {
  blockDiffered_ = false;
  damagedForBlock_ = false;
  lostDuringTransfer_ = false;
  openDuringTransfer_ = serial_.IsOpen();
  holdError_ = false;
  SendWhatWaits();
}

void LinkEngine::StartVerify() {
  EndReplacedTransaction();
  host_.TransferPage();
  host_.Normalise();
  host_.RefreshPage();
  state_.Mode = LinkMode::Verify;
  readingCopy_ = false;
  unit_ = image_;
  state_.Command = kReadFlag | kFirstParamBlock;
  state_.Attempts = 0;
  blockDiffered_ = false;
  failureDetail_.clear();
  SetStatus(Text(MsgKey::MsgVerifying), false);
  state_.StatusCountdown = kStatusHoldTicks;
  status_.Visible = true;
  state_.ProgramDone = false;
  status_.GaugePosition = 0;
  status_.GaugeVisible = true;
  outcome_ = LinkOutcome::Running;
  transaction_ = LinkTransaction::Verify;
  BeginTransfer();
  NotifyStatus();
}

void LinkEngine::StartRead() {
  BeginRead(false);
  transaction_ = LinkTransaction::Read;
  BeginTransfer();
  NotifyStatus();
}

void LinkEngine::ReadUnitCopy() {
  BeginRead(true);
  transaction_ = LinkTransaction::UnitCopy;
  BeginTransfer();
  NotifyStatus();
}

void LinkEngine::BeginRead(bool intoCopy) {
  EndReplacedTransaction();
  readingCopy_ = intoCopy;
  if (intoCopy) copy_ = ParameterImage{};
  if (!intoCopy) adjusted_ = 0;
  state_.Mode = LinkMode::Read;
  state_.Command = kReadFlag;
  state_.Attempts = 0;
  failureDetail_.clear();
  SetStatus(Text(MsgKey::MsgReading), false);
  state_.StatusCountdown = kStatusHoldTicks;
  status_.Visible = true;
  status_.GaugePosition = 0;
  status_.GaugeVisible = true;
  state_.ProgramDone = false;
  outcome_ = LinkOutcome::Running;
}

bool LinkEngine::StartOutputTest(std::string_view buttonName) {
  return MergeTestRequest(state_.TestFlags, buttonName);
}

// ---------------------------------------------------------------- port

void LinkEngine::OpenPort() {
  const int n = PortNumberFor(port_);
  status_.LabelCom = LabelComText(n);
  port_.OpenAttempted = true;
  const bool opened = serial_.Open(n);
  // Nothing sent before the port was opened again is answered.
  if (opened) outstanding_ = -1;
  status_.PortFailed = !opened;
  if (!opened) {
    if (!port_.SilentOpen && port_.PortSelection != kPortAuto) {
      messages_.push_back({Text(MsgKey::MsgComOpenError), serial_.OpenErrorReason(), true});
    }
    if (port_.PortSelection == kPortAuto) port_.ReconnectTicks = 200;
  }
  status_.CheckedComItem = port_.PortSelection;
  NotifyStatus();
  DeliverMessages();
}

void LinkEngine::ClosePort() {
  if (!port_.OpenAttempted) return;
  serial_.Close();
}

void LinkEngine::ReconnectPort() {
  port_.ReconnectTicks = 0;
  ClosePort();
  port_.SilentOpen = true;
  port_.ScanIndex = NextScanIndex(port_.ScanIndex);
  OpenPort();
}

void LinkEngine::SelectPort(int item) {
  if (item < 0 || item >= kPortMenuItems) return;
  port_.PortSelection = static_cast<std::uint8_t>(item);
  ClosePort();
  port_.SilentOpen = false;
  OpenPort();
}

// ---------------------------------------------------------------- status

void LinkEngine::ShowStatus(std::string text, bool red) {
  // A newer message (where a printout went) is not written over by the
  // "OK" of a programming that ended before it.
  state_.ProgramDone = false;
  holdError_ = false;
  SetStatus(std::move(text), red);
  status_.Visible = true;
  state_.StatusCountdown = kStatusHoldTicks;
  NotifyStatus();
}

void LinkEngine::FinishWithOk(MsgKey stem, LinkOutcome outcome) {
  status_.GaugePosition = kGaugeMax;
  SetStatus(Text(stem) + " OK", false);
  state_.StatusCountdown = kStatusHoldTicks;
  state_.Mode = LinkMode::Idle;
  EndTransaction(outcome);
  if (state_.ProgrammingWaits) {
    state_.ProgrammingWaits = false;
    BeginProgramming();
  }
}

const ParameterImage* LinkEngine::KnownUnitImage() const {
  if (outcome_ != LinkOutcome::VerifyOk && outcome_ != LinkOutcome::ProgramOk) return nullptr;
  if (transaction_ == LinkTransaction::UnitCopy) return &copy_;
  return unitKnown_ ? &unit_ : nullptr;
}

void LinkEngine::EndReplacedTransaction() {
  if (outcome_ != LinkOutcome::Running) return;
  EndTransaction(LinkOutcome::Error);
}

void LinkEngine::EndTransaction(LinkOutcome outcome) {
  outcome_ = outcome;
  // Changed blocks alone tell the rest of the unit only when it was known.
  const bool ok = outcome == LinkOutcome::VerifyOk || outcome == LinkOutcome::ProgramOk;
  if (transaction_ != LinkTransaction::UnitCopy && (!ok || transaction_ != LinkTransaction::ProgramChanged))
    unitKnown_ = ok;
  // Tuning reads that follow carry the editor's image again.
  readingCopy_ = false;
  host_.TransactionEnded(transaction_, outcome);
}

void LinkEngine::HideStatus() {
  // A new file in the editor changes nothing of what a failed Program left
  // in the unit.
  if (holdError_) return;
  status_.Visible = false;
  status_.GaugeVisible = false;
  NotifyStatus();
}

void LinkEngine::SetStatus(std::string text, bool red) {
  status_.Text = std::move(text);
  status_.Red = red;
  // An error is never set into a hidden label: a transfer that outlasted the
  // label's countdown would otherwise end in silence.
  if (red) status_.Visible = true;
}

void LinkEngine::NotifyStatus() {
  if (status_ == reported_) return;
  reported_ = status_;
  host_.StatusChanged();
}

void LinkEngine::Say(std::string text, std::string detail) {
  messages_.push_back({std::move(text), std::move(detail)});
}

void LinkEngine::DeliverMessages() {
  // Inside a tick the tick delivers them at its end; a box shown now would
  // let the next tick run into the middle of this one's changes.
  if (inTick_ || inArrival_ || delivering_ || messages_.empty()) return;
  NotifyStatus();
  // One box at a time, in order: a tick that runs while a box is open adds to
  // the queue, and this loop shows what it added once the box is closed.
  delivering_ = true;
  while (!messages_.empty()) {
    const PendingMessage message = std::move(messages_.front());
    messages_.pop_front();
    if (message.PortOpenError)
      host_.ShowPortOpenError(message.Text, message.Detail);
    else
      host_.ShowMessage(message.Text, message.Detail);
  }
  delivering_ = false;
}

}  // namespace velmor
