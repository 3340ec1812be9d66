#pragma once
// The balancer chips of the stack: the command byte, every chip's command word, read-back and
// status with their checks, the chain's size, the per-cell balance times and the flags that the
// timer, the dispatcher and the configuration write read.
//
// Chip 2b is the bottom chip and 2b + 1 the top chip of board b; per-chip tables hold 31 entries
// (chips 0..29 are used), per-cell tables 181 (index 6 x chip + cell).
#include <array>
#include <string>

#include "common/Boards.h"

namespace kb::balancer {

inline constexpr int kChipSlots = 31;
inline constexpr int kChipsUsed = 30;
inline constexpr int kTopChipSlots = 16;
inline constexpr int kTopChipBoards = 15;
inline constexpr int kCellsPerChip = 6;
inline constexpr int kCellSlots = 181;

using ChipTexts = std::array<std::string, kChipSlots>;

inline ChipTexts filledTexts(const char* text) {
  ChipTexts t;
  t.fill(text);
  return t;
}

struct BalancerState {
  // Command byte as two hex digits, rebuilt from the bit boxes before every transfer.
  std::string SPICommand = "A9";

  ChipTexts CommandDataHi = filledTexts("00");
  ChipTexts CommandDataLo = filledTexts("0F");
  ChipTexts ReadbackDataHi = filledTexts("00");
  ChipTexts ReadbackDataLo = filledTexts("00");
  ChipTexts StatusDataHi = filledTexts("00");
  ChipTexts StatusDataLo = filledTexts("00");
  ChipTexts ReadbackCheck = filledTexts("-");  // "OK", "ERROR", "-" (not read since the write)
  ChipTexts StatusCheck = filledTexts("-");    // "-": not read since EXECUTE or SUSPEND
  ChipTexts CellsPerChip = filledTexts("6");
  std::array<bool, kTopChipSlots> TopChipPresent = [] {
    std::array<bool, kTopChipSlots> a{};
    a.fill(true);
    return a;
  }();

  int BalancerBoardCount = 0;
  int ChipCount = 0;
  int LastCellIndex = 0;  // 12 x BalancerBoardCount - 1
  int TopChipIndex = 1;   // top chip of the board shown

  bool BalancerBusy = false;
  bool BalancerPolling = false;
  bool ExecutingBoard1 = false;
  bool ExecutingOtherBoards = false;
  bool CommandWritten = false;
  bool AnyActionSet = false;
  bool ForceGlobalScope = false;

  // The panel is being rewritten from the tables: action options store nothing.
  bool RefreshingView = false;
  // An action option handler is writing the word bits.
  bool OptionBusy = false;

  // Balance time of every cell in seconds.
  std::array<double, kCellSlots> BalanceTime{};

  // The balancer SPI path: open between the two halves of a transfer; its last opening was for
  // every board (global) or the current one.
  bool pathOpen = false;
  bool pathGlobal = false;
  // The scope option (Option3 entry, -1 none) selected before the path opened.
  int scopeBefore = -1;

  // Transfers that did not reach the chips, per board, and the warning the balancer tab shows
  // while they fail ("" while they answer): the link's (the controller) or a chip's.
  std::array<int, kBoardSlots> failedTransfers{};
  std::string transferWarning;
  bool transferWarningIsLink = false;
  bool transferFailureIsOpen = false;

  bool executing() const { return ExecutingBoard1 || ExecutingOtherBoards; }
};

}  // namespace kb::balancer
