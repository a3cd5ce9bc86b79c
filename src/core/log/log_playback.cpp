#include "log/log_playback.h"

#include <algorithm>

#include "link/frame.h"

namespace velmor {

bool LogPlaybackPort::Open(int portNumber) {
  portNumber_ = portNumber;
  // A reconnect while playing finds the played unit there.
  if (Playing()) return true;
  return real_.Open(portNumber);
}

void LogPlaybackPort::Close() {
  if (Playing()) {
    replies_.clear();
    return;
  }
  real_.Close();
}

bool LogPlaybackPort::IsOpen() const { return Playing() || real_.IsOpen(); }

std::size_t LogPlaybackPort::QueuedBytes() { return Playing() ? replies_.size() : real_.QueuedBytes(); }

std::size_t LogPlaybackPort::Read(std::span<std::uint8_t> dest) {
  if (!Playing()) return real_.Read(dest);
  const std::size_t n = std::min(dest.size(), replies_.size());
  std::copy_n(replies_.begin(), n, dest.begin());
  replies_.erase(replies_.begin(), replies_.begin() + static_cast<std::ptrdiff_t>(n));
  return n;
}

void LogPlaybackPort::Write(std::span<const std::uint8_t> bytes) {
  if (!Playing()) {
    real_.Write(bytes);
    return;
  }
  if (bytes.empty() || bytes[0] != kPollCommand) return;
  if (const std::optional<LogRow> row = CurrentRow()) {
    const auto frame = MonitorFrameFromLogRow(*row);
    replies_.insert(replies_.end(), frame.begin(), frame.end());
  }
}

std::string LogPlaybackPort::OpenErrorReason() const { return real_.OpenErrorReason(); }

bool LogPlaybackPort::Start(const LogData& log) {
  if (log.Empty()) return false;
  if (!Playing()) {
    realWasOpen_ = real_.IsOpen();
    real_.Close();
  }
  log_ = &log;
  replies_.clear();
  positionMs_ = StartMs();
  return true;
}

void LogPlaybackPort::Stop() {
  if (!Playing()) return;
  log_ = nullptr;
  replies_.clear();
  if (realWasOpen_ || portNumber_ != 0) real_.Open(portNumber_);
}

std::int64_t LogPlaybackPort::StartMs() const { return log_ ? log_->TimeMs(0) : 0; }
std::int64_t LogPlaybackPort::EndMs() const { return log_ ? log_->TimeMs(log_->Size() - 1) : 0; }

void LogPlaybackPort::SetPositionMs(std::int64_t ms) { positionMs_ = std::clamp(ms, StartMs(), EndMs()); }

std::optional<LogRow> LogPlaybackPort::CurrentRow() const {
  if (!log_) return std::nullopt;
  const std::size_t after = log_->RowAfter(positionMs_);
  return log_->Row(after == 0 ? 0 : after - 1);
}

}  // namespace velmor
