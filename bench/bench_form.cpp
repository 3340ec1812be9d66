// Typing into a text box, one key at a time as the operator (or the headless runner) does: the
// cost per key stays the same however long the text grows, in a box without key procedures (the
// bare form) and in the limit box, whose procedure filters every key.
#include <benchmark/benchmark.h>

#include <string>

#include "common/Clock.h"
#include "link/ControllerLink.h"
#include "sim/SimStack.h"
#include "ui/main/MainWindow.h"

namespace {

struct QuietDialogs final : kb::form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

struct Window {
  Window() { window.load(); }
  kb::ManualClock clock;
  kb::sim::SimStack stack{kb::sim::SimOptions{}, clock};
  kb::link::ControllerLink link{stack};
  QuietDialogs dialogs;
  kb::ui::MainWindow window{kb::ui::Services{link, clock, dialogs, nullptr}};
};

void typeDigits(benchmark::State& state, kb::form::Control& (*box)(kb::ui::Context&)) {
  Window w;
  kb::form::Form& f = w.window.form();
  const std::string digits(static_cast<std::size_t>(state.range(0)), '1');
  for (auto _ : state) {
    kb::form::Control& b = box(w.window.context());
    f.operatorFocus(b);
    f.operatorType(b, digits);
    state.PauseTiming();
    f.operatorLeave();
    b.setText("");
    state.ResumeTiming();
  }
  state.SetComplexityN(state.range(0));
}

void BM_TypeIntoReadbackField(benchmark::State& state) {
  // The first read-back field: a text box with no procedures of its own.
  typeDigits(state, [](kb::ui::Context& ctx) -> kb::form::Control& {
    ctx.c.Text_ReadCfg[0].locked = false;
    return ctx.c.Text_ReadCfg[0];
  });
}
BENCHMARK(BM_TypeIntoReadbackField)->RangeMultiplier(4)->Range(5000, 80000)->Complexity();

void BM_TypeIntoLimitBox(benchmark::State& state) {
  typeDigits(state, [](kb::ui::Context& ctx) -> kb::form::Control& { return ctx.c.Text2[0]; });
}
BENCHMARK(BM_TypeIntoLimitBox)->RangeMultiplier(4)->Range(5000, 80000)->Complexity();

}  // namespace
