#include "link/ControllerLink.h"

#include <algorithm>
#include <vector>

#include "link/TraceText.h"

namespace kb::link {

bool parseLinkMode(std::string_view text, LinkMode& mode) {
  if (text == "transaction") {
    mode = LinkMode::Transaction;
  } else if (text == "held") {
    mode = LinkMode::Held;
  } else {
    return false;
  }
  return true;
}

const char* linkModeName(LinkMode mode) {
  return mode == LinkMode::Held ? "held" : "transaction";
}

ControllerLink::~ControllerLink() {
  closeHeld();
}

std::string ControllerLink::transact(std::string_view command, bool read, std::uint32_t count,
                                     std::uint32_t readMs, std::uint32_t writeMs, int bufferSize,
                                     FtStatus* closeStatus) {
  std::string buffer(static_cast<std::size_t>(bufferSize), ' ');
  std::string taken;
  if (takeFromBatch(command, read ? static_cast<std::uint16_t>(count) : 0, &taken)) {
    if (closeStatus != nullptr) *closeStatus = kFtOk;
    std::copy_n(taken.begin(), std::min(taken.size(), buffer.size()), buffer.begin());
    return buffer;
  }
  ++transactions_;
  auto calls = [&] { runCalls(command, read, count, readMs, writeMs, buffer, closeStatus); };
  if (runner_) {
    runner_(calls);
  } else {
    calls();
  }
  return buffer;
}

void ControllerLink::runCalls(std::string_view command, bool read, std::uint32_t count,
                              std::uint32_t readMs, std::uint32_t writeMs, std::string& buffer,
                              FtStatus* closeStatus) {
  const int bufferSize = static_cast<int>(buffer.size());
  const bool held = mode_ == LinkMode::Held;
  FtHandle handle = nullptr;
  FtStatus failed = kFtOk;  // held: the first call that failed
  auto check = [&](FtStatus s) {
    if (held && s != kFtOk && failed == kFtOk) failed = s;
  };
  // Statuses are not acted on: a missing controller simply leaves the buffer blank. The trace
  // notes a failed open, so that no controller and a silent board can be told apart.
  if (held) {
    openHeld();
    handle = held_;
  } else {
    const FtStatus opened = driver_.FT_OpenEx(kDeviceDescription, kOpenByDescription, &handle);
    if (opened != kFtOk && trace_ != nullptr) {
      *trace_ << "! open failed (status " << opened << ")\n";
    }
  }
  if (held && read && handle != nullptr) {
    waitForConversion();
    // Nothing left over from an earlier string may pass for this one's reply.
    check(driver_.FT_Purge(handle, kPurgeRx | kPurgeTx));
  }
  check(driver_.FT_SetTimeouts(handle, readMs, writeMs));
  std::uint32_t written = 0;
  check(driver_.FT_Write(handle, command.data(), static_cast<std::uint32_t>(command.size()),
                         &written));
  traceLine('>', command);
  if (read) {
    // Never read past the buffer, whatever count the caller asks for.
    const std::uint32_t want =
        std::min<std::uint32_t>(count, static_cast<std::uint32_t>(bufferSize));
    std::vector<char> in(want);
    std::uint32_t got = 0;
    check(driver_.FT_Read(handle, in.data(), want, &got));
    got = std::min(got, want);
    std::copy_n(in.begin(), got, buffer.begin());
    traceLine('<', std::string_view(in.data(), got));
  }
  if (held) {
    if (handle != nullptr && failed != kFtOk) heldFailed(failed);
    if (closeStatus != nullptr) *closeStatus = failed;
    return;
  }
  const FtStatus status = driver_.FT_Close(handle);
  if (closeStatus != nullptr) *closeStatus = status;
}

void ControllerLink::waitForConversion() {
  if (!conversionPending_) return;
  conversionPending_ = false;
  const std::int64_t now = driver_.linkMicros();
  if (now >= conversionDoneAt_) return;
  driver_.waitUntilMicros(conversionDoneAt_);
  waited_ += conversionDoneAt_ - now;
}

bool ControllerLink::openHeld() {
  if (held_ != nullptr) return true;
  FtHandle handle = nullptr;
  const FtStatus opened = driver_.FT_OpenEx(kDeviceDescription, kOpenByDescription, &handle);
  if (opened != kFtOk || handle == nullptr) {
    if (trace_ != nullptr) *trace_ << "! open failed (status " << opened << ")\n";
    return false;
  }
  held_ = handle;
  const FtStatus latency = driver_.FT_SetLatencyTimer(held_, kHeldLatencyMs);
  if (latency != kFtOk) heldFailed(latency);
  return held_ != nullptr;
}

void ControllerLink::closeHeld() {
  if (held_ == nullptr) return;
  driver_.FT_Close(held_);
  held_ = nullptr;
}

void ControllerLink::heldFailed(FtStatus status) {
  if (trace_ != nullptr) *trace_ << "! link failed (status " << status << "), closed\n";
  closeHeld();
}

void ControllerLink::setMode(LinkMode mode) {
  if (mode == mode_) return;
  if (mode_ == LinkMode::Held) closeHeld();
  mode_ = mode;
  conversionPending_ = false;
}

void ControllerLink::conversionStarted(std::int64_t micros) {
  if (mode_ != LinkMode::Held) return;
  const std::int64_t due = driver_.linkMicros() + micros;
  conversionDoneAt_ = conversionPending_ ? std::max(conversionDoneAt_, due) : due;
  conversionPending_ = true;
}

FtStatus ControllerLink::SendCommand(std::string_view command) {
  FtStatus closeStatus = kFtOk;
  transact(command, false, 0, kReadTimeoutMs, kWriteTimeoutMs, 0, &closeStatus);
  return closeStatus;
}

std::string ControllerLink::SendAndReceive(std::string_view command, std::uint16_t replyLength) {
  return transact(command, true, replyLength, kReadTimeoutMs, kWriteTimeoutMs, kReplySize);
}

std::string ControllerLink::QueryControllerId() {
  const std::string id =
      transact("IZ", true, kIdReadCount, kIdReadTimeoutMs, kIdWriteTimeoutMs, kIdentitySize);
  return id.substr(0, 9);
}

void ControllerLink::SendModeString(std::string_view mode) {
  SendCommand(mode);
}

void ControllerLink::sendBatch(const std::vector<BatchFrame>& frames) {
  batch_.clear();
  std::deque<Taken> taken;
  std::size_t from = 0;
  int chars = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (i > from && chars + frames[i].replyLength > kReplySize) {
      sendBatchPart(frames, from, i, taken);
      from = i;
      chars = 0;
    }
    chars += frames[i].replyLength;
  }
  if (from < frames.size()) sendBatchPart(frames, from, frames.size(), taken);
  batch_ = std::move(taken);
}

void ControllerLink::sendBatchPart(const std::vector<BatchFrame>& frames, std::size_t from,
                                   std::size_t to, std::deque<Taken>& taken) {
  std::string joined;
  std::uint32_t count = 0;
  for (std::size_t i = from; i < to; ++i) {
    joined += frames[i].command;
    count += frames[i].replyLength;
  }
  std::string reply;
  if (count > 0) {
    reply = transact(joined, true, count, kReadTimeoutMs, kWriteTimeoutMs,
                     std::max<int>(kReplySize, static_cast<int>(count)));
  } else {
    transact(joined, false, 0, kReadTimeoutMs, kWriteTimeoutMs, 0);
  }
  std::size_t at = 0;
  for (std::size_t i = from; i < to; ++i) {
    const std::size_t n = frames[i].replyLength;
    taken.push_back({frames[i].command, frames[i].replyLength,
                     at < reply.size() ? reply.substr(at, n) : std::string()});
    at += n;
  }
}

bool ControllerLink::takeFromBatch(std::string_view command, std::uint16_t replyLength,
                                   std::string* reply) {
  if (batch_.empty()) return false;
  if (batch_.front().command != command || batch_.front().replyLength != replyLength) {
    batch_.clear();
    return false;
  }
  *reply = std::move(batch_.front().reply);
  batch_.pop_front();
  return true;
}

void ControllerLink::traceLine(char direction, std::string_view bytes) {
  if (trace_ == nullptr) return;
  *trace_ << direction << ' ' << traceText(bytes) << '\n';
  trace_->flush();
}

}  // namespace kb::link
