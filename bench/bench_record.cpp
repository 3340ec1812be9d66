// Recording a day: 864 000 ticks of continuous read over ten simulated boards on the manual
// clock, with the GUI's recording (a writer thread) and without, and a stretch with the headless
// runner's recording (each tick's commit on the calling thread). Reported: the time of a tick,
// the file's size, the rows written and their rate.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>

#include "common/Clock.h"
#include "context/Context.h"
#include "link/ControllerLink.h"
#include "record/Recording.h"
#include "record/Sqlite.h"
#include "sim/SimOptions.h"
#include "sim/SimStack.h"
#include "ui/main/MainWindow.h"

namespace {

namespace fs = std::filesystem;

constexpr int kBoards = 10;
constexpr std::int64_t kDayOfTicks = 864'000;

double threadCpuSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct QuietDialogs final : kb::form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

struct Session {
  Session() : stack(options(), clock), link(stack) {
    std::string pattern = (fs::temp_directory_path() / "kb-bench-record-XXXXXX").string();
    dir = ::mkdtemp(pattern.data());
    if (!window.load()) return;
    auto& c = window.context().c;
    auto& f = window.form();
    f.operatorSelect(*c.Combo1, kBoards - 1);
    f.operatorClick(c.Command0[1]);  // out of standby
    f.operatorClick(c.Command1[5]);
    f.operatorClick(c.Command1[10]);  // continuous read
    loaded = true;
  }
  ~Session() { fs::remove_all(dir); }
  static kb::sim::SimOptions options() {
    kb::sim::SimOptions o;
    o.boards = kBoards;
    return o;
  }
  bool record(kb::record::Writer::Mode mode) {
    std::string why;
    return kb::record::startRecording(window.context(), file(), false, mode, why);
  }
  std::string file() const { return (dir / "day.db").string(); }
  void tick() {
    clock.advanceMicros(100'000);
    window.tick();
  }

  fs::path dir;
  kb::ManualClock clock;
  kb::sim::SimStack stack;
  kb::link::ControllerLink link;
  QuietDialogs dialogs;
  kb::ui::MainWindow window{kb::ui::Services{link, clock, dialogs, nullptr}};
  bool loaded = false;
};

// Arg: 0 no recording, 1 the GUI's recording. One iteration is the whole day.
void BM_DayOfContinuousRead(benchmark::State& state) {
  const bool recording = state.range(0) != 0;
  for (auto _ : state) {
    Session s;
    if (!s.loaded || (recording && !s.record(kb::record::Writer::Mode::Background))) {
      state.SkipWithError("start-up failed");
      return;
    }
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = threadCpuSeconds();
    for (std::int64_t t = 0; t < kDayOfTicks; ++t) s.tick();
    const double cpuTicks = threadCpuSeconds() - cpuStart;
    const auto ticked = std::chrono::steady_clock::now();
    // Stopping waits for the writer to catch up with the day.
    if (recording) kb::record::stopRecording(s.window.context());
    const auto written = std::chrono::steady_clock::now();
    const double tickSeconds = std::chrono::duration<double>(ticked - start).count();
    const double allSeconds = std::chrono::duration<double>(written - start).count();
    // The ticking thread's own time per tick: what the timer of the GUI would feel. The wall
    // clock also holds what the writer thread takes from a busy machine's cores.
    state.counters["us_per_tick"] = tickSeconds / kDayOfTicks * 1e6;
    state.counters["cpu_us_per_tick"] = cpuTicks / kDayOfTicks * 1e6;
    if (recording) {
      const double bytes = static_cast<double>(fs::file_size(s.file()));
      kb::record::sql::Db db(s.file(), SQLITE_OPEN_READONLY);
      const auto rows = static_cast<double>(db.integer(
          "SELECT (SELECT count(*) FROM readings) + (SELECT count(*) FROM cell_voltages) + "
          "(SELECT count(*) FROM temperatures) + (SELECT count(*) FROM alarm_events)"));
      state.counters["MB"] = bytes / 1e6;
      state.counters["MB_per_hour"] = bytes / 1e6 / 24.0;
      state.counters["rows"] = rows;
      state.counters["rows_per_s"] = rows / allSeconds;
      state.counters["s_to_write"] = allSeconds;
    }
  }
}
BENCHMARK(BM_DayOfContinuousRead)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The headless runner's recording: each tick's transaction is committed (to the disk) before the
// tick returns. A thousand ticks rate it.
void BM_HeadlessRecordedTick(benchmark::State& state) {
  Session s;
  if (!s.loaded || !s.record(kb::record::Writer::Mode::Inline)) {
    state.SkipWithError("start-up failed");
    return;
  }
  for (auto _ : state) s.tick();
}
BENCHMARK(BM_HeadlessRecordedTick)->Iterations(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
