#include "alarms/Alarm.h"

#include <algorithm>

namespace kb::alarms {

const char* kindName(Kind kind) {
  switch (kind) {
    case Kind::OverVoltage:
      return "over-voltage";
    case Kind::UnderVoltage:
      return "under-voltage";
    case Kind::Thermal:
      return "thermal";
    case Kind::PecFailures:
      return "pec-failures";
    case Kind::NotAnswering:
      return "not-answering";
    case Kind::BalancerFault:
      return "balancer-fault";
  }
  return "?";
}

const char* eventName(Event event) {
  switch (event) {
    case Event::Raised:
      return "raised";
    case Event::Cleared:
      return "cleared";
    case Event::Acknowledged:
      return "acknowledged";
  }
  return "?";
}

int Stream::subscribe(Subscriber subscriber) {
  const int id = nextId_++;
  subscribers_.push_back({id, std::move(subscriber)});
  return id;
}

void Stream::unsubscribe(int id) {
  std::erase_if(subscribers_, [id](const Entry& e) { return e.id == id; });
}

void Stream::publish(Event event, const Alarm& alarm) const {
  for (const Entry& e : std::vector<Entry>(subscribers_)) e.fn(event, alarm);
}

}  // namespace kb::alarms
