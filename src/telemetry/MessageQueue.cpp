#include "telemetry/MessageQueue.h"

#include <algorithm>

namespace kb::telemetry {

MessageQueue::MessageQueue(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {}

bool MessageQueue::makeRoom(bool forAlarm) {
  if (size() < capacity_) return true;
  if (!readings_.empty()) {
    readings_.pop_front();
    ++droppedReadings_;
    return true;
  }
  if (!forAlarm) {
    ++droppedReadings_;
    return false;
  }
  alarms_.pop_front();
  ++droppedAlarms_;
  return true;
}

void MessageQueue::push(Message message) {
  if (!makeRoom(message.alarm)) return;
  auto& lane = message.alarm ? alarms_ : readings_;
  lane.push_back({nextOrder_++, std::move(message)});
}

void MessageQueue::pushFront(Message message) {
  if (!makeRoom(message.alarm)) return;
  auto& lane = message.alarm ? alarms_ : readings_;
  lane.push_front({frontOrder_--, std::move(message)});
}

std::optional<Message> MessageQueue::pop() {
  const bool fromAlarms =
      !alarms_.empty() && (readings_.empty() || alarms_.front().order < readings_.front().order);
  auto& lane = fromAlarms ? alarms_ : readings_;
  if (lane.empty()) return std::nullopt;
  Message m = std::move(lane.front().message);
  lane.pop_front();
  return m;
}

}  // namespace kb::telemetry
