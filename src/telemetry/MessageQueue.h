#pragma once
// The messages waiting for the broker, bounded. When it is full the oldest reading goes first;
// alarms go only when the queue holds nothing else (then the oldest alarm, and a reading arriving
// is dropped itself). The order of what remains is the order of arrival. Not thread-safe: its
// owner guards it.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace kb::telemetry {

struct Message {
  std::string topic;
  std::string payload;
  int qos = 0;
  bool retain = false;
  bool alarm = false;  // kept over readings when the queue is full
};

class MessageQueue {
 public:
  explicit MessageQueue(std::size_t capacity);

  void push(Message message);
  // Puts a message back at the head (one taken but not delivered); drops as push does.
  void pushFront(Message message);
  std::optional<Message> pop();

  std::size_t size() const { return readings_.size() + alarms_.size(); }
  std::size_t capacity() const { return capacity_; }
  std::uint64_t droppedReadings() const { return droppedReadings_; }
  std::uint64_t droppedAlarms() const { return droppedAlarms_; }

 private:
  struct Entry {
    std::int64_t order;
    Message message;
  };
  // Makes room for one more; false when the arriving reading is to be dropped instead.
  bool makeRoom(bool forAlarm);

  std::size_t capacity_;
  std::deque<Entry> readings_;
  std::deque<Entry> alarms_;
  std::int64_t nextOrder_ = 0;
  std::int64_t frontOrder_ = -1;
  std::uint64_t droppedReadings_ = 0;
  std::uint64_t droppedAlarms_ = 0;
};

}  // namespace kb::telemetry
