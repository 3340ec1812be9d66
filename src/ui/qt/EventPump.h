#pragma once
// Delivers operator actions and timer ticks to the forms, one at a time, and re-syncs the views
// once the outermost delivery has finished.
//
// While a transaction is in flight (a LinkWait), the event loop keeps running so that the windows
// paint, but the procedure that started the transaction has not finished: an action delivered
// then is kept and runs after it, in the order the actions came, each once.
#include <deque>
#include <functional>
#include <utility>
#include <vector>

namespace kb::qt {

class EventPump {
 public:
  using Action = std::function<void()>;

  // Runs the action, then every sync hook. An action that arrives while the views are being
  // synced is an echo of the sync itself (a widget reporting the state it was just given) and is
  // dropped; one that arrives while a transaction is in flight is kept for later. An exception
  // from a procedure is reported on stderr and the program carries on.
  void deliver(const Action& action);

  // Called after every delivery, in the order added. Returns an id for removeSyncHook.
  int addSyncHook(Action hook);
  void removeSyncHook(int id);
  // Runs every sync hook now; widget signals raised meanwhile are dropped as echoes.
  void syncNow();

  // From now on actions are dropped: the windows are going (their widgets report focus changes
  // while they are taken apart, which must not run procedures or syncs).
  void close() {
    closed_ = true;
    pending_.clear();
  }

  // True while an action runs (a message box may be open in it).
  bool busy() const { return depth_ > 0; }
  bool syncing() const { return syncing_ > 0; }

  // Held for as long as a transaction is in flight.
  class LinkWait {
   public:
    explicit LinkWait(EventPump& pump) : pump_(pump) { ++pump_.linkWaits_; }
    ~LinkWait() { --pump_.linkWaits_; }
    LinkWait(const LinkWait&) = delete;
    LinkWait& operator=(const LinkWait&) = delete;

   private:
    EventPump& pump_;
  };
  bool waitingForLink() const { return linkWaits_ > 0; }
  // Actions kept while a transaction was in flight.
  std::size_t pending() const { return pending_.size(); }
  // Runs the kept actions when nothing runs any more; otherwise the outermost delivery runs them
  // when it ends.
  void runPending();

 private:
  int depth_ = 0;
  int syncing_ = 0;
  int linkWaits_ = 0;
  bool runningPending_ = false;
  bool closed_ = false;
  int nextId_ = 0;
  std::vector<std::pair<int, Action>> hooks_;
  std::deque<Action> pending_;
};

}  // namespace kb::qt
