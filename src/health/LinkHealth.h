#pragma once
// Link health: how the controller link is doing, for the operator's status line and the "Link
// health" window. Per backend session it counts transactions, failed opens, short reads (time-outs)
// and failed calls, and tells whether the controller answers and since when it does not; per board
// it counts PEC mismatches and balancer words in error, and keeps the time of the last good read of
// each kind. It is fed by the link's transaction outcomes and by the readings
// stream (health/Wiring.cpp); it reads nothing by itself.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/Boards.h"
#include "common/Clock.h"
#include "link/LinkEvent.h"

namespace kb::health {

// The kinds of read whose last good time is kept.
enum class ReadKind { Cells, Temperatures, Flags, Config, BalancerWords, BalancerStatus };
inline constexpr int kReadKinds = 6;

const char* readKindName(ReadKind kind);

struct BoardHealth {
  int pecMismatches = 0;
  int balancerErrors = 0;  // balancer reads with a word that failed its check
  std::array<std::int64_t, kReadKinds> lastGoodMicros = [] {
    std::array<std::int64_t, kReadKinds> a{};
    a.fill(-1);
    return a;
  }();
  std::array<DateTime, kReadKinds> lastGood{};  // valid where lastGoodMicros >= 0
};

class LinkHealth {
 public:
  // How the backend is named on the status line: "sim", "serial /dev/ttyUSB0", "ftdi".
  void setController(std::string name) { controller_ = std::move(name); }
  const std::string& controller() const { return controller_; }

  // One transaction's outcome at the program's time.
  void onTransaction(const link::LinkEvent& event, std::int64_t micros, const DateTime& at);
  // One completed read of a board: its check failed (a PEC mismatch, a balancer word in error)
  // or it was good.
  void onRead(int board, ReadKind kind, bool good, std::int64_t micros, const DateTime& at);

  // Whether the controller answers: until a transaction shows otherwise it is taken to. A failed
  // open, a failed call or a read that brought nothing back ends it; a transaction that brought
  // something back (or opened and wrote, after failed opens) starts it again.
  bool answering() const { return answering_; }
  std::int64_t notAnsweringSinceMicros() const { return sinceMicros_; }
  // Called with the new state whenever answering() changes, at the program's time.
  using AnsweringChanged = std::function<void(bool answering, std::int64_t micros)>;
  void onAnsweringChanged(AnsweringChanged fn) { answeringChanged_.push_back(std::move(fn)); }

  std::uint64_t transactions() const { return transactions_; }
  std::uint64_t failedOpens() const { return failedOpens_; }
  std::uint64_t shortReads() const { return shortReads_; }
  std::uint64_t failedCalls() const { return failedCalls_; }
  const std::string& lastFailure() const { return lastFailure_; }
  const BoardHealth& board(int b) const { return boards_.at(static_cast<std::size_t>(b)); }

  // "connected" or "not answering since 10:41:07", with the counts.
  std::string statusText() const;
  // The status line: "Controller: serial /dev/ttyUSB0 - " and the status text.
  std::string statusLine() const;
  // Board b (0-based): its counts, the balancer's failed transfers (kept by the balancer) and
  // the times of its last good reads.
  std::string boardText(int b, int balancerTransfersFailed) const;

 private:
  void setAnswering(bool answering, std::int64_t micros, const DateTime& at);

  std::string controller_ = "controller";
  bool answering_ = true;
  bool failedToOpen_ = false;  // the last failure was an open
  std::int64_t sinceMicros_ = -1;
  DateTime since_{};
  std::uint64_t transactions_ = 0;
  std::uint64_t failedOpens_ = 0;
  std::uint64_t shortReads_ = 0;
  std::uint64_t failedCalls_ = 0;
  std::string lastFailure_;
  std::array<BoardHealth, kBoardSlots> boards_{};
  std::vector<AnsweringChanged> answeringChanged_;
};

// "10:41:07".
std::string timeOfDay(const DateTime& t);

}  // namespace kb::health
