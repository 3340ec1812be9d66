#pragma once
// Timed balancing: what START saved and RESET brings back, the schedule's clock and the UV/OV
// alarm latch. Clock values are seconds of the program's monotonic clock, so a run or a pause
// that crosses midnight (or a change of the wall clock) is measured right.
#include <array>

#include "balancer/BalancerState.h"

namespace kb::balancer {

struct TimedState {
  std::array<double, kCellSlots> SavedBalanceTime{};
  ChipTexts SavedCommandHi = filledTexts("00");
  ChipTexts SavedCommandLo = filledTexts("0F");

  double TotalTime = 0.0;      // largest balance time of the cells in use
  double NextStopTime = 0.0;   // smallest positive balance time
  double LastStop = 0.0;       // length of the current run
  double StartTimer = 0.0;     // clock at the last EXECUTE of the schedule
  double StopAt = 0.0;         // StartTimer + LastStop
  double Elapsed = 0.0;        // clock - StartTimer at the last tick, suspend or stop
  double RemainingTime = 0.0;  // total time still to run

  // A monitor chip reported a cell under- or over-voltage while balancing; cleared by the next
  // EXECUTE.
  bool FlagAlarm = false;
};

}  // namespace kb::balancer
