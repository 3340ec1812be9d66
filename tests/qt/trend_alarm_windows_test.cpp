// The trend and alarm windows over a session on the simulated stack. Trends: opened from
// "View > Trends" without taking the focus, its charts drawn from the history, the board selection
// followed, live and frozen, hover tips and PNG export. Alarms: the list and the status line's
// count, acknowledged by double-click and by the button.
#include <gtest/gtest.h>

#include <QAction>
#include <QAreaSeries>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <sstream>

#include "QtTestUtil.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"
#include "ui/qt/AppWindows.h"

namespace kb::qt {
namespace {

// Three boards out of standby, VUV 3.0 V and VOV 4.2 V written to every chip, a read cycle.
constexpr const char* kThreeBoardsReading =
    "select Combo1 2\nclick Command0 1\ntype Text2 1 4.2\ntype Text2 0 3.0\n"
    "click Command1 5\nclick Command1 10\ntick 90\n";

struct ViewRig {
  explicit ViewRig(const std::string& device = "sim:boards=3,fault=pec:0",
                   const char* start = kThreeBoardsReading)
      : session(options(device), clock, dialogs), runner(session.window(), out, clock) {
    loaded = session.window().load();
    script(start);
    frame = std::make_unique<MainFrame>(session.window());
    frame->holdTimer(true);  // the script's ticks alone
    frame->showWindows();
  }
  static app::Options options(const std::string& device) {
    app::Options o;
    o.device = device;
    return o;
  }
  int script(const std::string& text) {
    std::istringstream in(text);
    const int status = runner.run(in);
    if (frame) frame->pump().syncNow();
    return status;
  }
  ui::Context& ctx() { return session.window().context(); }
  TrendWindow& trends() { return frame->trendWindow(); }
  void open() {
    frame->menuAction("Trends")->trigger();
    ASSERT_TRUE(trends().isVisible());
  }

  ManualClock clock;
  std::ostringstream out;
  app::PrintingDialogs dialogs{out};
  app::Session session;
  app::ScriptRunner runner;
  std::unique_ptr<MainFrame> frame;
  bool loaded = false;
};

TEST(TrendWindowTest, OpensFromTheViewMenuWithoutTakingTheFocusAndDrawsTheHistory) {
  ViewRig r;
  ASSERT_TRUE(r.loaded);
  r.open();
  EXPECT_TRUE(r.ctx().trendWindow.open);

  TrendWindow& t = r.trends();
  EXPECT_EQ(t.board(), 0);
  EXPECT_EQ(t.stateLabel().text(), "Live: the continuous read is running");
  const history::Table& cells = r.ctx().history.cells(0);
  ASSERT_EQ(cells.size(), 10u);  // 90 ticks, 3 boards, 3 steps a read
  for (int c = 0; c < 12; ++c) {
    ASSERT_EQ(t.cells().cellSeries(c)->count(), 10) << c;
    EXPECT_FLOAT_EQ(t.cells().cellSeries(c)->at(9).y(), cells.value(9, c));
  }
  EXPECT_EQ(t.cells().vuvSeries()->name(), "VUV 3.000 V");
  EXPECT_EQ(t.cells().vovSeries()->name(), "VOV 4.200 V");
  ASSERT_EQ(t.cells().vovSeries()->count(), 2);
  EXPECT_DOUBLE_EQ(t.cells().vovSeries()->at(0).y(), 4.2);
  for (int b = 0; b < 3; ++b) {
    EXPECT_TRUE(t.stack().bandSeries(b)->isVisible());
    EXPECT_EQ(t.stack().spread(b).size(), 10u);
  }
  EXPECT_FALSE(t.stack().bandSeries(3)->isVisible());
  EXPECT_EQ(t.temperatures().points(2).size(), 10u);

  // The operator closes it: the next "View > Trends" opens it again.
  t.close();
  EXPECT_FALSE(r.ctx().trendWindow.open);
}

TEST(TrendWindowTest, FollowsTheBoardSelectionAndFreezesWhenTheReadStopsWithoutTakingTheFocus) {
  ViewRig r;
  r.open();
  TrendWindow& t = r.trends();
  // The operator works in the main window while the trends follow.
  r.frame->activateWindow();
  ASSERT_TRUE(test::waitFor([&] { return QApplication::activeWindow() == r.frame.get(); }));
  ASSERT_EQ(r.script("click Command4 1\n"), 0);
  EXPECT_EQ(t.board(), 1);
  EXPECT_EQ(t.temperatures().points(0).size(), r.ctx().history.temperatures(1).size());

  // Live: new reads reach the chart within about a second.
  ASSERT_EQ(r.script("tick 9\n"), 0);
  const auto kept = static_cast<qsizetype>(r.ctx().history.cells(1).size());
  ASSERT_TRUE(test::waitFor(
      [&] {
        r.frame->pump().syncNow();
        return t.cells().cellSeries(0)->count() == kept;
      },
      3000))
      << t.cells().cellSeries(0)->count() << " " << kept;

  // Stopped: the chart stays as it was, whatever is read meanwhile, until it is asked again.
  ASSERT_EQ(r.script("click Command1 10\n"), 0);
  EXPECT_EQ(t.stateLabel().text(), "Frozen: the continuous read is stopped");
  ASSERT_EQ(r.script("click Command1 2\nclick Command1 7\n"), 0);
  test::waitFor([] { return false; }, 1200);
  r.frame->pump().syncNow();
  EXPECT_EQ(t.cells().cellSeries(0)->count(), kept);
  t.setSpan(TrendWindow::Span::Session);
  EXPECT_EQ(t.cells().cellSeries(0)->count(), kept + 1);
  test::waitFor([] { return false; }, 100);
  EXPECT_EQ(QApplication::activeWindow(), r.frame.get());
}

TEST(TrendWindowTest, HoverNamesThePointAndEachChartSavesAsPng) {
  ViewRig r;
  r.open();
  TrendWindow& t = r.trends();
  const QPointF point = t.cells().cellSeries(4)->at(3);
  emit t.cells().cellSeries(4)->hovered(point + QPointF(200.0, 0.01), true);
  const history::Point& p = t.cells().points(4)[3];
  const QString expected =
      QStringLiteral("Board 1 cell 5\n%1\n%2 V")
          .arg(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(point.x())).toString("hh:mm:ss"))
          .arg(p.value, 0, 'f', 4);
  EXPECT_EQ(t.cells().lastTip(), expected);
  emit t.stack().bandSeries(1)->hovered(t.stack().bandSeries(1)->upperSeries()->at(0), true);
  EXPECT_TRUE(t.stack().lastTip().startsWith("Board 2\n")) << t.stack().lastTip().toStdString();
  EXPECT_TRUE(t.stack().lastTip().contains("spread ")) << t.stack().lastTip().toStdString();

  QTemporaryDir dir;
  for (TrendChart* chart :
       {static_cast<TrendChart*>(&t.cells()), static_cast<TrendChart*>(&t.stack()),
        static_cast<TrendChart*>(&t.temperatures())}) {
    const QString path = dir.filePath(QStringLiteral("chart.png"));
    ASSERT_TRUE(chart->savePng(path));
    QImage image(path);
    EXPECT_EQ(image.size(), chart->size() * chart->devicePixelRatio());
    QFile::remove(path);
  }
  EXPECT_FALSE(t.cells().savePng(dir.filePath(QStringLiteral("no/such/folder/chart.png"))));
}

TEST(AlarmWindowTest, ListsTheOverVoltageAndAcknowledgingLowersTheStatusLinesCount) {
  // Cell 3 of board 1 above the VOV of 4.2 V written to its chip.
  ViewRig r("sim:cell=1:3:4.3,fault=pec:0",
            "click Command0 1\ntype Text2 1 4.2\nclick Command1 5\nclick Command1 2\n"
            "click Command1 7\n");
  AlarmWindow& a = r.frame->alarmWindow();
  EXPECT_EQ(a.statusLabel()->text(), "Alarms: 1 active, 1 unacknowledged");
  EXPECT_TRUE(a.statusLabel()->isVisible());
  r.frame->menuAction("Alarms")->trigger();
  ASSERT_TRUE(a.isVisible());

  QTableWidget& t = *a.table();
  ASSERT_EQ(t.rowCount(), 1);
  const auto cell = [&](int column) { return t.item(0, column)->text(); };
  EXPECT_EQ(cell(0), QString::fromUtf8("\u25cf"));
  EXPECT_EQ(cell(2), "active");
  EXPECT_EQ(cell(3), "1");
  EXPECT_EQ(cell(4), "cell 3");
  EXPECT_EQ(cell(5), "4.2000 V");
  EXPECT_TRUE(cell(6).startsWith("4.3")) << cell(6).toStdString();
  EXPECT_TRUE(cell(7).startsWith("Board 1 cell 3 over-voltage")) << cell(7).toStdString();
  EXPECT_TRUE(t.item(0, 7)->font().bold());
  EXPECT_FALSE(a.acknowledgeButton()->isEnabled());

  emit t.cellDoubleClicked(0, 4);
  r.frame->pump().syncNow();
  EXPECT_EQ(a.statusLabel()->text(), "Alarms: 1 active, 0 unacknowledged");
  EXPECT_EQ(t.item(0, 0)->text(), "");
  EXPECT_FALSE(t.item(0, 7)->font().bold());
  EXPECT_TRUE(r.ctx().alarmBook.find(a.alarmAt(0))->acknowledged);
}

TEST(AlarmWindowTest, TheButtonAcknowledgesTheSelectedAlarms) {
  ViewRig r("sim:cell=1:3:4.3,cell=1:5:2.5,fault=pec:0",
            "click Command0 1\ntype Text2 1 4.2\ntype Text2 0 3.0\nclick Command1 5\n"
            "click Command1 2\nclick Command1 7\nmenu Alarms\n");
  AlarmWindow& a = r.frame->alarmWindow();
  ASSERT_TRUE(a.isVisible());
  ASSERT_EQ(a.table()->rowCount(), 2);
  a.table()->selectRow(1);
  ASSERT_TRUE(a.acknowledgeButton()->isEnabled());
  const int id = a.alarmAt(1);
  ASSERT_TRUE(test::clickOn(a.acknowledgeButton()));
  EXPECT_TRUE(r.ctx().alarmBook.find(id)->acknowledged);
  EXPECT_FALSE(r.ctx().alarmBook.find(a.alarmAt(0))->acknowledged);
  EXPECT_EQ(a.statusLabel()->text(), "Alarms: 2 active, 1 unacknowledged");
  EXPECT_EQ(a.alarmAt(1), id) << "the rows keep their order";
  EXPECT_FALSE(a.acknowledgeButton()->isEnabled());
  a.close();
  EXPECT_FALSE(r.ctx().alarmList.open);
}

}  // namespace
}  // namespace kb::qt
