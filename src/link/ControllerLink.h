#pragma once
// One transaction per command: open by description, set time-outs, write, optionally read, close.
//
// Held link (opt-in): the controller is opened once, its latency timer set to 1 ms, and kept open;
// a transaction is then set time-outs, write and optionally read, with the same strings. Before a
// read the bridge's buffers are purged (what the open did before) and a conversion started since
// has its time (what the open and close gave it). A call that fails closes the controller; the
// next transaction opens it again.
//
// Batches (fast scan): several frames in one transaction; see sendBatch.
#include <cstdint>
#include <deque>
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
inline constexpr std::uint8_t kHeldLatencyMs = 1;

enum class LinkMode {
  Transaction,  // open and close around every transaction (the default)
  Held,         // opened once and kept open
};

// "transaction" or "held"; false for anything else.
bool parseLinkMode(std::string_view text, LinkMode& mode);
const char* linkModeName(LinkMode mode);

// One frame of a batch: the string and the characters it returns (0: write-only).
struct BatchFrame {
  std::string command;
  std::uint16_t replyLength = 0;
};

class ControllerLink {
 public:
  explicit ControllerLink(FtDriver& driver) : driver_(driver) {}
  ~ControllerLink();
  ControllerLink(const ControllerLink&) = delete;
  ControllerLink& operator=(const ControllerLink&) = delete;

  // Write-only transaction; returns the status of the closing call (held: of the write).
  FtStatus SendCommand(std::string_view command);
  // Write, then read replyLength bytes; returns the 512-character reply, blank-padded.
  std::string SendAndReceive(std::string_view command, std::uint16_t replyLength);
  // Identity query "IZ"; returns the first nine characters of the answer.
  std::string QueryControllerId();
  // Write-only transaction of a fixed mode string ("MI", "MSX").
  void SendModeString(std::string_view mode);

  // Leaving the held mode closes the controller.
  void setMode(LinkMode mode);
  LinkMode mode() const { return mode_; }

  // A conversion was started and takes this long: on a held link the next read waits until it
  // has had that time. The default transaction's open and close give it that time already.
  void conversionStarted(std::int64_t micros);
  // Time the held link has waited for conversions, on the link's clock.
  std::int64_t waitedMicros() const { return waited_; }

  // Sends the frames as few transactions as the reply buffer allows (kReplySize characters each),
  // the strings joined: the controller runs them in order, and each frame's characters follow the
  // previous frame's in the reply. The calls that send those same strings one by one
  // (SendCommand, SendAndReceive) then take their frame's share, in order, without a transaction
  // of their own. A call for any other string drops what is left of the batch and goes out as a
  // transaction of its own.
  void sendBatch(const std::vector<BatchFrame>& frames);
  // Frames of the last batch not yet taken.
  std::size_t batchPending() const { return batch_.size(); }

  // Runs the driver calls of each transaction: by default at once on the calling thread. The
  // window hands them to a thread of its own and keeps painting until they are done; either way
  // the call returns when they are, so transactions stay one at a time and in order.
  using CallRunner = std::function<void(const std::function<void()>& calls)>;
  void setCallRunner(CallRunner runner) { runner_ = std::move(runner); }

  // Protocol trace: "> " + characters written, and for reads "< " + characters received; before
  // them "! open failed (status N)", and after the write "! write failed: MESSAGE" or
  // "! read failed: MESSAGE" when an opened controller failed that call. The held link adds
  // "! link closed after the failure" when a failed call closed it.
  void setTrace(std::ostream* trace) { trace_ = trace; }
  std::uint64_t transactionCount() const { return transactions_; }

  // Watchers of the link: each gets the outcome of every transaction once it has closed, in the
  // order they were added.
  using Watcher = std::function<void(const LinkEvent&)>;
  void addWatcher(Watcher watcher) { watchers_.push_back(std::move(watcher)); }
  // The outcome of the last transaction (Ok before the first).
  const LinkEvent& lastEvent() const { return last_; }

 private:
  struct Taken {
    std::string command;
    std::uint16_t replyLength;
    std::string reply;  // the characters of this frame as received
  };

  std::string transact(std::string_view command, bool read, std::uint32_t count,
                       std::uint32_t readMs, std::uint32_t writeMs, int bufferSize,
                       FtStatus* closeStatus = nullptr);
  // The driver calls of one transaction.
  void runCalls(std::string_view command, bool read, std::uint32_t count, std::uint32_t readMs,
                std::uint32_t writeMs, std::string& buffer, FtStatus* closeStatus,
                LinkEvent& event);
  // Held: a read waits until a conversion started since has had its time.
  void waitForConversion();
  // Held: before a read, reads and drops what earlier write-only strings clocked in.
  void discardOwed(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs);
  // The next frame of the batch when it is this string; else drops the batch.
  bool takeFromBatch(std::string_view command, std::uint16_t replyLength, std::string* reply);
  void sendBatchPart(const std::vector<BatchFrame>& frames, std::size_t from, std::size_t to,
                     std::deque<Taken>& taken);
  // Opens the held controller if it is not open, with its latency timer; the status of the open.
  FtStatus openHeld();
  void closeHeld();
  // A held-link call that failed: close, and open again at the next transaction.
  void heldFailed();
  void traceLine(char direction, std::string_view bytes);
  // Traces a failed write or read of an opened controller and keeps the first failure in event.
  void noteFailure(LinkEvent& event, Outcome outcome, FtStatus status, const char* call);

  FtDriver& driver_;
  std::ostream* trace_ = nullptr;
  std::uint64_t transactions_ = 0;
  LinkMode mode_ = LinkMode::Transaction;
  FtHandle held_ = nullptr;
  bool conversionPending_ = false;
  std::uint32_t owed_ = 0;  // held: characters write-only strings clocked in, not yet read
  std::int64_t conversionDoneAt_ = 0;
  std::int64_t waited_ = 0;
  std::deque<Taken> batch_;
  CallRunner runner_;
  std::vector<Watcher> watchers_;
  LinkEvent last_;
};

}  // namespace kb::link
