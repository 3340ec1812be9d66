// Alarms from the readings: raised once when a condition starts, cleared once when it ends, in
// the operator's words; the book's acknowledgement.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ScriptProgram.h"
#include "alarms/Engine.h"
#include "context/Context.h"

namespace kb::alarms {
namespace {

using readings::Check;
using readings::Kind;
using readings::Origin;
using readings::Reading;

// A cell code for a voltage: volts = (code - 512) x 1.5 mV.
int code(double volts) {
  return static_cast<int>(volts / 0.0015 + 0.5) + 512;
}

struct Rig {
  Stream events;
  Book book{events};
  Engine engine{book};
  std::vector<std::pair<Event, Alarm>> seen;
  std::int64_t now = 0;

  Rig() {
    events.subscribe([this](Event e, const Alarm& a) { seen.emplace_back(e, a); });
  }
  // WRCFG with VUV/VOV codes and the mask registers CFGR2, CFGR3 (board -1: broadcast).
  void write(int board, int vuv, int vov, int cfgr2 = 0, int cfgr3 = 0) {
    Reading r;
    r.kind = Kind::ConfigWrite;
    r.board = board;
    r.bytes = {0xE1,
               0,
               static_cast<std::uint8_t>(cfgr2),
               static_cast<std::uint8_t>(cfgr3),
               static_cast<std::uint8_t>(vuv),
               static_cast<std::uint8_t>(vov)};
    engine.onReading(r);
  }
  void read(int board, std::vector<int> codes, Check check = Check::Match,
            Origin origin = Origin::Cycle) {
    Reading r;
    r.timeMicros = now += 100'000;
    r.kind = Kind::Cells;
    r.board = board;
    r.check = check;
    r.origin = origin;
    r.codes = std::move(codes);
    engine.onReading(r);
  }
  void temps(int board, Check check, int thermal) {
    Reading r;
    r.timeMicros = now += 100'000;
    r.kind = Kind::Temperatures;
    r.board = board;
    r.check = check;
    r.codes = {1000, 1000, 3000};
    r.thermal = thermal;
    engine.onReading(r);
  }
};

std::vector<int> cells(double volts) {
  return std::vector<int>(12, code(volts));
}

TEST(AlarmEngine, CellOverAndUnderTheWrittenLimitsRaiseOnceAndClearOnce) {
  Rig r;
  r.write(-1, 0x9C, 0xCF);  // VUV 3.000 V, VOV 4.200 V to every board
  std::vector<int> c = cells(3.6);
  c[6] = code(4.2315);
  r.read(2, c);
  r.read(2, c);
  ASSERT_EQ(r.seen.size(), 1u);
  const Alarm a = r.seen[0].second;
  EXPECT_EQ(r.seen[0].first, Event::Raised);
  EXPECT_EQ(a.text, "Board 3 cell 7 over-voltage: 4.2315 V > VOV 4.2000 V");
  EXPECT_EQ(a.kind, alarms::Kind::OverVoltage);
  EXPECT_EQ(a.board, 2);
  EXPECT_EQ(a.channel, 7);
  EXPECT_DOUBLE_EQ(a.limit, 4.2);
  EXPECT_NEAR(a.value, 4.2315, 1e-9);
  EXPECT_EQ(a.raisedMicros, 100'000);
  EXPECT_EQ(r.book.activeCount(), 1);

  // Neither a failed PEC nor a self-test pattern is a measurement: the alarm stands.
  r.read(2, cells(3.6), Check::Mismatch);
  r.read(2, cells(1.2705), Check::Match, Origin::SelfTest);
  EXPECT_EQ(r.seen.size(), 1u);

  // Exactly at the limit is not over (the chip compares code > 16 x VOV); one code below VUV is
  // under.
  c[6] = 16 * 0xCF;
  c[0] = 16 * (0x9C + 1) - 1;
  r.read(2, c);
  ASSERT_EQ(r.seen.size(), 3u);
  EXPECT_EQ(r.seen[1].second.text, "Board 3 cell 1 under-voltage: 2.9985 V < VUV 3.0000 V");
  EXPECT_EQ(r.seen[2].first, Event::Cleared);
  EXPECT_EQ(r.seen[2].second.id, a.id);
  EXPECT_EQ(r.seen[2].second.clearedMicros, 500'000);
  EXPECT_EQ(r.book.activeCount(), 1);
  EXPECT_EQ(r.book.all().size(), 2u);
}

TEST(AlarmEngine, LimitsOffMaskedAndUnreadCellsAreNotWatched) {
  Rig r;
  r.write(0, 0, 0);  // both limits off
  r.read(0, cells(5.0));
  EXPECT_TRUE(r.seen.empty());
  // VOV 4.2 V with cells 1 and 5 masked (MCI1 in CFGR2 bit 4, MCI5 in CFGR3 bit 0).
  r.write(0, 0, 0xCF, 0x10, 0x01);
  r.read(0, cells(4.5));
  EXPECT_EQ(r.book.activeCount(), 10);
  // Ten-cell mode: cells 11 and 12 are read no more, so their alarms end.
  r.read(0, std::vector<int>(10, code(4.5)));
  EXPECT_EQ(r.book.activeCount(), 8);
  // Board 2 never had limits written.
  r.read(1, cells(5.0));
  EXPECT_EQ(r.book.activeCount(), 8);
}

TEST(AlarmEngine, FailedPecsInARowThermalShutdownAndTheController) {
  Rig r;
  for (int i = 0; i < 4; ++i) r.read(1, cells(3.6), Check::Mismatch);
  r.read(1, cells(3.6));  // an intact read starts the count again
  for (int i = 0; i < 4; ++i) r.temps(1, Check::Mismatch, -1);
  EXPECT_TRUE(r.seen.empty());
  r.temps(1, Check::Mismatch, -1);
  r.temps(1, Check::Mismatch, -1);
  ASSERT_EQ(r.seen.size(), 1u);
  EXPECT_EQ(r.seen[0].second.text, "Board 2 not answering: 5 reads failed their PEC in a row");
  EXPECT_EQ(r.seen[0].second.limit, 5);
  r.temps(1, Check::Match, 1);
  r.temps(1, Check::Match, 1);
  r.temps(1, Check::Mismatch, -1);  // no bit from a failed read: the shutdown stands
  ASSERT_EQ(r.seen.size(), 3u);
  EXPECT_EQ(r.seen[1].first, Event::Cleared);
  EXPECT_EQ(r.seen[2].second.text, "Board 2 thermal shutdown");
  r.temps(1, Check::Match, 0);
  EXPECT_EQ(r.seen.back().first, Event::Cleared);
  EXPECT_EQ(r.seen.back().second.kind, alarms::Kind::Thermal);

  r.engine.setControllerAnswering(false, 7);
  r.engine.setControllerAnswering(false, 8);
  EXPECT_EQ(r.book.activeCount(), 1);
  EXPECT_EQ(r.book.all().back().text, "Controller not answering");
  EXPECT_EQ(r.book.all().back().board, -1);
  r.engine.setControllerAnswering(true, 9);
  EXPECT_EQ(r.book.activeCount(), 0);
  EXPECT_EQ(r.book.all().back().clearedMicros, 9);
}

TEST(AlarmEngine, BalancerChipFailingItsCrc) {
  Rig r;
  Reading words;
  words.kind = Kind::BalancerStatus;
  words.words = {{2, "00", "00", "OK"}, {3, "FF", "FF", "ERROR"}};
  for (int i = 0; i < 5; ++i) r.engine.onReading(words);
  ASSERT_EQ(r.seen.size(), 1u);
  EXPECT_EQ(r.seen[0].second.text,
            "Board 2 top balancer (IC #4) not answering: 5 reads failed their CRC in a row");
  words.words[1].result = "OK";
  r.engine.onReading(words);
  EXPECT_EQ(r.book.activeCount(), 0);
}

TEST(AlarmBook, AcknowledgeRecordsPublishesOnce) {
  Rig r;
  r.engine.setControllerAnswering(false, 10);
  const int id = r.book.all().front().id;
  EXPECT_TRUE(r.book.acknowledge(id, 20));
  EXPECT_FALSE(r.book.acknowledge(id, 30));
  EXPECT_FALSE(r.book.acknowledge(id + 1, 30));
  ASSERT_EQ(r.seen.size(), 2u);
  EXPECT_EQ(r.seen[1].first, Event::Acknowledged);
  EXPECT_EQ(r.seen[1].second.acknowledgedMicros, 20);
  EXPECT_TRUE(r.book.find(id)->active());  // seen, but its condition goes on
}

TEST(AlarmWiring, TheLimitsEditorAndAReadRaiseItInTheRunningProgram) {
  test::ScriptProgram p("sim:boards=1,cell=1:7:4.2315,fault=pec:0");
  ASSERT_TRUE(p.loaded);
  const std::string read = "click Command1 2\nwait 0.2\nclick Command1 7\nprint AlarmsActive\n";
  ASSERT_EQ(
      p.script("click Command0 1\nfocus Text2 1\ntype Text2 1 4.2\nclick Command1 5\n" + read), 0);
  EXPECT_EQ(p.out.str(), "AlarmsActive = 1\n");
  const ui::Context& ctx = p.session->window().context();
  ASSERT_EQ(ctx.alarmBook.all().size(), 1u);
  EXPECT_EQ(ctx.alarmBook.all()[0].text, "Board 1 cell 7 over-voltage: 4.2315 V > VOV 4.2000 V");
  ASSERT_EQ(p.script("focus Text2 1\ntype Text2 1 4.3\nclick Command1 5\n" + read), 0);
  EXPECT_EQ(p.out.str(), "AlarmsActive = 0\n");
}

}  // namespace
}  // namespace kb::alarms
