// The link engine: the serial transactions, the monitor cycle, output tests,
// tuning reads and the port's reconnection, advanced by one Tick() every
// 55 ms. It is driven, it does not drive: the window's timer or the
// command-line loop calls Tick(), menu handlers call the command operations,
// and everything it needs from its owner goes through LinkHost.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "lang/catalog.h"
#include "link/identity.h"
#include "link/link_state.h"
#include "link/monitor.h"
#include "link/serial_port.h"
#include "model/image.h"

namespace velmor {

// What the window shows of the link: the status label LabelHlaseni, the
// progress gauge CGaugeProgram (maximum kGaugeMax), the no-connection label
// LabelSpojeni, LabelVersion's visibility, the LabelCom text and the checked
// MenuCom item.
struct LinkStatus {
  std::string Text;
  bool Red = false;
  bool Visible = false;
  int GaugePosition = 0;
  bool GaugeVisible = false;
  bool NoConnectionVisible = false;
  bool VersionVisible = true;
  std::string LabelCom;
  int CheckedComItem = -1;
  // The last open of the port failed: the window offers the port doctor.
  bool PortFailed = false;
  bool operator==(const LinkStatus&) const = default;
};

// How the last transaction ended, for callers that wait for it (the
// command-line tool); the window needs only the status texts.
enum class LinkOutcome : std::uint8_t {
  None,             // nothing started since construction
  Running,
  VerifyOk,         // "Verify:" + " OK"
  ProgramOk,        // "Program device:" + " OK" without a verify
  Error,            // the attempt limit ended it (red text)
  VersionMismatch,  // block 0 reported another protocol version
};

// What the last transaction was started as.
enum class LinkTransaction : std::uint8_t {
  None,
  Read,            // Read, then its verify
  Verify,          // Verify alone
  Program,         // Program: every block, normally followed by a verify
  ProgramChanged,  // only the blocks an edit, undo or redo changed
  UnitCopy,        // a Read and its verify into LinkEngine::UnitCopy()
};

class LinkHost {
 public:
  virtual ~LinkHost() = default;
  // Commit the active page's controls into the image.
  virtual void TransferPage() {}
  // The normalisation pass, with the derived tables it rebuilds.
  virtual void Normalise() {}
  // Show the image in the active page's controls (ends with the view refresh);
  // the identity texts are LinkEngine::Identity().
  virtual void RefreshPage() {}
  // Parameter block `block` (1..9) of the image now holds what the unit sent
  // (a block of a Read, a tuning read); after a complete Read every block is
  // reported again once the normalisation and the refresh have run. What the
  // unit sends is not an edit: the window keeps it out of the undo history.
  virtual void UnitBlockTaken(int block) { (void)block; }
  // A monitor frame was accepted: apply LinkEngine::Monitor() and refresh the
  // view.
  virtual void MonitorDecoded() {}
  // The unit stopped answering: LinkEngine::Monitor() now shows no reading
  // and LinkEngine::Live() has none.
  virtual void MonitorCleared() {}
  // A modal message box. `detail` is an optional second line (the reason an
  // open failed); the catalog text stays as it is. Never called while the
  // engine is changing: a message waits for the end of the tick, the port's
  // opening or the frame step that raised it, so the box may run an event
  // loop, and with it further ticks.
  virtual void ShowMessage(std::string_view text, std::string_view detail) {
    (void)text;
    (void)detail;
  }
  // The same for a port that did not open, which a window may offer to
  // diagnose; by default an ordinary message.
  virtual void ShowPortOpenError(std::string_view text, std::string_view detail) { ShowMessage(text, detail); }
  // CheckBoxLadeniPovoleno.
  virtual bool TuningOn() const { return false; }
  // A printout is in progress: the no-connection label stays hidden.
  virtual bool Printing() const { return false; }
  // CheckBoxExtMonitor and CheckBoxGas, read by the monitor decode.
  virtual bool ExtendedMonitor() const { return false; }
  virtual bool GasEnabled() const { return false; }
  // A Read clears the current parameter-file name and rebuilds the caption.
  virtual void ClearFileName() {}
  // LinkEngine::Status() differs from what was last reported.
  virtual void StatusChanged() {}
  // The last step of every tick: the operating-point highlight.
  virtual void ShowOperatingPoint() {}
  // A transaction ended: well (VerifyOk, ProgramOk), at the attempt limit
  // (Error) or at block 0's version (VersionMismatch). After a good Read or
  // Program the image is what the unit holds, and Identity() names the unit.
  virtual void TransactionEnded(LinkTransaction kind, LinkOutcome outcome) {
    (void)kind;
    (void)outcome;
  }
};

class LinkEngine {
 public:
  LinkEngine(ParameterImage& image, SerialPort& port, LinkHost& host);
  ~LinkEngine();
  LinkEngine(const LinkEngine&) = delete;
  LinkEngine& operator=(const LinkEngine&) = delete;

  // ApplyLanguage: resolves the live-display stems; status texts are looked
  // up when shown.
  void SetLanguage(LanguageCode language);
  LanguageCode Language() const { return language_; }

  // The periodic tick.
  void Tick();
  // Bytes came in at the port (a port that tells so calls this from its
  // event loop). A whole reply with a good checksum at the front of the
  // queue is taken now rather than at the next tick, and the request that
  // follows it goes out at once: a transfer then runs at the line's pace
  // while the tick stays the clock of resends, time-outs, reconnection and
  // the idle poll. Anything else in the queue (a reply still coming in,
  // noise, a damaged reply) is left for the tick, which resynchronises the
  // line as it always has.
  void BytesArrived();
  // Fast monitor: in Idle the next poll (or tuning read) goes out as soon as
  // the previous monitor reply has been taken, at most one a tick, instead
  // of every sixth tick. Off by default.
  void SetFastMonitor(bool on) { fastMonitor_ = on; }
  bool FastMonitor() const { return fastMonitor_; }

  // Commands: Program, Verify and Read (the menu items and buttons of those
  // names, F9, F8 and F7). Each replaces a transaction that is running.
  void StartProgram();
  void StartVerify();
  void StartRead();
  // A Read with its own verify into a separate image, UnitCopy(), for a
  // comparison: the editor's image, its undo history, the file name, the
  // page and the identity texts stay as they are, and the page can be
  // edited meanwhile. Ends with TransactionEnded(UnitCopy, ...).
  void ReadUnitCopy();
  const ParameterImage& UnitCopy() const { return copy_; }
  // What the unit holds as far as the link knows it: the blocks of the last
  // Read as received (before the normalisation adjusted them), or what the
  // last Program sent. A Verify checks the unit against this, so an edit
  // made while it runs is no difference: the edit is programmed after it.
  const ParameterImage& UnitImage() const { return unit_; }
  // What the unit on the line holds, when the last transfer completed and
  // so tells it (a Read, a Program, a Verify, a read for a comparison);
  // nullptr while one runs, after a failure and before the first.
  const ParameterImage* KnownUnitImage() const;
  // The blocks the normalisation changed in the last Read's image (one bit
  // per block): marked for programming, and said in the status line.
  std::uint16_t AdjustedOnRead() const { return adjusted_; }
  // Writes the blocks marked in BlockFlags. Asked for while a Read, Verify
  // or Program runs, it does not replace that transaction: a running Program
  // takes the new marks along, and otherwise they go out once the
  // transaction has completed.
  void ProgramChangedBlocks();
  // The active page's controls may be committed into the image. Not while a
  // Read runs: until the read's refresh the page shows the image from before
  // it, and committing it would put those values over what the unit sends.
  bool AcceptsPageCommit() const { return state_.Mode != LinkMode::Read || readingCopy_; }
  // Output test: false for a name that is not one of the 21 test buttons.
  bool StartOutputTest(std::string_view buttonName);

  // A message of the window in the status label (the printout header, file
  // messages): red or the normal colour, shown, and hidden by the tick 200
  // ticks later like the link's own texts. The gauge is left as it is.
  void ShowStatus(std::string text, bool red);
  // Hides the status label and the gauge at once (New, Open).
  void HideStatus();

  // Port.
  void OpenPort();
  void ClosePort();
  void ReconnectPort();
  // A MenuCom item (0..19 = Com 1..Com 20, 20 = Com Auto) was chosen.
  void SelectPort(int item);

  // Frame steps, public so that tests can drive them one by one.
  void ReceiveFrame();
  void SendBlockFrame();
  void SendPollFrame();
  void RequestTuningBlock(std::uint8_t second);
  void HandleBlockReply();
  bool DecodeMonitorFrame();
  void BuildIdentityTexts();

  LinkState& State() { return state_; }
  const LinkState& State() const { return state_; }
  PortState& Port() { return port_; }
  const PortState& Port() const { return port_; }
  const LinkStatus& Status() const { return status_; }
  const IdentityTexts& Identity() const { return identity_; }
  const LiveValues& Live() const { return live_; }
  const MonitorView& Monitor() const { return monitor_; }
  LinkOutcome Outcome() const { return outcome_; }
  LinkTransaction Transaction() const { return transaction_; }
  // After an Error outcome: which block failed and how ("Block 6 differs.");
  // for a Program also which blocks the unit took, since it then holds the
  // new blocks before the failure and its old ones after it. A Program's
  // status text carries it too. Empty otherwise.
  const std::string& FailureDetail() const { return failureDetail_; }
  // The last accepted monitor reply, all 152 bytes (for logs).
  const std::array<std::uint8_t, kFrameSize>& LastMonitorFrame() const { return lastMonitorFrame_; }
  // Accepted monitor frames since construction.
  std::uint32_t MonitorFrames() const { return monitorFrames_; }

 private:
  std::string Text(MsgKey key) const { return CatalogText(key, language_); }
  void SetStatus(std::string text, bool red);
  // A transaction ended well: full gauge, "<stem> OK", back to Idle.
  void FinishWithOk(MsgKey stem, LinkOutcome outcome);
  // The common start of StartRead and ReadUnitCopy.
  void BeginRead(bool intoCopy);
  // What every transfer does as it starts: its first block goes out at once
  // when the port tells of arriving bytes and no request waits for its
  // reply; otherwise at the poll slot, as the tick sends it.
  void BeginTransfer();
  // The request due after a reply was taken: a transfer's first block that
  // waited for the line, or the fast monitor's next poll.
  void SendWhatWaits();
  // The idle slot's request: a tuning read with tuning on, else a poll.
  void SendIdleSlot();
  // The frames at the front of the queue that BytesArrived may take.
  void TakeArrivedReplies();
  // The red text of a transfer that reached the attempt limit.
  std::string FailureText(LinkMode mode) const;
  // A new transfer cuts the running one short: that one ends as failed, so
  // that a Program cut short is never taken for one that completed.
  void EndReplacedTransaction();
  // ProgramChangedBlocks without waiting for the running transaction.
  void BeginProgramming();
  // Block 0 named another protocol version: the transaction ends there, and
  // the message says both versions.
  void EndWithVersionMismatch(int unitVersion);
  // HandleBlockReply without delivering the messages it raises.
  void TakeBlockReply();
  // A message for LinkHost::ShowMessage, held until DeliverMessages.
  void Say(std::string text, std::string detail = {});
  // Shows the held messages once no engine step is under way.
  void DeliverMessages();
  // Records how the transaction ended and tells the host.
  void EndTransaction(LinkOutcome outcome);
  bool BlockMatchesImage() const;
  // The image the running Read or Verify fills or checks.
  ParameterImage& Target() { return readingCopy_ ? copy_ : image_; }
  const ParameterImage& Target() const { return readingCopy_ ? copy_ : image_; }
  void StartVerifyFromReply();
  void NotifyStatus();
  // The live display from the last accepted frame in the current language,
  // or the placeholders while there is none.
  void RenderMonitor();

  ParameterImage& image_;
  ParameterImage unit_;
  // unit_ is what the unit holds: a whole Read, Program or Verify completed
  // since the last failure.
  bool unitKnown_ = false;
  std::uint16_t adjusted_ = 0;
  // What ReadUnitCopy reads into, and whether the transaction running is it.
  ParameterImage copy_;
  bool readingCopy_ = false;
  SerialPort& serial_;
  LinkHost& host_;
  LanguageCode language_ = LanguageCode::English;
  MonitorStems stems_;
  LinkState state_;
  PortState port_;
  LinkStatus status_;
  LinkStatus reported_;
  IdentityTexts identity_;
  LiveValues live_;
  MonitorView monitor_;
  LinkOutcome outcome_ = LinkOutcome::None;
  LinkTransaction transaction_ = LinkTransaction::None;
  std::uint32_t monitorFrames_ = 0;
  std::array<std::uint8_t, kFrameSize> lastMonitorFrame_{};
  // Blocks a Program was started with and those the unit confirmed, one bit
  // per block; whether the block being verified was answered with other
  // content.
  std::uint16_t programFlagged_ = 0;
  std::uint16_t programWritten_ = 0;
  bool blockDiffered_ = false;
  std::string failureDetail_;
  // The port closed under a transfer (a pulled adapter, a unit that hung up);
  // the block being sent got bytes back, but no reply that passed the checks.
  bool openDuringTransfer_ = false;
  bool lostDuringTransfer_ = false;
  bool damagedForBlock_ = false;
  // A failed Program's text stays until the next transfer starts.
  bool holdError_ = false;
  // The port calls BytesArrived; the command of the request sent last while
  // its reply has not been taken, else -1.
  bool prompt_ = false;
  int outstanding_ = -1;
  bool fastMonitor_ = false;
  // Ticks since construction, and the tick in which the idle slot last went
  // out: the fast monitor sends at most one a tick.
  std::uint64_t ticks_ = 0;
  std::uint64_t slotTick_ = ~std::uint64_t{0};
  bool inArrival_ = false;
  bool arrivalPending_ = false;
  bool inTick_ = false;
  struct PendingMessage {
    std::string Text;
    std::string Detail;
    bool PortOpenError = false;
  };
  std::deque<PendingMessage> messages_;
  bool delivering_ = false;
};

}  // namespace velmor
