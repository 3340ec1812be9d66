#pragma once
// Hands batches to the store: at once on the caller's thread (the headless runner, whose output
// must not depend on thread timing), or through a queue to a thread of its own (the GUI, so that
// a slow disk never holds up the timer). A batch that waits while the disk is busy is written in
// one transaction with the ones queued behind it, so every event stays whole.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "record/Store.h"

namespace kb::record {

class Writer {
 public:
  enum class Mode { Inline, Background };

  Writer(std::unique_ptr<Store> store, Mode mode);
  // Writes what is queued and closes the file.
  ~Writer();
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  // Takes one event's rows. After a failure, batches are dropped.
  void submit(Batch batch);
  // Empty while every write succeeded; else the reason of the first failure.
  std::string error() const;
  // Writes everything queued, notes the stop time and ends the thread; nothing is written after.
  void finish(std::int64_t stoppedMicros);

  const std::string& path() const { return path_; }
  // Rows committed so far.
  std::uint64_t rowsWritten() const;
  // Batches waiting for the disk.
  std::size_t queued() const;

 private:
  void run();
  void writeNow(std::vector<Batch>& batches);

  const std::string path_;
  const Mode mode_;
  std::unique_ptr<Store> store_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Batch> queue_;
  std::string error_;
  std::uint64_t rows_ = 0;
  bool stopping_ = false;
  bool finished_ = false;
  std::thread thread_;
};

}  // namespace kb::record
