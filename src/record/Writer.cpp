#include "record/Writer.h"

#include <vector>

namespace kb::record {

Writer::Writer(std::unique_ptr<Store> store, Mode mode)
    : path_(store->path()), mode_(mode), store_(std::move(store)) {
  if (mode_ == Mode::Background) thread_ = std::thread([this] { run(); });
}

Writer::~Writer() {
  finish(-1);
}

void Writer::writeNow(std::vector<Batch>& batches) {
  // Called with the lock released; only this thread (or the one inline caller) touches the store.
  std::string failure;
  try {
    store_->write(batches);
  } catch (const std::exception& e) {
    failure = e.what();
  }
  const std::uint64_t rows = store_->rowsWritten();
  std::lock_guard lock(mutex_);
  rows_ = rows;
  if (!failure.empty() && error_.empty()) error_ = failure;
}

void Writer::submit(Batch batch) {
  if (batch.empty()) return;
  {
    std::lock_guard lock(mutex_);
    if (!error_.empty() || finished_) return;
    if (mode_ == Mode::Background) {
      queue_.push_back(std::move(batch));
      wake_.notify_one();
      return;
    }
  }
  std::vector<Batch> one;
  one.push_back(std::move(batch));
  writeNow(one);
}

void Writer::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty() && stopping_) return;
    std::vector<Batch> batches;
    while (!queue_.empty()) {
      batches.push_back(std::move(queue_.front()));
      queue_.pop_front();
    }
    const bool failed = !error_.empty();
    lock.unlock();
    if (!failed) writeNow(batches);
    lock.lock();
  }
}

void Writer::finish(std::int64_t stoppedMicros) {
  {
    std::lock_guard lock(mutex_);
    if (finished_) return;
    finished_ = true;
    stopping_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
  if (stoppedMicros < 0) return;
  std::lock_guard lock(mutex_);
  if (!error_.empty()) return;
  try {
    store_->finish(stoppedMicros);
  } catch (const std::exception& e) {
    error_ = e.what();
  }
}

std::string Writer::error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

std::uint64_t Writer::rowsWritten() const {
  std::lock_guard lock(mutex_);
  return rows_;
}

std::size_t Writer::queued() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

}  // namespace kb::record
