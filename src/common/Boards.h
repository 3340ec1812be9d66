#pragma once

namespace kb {

// Per-board tables have 11 slots: boards 0..9, slot 10 unused.
inline constexpr int kBoardSlots = 11;
inline constexpr int kMaxBoards = 10;

}  // namespace kb
