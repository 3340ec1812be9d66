#include "context/Readings.h"

#include <algorithm>

namespace kb::readings {

const char* checkName(Check check) {
  switch (check) {
    case Check::Match:
      return "match";
    case Check::Mismatch:
      return "mismatch";
    case Check::None:
      break;
  }
  return nullptr;
}

const char* kindName(Kind kind) {
  switch (kind) {
    case Kind::Cells:
      return "cells";
    case Kind::Temperatures:
      return "temperatures";
    case Kind::Flags:
      return "flags";
    case Kind::ConfigRead:
      return "config-read";
    case Kind::ConfigWrite:
      return "config-write";
    case Kind::BalancerCommand:
      return "balancer-command";
    case Kind::BalancerWords:
      return "balancer-words";
    case Kind::BalancerStatus:
      return "balancer-status";
    case Kind::BalanceRun:
      return "balance-run";
  }
  return "?";
}

const char* originName(Origin origin) {
  switch (origin) {
    case Origin::Button:
      return "button";
    case Origin::Cycle:
      return "cycle";
    case Origin::SelfTest:
      return "self-test";
    case Origin::Balancer:
      return "balancer";
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
  std::erase_if(eventEnds_, [id](const EndEntry& e) { return e.id == id; });
}

int Stream::subscribeEventEnd(std::function<void()> fn) {
  const int id = nextId_++;
  eventEnds_.push_back({id, std::move(fn)});
  return id;
}

void Stream::eventEnded() const {
  for (const EndEntry& e : std::vector<EndEntry>(eventEnds_)) e.fn();
}

void Stream::publish(const Reading& reading) const {
  // A subscriber may unsubscribe another while the reading goes round: walk a copy of the ids.
  for (const Entry& e : std::vector<Entry>(subscribers_)) e.fn(reading);
}

}  // namespace kb::readings
