#include "link/ControllerLink.h"

#include <algorithm>
#include <vector>

#include "common/HexText.h"
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

namespace {

// Characters the controller sends back for a string: two for each byte that a T (transfer) or an
// R (read) clocks in. Tokens as the controller reads them: MS, MI, IZ, S/T with a hex byte.
std::uint32_t replyCharsOf(std::string_view s) {
  std::uint32_t chars = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    if ((c == 'M' && (next == 'S' || next == 'I')) || (c == 'I' && next == 'Z')) {
      i += 2;
    } else if ((c == 'S' || c == 'T') && i + 2 < s.size() && hexDigitValue(next) >= 0 &&
               hexDigitValue(s[i + 2]) >= 0) {
      if (c == 'T') chars += 2;
      i += 3;
    } else {
      if (c == 'R') chars += 2;
      ++i;
    }
  }
  return chars;
}

}  // namespace

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
  LinkEvent event;
  event.command = std::string(command);
  auto calls = [&] { runCalls(command, read, count, readMs, writeMs, buffer, closeStatus, event); };
  if (runner_) {
    runner_(calls);
  } else {
    calls();
  }
  // The watchers run on the caller's thread, after the calls.
  last_ = std::move(event);
  for (const Watcher& w : watchers_) w(last_);
  return buffer;
}

void ControllerLink::runCalls(std::string_view command, bool read, std::uint32_t count,
                              std::uint32_t readMs, std::uint32_t writeMs, std::string& buffer,
                              FtStatus* closeStatus, LinkEvent& event) {
  const int bufferSize = static_cast<int>(buffer.size());
  const bool held = mode_ == LinkMode::Held;
  FtHandle handle = nullptr;
  FtStatus failed = kFtOk;  // held: the first call that failed
  auto check = [&](FtStatus s) {
    if (s != kFtOk && failed == kFtOk) failed = s;
    return s;
  };
  // Statuses are not acted on: a missing controller simply leaves the buffer blank. The trace
  // notes a failed open, so that no controller and a silent board can be told apart.
  FtStatus opened = kFtOk;
  if (held) {
    opened = openHeld();
    handle = held_;
  } else {
    opened = driver_.FT_OpenEx(kDeviceDescription, kOpenByDescription, &handle);
  }
  if (opened != kFtOk) {
    event.outcome = Outcome::OpenFailed;
    event.status = opened;
    event.message = driver_.lastError();
    if (trace_ != nullptr) *trace_ << "! open failed (status " << opened << ")\n";
  }
  if (held && read && opened == kFtOk) {
    waitForConversion();
    discardOwed(handle, readMs, writeMs);
    // Nothing left over from an earlier string may pass for this one's reply. Only what was
    // received: an earlier write-only string may still wait to go out, and must.
    const FtStatus purged = check(driver_.FT_Purge(handle, kPurgeRx));
    if (purged != kFtOk) noteFailure(event, Outcome::WriteFailed, purged, "purge");
  }
  check(driver_.FT_SetTimeouts(handle, readMs, writeMs));
  std::uint32_t written = 0;
  const FtStatus wrote = check(driver_.FT_Write(
      handle, command.data(), static_cast<std::uint32_t>(command.size()), &written));
  traceLine('>', command);
  if (opened == kFtOk && wrote != kFtOk) noteFailure(event, Outcome::WriteFailed, wrote, "write");
  if (held && !read && opened == kFtOk && wrote == kFtOk) owed_ += replyCharsOf(command);
  if (read) {
    // Never read past the buffer, whatever count the caller asks for.
    const std::uint32_t want =
        std::min<std::uint32_t>(count, static_cast<std::uint32_t>(bufferSize));
    std::vector<char> in(want);
    std::uint32_t got = 0;
    const FtStatus readStatus = check(driver_.FT_Read(handle, in.data(), want, &got));
    got = std::min(got, want);
    std::copy_n(in.begin(), got, buffer.begin());
    if (opened == kFtOk && readStatus != kFtOk) {
      noteFailure(event, Outcome::ReadFailed, readStatus, "read");
    }
    traceLine('<', std::string_view(in.data(), got));
    event.requested = want;
    event.received = got;
    if (event.outcome == Outcome::Ok && got < want) event.outcome = Outcome::ShortRead;
  }
  if (held) {
    // A failed call closes the held controller: the next transaction opens it again.
    if (opened == kFtOk && failed != kFtOk) heldFailed();
    if (closeStatus != nullptr) *closeStatus = failed;
    return;
  }
  const FtStatus status = driver_.FT_Close(handle);
  if (closeStatus != nullptr) *closeStatus = status;
}

void ControllerLink::discardOwed(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) {
  if (owed_ == 0) return;
  // What a write-only string clocked in comes back after the bridge's latency, possibly after
  // the purge that follows: it is read (and dropped) first, as the closing and opening dropped it.
  std::vector<char> scratch(owed_);
  std::uint32_t got = 0;
  driver_.FT_SetTimeouts(handle, readMs, writeMs);
  driver_.FT_Read(handle, scratch.data(), owed_, &got);  // a shortfall is left to the purge
  owed_ = 0;
}

void ControllerLink::waitForConversion() {
  if (!conversionPending_) return;
  conversionPending_ = false;
  const std::int64_t now = driver_.linkMicros();
  if (now >= conversionDoneAt_) return;
  driver_.waitUntilMicros(conversionDoneAt_);
  waited_ += conversionDoneAt_ - now;
}

FtStatus ControllerLink::openHeld() {
  if (held_ != nullptr) return kFtOk;
  FtHandle handle = nullptr;
  const FtStatus opened = driver_.FT_OpenEx(kDeviceDescription, kOpenByDescription, &handle);
  if (opened != kFtOk) return opened;
  if (handle == nullptr) return kFtInvalidHandle;
  const FtStatus latency = driver_.FT_SetLatencyTimer(handle, kHeldLatencyMs);
  if (latency != kFtOk) {
    driver_.FT_Close(handle);
    return latency;
  }
  held_ = handle;
  return kFtOk;
}

void ControllerLink::closeHeld() {
  owed_ = 0;
  if (held_ == nullptr) return;
  driver_.FT_Close(held_);
  held_ = nullptr;
}

void ControllerLink::heldFailed() {
  if (trace_ != nullptr) *trace_ << "! link closed after the failure\n";
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

void ControllerLink::noteFailure(LinkEvent& event, Outcome outcome, FtStatus status,
                                 const char* call) {
  std::string message = driver_.lastError();
  if (message.empty()) message = "status " + std::to_string(status);
  if (trace_ != nullptr) *trace_ << "! " << call << " failed: " << traceText(message) << '\n';
  if (event.outcome != Outcome::Ok) return;  // the first failure is the one that counts
  event.outcome = outcome;
  event.status = status;
  event.message = std::move(message);
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

const char* outcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::Ok:
      return "ok";
    case Outcome::OpenFailed:
      return "open failed";
    case Outcome::WriteFailed:
      return "write failed";
    case Outcome::ShortRead:
      return "short read";
    case Outcome::ReadFailed:
      return "read failed";
  }
  return "?";
}

}  // namespace kb::link
