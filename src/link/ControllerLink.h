#pragma once
// One transaction per command: open by description, set time-outs, write, optionally read, close.
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "link/FtDriver.h"
#include "link/LinkEvent.h"

namespace kb::link {

inline constexpr const char* kDeviceDescription = "USB SERIAL CONTROLLER";
inline constexpr int kReplySize = 512;
inline constexpr int kIdentitySize = 128;
inline constexpr std::uint32_t kReadTimeoutMs = 1000;
inline constexpr std::uint32_t kWriteTimeoutMs = 1000;
inline constexpr std::uint32_t kIdReadTimeoutMs = 200;
inline constexpr std::uint32_t kIdWriteTimeoutMs = 50;
inline constexpr std::uint32_t kIdReadCount = 50;

class ControllerLink {
 public:
  explicit ControllerLink(FtDriver& driver) : driver_(driver) {}

  // Write-only transaction; returns the status of the closing call.
  FtStatus SendCommand(std::string_view command);
  // Write, then read replyLength bytes; returns the 512-character reply, blank-padded.
  std::string SendAndReceive(std::string_view command, std::uint16_t replyLength);
  // Identity query "IZ"; returns the first nine characters of the answer.
  std::string QueryControllerId();
  // Write-only transaction of a fixed mode string ("MI", "MSX").
  void SendModeString(std::string_view mode);

  // Protocol trace: "> " + characters written, and for reads "< " + characters received; before
  // them "! open failed (status N)", and after the write "! write failed: MESSAGE" or
  // "! read failed: MESSAGE" when an opened controller failed that call.
  void setTrace(std::ostream* trace) { trace_ = trace; }
  std::uint64_t transactionCount() const { return transactions_; }

  // Watchers of the link: each gets the outcome of every transaction once it has closed, in the
  // order they were added.
  using Watcher = std::function<void(const LinkEvent&)>;
  void addWatcher(Watcher watcher) { watchers_.push_back(std::move(watcher)); }
  // The outcome of the last transaction (Ok before the first).
  const LinkEvent& lastEvent() const { return last_; }

 private:
  std::string transact(std::string_view command, bool read, std::uint32_t count,
                       std::uint32_t readMs, std::uint32_t writeMs, int bufferSize,
                       FtStatus* closeStatus = nullptr);
  void traceLine(char direction, std::string_view bytes);
  // Traces a failed write or read of an opened controller and keeps the first failure in event.
  void noteFailure(LinkEvent& event, Outcome outcome, FtStatus status, const char* call);

  FtDriver& driver_;
  std::ostream* trace_ = nullptr;
  std::uint64_t transactions_ = 0;
  std::vector<Watcher> watchers_;
  LinkEvent last_;
};

}  // namespace kb::link
