#pragma once
// Continuous read cycle and watchdog service state, read by the dispatcher, the command functions
// and the balancer.
namespace kb::continuous {

// The watchdog keep-alive goes out when the phase is at this value.
inline constexpr int kKeepAlivePhase = 3;
// Phases of one keep-alive period: one PLADC every this many ticks.
inline constexpr int kWdtPhases = 6;

struct CycleState {
  int ContinuousReadOn = 0;
  int CycleStep = 0;  // next step of the current cycle: 0 cells, 1 temperatures, 2 flags
  int CycleBoard = 0;
  int WdtServiceActive = 0;   // some board's written CFGR0 has a CDC other than 0
  int WdtPhase = 0;           // 0..5
  int BalanceCheckCount = 0;  // keep-alive slots counted during balancing, 0..17
  bool BalanceCheckBusy = false;
};

}  // namespace kb::continuous
