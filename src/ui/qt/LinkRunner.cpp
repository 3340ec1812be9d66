#include "ui/qt/LinkRunner.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <stdexcept>

namespace kb::qt {

LinkRunner::LinkRunner(EventPump& pump) : pump_(pump), thread_([this] { work(); }) {}

LinkRunner::~LinkRunner() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void LinkRunner::run(const std::function<void()>& calls) {
  if (pump_.waitingForLink()) {
    // The pump keeps every action while a transaction is in flight; a second one means a
    // procedure was run around it.
    throw std::logic_error("a transaction started while another was in flight");
  }
  QEventLoop loop;
  {
    EventPump::LinkWait wait(pump_);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job_ = &calls;
      loop_ = &loop;
      done_ = false;
      error_ = nullptr;
    }
    wake_.notify_all();
    // Paint, timers and the window system's events go on. The operator's input waits in the
    // queue as it did for a blocked thread, so no widget changes under the procedure in flight;
    // what still reaches the pump (the timer, focus changes, a close) it keeps for later.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop may also end because the program is quitting: the calls still finish first.
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait(lock, [this] { return done_; });
    loop_ = nullptr;
  }
  // Outside any delivery nothing else would run what was kept: the next pass of the loop does.
  if (!pump_.busy() && pump_.pending() > 0) {
    EventPump* pump = &pump_;
    QTimer::singleShot(0, &context_, [pump] { pump->runPending(); });
  }
  if (error_) std::rethrow_exception(error_);
}

void LinkRunner::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || job_ != nullptr; });
    if (job_ == nullptr) return;  // stopping, nothing in flight
    const std::function<void()>* job = job_;
    job_ = nullptr;
    lock.unlock();
    std::exception_ptr error;
    try {
      (*job)();
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    error_ = error;
    done_ = true;
    if (loop_ != nullptr) QMetaObject::invokeMethod(loop_, "quit", Qt::QueuedConnection);
    wake_.notify_all();
  }
}

}  // namespace kb::qt
