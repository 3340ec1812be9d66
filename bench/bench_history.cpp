// The in-memory history: the cost of keeping a read, its memory after a day, and a whole day of
// the continuous read on ten simulated boards with the program's peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <vector>

#include "common/Clock.h"
#include "history/History.h"
#include "link/ControllerLink.h"
#include "sim/SimOptions.h"
#include "sim/SimStack.h"
#include "ui/main/MainWindow.h"

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr std::int64_t kDayMicros = 86'400'000'000;

double peakResidentMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) * 1024.0 / kMiB;
}

kb::readings::Reading read(kb::readings::Kind kind, int board, std::int64_t t, int values) {
  kb::readings::Reading r;
  r.kind = kind;
  r.board = board;
  r.timeMicros = t;
  r.check = kb::readings::Check::Match;
  r.origin = kb::readings::Origin::Cycle;
  for (int i = 0; i < values; ++i) r.volts.push_back(3.6 + 0.001 * ((t / 1000 + i) % 50));
  return r;
}

// A day of reads fed straight into the history: every board read each `periodMicros`.
void feedDay(kb::history::History& h, int boards, std::int64_t periodMicros) {
  for (std::int64_t t = 0; t < kDayMicros; t += periodMicros) {
    for (int b = 0; b < boards; ++b) {
      h.add(read(kb::readings::Kind::Cells, b, t, 12));
      h.add(read(kb::readings::Kind::Temperatures, b, t, 3));
    }
  }
}

// Ten boards at the continuous read's pace (a board every 30 ticks: 3 s), and one board read
// ten times as often (0.3 s), which fills its tables and thins them.
void BM_HistoryDay(benchmark::State& state) {
  const int boards = static_cast<int>(state.range(0));
  const std::int64_t period = boards == 1 ? 300'000 : 3'000'000;
  std::size_t bytes = 0;
  std::size_t rows = 0;
  for (auto _ : state) {
    kb::history::History h;
    feedDay(h, boards, period);
    bytes = h.bytes();
    rows = h.cells(0).size();
  }
  const double reads = static_cast<double>(kDayMicros / period) * boards * 2;
  state.counters["history_MiB"] = static_cast<double>(bytes) / kMiB;
  state.counters["rows_board1"] = static_cast<double>(rows);
  // Seconds a read costs.
  state.counters["s_per_read"] = benchmark::Counter(
      reads, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_HistoryDay)->Arg(10)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

struct QuietDialogs final : kb::form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

// 24 hours of the continuous read on ten simulated boards (864 000 ticks of the manual clock)
// through the whole program: the history as it stands afterwards and the process's peak memory.
// Run it alone for a peak that is the session's: --benchmark_filter=BM_HistoryContinuousDay
void BM_HistoryContinuousDay(benchmark::State& state) {
  for (auto _ : state) {
    kb::ManualClock clock;
    kb::sim::SimOptions options;
    options.boards = 10;
    kb::sim::SimStack stack(options, clock);
    kb::link::ControllerLink link(stack);
    QuietDialogs dialogs;
    kb::ui::MainWindow window{kb::ui::Services{link, clock, dialogs, nullptr}};
    if (!window.load()) {
      state.SkipWithError("start-up failed");
      return;
    }
    auto& c = window.context().c;
    auto& f = window.form();
    f.operatorSelect(*c.Combo1, 9);
    f.operatorClick(c.Command0[1]);  // out of standby
    f.operatorClick(c.Command1[5]);
    f.operatorClick(c.Command1[10]);
    for (int tick = 0; tick < 864'000; ++tick) {
      clock.advance(0.1);
      window.tick();
    }
    const kb::history::History& h = window.context().history;
    state.counters["history_MiB"] = static_cast<double>(h.bytes()) / kMiB;
    state.counters["cap_MiB"] = static_cast<double>(kb::history::kMemoryCapBytes) / kMiB;
    state.counters["rows_board1"] = static_cast<double>(h.cells(0).size());
    state.counters["peak_RSS_MiB"] = peakResidentMiB();
  }
}
BENCHMARK(BM_HistoryContinuousDay)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
