#pragma once
// The two windows over a session on the simulated stack, as an operator meets them.
#include <QApplication>
#include <cstdint>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "QtTestUtil.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"
#include "ui/qt/AppWindows.h"
#include "ui/qt/QtServices.h"

namespace kb::test {

using qt::MainFrame;
using qt::QtDialogs;

// The windows over a stack of boards, shown with that many boards in use; the timer is held,
// ticks come from timerTick() with the manual clock.
template <typename Dialogs = app::PrintingDialogs>
struct BenchOf {
  explicit BenchOf(int boards, const std::string& more = "")
      : session(options(boards, more), clock, dialogs), frame(session.window()) {
    EXPECT_TRUE(session.error().empty()) << session.error();
    session.link().setTrace(&trace);
    frame.holdTimer(true);
    EXPECT_TRUE(window().load());
    window().form().operatorSelect(*c().Combo1, boards - 1);
    frame.pump().syncNow();
    frame.showWindows();
  }
  static app::Options options(int boards, const std::string& more) {
    app::Options o;
    o.device = "sim:boards=" + std::to_string(boards) + more;
    return o;
  }
  ui::MainWindow& window() { return session.window(); }
  ui::MainControls& c() { return window().context().c; }
  std::uint64_t sent() { return session.link().transactionCount(); }
  QWidget* widget(const form::Control& c) {
    return frame.mainView().widgetFor(c.name(), c.index());
  }
  // The lines traced since the last call.
  std::vector<std::string> traced() {
    std::vector<std::string> lines;
    std::istringstream in(trace.str().substr(seen));
    seen = trace.str().size();
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  void activate() {
    frame.activateWindow();
    EXPECT_TRUE(test::waitFor([&] { return frame.isActiveWindow(); }));
  }

  ManualClock clock;
  std::ostringstream messages;
  Dialogs dialogs = make();
  std::ostringstream trace;
  std::size_t seen = 0;
  app::Session session;
  MainFrame frame;

 private:
  Dialogs make() {
    if constexpr (std::is_same_v<Dialogs, app::PrintingDialogs>) {
      return Dialogs(messages);
    } else {
      return Dialogs();
    }
  }
};
using Bench = BenchOf<>;

}  // namespace kb::test
