// How the windows meet the screen: within its available area, the status window beside the main
// window or at least clear of the monitor buttons. The Screen tests run on a desktop's screen and
// again on a laptop's (1366x768), where the main window does not fit.
#include <gtest/gtest.h>

#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "QtBench.h"
#include "ui/qt/Placement.h"

namespace kb::qt {
namespace {

TEST(Placement, TheStatusWindowGoesBesideTheMainWindowElseClearOfTheMonitorButtons) {
  const QRect laptop(0, 0, 1366, 768);
  const QRect desktop(0, 0, 1920, 1080);
  const QRect main(0, 0, 1060, 768);
  const QRect buttons(748, 100, 300, 420);
  // Room on the right.
  EXPECT_EQ(placeBeside(main, QSize(729, 790), desktop, buttons), QPoint(1068, 0));
  // Room on the left of a main window that stands at the right.
  EXPECT_EQ(
      placeBeside(main.translated(860, 0), QSize(440, 330), desktop, buttons.translated(860, 0)),
      QPoint(412, 0));
  // No room beside it: on the screen, covering no button.
  for (const QSize status : {QSize(444, 330), QSize(729, 768)}) {
    const QPoint at = placeBeside(main, status, laptop, buttons);
    EXPECT_TRUE(laptop.contains(QRect(at, status))) << status.width();
    EXPECT_FALSE(QRect(at, status).intersects(buttons)) << status.width();
  }
  // A window larger than the screen gets what fits, with room for the scroll bars.
  EXPECT_EQ(fitClientSize(QSize(1056, 793), QMargins(1, 24, 1, 1), laptop, 14), QSize(1070, 743));
  EXPECT_EQ(fitClientSize(QSize(1056, 793), QMargins(1, 24, 1, 1), desktop, 14), QSize(1056, 793));
}

TEST(ScreenFit, BothWindowsLieOnTheScreenAndTheStatusWindowLeavesTheMonitorButtonsFree) {
  test::Bench b(10);
  MainFrame& f = b.frame;
  QWidget* status = f.statusWindow();
  ASSERT_TRUE(test::waitFor([&] { return f.settled() && status->isVisible(); }));
  const QRect screen = f.screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(f.frameGeometry())) << f.frameGeometry().height();
  EXPECT_TRUE(screen.contains(status->frameGeometry())) << status->frameGeometry().height();
  for (const int i : b.window().form().indexes("Command1")) {
    QWidget* button = b.widget(b.c().Command1[i]);
    if (!button->isVisibleTo(&f)) continue;
    EXPECT_FALSE(status->frameGeometry().intersects(
        QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
        << b.c().Command1[i].caption();
  }
  // Every control can be scrolled to: the scroll bars reach the whole form.
  auto* scroll = qobject_cast<QScrollArea*>(f.centralWidget());
  ASSERT_NE(scroll, nullptr);
  const QSize form = f.mainView().size();
  EXPECT_GE(scroll->viewport()->width() + scroll->horizontalScrollBar()->maximum(), form.width());
  EXPECT_GE(scroll->viewport()->height() + scroll->verticalScrollBar()->maximum(), form.height());
  // On a screen with room, the main window shows the whole form.
  if (screen.height() >= 1000) {
    EXPECT_EQ(scroll->viewport()->size(), form);
  }
}

TEST(ScreenFit, TheStatusButtonBringsTheOpenStatusWindowToTheFront) {
  test::Bench b(1);
  MainFrame& f = b.frame;
  ASSERT_TRUE(test::waitFor([&] { return f.settled() && f.statusWindow()->isVisible(); }));
  f.activateWindow();
  ASSERT_TRUE(test::waitFor([&] { return f.isActiveWindow(); }));
  f.pump().deliver([&] { b.window().form().operatorClick(*b.c().Command5520); });
  EXPECT_TRUE(test::waitFor([&] { return f.statusWindow()->isActiveWindow(); }));
}

}  // namespace
}  // namespace kb::qt
