// The in-memory history: what it keeps of the readings, how it stays in its cap, what the charts
// get of it, and the runner's TrendPoints over a continuous read.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "ScriptProgram.h"
#include "history/History.h"
#include "history/Trend.h"

namespace kb::history {
namespace {

using readings::Check;
using readings::Kind;
using readings::Origin;
using readings::Reading;

Reading cells(int board, std::int64_t t, std::vector<double> volts, Check check = Check::Match,
              Origin origin = Origin::Cycle) {
  Reading r;
  r.kind = Kind::Cells;
  r.board = board;
  r.timeMicros = t;
  r.check = check;
  r.origin = origin;
  r.volts = std::move(volts);
  return r;
}

Reading configWrite(int board, std::uint8_t vuv, std::uint8_t vov) {
  Reading r;
  r.kind = Kind::ConfigWrite;
  r.board = board;
  r.bytes = {0xE1, 0, 0, 0, vuv, vov};
  return r;
}

TEST(HistoryTest, KeepsIntactMeasurementsAndTheLimitsWrittenToEachChip) {
  History h;
  h.add(cells(1, 100, std::vector<double>(12, 3.6)));
  h.add(cells(1, 200, std::vector<double>(12, 9.9), Check::Mismatch));  // garbled: not a reading
  h.add(cells(1, 300, std::vector<double>(12, 2.0), Check::Match, Origin::SelfTest));
  h.add(cells(1, 400, std::vector<double>(10, 3.5)));  // a ten-cell read leaves cells 11, 12 out
  Reading t = cells(1, 500, {1.1, 1.2, 1.3});
  t.kind = Kind::Temperatures;
  h.add(t);
  EXPECT_EQ(h.cells(1).size(), 2u);
  EXPECT_EQ(h.cells(1).count(0), 2u);
  EXPECT_EQ(h.cells(1).count(11), 1u);
  EXPECT_FLOAT_EQ(h.cells(1).value(1, 0), 3.5F);
  EXPECT_TRUE(std::isnan(h.cells(1).value(1, 11)));
  EXPECT_EQ(h.cells(0).size(), 0u);
  EXPECT_EQ(h.temperatures(1).size(), 1u);
  EXPECT_FLOAT_EQ(h.temperatures(1).value(0, 2), 1.3F);
  EXPECT_EQ(h.firstTime(), 100);
  EXPECT_EQ(h.lastTime(), 500);

  // VUV 0x9C = 3.000 V, VOV 0xCF = 4.200 V, broadcast to all; then board 2 alone gets others.
  h.add(configWrite(-1, 0x9C, 0xCF));
  h.add(configWrite(2, 0x8A, 0xC9));
  EXPECT_FALSE(History().limits(0).known);
  EXPECT_TRUE(h.limits(9).known);
  EXPECT_NEAR(h.limits(0).vuv, 3.000, 1e-9);
  EXPECT_NEAR(h.limits(0).vov, 4.200, 1e-9);
  EXPECT_NEAR(h.limits(2).vuv, 2.568, 1e-9);
  EXPECT_NEAR(h.limits(2).vov, 4.056, 1e-9);
}

TEST(HistoryTest, AFullTableThinsItsOlderHalfAndStaysWithinItsShareOfTheCap) {
  constexpr std::size_t kRows = 64;
  History h(kRows);
  for (int i = 0; i < 1000; ++i) {
    h.add(cells(0, i * 1000, std::vector<double>(12, 3.0 + i * 0.001)));
    ASSERT_LE(h.cells(0).size(), kRows);
    ASSERT_LE(h.cells(0).bytes(), kRows * kCellRowBytes);
  }
  const Table& t = h.cells(0);
  EXPECT_EQ(t.count(5), t.size());
  EXPECT_EQ(t.time(0), 0);  // the start of the session stays
  for (std::size_t r = 1; r < t.size(); ++r) {
    ASSERT_LT(t.time(r - 1), t.time(r));
  }
  // The newest reads are all there, one after the other.
  for (std::size_t k = 1; k <= kRows / 4; ++k) {
    EXPECT_EQ(t.time(t.size() - k), static_cast<std::int64_t>(1000 - k) * 1000);
  }
  EXPECT_EQ(h.lastTime(), 999'000);
  // The real cap: ten boards' tables full stay under 64 MiB.
  EXPECT_LE(kRowsPerBoard * (kCellRowBytes + kTemperatureRowBytes) * kMaxBoards, kMemoryCapBytes);
}

TEST(TrendTest, EnvelopeKeepsAOneReadDropAndSpreadNamesTheExtremes) {
  History h(100'000);
  for (int i = 0; i < 10'000; ++i) {
    std::vector<double> v(12, 3.6);
    v[4] = i == 5'000 ? 3.1 : 3.6;  // one read of cell 5 far down
    v[7] = 3.6 + 0.01 * (i % 3);
    if (i % 2 == 0) v[11] = std::numeric_limits<double>::quiet_NaN();
    h.add(cells(0, i * 100'000, v));
  }
  const Table& t = h.cells(0);
  const auto points = envelope(t, 4, 0, INT64_MAX, 100);
  EXPECT_LE(points.size(), 200u);
  bool drop = false;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) {
      ASSERT_LE(points[i - 1].timeMicros, points[i].timeMicros);
    }
    drop = drop || (points[i].value < 3.2F && points[i].timeMicros == 500'000'000);
  }
  EXPECT_TRUE(drop);
  // A span inside the session: only its reads, all of them when few.
  const auto few = envelope(t, 0, 1'000'000, 1'500'000, 100);
  ASSERT_EQ(few.size(), 6u);
  EXPECT_EQ(few.front().timeMicros, 1'000'000);
  EXPECT_EQ(few.back().timeMicros, 1'500'000);
  EXPECT_EQ(envelope(t, 11, 0, 1'000'000, 100).size(), 5u);  // unread values skipped

  const auto s = spread(t, 0, INT64_MAX, 50);
  ASSERT_LE(s.size(), 50u);
  float lowest = 5.0F;
  float highest = 0.0F;
  for (const Spread& x : s) {
    lowest = std::min(lowest, x.min);
    highest = std::max(highest, x.max);
    ASSERT_LE(x.min, x.mean);
    ASSERT_LE(x.mean, x.max);
  }
  EXPECT_FLOAT_EQ(lowest, 3.1F);
  EXPECT_FLOAT_EQ(highest, 3.62F);
  const auto one = spread(t, 0, 0, 50);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_NEAR(one[0].mean, 3.6, 1e-6);
}

TEST(HistoryTest, TheRunnerCountsThePointsOfEachCellOverAContinuousRead) {
  test::ScriptProgram p("sim:boards=3,fault=pec:0");
  ASSERT_TRUE(p.loaded);
  // Three boards out of standby; three steps a board: 27 ticks read each board three times.
  ASSERT_EQ(p.script("select Combo1 2\nclick Command0 1\nclick Command1 5\n"
                     "click Command1 10\ntick 27\nclick Command1 10\n"
                     "print TrendPoints 2 12\nprint TrendPoints 10 1\n"),
            0);
  EXPECT_EQ(p.out.str(), "TrendPoints 2 12 = 3\nTrendPoints 10 1 = 0\n");
  EXPECT_EQ(p.script("print TrendPoints 2\n"), 2);
  EXPECT_EQ(p.runner->error(), "line 1: TrendPoints needs two indexes (1..10, 1..12)");
  EXPECT_EQ(p.script("print TrendPoints 0 13\n"), 2);
  EXPECT_EQ(p.runner->error(), "line 1: no TrendPoints 0 13 (its indexes are 1..10, 1..12)");
}

}  // namespace
}  // namespace kb::history
