#pragma once
// The status window's life: it holds no data of its own (it draws the balancer tables), only
// whether it has been loaded. It is loaded on first use and unloaded when the operator closes it
// or the main window closes.

namespace kb::balancer {

struct StatusWindowState {
  bool loaded = false;
};

}  // namespace kb::balancer
