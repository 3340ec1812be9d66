#pragma once
// Runs the controller link's driver calls on a thread of their own while the window's event loop
// goes on: the windows paint and the timer comes due while a transaction is in flight. The
// procedure that started the transaction waits for it as before (transactions stay one at a time,
// in order); the operator's input waits in the queue, and what reaches the event pump meanwhile
// is kept and runs after it.
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include <QObject>

#include "ui/qt/EventPump.h"

class QEventLoop;

namespace kb::qt {

class LinkRunner {
 public:
  explicit LinkRunner(EventPump& pump);
  ~LinkRunner();
  LinkRunner(const LinkRunner&) = delete;
  LinkRunner& operator=(const LinkRunner&) = delete;

  // Runs calls on the link thread and returns when they are done; rethrows what they threw.
  void run(const std::function<void()>& calls);

 private:
  void work();

  EventPump& pump_;
  QObject context_;  // of the deferred run of kept actions: gone with the runner
  std::mutex mutex_;
  std::condition_variable wake_;
  const std::function<void()>* job_ = nullptr;
  QEventLoop* loop_ = nullptr;
  bool done_ = false;
  bool stop_ = false;
  std::exception_ptr error_;
  std::thread thread_;
};

}  // namespace kb::qt
