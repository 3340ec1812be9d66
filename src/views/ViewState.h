#pragma once
// State of the cell and board views: the status code of every cell, the discharge and mask bits
// the codes were derived from, and whether a board's cell voltages and flags have been read since
// they were last invalidated.
#include <array>
#include <cstddef>

#include "common/Boards.h"

namespace kb::views {

inline constexpr int kCellStatusSlots = 121;  // board * 12 + cell (0..11); entry 120 unused
inline constexpr int kCellsPerBoard = 12;
inline constexpr int kCellBitSlots = 13;  // cells 0..11 carry data

// Cell status codes.
inline constexpr int kStatusNoReading = 0;        // NR
inline constexpr int kStatusGood = 1;             // OK
inline constexpr int kStatusDischarge = 2;        // DC
inline constexpr int kStatusUnderVoltage = 3;     // UV
inline constexpr int kStatusOverVoltage = 4;      // OV
inline constexpr int kStatusMasked = 5;           // MI
inline constexpr int kStatusMaskedDischarge = 6;  // MD
inline constexpr int kStatusThermalShutdown = 7;  // TS
inline constexpr int kStatusCodes = 8;

using CellBits = std::array<std::array<bool, kCellBitSlots>, kBoardSlots>;

struct ViewState {
  std::array<int, kCellStatusSlots> CellStatus{};
  // Per board and cell, from the board's written configuration (CFGR1..CFGR3).
  CellBits CellDischargeBits{};
  CellBits CellMaskBits{};
  std::array<int, kBoardSlots> CellDataValid{};  // 1: the board's cell voltages were read
  std::array<int, kBoardSlots> FlagDataValid{};  // 1: the board's flags were read
  // Set when the cycle stops: the next main-button command clears every board's codes.
  bool clearOnNextCommand = false;

  // Sets the twelve codes of a board (0..9); other indexes are ignored.
  void setBoardStatus(int board, int code) {
    if (board < 0 || board >= kMaxBoards) return;
    for (int c = 0; c < kCellsPerBoard; ++c)
      CellStatus[static_cast<std::size_t>(board * kCellsPerBoard + c)] = code;
  }
  int& status(int board, int cell) {
    return CellStatus.at(static_cast<std::size_t>(board * kCellsPerBoard + cell));
  }
  int status(int board, int cell) const {
    return CellStatus.at(static_cast<std::size_t>(board * kCellsPerBoard + cell));
  }
};

}  // namespace kb::views
