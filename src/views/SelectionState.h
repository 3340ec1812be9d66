#pragma once
// The single-cell selection mode. The selection digits themselves are start-up state
// (startup::StartupState), read by the conversion starts.
namespace kb::views {

// ReadOnlyMode values.
inline constexpr int kNoCellSelected = 0;
inline constexpr int kCellSelectedAddressed = 1;  // STCVAD goes out addressed
inline constexpr int kCellSelectedBroadcast = 2;  // STCVAD goes out as a broadcast

struct SelectionState {
  int ReadOnlyMode = kNoCellSelected;
};

}  // namespace kb::views
