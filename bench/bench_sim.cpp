// The simulated stack: what one transaction of the program costs on ten boards, in processor time,
// and (counter sim_ms) in simulated time, which charges each driver call its hardware cost.
#include <benchmark/benchmark.h>

#include <string>

#include "common/Clock.h"
#include "common/HexText.h"
#include "link/ControllerLink.h"
#include "sim/SimCrc.h"
#include "sim/SimStack.h"

namespace {

std::string writeConfigBroadcast() {
  const std::uint8_t config[] = {0xE2, 0x00, 0x00, 0x00, 0x9C, 0xCF};
  std::string s = "MSXxT01SC7";
  for (const std::uint8_t b : config) s.append("S").append(kb::hexByte(b));
  s.append("S").append(kb::hexByte(kb::sim::pec8(config))).append("X");
  return s;
}
const std::string kStartCells = "MSxS10SB0X";

std::string readCells(int board) {
  const auto address = static_cast<std::uint8_t>(0x80 + board);
  std::string s = "MSxT";
  s.append(kb::hexByte(address)).append("T").append(kb::hexByte(kb::sim::pec8(address)));
  s.append("T04TDC").append(19, 'R').append("X");
  return s;
}

struct TenBoards {
  TenBoards() : stack(options(), clock), link(stack) {
    link.SendCommand(writeConfigBroadcast());
    link.SendCommand(kStartCells);
    link.SendCommand("");
  }
  static kb::sim::SimOptions options() {
    kb::sim::SimOptions o;
    o.boards = 10;
    return o;
  }
  kb::ManualClock clock;
  kb::sim::SimStack stack;
  kb::link::ControllerLink link;
};

// Simulated milliseconds per iteration since start.
void simulatedTime(benchmark::State& state, const kb::sim::SimStack& stack,
                   kb::sim::SimMicros start) {
  state.counters["sim_ms"] = benchmark::Counter(static_cast<double>(stack.now() - start) / 1000.0,
                                                benchmark::Counter::kAvgIterations);
}

// One RDCV transaction (46 characters back) on a ten-board stack, rotating through the boards.
void BM_SimReadCellsTenBoards(benchmark::State& state) {
  TenBoards rig;
  std::string frames[10];
  for (int b = 0; b < 10; ++b) frames[b] = readCells(b);
  int board = 0;
  const kb::sim::SimMicros start = rig.stack.now();
  for (auto _ : state) {
    benchmark::DoNotOptimize(rig.link.SendAndReceive(frames[board], 46));
    board = (board + 1) % 10;
  }
  simulatedTime(state, rig.stack, start);
}
BENCHMARK(BM_SimReadCellsTenBoards);

// One step of the continuous cycle: broadcast start, empty transaction, RDCV of one board, with
// the clock moving 100 ms per step so the comparators and the battery advance too.
void BM_SimCycleStepTenBoards(benchmark::State& state) {
  TenBoards rig;
  const std::string frame = readCells(0);
  const kb::sim::SimMicros start = rig.stack.now();
  for (auto _ : state) {
    rig.clock.advance(0.1);
    rig.link.SendCommand(kStartCells);
    rig.link.SendCommand("");
    benchmark::DoNotOptimize(rig.link.SendAndReceive(frame, 46));
  }
  simulatedTime(state, rig.stack, start);
}
BENCHMARK(BM_SimCycleStepTenBoards);

// The identity query: the answer is shorter than the 50 characters asked for, so every query
// waits out its 200 ms read time-out, as on the hardware.
void BM_SimIdentityQuery(benchmark::State& state) {
  TenBoards rig;
  const kb::sim::SimMicros start = rig.stack.now();
  for (auto _ : state) benchmark::DoNotOptimize(rig.link.QueryControllerId());
  simulatedTime(state, rig.stack, start);
}
BENCHMARK(BM_SimIdentityQuery);

}  // namespace
