#pragma once
// Read-back records per board and the judgement of a received PEC.
#include <array>
#include <cstdint>
#include <string>
#include <vector>
#include "common/Boards.h"

namespace kb::monitor {

using kb::kBoardSlots;

enum class ReadKind { RDCFG = 0, RDCV = 1, RDFLG = 2, RDTMP = 3 };
inline constexpr int kReadKinds = 4;

// PEC states shown by each board's indicator.
inline constexpr int kPecNoData = 0;
inline constexpr int kPecMatch = 1;
inline constexpr int kPecMismatch = 2;
inline constexpr int kPecThermal = 3;

struct ReadRecord {
  std::vector<std::uint8_t> data;  // received data bytes
  std::string receivedPec;         // two hex digits
  std::string calculatedPec;       // two hex digits
  std::string errorText;
  // Order of the error among all the board's failed reads (larger: later); 0 without an error.
  unsigned errorOrder = 0;
};

struct MonitorReadState {
  std::array<std::array<ReadRecord, kReadKinds>, kBoardSlots> records;  // each record starts empty
  std::array<int, kBoardSlots> pecState{};         // one state per board, shared by all reads
  std::array<int, kBoardSlots> measureMode{};      // CDC of the read CFGR0 is not 0
  std::array<int, kBoardSlots> thermalShutdown{};  // from the last good RDTMP
  // 1 while a board is shown as in thermal shutdown; cleared by the configuration write with
  // read-back that follows its recovery.
  std::array<int, kBoardSlots> thermalState{};
  // A board left thermal shutdown: the next configuration write reads the configuration back.
  bool thermalRecoveryPending = false;
  // Failed reads so far, for the order of their error texts.
  unsigned errorsSeen = 0;

  ReadRecord& record(int board, ReadKind kind) {
    return records.at(static_cast<std::size_t>(board)).at(static_cast<std::size_t>(kind));
  }
  const ReadRecord& record(int board, ReadKind kind) const {
    return records.at(static_cast<std::size_t>(board)).at(static_cast<std::size_t>(kind));
  }

  void clear() { *this = MonitorReadState{}; }
  // The error text of the board's latest failed read that no later good read of its kind cleared;
  // empty when none.
  std::string latestError(int board) const;
};

const char* mnemonic(ReadKind kind);
const char* errorPrefix(ReadKind kind);

struct JudgeResult {
  bool recorded = false;  // false: "PEC Match Only" filtered the transfer out
  bool match = false;
};

// Judges a received PEC against the calculated one for a board. pecMatchOnly is the effective
// option (the check box, unless a button-started read overrides it).
JudgeResult JudgePec(MonitorReadState& state, int board, const std::string& receivedPec,
                     const std::string& calculatedPec, ReadKind kind, bool pecMatchOnly);

// Indicator colour of a PEC state.
std::int32_t pecStateColour(int state);

}  // namespace kb::monitor
