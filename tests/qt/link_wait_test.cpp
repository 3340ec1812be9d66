// The window while a transaction is in flight: the event loop goes on, what the operator does
// meanwhile runs after the procedure that waits, in order and once.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QTabBar>
#include <QTimer>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <thread>

#include "app/core/ScriptRunner.h"
#include "sim/SimStack.h"
#include "ui/qt/AppWindows.h"

namespace kb::qt {
namespace {

// The simulated stack, with writes held at a gate until the test opens it.
class GateDriver final : public link::FtDriver {
 public:
  explicit GateDriver(link::FtDriver& inner) : inner_(inner) {}
  void close() { shut_ = true; }
  void open() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      shut_ = false;
    }
    opened_.notify_all();
  }
  std::thread::id writer() const { return writer_; }

  link::FtStatus FT_OpenEx(const char* d, std::uint32_t f, link::FtHandle* h) override {
    return inner_.FT_OpenEx(d, f, h);
  }
  link::FtStatus FT_SetTimeouts(link::FtHandle h, std::uint32_t r, std::uint32_t w) override {
    return inner_.FT_SetTimeouts(h, r, w);
  }
  link::FtStatus FT_Write(link::FtHandle h, const void* b, std::uint32_t n,
                          std::uint32_t* written) override {
    std::unique_lock<std::mutex> lock(mutex_);
    opened_.wait(lock, [this] { return !shut_; });
    writer_ = std::this_thread::get_id();
    return inner_.FT_Write(h, b, n, written);
  }
  link::FtStatus FT_Read(link::FtHandle h, void* b, std::uint32_t n,
                         std::uint32_t* returned) override {
    return inner_.FT_Read(h, b, n, returned);
  }
  link::FtStatus FT_Close(link::FtHandle h) override { return inner_.FT_Close(h); }

 private:
  link::FtDriver& inner_;
  std::mutex mutex_;
  std::condition_variable opened_;
  bool shut_ = false;
  std::thread::id writer_;
};

// The main window over the gated stack.
struct GateRig {
  ManualClock clock;
  sim::SimStack stack{{}, clock};
  GateDriver gate{stack};
  link::ControllerLink link{gate};
  std::ostringstream messages;
  app::PrintingDialogs dialogs{messages};
  ui::MainWindow window{ui::Services{link, clock, dialogs, nullptr}};
};

TEST(LinkWaitTest, OperatorActionsDuringATransactionRunAfterItInOrderAndOnce) {
  GateRig r;
  ui::MainWindow& window = r.window;
  GateDriver& gate = r.gate;
  ASSERT_TRUE(window.load());
  MainFrame frame(window);
  auto& c = window.context().c;
  auto* tabs = qobject_cast<QTabBar*>(frame.mainView().widgetFor("TabStrip1"));
  auto* check = qobject_cast<QAbstractButton*>(frame.mainView().widgetFor("Check_AUTO"));
  ASSERT_NE(tabs, nullptr);
  ASSERT_NE(check, nullptr);
  const int checkBefore = c.Check_AUTO->value();

  bool ranDuring = false;
  QTimer::singleShot(0, [&] {
    // The loop runs while the write waits at the gate: the operator picks the balancer tab and
    // clicks the check box; neither runs yet.
    ranDuring = true;
    EXPECT_TRUE(frame.pump().waitingForLink());
    tabs->setCurrentIndex(1);
    check->click();
    EXPECT_EQ(frame.pump().pending(), 2u);
    EXPECT_EQ(c.TabStrip1->value(), 0);
    EXPECT_EQ(c.Check_AUTO->value(), checkBefore);
    gate.open();
  });
  gate.close();
  frame.pump().deliver([&] { window.form().operatorClick(c.Command1[6]); });

  EXPECT_TRUE(ranDuring);
  EXPECT_NE(gate.writer(), std::this_thread::get_id()) << "the calls ran beside the event loop";
  EXPECT_EQ(frame.pump().pending(), 0u);
  EXPECT_EQ(c.TabStrip1->value(), 1);
  EXPECT_TRUE(c.Frame13->visible);
  EXPECT_EQ(c.Check_AUTO->value(), checkBefore == 1 ? 0 : 1) << "clicked once";
}

TEST(LinkWaitTest, ATickDueDuringATransactionRunsOnceBehindTheInputKept) {
  GateRig r;
  ui::MainWindow& window = r.window;
  GateDriver& gate = r.gate;
  ASSERT_TRUE(window.load());
  MainFrame frame(window);
  auto& c = window.context().c;
  auto& cycle = window.context().cycle;
  auto* tabs = qobject_cast<QTabBar*>(frame.mainView().widgetFor("TabStrip1"));
  ASSERT_NE(tabs, nullptr);
  frame.pump().deliver([&] {
    window.form().operatorClick(c.Command0[1]);
    window.form().operatorClick(c.Command1[5]);
    window.form().operatorClick(c.Command1[10]);
  });
  ASSERT_EQ(cycle.ContinuousReadOn, 1);
  ASSERT_EQ(cycle.CycleStep, 0);

  QTimer::singleShot(0, [&] {
    // The timer comes due twice while the tick's write waits; the operator picks a tab.
    frame.timerTick();
    frame.timerTick();
    tabs->setCurrentIndex(1);
    gate.open();
  });
  gate.close();
  frame.timerTick();
  EXPECT_EQ(cycle.CycleStep, 1);
  EXPECT_EQ(c.TabStrip1->value(), 1) << "the operator's input ran when the tick was over";
  QCoreApplication::sendPostedEvents(&frame);
  EXPECT_EQ(cycle.CycleStep, 2) << "the tick that came due ran after it, once";
  QCoreApplication::sendPostedEvents(&frame);
  EXPECT_EQ(cycle.CycleStep, 2);
}

}  // namespace
}  // namespace kb::qt
