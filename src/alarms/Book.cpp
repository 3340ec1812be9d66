#include "alarms/Book.h"

namespace kb::alarms {

Alarm* Book::at(int id) {
  if (id < 1 || id > static_cast<int>(alarms_.size())) return nullptr;
  return &alarms_[static_cast<std::size_t>(id - 1)];
}

const Alarm* Book::find(int id) const {
  if (id < 1 || id > static_cast<int>(alarms_.size())) return nullptr;
  return &alarms_[static_cast<std::size_t>(id - 1)];
}

int Book::raise(Alarm alarm, std::int64_t nowMicros) {
  alarm.id = static_cast<int>(alarms_.size()) + 1;
  alarm.raisedMicros = nowMicros;
  alarm.clearedMicros = -1;
  alarm.acknowledged = false;
  alarm.acknowledgedMicros = -1;
  alarms_.push_back(std::move(alarm));
  ++active_;
  // A copy: a subscriber may act on the book (acknowledge at once) while it is told.
  const Alarm raised = alarms_.back();
  events_.publish(Event::Raised, raised);
  return raised.id;
}

bool Book::clear(int id, std::int64_t nowMicros) {
  Alarm* a = at(id);
  if (a == nullptr || !a->active()) return false;
  a->clearedMicros = nowMicros;
  --active_;
  const Alarm cleared = *a;
  events_.publish(Event::Cleared, cleared);
  return true;
}

bool Book::acknowledge(int id, std::int64_t nowMicros) {
  Alarm* a = at(id);
  if (a == nullptr || a->acknowledged) return false;
  a->acknowledged = true;
  a->acknowledgedMicros = nowMicros;
  const Alarm seen = *a;
  events_.publish(Event::Acknowledged, seen);
  return true;
}

}  // namespace kb::alarms
