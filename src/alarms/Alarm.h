#pragma once
// Alarms: conditions derived from what the program reads (the flags and limits written to the
// chips, the thermal bit, PEC results, the link), each raised once when it starts and cleared
// once when it ends. Consumers (recording, the alarm list, telemetry) subscribe to the events.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kb::alarms {

enum class Kind {
  OverVoltage,    // a cell above the VOV written to its chip
  UnderVoltage,   // a cell below the VUV written to its chip
  Thermal,        // the thermal-shutdown bit of a board
  PecFailures,    // a board's reads failed their PEC several times in a row
  NotAnswering,   // the controller cannot be opened or does not answer
  BalancerFault,  // a balancer chip's words do not answer
};

struct Alarm {
  int id = 0;  // unique within the run, in the order raised
  Kind kind = Kind::OverVoltage;
  int board = -1;                   // 0..9; -1: not a board's
  int channel = -1;                 // cell 1..12, temperature 0..2 or chip; -1: none
  double limit = 0.0;               // the limit passed (volts, or a count)
  double value = 0.0;               // the value that passed it
  std::int64_t raisedMicros = 0;    // the program's clock
  std::int64_t clearedMicros = -1;  // -1 while active
  bool acknowledged = false;
  std::int64_t acknowledgedMicros = -1;  // -1 until acknowledged
  std::string
      text;  // in an operator's words: "Board 3 cell 7 over-voltage: 4.2315 V > VOV 4.2000 V"

  bool active() const { return clearedMicros < 0; }
};

enum class Event { Raised, Cleared, Acknowledged };

const char* kindName(Kind kind);
const char* eventName(Event event);

class Stream {
 public:
  using Subscriber = std::function<void(Event, const Alarm&)>;
  int subscribe(Subscriber subscriber);
  void unsubscribe(int id);
  void publish(Event event, const Alarm& alarm) const;

 private:
  struct Entry {
    int id;
    Subscriber fn;
  };
  std::vector<Entry> subscribers_;
  int nextId_ = 1;
};

}  // namespace kb::alarms
