// The readings stream: what the read paths publish, in the order of the transactions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ScriptProgram.h"
#include "context/Context.h"
#include "ui/main/MainWindow.h"

namespace kb::readings {
namespace {

TEST(ReadingsTest, ButtonsAndCyclePublishWhatTheWindowShows) {
  test::ScriptProgram p("sim:boards=2,cell=1:3:3.7005,fault=pec:0");
  ASSERT_TRUE(p.loaded);
  ui::Context& ctx = p.session->window().context();
  std::vector<Reading> seen;
  ctx.readings.subscribe([&](const Reading& r) { seen.push_back(r); });
  // CDC 1, WRITE CONFIG broadcast, a cell conversion and read, a temperature read.
  ASSERT_EQ(p.script("click Command0 1\nclick Command1 5\nwait 0.2\nclick Command1 2\n"
                     "wait 0.2\nclick Command1 7\nclick Command1 9\n"),
            0);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].kind, Kind::ConfigWrite);
  EXPECT_EQ(seen[0].bytes.size(), 6u);
  const auto cells = std::find_if(seen.begin(), seen.end(),
                                  [](const Reading& r) { return r.kind == Kind::Cells; });
  ASSERT_NE(cells, seen.end());
  EXPECT_EQ(cells->board, 0);
  EXPECT_EQ(cells->origin, Origin::Button);
  EXPECT_EQ(cells->check, Check::Match);
  ASSERT_EQ(cells->volts.size(), 12u);
  char shown[16];
  std::snprintf(shown, sizeof shown, " %.4fV  ", cells->volts[2]);
  EXPECT_EQ(ctx.c.Text1[2].text(), shown);
  EXPECT_EQ(seen.back().kind, Kind::Temperatures);
  EXPECT_EQ(seen.back().codes.size(), 3u);
  EXPECT_GT(cells->timeMicros, seen[0].timeMicros);

  seen.clear();
  ASSERT_EQ(p.script("click Command1 10\ntick 6\n"), 0);
  int cycleCells = 0;
  for (const Reading& r : seen) {
    EXPECT_EQ(r.origin, Origin::Cycle) << kindName(r.kind);
    if (r.kind == Kind::Cells) ++cycleCells;
  }
  EXPECT_EQ(cycleCells, 2);  // one per board, board by board
}

TEST(ReadingsTest, EachOutermostEventEndsOnce) {
  test::ScriptProgram p("sim:boards=2,fault=pec:0");
  ASSERT_TRUE(p.loaded);
  ui::Context& ctx = p.session->window().context();
  int ends = 0;
  std::size_t readsAtEnd = 0;
  std::size_t reads = 0;
  ctx.readings.subscribe([&](const Reading&) { ++reads; });
  ctx.readings.subscribeEventEnd([&] {
    ++ends;
    readsAtEnd = reads;
  });
  // The start runs READ CONFIG inside its click: one event, with the reads of both.
  ASSERT_EQ(p.script("click Command1 10\ntick 6\n"), 0);
  EXPECT_EQ(ends, 7);
  EXPECT_EQ(readsAtEnd, reads);
}

TEST(ReadingsTest, UnsubscribeDuringPublishIsSafe) {
  Stream s;
  int calls = 0;
  int second = 0;
  s.subscribe([&](const Reading&) {
    ++calls;
    s.unsubscribe(second);
  });
  second = s.subscribe([&](const Reading&) { ++calls; });
  s.publish(Reading{});
  s.publish(Reading{});
  EXPECT_EQ(calls, 3);
}

}  // namespace
}  // namespace kb::readings
