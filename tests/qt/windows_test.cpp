// The two windows over a main window of the simulated stack: menus, status window, timer, quit,
// and the message box.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <sstream>

#include "QtTestUtil.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"
#include "ui/qt/AppWindows.h"
#include "ui/qt/QtServices.h"

namespace kb::qt {
namespace {

struct Windows {
  Windows() : session(options(), clock, dialogs), frame(session.window()) {}
  static app::Options options() {
    app::Options o;
    o.device = "sim";
    return o;
  }
  ui::MainWindow& window() { return session.window(); }
  void codeChanged() { frame.pump().syncNow(); }

  ManualClock clock;
  std::ostringstream messages;
  app::PrintingDialogs dialogs{messages};
  app::Session session;
  MainFrame frame;
};

TEST(WindowsTest, MenuBarFollowsTheFormsMenusAndItemsRunThroughIt) {
  Windows w;
  ASSERT_TRUE(w.session.error().empty()) << w.session.error();
  const QList<QAction*> menus = w.frame.menuBar()->actions();
  ASSERT_EQ(menus.size(), 4);
  EXPECT_EQ(menus[0]->text(), "File");
  EXPECT_EQ(menus[1]->text(), "Datalog");
  EXPECT_EQ(menus[2]->text(), "View");
  EXPECT_EQ(menus[3]->text(), "Options");
  ASSERT_EQ(menus[1]->menu()->actions().size(), 4);
  // The options show their state as a tick.
  w.frame.menuAction("Held link")->trigger();
  EXPECT_TRUE(w.frame.menuAction("Held link")->isChecked());
  EXPECT_FALSE(w.frame.menuAction("Fast scan")->isChecked());
  EXPECT_TRUE(w.frame.menuAction("Excel Out Test")->isEnabled());
  EXPECT_TRUE(w.frame.menuAction("Create New Setup")->isEnabled());

  int runs = 0;
  w.window().form().onMenu("mnuCreateNewSetup", [&] {
    ++runs;
    w.window().form().findMenuItem("Use Previous Setup")->enabled = false;
  });
  w.frame.menuAction("Create New Setup")->trigger();
  EXPECT_EQ(runs, 1);
  // What the item's procedure changed shows at once.
  EXPECT_FALSE(w.frame.menuAction("Use Previous Setup")->isEnabled());
}

TEST(WindowsTest, ExitEndsTheProgramAndHidesTheWindows) {
  Windows w;
  w.frame.showWindows();
  ASSERT_TRUE(w.frame.isVisible());
  w.frame.menuAction("Exit")->trigger();
  EXPECT_TRUE(w.window().ended());
  EXPECT_FALSE(w.frame.isVisible());
}

TEST(WindowsTest, StartUpOverTheSimulatorShowsTheStatusWindowAtItsFormsSize) {
  Windows w;
  ASSERT_TRUE(w.window().load());
  w.frame.pump().syncNow();
  w.frame.showWindows();
  // The status window follows once the main window is on the screen.
  ASSERT_TRUE(test::waitFor([&] { return w.frame.settled(); }));
  form::Form& status = w.window().statusForm();
  QWidget* statusWindow = w.frame.statusWindow();
  EXPECT_EQ(w.frame.windowTitle(), "QXB5520-1-QXM7140-2/-4 BMS GUI");
  EXPECT_EQ(statusWindow->windowTitle(), "QXB5520-1 STATUS GUI");
  EXPECT_EQ(statusWindow->isVisible(), status.visible);
  EXPECT_EQ(statusWindow->parentWidget(), &w.frame);
  EXPECT_TRUE(statusWindow->isWindow());

  status.visible = true;
  status.width += 1500;  // a wider stack of boards
  w.codeChanged();
  EXPECT_TRUE(statusWindow->isVisible());
  EXPECT_EQ(w.frame.statusView().size(), QSize(status.width / 15, status.height / 15));
  ASSERT_TRUE(test::waitFor([&] { return statusWindow->size() == w.frame.statusView().size(); }));
  // The identity read at start-up is on the main form.
  EXPECT_FALSE(w.window().context().c.Label_ID->caption().empty());
  // The operator closing the status window hides its form until code shows it again.
  statusWindow->close();
  EXPECT_FALSE(status.visible);
}

TEST(WindowsTest, ClosingTheMainWindowTakesTheStatusWindowWithIt) {
  Windows w;
  ASSERT_TRUE(w.window().load());
  w.frame.showWindows();
  ASSERT_TRUE(test::waitFor([&] { return w.frame.statusWindow()->isVisible(); }));
  w.frame.close();
  EXPECT_TRUE(w.window().ended());
  EXPECT_FALSE(w.window().statusForm().visible);
  EXPECT_FALSE(w.frame.statusWindow()->isVisible());
  EXPECT_EQ(w.window().stateVariable("StatusWindowLoaded", -1), "False");
}

TEST(WindowsTest, TimerTicksWhileTimer1IsEnabled) {
  Windows w;
  ASSERT_TRUE(w.window().load());
  form::Control& timer = *w.window().context().c.Timer1;
  // Every tick of the running read cycle sends a transaction.
  w.window().context().cycle.ContinuousReadOn = 1;
  auto sent = [&] { return w.session.link().transactionCount(); };
  timer.interval = 20;
  timer.enabled = true;
  w.codeChanged();
  const auto started = sent();
  ASSERT_TRUE(test::waitFor([&] { return sent() >= started + 2; }));
  timer.enabled = false;
  w.codeChanged();
  const auto stopped = sent();
  test::waitFor([] { return false; }, 150);
  EXPECT_EQ(sent(), stopped);
  // A held timer does not tick either.
  timer.enabled = true;
  w.frame.holdTimer(true);
  test::waitFor([] { return false; }, 150);
  EXPECT_EQ(sent(), stopped);
}

TEST(WindowsTest, MessageBoxShowsTitleAndLinesAndReturnsOnOk) {
  QtDialogs dialogs;
  QString title, text;
  qsizetype buttons = 0;
  auto show = [&](const std::string& message) {
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) {
        ADD_FAILURE() << "no modal message box";
        return;
      }
      title = box->windowTitle();
      text = box->text();
      buttons = box->buttons().size();
      // Always answered, so that a failed check cannot leave the box open.
      if (buttons == 1) {
        box->buttons().front()->click();
      } else {
        box->done(0);
      }
    });
    dialogs.msgBox(message, "KB4471");
  };
  show("first line\nsecond line");
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(title, "KB4471");
  EXPECT_EQ(text, "first line\nsecond line");
  // A path in the file system's UTF-8 reads as such; the program's Latin-1 texts stay Latin-1.
  show("saved as /home/u/\xd0\x94\xd0\xbe\xd0\xba/a.xls");
  EXPECT_EQ(text, QString::fromUtf8("saved as /home/u/\u0414\u043e\u043a/a.xls"));
  show(
      "25\xb0"
      "C");
  EXPECT_EQ(text, QString::fromUtf8("25\u00b0C"));
}

}  // namespace
}  // namespace kb::qt

namespace kb::qt {
namespace {

TEST(WindowsTest, ReadConfigButtonRunsTheDispatcherOverTheSimulator) {
  Windows w;
  ASSERT_TRUE(w.window().load());
  w.frame.pump().syncNow();
  w.frame.showWindows();
  const std::uint64_t before = w.session.link().transactionCount();
  w.window().context().startup.chipSelectLeftLow = true;  // as after a poll
  ASSERT_TRUE(test::clickOn(w.frame.mainView().widgetFor("Command1", 6)));
  // "MSX" first, then the READ CONFIG frame.
  EXPECT_EQ(w.session.link().transactionCount(), before + 2);
  EXPECT_FALSE(w.window().context().startup.chipSelectLeftLow);
  EXPECT_EQ(w.window().context().reads.pecState[0], monitor::kPecMatch);
}

}  // namespace
}  // namespace kb::qt
