#pragma once
// Continuous read cycle state, read by the dispatcher and the command functions.
namespace kb::continuous {

struct CycleState {
  int ContinuousReadOn = 0;
  int CycleStep = 0;
  int CycleBoard = 0;
};

}  // namespace kb::continuous
