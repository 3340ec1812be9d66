#pragma once
// Whether the trend window is open. "View > Trends" opens it; the operator closing it (in the Qt
// layer) closes it. The window itself draws from the history and holds no data.
namespace kb::history {

struct TrendWindowState {
  bool open = false;
};

}  // namespace kb::history
