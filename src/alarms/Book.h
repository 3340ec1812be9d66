#pragma once
// Every alarm of the run, in the order raised. The book assigns ids, keeps raise, clear and
// acknowledge times, and announces each change on the alarm stream. The engine decides when an
// alarm starts and ends; the alarm list, telemetry and recording read the book or the stream.
#include <cstdint>
#include <vector>

#include "alarms/Alarm.h"

namespace kb::alarms {

class Book {
 public:
  explicit Book(Stream& events) : events_(events) {}
  Book(const Book&) = delete;
  Book& operator=(const Book&) = delete;

  const std::vector<Alarm>& all() const { return alarms_; }
  int activeCount() const { return active_; }
  // The alarm with this id; null when there is none.
  const Alarm* find(int id) const;

  // Records a new active alarm (its id and raise time are set here) and publishes Raised.
  // Returns its id.
  int raise(Alarm alarm, std::int64_t nowMicros);
  // Ends an active alarm and publishes Cleared; false when it is unknown or already cleared.
  bool clear(int id, std::int64_t nowMicros);
  // Marks an alarm as seen by the operator and publishes Acknowledged; false when it is unknown
  // or was acknowledged before.
  bool acknowledge(int id, std::int64_t nowMicros);

 private:
  Alarm* at(int id);

  Stream& events_;
  std::vector<Alarm> alarms_;  // alarm id n is alarms_[n - 1]
  int active_ = 0;
};

}  // namespace kb::alarms
