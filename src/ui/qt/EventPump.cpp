#include "ui/qt/EventPump.h"

#include <exception>
#include <iostream>
#include <vector>

namespace kb::qt {

namespace {
struct Counter {
  explicit Counter(int& n) : n_(n) { ++n_; }
  ~Counter() { --n_; }
  Counter(const Counter&) = delete;
  Counter& operator=(const Counter&) = delete;
  int& n_;
};
}  // namespace

void EventPump::deliver(const Action& action) {
  if (syncing_ > 0 || closed_) return;
  if (linkWaits_ > 0) {
    pending_.push_back(action);
    return;
  }
  {
    Counter depth(depth_);
    try {
      action();
    } catch (const std::exception& e) {
      std::cerr << "kb4471: event procedure failed: " << e.what() << std::endl;
    }
  }
  if (depth_ == 0) {
    syncNow();
    runPending();
  }
}

void EventPump::runPending() {
  if (runningPending_) return;
  runningPending_ = true;
  while (depth_ == 0 && linkWaits_ == 0 && !pending_.empty()) {
    const Action action = std::move(pending_.front());
    pending_.pop_front();
    deliver(action);
  }
  runningPending_ = false;
}

int EventPump::addSyncHook(Action hook) {
  hooks_.emplace_back(nextId_, std::move(hook));
  return nextId_++;
}

void EventPump::removeSyncHook(int id) {
  std::erase_if(hooks_, [id](const auto& h) { return h.first == id; });
}

void EventPump::syncNow() {
  Counter syncing(syncing_);
  // By index: a hook may add a view (and so a hook) while it runs.
  for (std::size_t i = 0; i < hooks_.size(); ++i) {
    const Action hook = hooks_[i].second;
    hook();
  }
}

}  // namespace kb::qt
