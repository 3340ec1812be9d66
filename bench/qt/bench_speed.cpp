// Speed on the link's timing, ten boards, in three modes: the default transaction (open and close
// every time), the held link, and the held link with fast scan. Two measures of each:
//
//  - LinkTime: simulated link time (the sum of every transaction call's cost, and the conversion
//    waits of the held link) from the start of the continuous read until every board's cells,
//    temperatures and flags have been read once; the program's clock is moved by hand.
//  - InputLatency: the real window (offscreen) on sim:boards=10,realtime, where each transaction
//    takes its cost in wall-clock time, with the continuous read running. Every 250 ms a click on
//    the tab strip enters the event queue from another thread; the time from then to the first
//    paint of the page it brings up is one sample (p50_ms, p95_ms). Half-way between two clicks
//    a repaint of a widget is asked for the same way; the time to that paint shows whether the
//    screen updates while a transaction is in flight (paint_p95_ms). The default transaction is
//    also measured with the link's calls on the window's own thread ("window blocked"), as
//    before the window kept painting during transactions.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTabBar>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/core/Session.h"
#include "common/Clock.h"
#include "context/Context.h"
#include "sim/SimStack.h"
#include "ui/qt/AppWindows.h"

namespace {

using Steady = std::chrono::steady_clock;

struct Mode {
  const char* name;
  const char* link;  // the --link value
  bool fastScan;
};

constexpr Mode kModes[] = {
    {"seed", "transaction", false},
    {"held", "held", false},
    {"held+fastscan", "held", true},
};
constexpr int kLastMode = 2;

constexpr int kBoards = 10;

struct QuietDialogs final : kb::form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

kb::app::Options optionsFor(const Mode& mode, const std::string& device) {
  kb::app::Options o;
  o.device = device;
  o.link = mode.link;
  return o;
}

// Ten boards measuring (CDC 1 written to every board), fast scan chosen when the mode asks for
// it, then the continuous read started: what an operator does.
bool startContinuousRead(kb::ui::MainWindow& window, const Mode& mode) {
  auto& c = window.context().c;
  auto& f = window.form();
  f.operatorSelect(*c.Combo1, kBoards - 1);
  f.operatorClick(c.Command0[1]);
  f.operatorClick(c.Command1[5]);
  if (mode.fastScan && !f.runMenu("Fast scan")) return false;
  f.operatorClick(c.Command1[10]);
  return window.context().cycle.ContinuousReadOn == 1;
}

// ---- Link time per full-stack refresh ---------------------------------------------------------

void BM_LinkTime(benchmark::State& state) {
  const Mode& mode = kModes[state.range(0)];
  state.SetLabel(mode.name);
  double linkMs = 0.0;
  double ticks = 0.0;
  for (auto _ : state) {
    kb::ManualClock clock;
    QuietDialogs dialogs;
    kb::app::Session session(optionsFor(mode, "sim:boards=10"), clock, dialogs);
    auto* stack = dynamic_cast<kb::sim::SimStack*>(&session.driver());
    if (!session.error().empty() || stack == nullptr || !session.window().load() ||
        !startContinuousRead(session.window(), mode)) {
      state.SkipWithError("start-up failed");
      return;
    }
    // Every board's cells, temperatures and flags, read by the cycle.
    std::set<std::pair<int, kb::readings::Kind>> seen;
    kb::ui::Context& ctx = session.window().context();
    const int id = ctx.readings.subscribe([&](const kb::readings::Reading& r) {
      if (r.origin == kb::readings::Origin::Cycle) seen.emplace(r.board, r.kind);
    });
    const kb::sim::SimMicros start = stack->busyMicros() + session.link().waitedMicros();
    int n = 0;
    while (seen.size() < 3 * kBoards && n < 1000) {
      clock.advance(0.1);
      session.window().tick();
      ++n;
    }
    ctx.readings.unsubscribe(id);
    linkMs +=
        static_cast<double>(stack->busyMicros() + session.link().waitedMicros() - start) / 1000.0;
    ticks += n;
  }
  state.counters["link_ms_per_refresh"] =
      benchmark::Counter(linkMs, benchmark::Counter::kAvgIterations);
  state.counters["ticks_per_refresh"] =
      benchmark::Counter(ticks, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_LinkTime)->DenseRange(0, kLastMode)->Iterations(3)->Unit(benchmark::kMillisecond);

// ---- Input latency ----------------------------------------------------------------------------

constexpr int kClicks = 80;
constexpr auto kClickPeriod = std::chrono::milliseconds(250);

// A click from the operator: posted to the queue from another thread, as input arrives; its
// handler presses the tab strip at the tab asked for.
class ClickEvent final : public QEvent {
 public:
  static QEvent::Type type() {
    static const auto t = static_cast<QEvent::Type>(QEvent::registerEventType());
    return t;
  }
  explicit ClickEvent(int tab) : QEvent(type()), tab_(tab) {}
  int tab() const { return tab_; }

 private:
  int tab_;
};

// A repaint asked for from another thread (as the window system asks after an expose).
class RepaintEvent final : public QEvent {
 public:
  static QEvent::Type type() {
    static const auto t = static_cast<QEvent::Type>(QEvent::registerEventType());
    return t;
  }
  RepaintEvent() : QEvent(type()) {}
};

// A small widget of the window whose paints are timed.
class PaintProbe final : public QWidget {
 public:
  explicit PaintProbe(QWidget* parent) : QWidget(parent) { setGeometry(0, 0, 4, 4); }
  // From the other thread.
  void ask() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      askedAt_ = Steady::now();
      asked_ = true;
    }
    QCoreApplication::postEvent(this, new RepaintEvent);
  }
  std::vector<double> samples() {
    std::lock_guard<std::mutex> lock(mutex_);
    return samples_;
  }

 protected:
  bool event(QEvent* e) override {
    if (e->type() == RepaintEvent::type()) {
      update();
      return true;
    }
    return QWidget::event(e);
  }
  void paintEvent(QPaintEvent*) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!asked_) return;
    asked_ = false;
    samples_.push_back(std::chrono::duration<double, std::milli>(Steady::now() - askedAt_).count());
  }

 private:
  std::mutex mutex_;
  bool asked_ = false;
  Steady::time_point askedAt_;
  std::vector<double> samples_;
};

class Operator final : public QObject {
 public:
  Operator(QTabBar* tabs, QWidget* page0, QWidget* page1) : tabs_(tabs), pages_{page0, page1} {
    page0->installEventFilter(this);
    page1->installEventFilter(this);
  }

  // From the clicking thread: the moment the input enters the queue.
  void post(int tab) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (pending_) ++lost_;
      pending_ = true;
      target_ = tab;
      sentAt_ = Steady::now();
    }
    QCoreApplication::postEvent(this, new ClickEvent(tab));
  }

  std::vector<double> samples() {
    std::lock_guard<std::mutex> lock(mutex_);
    return samples_;
  }
  // The window's procedure ended: a click held meanwhile goes first in the queue.
  void release() {
    if (held_ < 0) return;
    QCoreApplication::postEvent(this, new ClickEvent(held_), Qt::HighEventPriority);
    held_ = -1;
  }
  int lost() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lost_ + (pending_ ? 1 : 0);
  }

 protected:
  bool event(QEvent* e) override {
    if (e->type() != ClickEvent::type()) return QObject::event(e);
    const int tab = static_cast<ClickEvent*>(e)->tab();
    // The window holds the window system's input while it waits in a transaction (its loop
    // runs one level down): the click waits as real input would, and enters the queue again
    // ahead of other work when the procedure that waited is over (release()).
    if (QThread::currentThread()->loopLevel() > 1) {
      held_ = tab;
      return true;
    }
    const QPoint at = tabs_->tabRect(tab).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, tabs_->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, tabs_->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(tabs_, &press);
    QApplication::sendEvent(tabs_, &release);
    return true;
  }

  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (pending_ && watched == pages_[target_]) {
        samples_.push_back(
            std::chrono::duration<double, std::milli>(Steady::now() - sentAt_).count());
        pending_ = false;
      }
    }
    return false;
  }

 private:
  QTabBar* tabs_;
  QWidget* pages_[2];
  int held_ = -1;  // a click that came while a transaction was in flight
  std::mutex mutex_;
  bool pending_ = false;
  int target_ = 0;
  Steady::time_point sentAt_;
  std::vector<double> samples_;
  int lost_ = 0;
};

void waitExposed(QWidget* w) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 5000 && (w->windowHandle() == nullptr || !w->windowHandle()->isExposed())) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const auto k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(k, v.size() - 1)];
}

void BM_InputLatency(benchmark::State& state) {
  const Mode& mode = kModes[state.range(0)];
  const bool blocked = state.range(1) == 1;
  state.SetLabel(std::string(mode.name) + (blocked ? ", window blocked" : ""));
  for (auto _ : state) {
    kb::SystemClock clock;
    QuietDialogs dialogs;
    kb::app::Session session(optionsFor(mode, "sim:boards=10,realtime"), clock, dialogs);
    if (!session.error().empty() || !session.window().load()) {
      state.SkipWithError("start-up failed");
      return;
    }
    kb::qt::MainFrame frame(session.window());
    if (blocked) session.link().setCallRunner({});
    PaintProbe probe(&frame);
    probe.show();
    frame.showWindows();
    waitExposed(&frame);
    bool started = false;
    frame.pump().deliver([&] { started = startContinuousRead(session.window(), mode); });
    auto* tabs = qobject_cast<QTabBar*>(frame.mainView().widgetFor("TabStrip1"));
    QWidget* monitorPage = frame.mainView().widgetFor("Frame10");
    QWidget* balancerPage = frame.mainView().widgetFor("Frame13");
    if (!started || tabs == nullptr || monitorPage == nullptr || balancerPage == nullptr) {
      state.SkipWithError("the continuous read did not start");
      return;
    }
    Operator op(tabs, monitorPage, balancerPage);
    const int releaseHook = frame.pump().addSyncHook([&op] { op.release(); });
    QEventLoop loop;
    std::atomic<bool> done{false};
    std::thread clicker([&] {
      // 250 ms apart on average; each moved by up to +-50 ms (a fixed sequence), so that the
      // clicks fall on every phase of the 100 ms ticks and not on the few a fixed period hits.
      std::minstd_rand jitter(4471);
      const auto start = Steady::now() + std::chrono::milliseconds(500);
      for (int i = 0; i < kClicks; ++i) {
        const auto at = start + i * kClickPeriod + std::chrono::milliseconds(jitter() % 101) -
                        std::chrono::milliseconds(50);
        std::this_thread::sleep_until(at);
        op.post(i % 2 == 0 ? 1 : 0);
        std::this_thread::sleep_until(at + kClickPeriod / 2 -
                                      std::chrono::milliseconds(jitter() % 51));
        probe.ask();
      }
      std::this_thread::sleep_until(start + kClicks * kClickPeriod + std::chrono::seconds(1));
      done = true;
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (done) loop.quit();
    });
    poll.start(50);
    loop.exec();
    clicker.join();
    frame.pump().removeSyncHook(releaseHook);
    const std::vector<double> samples = op.samples();
    state.counters["p50_ms"] = percentile(samples, 0.50);
    state.counters["p95_ms"] = percentile(samples, 0.95);
    state.counters["max_ms"] =
        samples.empty() ? 0.0 : *std::max_element(samples.begin(), samples.end());
    state.counters["clicks"] = static_cast<double>(samples.size());
    state.counters["paint_p95_ms"] = percentile(probe.samples(), 0.95);
    state.counters["lost"] = op.lost();
  }
}
BENCHMARK(BM_InputLatency)
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace

// The offscreen platform's notices say nothing about the program.
void quietHandler(QtMsgType, const QMessageLogContext&, const QString&) {}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(quietHandler);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
