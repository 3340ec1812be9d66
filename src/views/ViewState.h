#pragma once
// State of the cell and board views: the status code of every cell and whether a board's cell
// voltages and flags have been read since they were last invalidated.
#include <array>
#include <cstddef>

#include "common/Boards.h"

namespace kb::views {

inline constexpr int kCellStatusSlots = 121;  // board * 12 + cell (0..11); entry 120 unused
inline constexpr int kCellsPerBoard = 12;

// Cell status codes.
inline constexpr int kStatusNoReading = 0;
inline constexpr int kStatusThermalShutdown = 7;

struct ViewState {
  std::array<int, kCellStatusSlots> CellStatus{};
  std::array<int, kBoardSlots> CellDataValid{};  // 1: the board's cell voltages were read
  std::array<int, kBoardSlots> FlagDataValid{};  // 1: the board's flags were read

  // Sets the twelve codes of a board (0..9); other indexes are ignored.
  void setBoardStatus(int board, int code) {
    if (board < 0 || board >= kMaxBoards) return;
    for (int c = 0; c < kCellsPerBoard; ++c)
      CellStatus[static_cast<std::size_t>(board * kCellsPerBoard + c)] = code;
  }
};

}  // namespace kb::views
