#pragma once
// Delivers operator actions and timer ticks to the forms, one at a time, and re-syncs the views
// once the outermost delivery has finished.
#include <functional>
#include <utility>
#include <vector>

namespace kb::qt {

class EventPump {
 public:
  using Action = std::function<void()>;

  // Runs the action, then every sync hook. An action that arrives while the views are being
  // synced is an echo of the sync itself (a widget reporting the state it was just given) and is
  // dropped. An exception from a procedure is reported on stderr and the program carries on.
  void deliver(const Action& action);

  // Called after every delivery, in the order added. Returns an id for removeSyncHook.
  int addSyncHook(Action hook);
  void removeSyncHook(int id);
  // Runs every sync hook now; widget signals raised meanwhile are dropped as echoes.
  void syncNow();

  // From now on actions are dropped: the windows are going (their widgets report focus changes
  // while they are taken apart, which must not run procedures or syncs).
  void close() { closed_ = true; }

  // True while an action runs (a message box may be open in it).
  bool busy() const { return depth_ > 0; }
  bool syncing() const { return syncing_ > 0; }

 private:
  int depth_ = 0;
  int syncing_ = 0;
  bool closed_ = false;
  int nextId_ = 0;
  std::vector<std::pair<int, Action>> hooks_;
};

}  // namespace kb::qt
