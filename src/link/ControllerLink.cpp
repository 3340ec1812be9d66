#include "link/ControllerLink.h"

#include <algorithm>
#include <vector>

#include "link/TraceText.h"

namespace kb::link {

std::string ControllerLink::transact(std::string_view command, bool read, std::uint32_t count,
                                     std::uint32_t readMs, std::uint32_t writeMs, int bufferSize,
                                     FtStatus* closeStatus) {
  ++transactions_;
  LinkEvent event;
  event.command = std::string(command);
  std::string buffer(static_cast<std::size_t>(bufferSize), ' ');
  FtHandle handle = nullptr;
  // Statuses are not acted on: a missing controller simply leaves the buffer blank. The trace
  // notes a failed open, so that no controller and a silent board can be told apart.
  const FtStatus opened = driver_.FT_OpenEx(kDeviceDescription, kOpenByDescription, &handle);
  if (opened != kFtOk) {
    event.outcome = Outcome::OpenFailed;
    event.status = opened;
    event.message = driver_.lastError();
    if (trace_ != nullptr) *trace_ << "! open failed (status " << opened << ")\n";
  }
  driver_.FT_SetTimeouts(handle, readMs, writeMs);
  std::uint32_t written = 0;
  const FtStatus wrote = driver_.FT_Write(handle, command.data(),
                                          static_cast<std::uint32_t>(command.size()), &written);
  traceLine('>', command);
  if (opened == kFtOk && wrote != kFtOk) noteFailure(event, Outcome::WriteFailed, wrote, "write");
  if (read) {
    // Never read past the buffer, whatever count the caller asks for.
    const std::uint32_t want =
        std::min<std::uint32_t>(count, static_cast<std::uint32_t>(bufferSize));
    std::vector<char> in(want);
    std::uint32_t got = 0;
    const FtStatus readStatus = driver_.FT_Read(handle, in.data(), want, &got);
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
  const FtStatus status = driver_.FT_Close(handle);
  if (closeStatus != nullptr) *closeStatus = status;
  last_ = std::move(event);
  for (const Watcher& w : watchers_) w(last_);
  return buffer;
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
