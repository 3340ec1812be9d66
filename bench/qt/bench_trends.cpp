// Redrawing the trend window for a whole 24-hour session of ten boards, offscreen: the charts
// rebuilt from the history, and the same with the window laid out and painted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "common/Clock.h"
#include "link/ControllerLink.h"
#include "sim/SimOptions.h"
#include "sim/SimStack.h"
#include "ui/main/MainWindow.h"
#include "ui/qt/TrendWindow.h"

namespace {

struct QuietDialogs final : kb::form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

// A main window whose history holds a day of ten boards read at the continuous read's pace
// (a board every 3 s), with cell 1 of board 2 drifting down and every board's spread moving.
struct DaySession {
  DaySession() : stack(options(), clock), link(stack) {
    kb::ui::Context& ctx = window.context();
    ctx.boards.LastBoardIndex = 9;
    ctx.boards.CurrentBoard = 1;
    ctx.cycle.ContinuousReadOn = 1;
    constexpr std::int64_t kDay = 86'400'000'000;
    constexpr std::int64_t kPeriod = 3'000'000;
    for (std::int64_t t = 0; t < kDay; t += kPeriod) {
      const double hours = static_cast<double>(t) / 3.6e9;
      for (int b = 0; b < 10; ++b) {
        kb::readings::Reading r;
        r.kind = kb::readings::Kind::Cells;
        r.board = b;
        r.timeMicros = t + b * 300'000;
        r.check = kb::readings::Check::Match;
        for (int c = 0; c < 12; ++c) {
          double v = 3.6 + 0.01 * std::sin(hours + c) + 0.002 * ((t / kPeriod + c) % 5);
          if (b == 1 && c == 0) v -= 0.02 * hours;
          r.volts.push_back(v);
        }
        ctx.history.add(r);
        r.kind = kb::readings::Kind::Temperatures;
        r.volts = {1.5 + 0.01 * hours, 1.52, 2.4};
        ctx.history.add(r);
      }
    }
    clock.advanceMicros(kDay);
  }
  static kb::sim::SimOptions options() {
    kb::sim::SimOptions o;
    o.boards = 10;
    return o;
  }
  kb::ManualClock clock;
  kb::sim::SimStack stack;
  kb::link::ControllerLink link;
  QuietDialogs dialogs;
  kb::ui::MainWindow window{kb::ui::Services{link, clock, dialogs, nullptr}};
};

void BM_TrendRedrawDay(benchmark::State& state) {
  DaySession day;
  kb::qt::TrendWindow trends(day.window.context());
  trends.setSpan(kb::qt::TrendWindow::Span::Session);
  trends.show();
  QCoreApplication::processEvents();
  for (auto _ : state) trends.redraw();
}
BENCHMARK(BM_TrendRedrawDay)->Unit(benchmark::kMillisecond);

// What the operator waits for: the charts rebuilt, laid out and painted into the window's image.
void BM_TrendRedrawAndPaintDay(benchmark::State& state) {
  DaySession day;
  kb::qt::TrendWindow trends(day.window.context());
  trends.setSpan(kb::qt::TrendWindow::Span::Session);
  trends.show();
  QCoreApplication::processEvents();
  QImage image(trends.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    trends.redraw();
    trends.cells().settle();
    QPainter painter(&image);
    trends.render(&painter);
  }
}
BENCHMARK(BM_TrendRedrawAndPaintDay)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
