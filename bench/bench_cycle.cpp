// The timer's work: one tick of the continuous read over three boards (a step of the cycle with
// its transactions, the indicator), and one tick of a timed run with the balancer keep-alive.
#include <benchmark/benchmark.h>

#include <string>

#include "common/Clock.h"
#include "link/ControllerLink.h"
#include "sim/SimOptions.h"
#include "sim/SimStack.h"
#include "ui/main/MainWindow.h"

namespace {

struct QuietDialogs final : kb::form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

struct Window {
  explicit Window(int boards) : stack(options(boards), clock), link(stack) {
    if (!window.load()) return;
    auto& c = window.context().c;
    auto& f = window.form();
    f.operatorSelect(*c.Combo1, boards - 1);
    f.operatorClick(c.Command0[1]);  // out of standby
    f.operatorClick(c.Command1[5]);
    loaded = true;
  }
  static kb::sim::SimOptions options(int boards) {
    kb::sim::SimOptions o;
    o.boards = boards;
    return o;
  }
  void tick() {
    clock.advance(0.1);
    window.tick();
  }

  kb::ManualClock clock;
  kb::sim::SimStack stack;
  kb::link::ControllerLink link;
  QuietDialogs dialogs;
  kb::ui::MainWindow window{kb::ui::Services{link, clock, dialogs, nullptr}};
  bool loaded = false;
};

void BM_ContinuousReadTick(benchmark::State& state) {
  Window w(3);
  if (!w.loaded) state.SkipWithError("start-up failed");
  w.window.form().operatorClick(w.window.context().c.Command1[10]);
  for (auto _ : state) w.tick();
}
BENCHMARK(BM_ContinuousReadTick);

// Ticks of a timed run (a long one, so that it never ends within the measurement): the clock,
// the keep-alive every second tick and the balancing checks.
void BM_TimedRunTick(benchmark::State& state) {
  Window w(1);
  if (!w.loaded) state.SkipWithError("start-up failed");
  auto& c = w.window.context().c;
  auto& f = w.window.form();
  f.operatorSelect(*c.TabStrip1, 1);
  f.operatorClick(*c.Check_6);
  f.operatorClick(c.Option_2[2]);
  f.operatorFocus(c.Text9[0]);
  c.Text9[0].setText("99999");
  f.operatorLeave();
  f.operatorClick(*c.Check_4);
  for (auto _ : state) w.tick();
}
BENCHMARK(BM_TimedRunTick);

}  // namespace
