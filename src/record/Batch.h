#pragma once
// The rows of one operator action or tick, handed to the store as one unit: they are written in
// one transaction, so a recording holds every event whole or not at all.
#include <cstdint>
#include <string>
#include <vector>

#include "alarms/Alarm.h"
#include "context/Readings.h"

namespace kb::record {

struct AlarmRow {
  alarms::Event event = alarms::Event::Raised;
  alarms::Alarm alarm;
};

// A failure of the link itself (the controller did not open, a read came back short).
struct LinkRow {
  std::int64_t timeMicros = 0;
  std::string kind;  // "open-failed", "short-read"
  std::string detail;
};

struct Batch {
  std::vector<readings::Reading> readings;
  std::vector<AlarmRow> alarms;
  std::vector<LinkRow> link;

  bool empty() const { return readings.empty() && alarms.empty() && link.empty(); }
};

}  // namespace kb::record
