// Measurement read-backs: decoding a cell reply, and a whole READCELLVOLT button read (frame,
// simulated transaction, PEC, decoding, tables and the twelve boxes).
#include <benchmark/benchmark.h>

#include <string>

#include "common/Clock.h"
#include "link/ControllerLink.h"
#include "monitor/Measurements.h"
#include "sim/SimStack.h"
#include "startup/Startup.h"
#include "ui/main/MainWindow.h"

namespace {

void BM_DecodeCellCodes(benchmark::State& state) {
  std::string reply = "FFFFFFFF1123423345645567867789A899ABCABBCDEC4D";
  reply.resize(512, ' ');
  for (auto _ : state) benchmark::DoNotOptimize(kb::monitor::decodeCellCodes(reply, 12));
}
BENCHMARK(BM_DecodeCellCodes);

struct QuietDialogs final : kb::form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

void BM_ReadCellVoltsButton(benchmark::State& state) {
  kb::ManualClock clock;
  kb::sim::SimStack stack({}, clock);
  kb::link::ControllerLink link(stack);
  QuietDialogs dialogs;
  kb::ui::MainWindow window{kb::ui::Services{link, clock, dialogs, nullptr}};
  if (!window.load()) state.SkipWithError("start-up failed");
  for (auto _ : state) kb::startup::Command1_Click(window.context(), 7);
}
BENCHMARK(BM_ReadCellVoltsButton);

}  // namespace
