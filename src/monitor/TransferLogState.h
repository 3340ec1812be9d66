#pragma once
// What the transfer log remembers: the kind of the last row a read-back or configuration write
// produced, so that board selection can write that row again for the new board.
namespace kb::monitor {

inline constexpr int kLogNone = 0;
inline constexpr int kLogWriteConfig = 2;
inline constexpr int kLogReadConfig = 3;
inline constexpr int kLogReadCells = 4;  // 4 + RDCV mode (0 twelve cells, 1 ten cells)
inline constexpr int kLogReadFlags = 8;
inline constexpr int kLogReadTemps = 9;

struct TransferLogState {
  int lastKind = kLogNone;
};

}  // namespace kb::monitor
