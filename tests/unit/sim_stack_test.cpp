// The simulated stack behind the controller link: opening, identity, time, faults, determinism.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "sim_helpers.h"

namespace kb::sim {
namespace {

using test::measureConfig;
using test::Rig;

TEST(SimStack, OpensOnlyAsThePluggedInController) {
  struct Case {
    const char* description;
    std::uint32_t flags;
    bool unplugged;
    link::FtStatus status;
  };
  const Case cases[] = {
      {"USB SERIAL CONTROLLER", link::kOpenByDescription, false, link::kFtOk},
      {"USB SERIAL CONTROLLER", link::kOpenByDescription, true, link::kFtDeviceNotFound},
      {"USB SERIAL CONVERTER", link::kOpenByDescription, false, link::kFtDeviceNotFound},
      {"USB SERIAL CONTROLLER", 1, false, link::kFtDeviceNotFound},
  };
  for (const Case& c : cases) {
    ManualClock clock;
    SimOptions o;
    o.unplugged = c.unplugged;
    SimStack stack(o, clock);
    link::FtHandle handle = reinterpret_cast<link::FtHandle>(1);
    EXPECT_EQ(stack.FT_OpenEx(c.description, c.flags, &handle), c.status) << c.description;
    EXPECT_EQ(handle == nullptr, c.status != link::kFtOk);
    std::uint32_t written = 99;
    const link::FtStatus w = stack.FT_Write(handle, "IZ", 2, &written);
    EXPECT_EQ(w == link::kFtOk, c.status == link::kFtOk);
    EXPECT_EQ(written, c.status == link::kFtOk ? 2u : 0u);
    EXPECT_EQ(stack.FT_Close(handle) == link::kFtOk, c.status == link::kFtOk);
  }
}

TEST(SimStack, IdentityQueryThroughTheLink) {
  struct Case {
    const char* identity;  // null: unplugged
    const char* kept;
  };
  for (const Case& c : {Case{"QXM7140-2 KB771U", "QXM7140-2"}, Case{"QXB5520-1 kit", "QXB5520-1"},
                        Case{"HELLO", "HELLO    "}, Case{nullptr, "         "}}) {
    SimOptions o;
    o.identity = c.identity != nullptr ? c.identity : "";
    o.unplugged = c.identity == nullptr;
    Rig rig(o);
    EXPECT_EQ(rig.link.QueryControllerId(), c.kept);
  }
  EXPECT_EQ(Rig().link.QueryControllerId(), "QXM7140-2") << "default identity";
}

TEST(SimStack, ReadHandsOutTheOutputInPiecesAndDropsTheRestAtTheNextOpen) {
  ManualClock clock;
  SimStack stack({}, clock);
  link::FtHandle h = nullptr;
  ASSERT_EQ(stack.FT_OpenEx("USB SERIAL CONTROLLER", link::kOpenByDescription, &h), link::kFtOk);
  std::uint32_t n = 0;
  stack.FT_Write(h, "RRR", 3, &n);
  char buf[8] = {};
  stack.FT_Read(h, buf, 4, &n);
  EXPECT_EQ(std::string(buf, n), "FFFF");
  stack.FT_Read(h, buf, 8, &n);
  EXPECT_EQ(std::string(buf, n), "FF");
  stack.FT_Write(h, "T12", 3, &n);
  stack.FT_Close(h);
  ASSERT_EQ(stack.FT_OpenEx("USB SERIAL CONTROLLER", link::kOpenByDescription, &h), link::kFtOk);
  stack.FT_Read(h, buf, 8, &n);
  EXPECT_EQ(n, 0u) << "a write-only transaction's output is not read by the next one";
  stack.FT_Close(h);
}

TEST(SimStack, EachTransactionCostsWhatItsCallsTakeOnTheHardware) {
  // Open 25 ms, write 1 ms, a complete read 16 ms (latency timer), a short read its time-out,
  // close 3 ms.
  struct Case {
    const char* what;
    bool unplugged;
    std::function<void(link::ControllerLink&)> transaction;
    SimMicros cost;
  };
  const Case cases[] = {
      {"write only", false, [](link::ControllerLink& l) { l.SendCommand("MSX"); }, 29'000},
      {"complete read", false, [](link::ControllerLink& l) { l.SendAndReceive("RR", 4); }, 45'000},
      {"short read", false, [](link::ControllerLink& l) { l.SendAndReceive("RR", 6); }, 1'029'000},
      {"read of nothing", false, [](link::ControllerLink& l) { l.SendAndReceive("RR", 0); },
       29'000},
      {"identity, shorter than asked", false,
       [](link::ControllerLink& l) { l.QueryControllerId(); }, 229'000},
      {"no controller", true, [](link::ControllerLink& l) { l.SendAndReceive("RR", 4); }, 25'000},
  };
  for (const Case& c : cases) {
    SimOptions o;
    o.unplugged = c.unplugged;
    Rig rig(o);
    c.transaction(rig.link);
    EXPECT_EQ(rig.stack.now(), c.cost) << c.what;
    c.transaction(rig.link);
    EXPECT_EQ(rig.stack.now(), 2 * c.cost) << c.what << ": the next one starts where it ended";
  }
}

TEST(SimStack, TimeFollowsTheClockButNeverRunsBackwards) {
  Rig rig;
  rig.command("");
  rig.clock.advance(0.01);  // behind the simulated time: nothing moves back
  rig.command("");
  EXPECT_EQ(rig.stack.now(), 58'000);
  rig.clock.advance(1.0);  // ahead: the next transaction starts at the clock
  rig.command("");
  EXPECT_EQ(rig.stack.now(), 1'039'000);
}

// The continuous cycle's order: start cells, one empty transaction, read cells; start
// temperatures, read them; read the flags. Each read sees the conversion just started.
TEST(SimStack, TheCycleAlwaysReadsTheConversionItStarted) {
  for (int cdc = 1; cdc <= 7; ++cdc) {
    Rig rig;
    // VUV 0x9C (3.0 V): a cell under it is flagged by the cell conversion.
    rig.command(test::writeConfig(0, {static_cast<std::uint8_t>(0xE0 | cdc), 0, 0, 0, 0x9C, 0}));
    Battery& bat = rig.stack.battery();
    for (const double volts : {3.3, 2.8, 3.9}) {
      bat.setCellVolts(0, 4, volts, rig.stack.now());
      bat.setSensorVolts(0, 1, volts / 2);
      rig.clock.advance(0.1);
      rig.command(test::startFrame(0, 0x10));
      rig.command("");
      EXPECT_EQ(rig.readCells(0x80)[4], voltsToCode(volts)) << "CDC " << cdc << " at " << volts;
      rig.command(test::startFrame(0, 0x30));
      const test::Reply temps = rig.read(0x80, 0x0E, 5);
      EXPECT_EQ(test::unpackCodes(temps.data, 2)[1], voltsToCode(volts / 2)) << "CDC " << cdc;
      const std::uint8_t flag = rig.read(0x80, 0x0C, 3).data[1] & 0x03;
      EXPECT_EQ(flag, volts < 3.0 ? 0x01 : 0x00) << "CDC " << cdc << " at " << volts;
    }
  }
}

TEST(SimStack, ASessionAtTheLatestClockRunsNormally) {
  Rig rig;
  rig.clock.advanceMicros(ManualClock::kMaxElapsedMicros);
  // CDC 2: the comparator runs every 13 ms on its own; each of its events moves time on.
  rig.command(test::writeConfig(0, measureConfig(0xE2)));
  EXPECT_EQ(rig.read(0x80, 0x02, 6).data, measureConfig(0xE2));
  for (int step = 0; step < 3; ++step) {
    rig.convert(0, 0x10);
    const test::Reply cells = rig.read(0x80, 0x04, 18);
    EXPECT_TRUE(cells.pecMatches());
    const std::vector<int> codes = test::unpackCodes(cells.data, 12);
    for (int c = 0; c < 12; ++c) {
      EXPECT_EQ(codes[static_cast<std::size_t>(c)],
                voltsToCode(rig.stack.battery().cellVolts(0, c, rig.stack.now())));
    }
  }
  EXPECT_GT(rig.stack.now(), ManualClock::kMaxElapsedMicros);
}

TEST(SimStack, DefaultCellsSpreadAroundTheNominalVoltageBySeed) {
  ManualClock clock;
  SimOptions a;
  a.boards = 3;
  SimOptions b = a;
  a.cells.push_back({3, 12, 3.123});
  b.seed = 2;
  SimStack sa(a, clock);
  SimStack sa2(a, clock);
  SimStack sb(b, clock);
  std::set<double> distinct;
  bool seedsDiffer = false;
  EXPECT_EQ(sa.battery().cellVolts(2, 11, 0), 3.123);
  for (int board = 0; board < 3; ++board) {
    for (int c = 0; c < (board == 2 ? 11 : 12); ++c) {
      const double v = sa.battery().cellVolts(board, c, 0);
      EXPECT_GE(v, 3.55);
      EXPECT_LE(v, 3.65);
      EXPECT_EQ(v, sa2.battery().cellVolts(board, c, 0));
      seedsDiffer = seedsDiffer || v != sb.battery().cellVolts(board, c, 0);
      distinct.insert(v);
    }
  }
  EXPECT_GT(distinct.size(), 30u);
  EXPECT_TRUE(seedsDiffer);
}

TEST(SimStack, MissingBoardLeavesItsRepliesAtFF) {
  SimOptions o;
  o.boards = 3;
  o.missingBoards.push_back(2);
  Rig rig(o);
  EXPECT_EQ(rig.stack.monitor(1), nullptr);
  rig.command(test::writeConfig(0, measureConfig()));
  rig.convert(0, 0x10);
  for (const int command : {0x02, 0x04, 0x0C, 0x0E}) {
    const std::string reply = rig.send(test::readFrame(0x81, command, 4), 16);
    EXPECT_EQ(reply, std::string(16, 'F'));
    EXPECT_FALSE(test::parseReply(reply, 3).pecMatches());
  }
  EXPECT_TRUE(rig.read(0x82, 0x04, 18).pecMatches()) << "the board above still answers";
}

TEST(SimStack, PecFaultRateCorruptsThatShareOfReplies) {
  struct Case {
    double rate;
    int minBad;
    int maxBad;
  };
  for (const Case& c : {Case{0.0, 0, 0}, Case{1.0, 200, 200}, Case{0.3, 30, 90}}) {
    SimOptions o;
    o.pecFaultRate = c.rate;
    Rig rig(o);
    rig.command(test::writeConfig(0, measureConfig()));
    int bad = 0;
    const int sizes[] = {6, 18, 3, 5};
    const int commands[] = {0x02, 0x04, 0x0C, 0x0E};
    for (int i = 0; i < 200; ++i) {
      const test::Reply r = rig.read(0x80, commands[i % 4], sizes[i % 4]);
      if (!r.pecMatches()) ++bad;
      // Only the PEC is corrupted: the data stays right.
      if (i % 4 == 0) {
        EXPECT_EQ(r.data, measureConfig());
      }
    }
    EXPECT_GE(bad, c.minBad) << c.rate;
    EXPECT_LE(bad, c.maxBad) << c.rate;
  }
}

// A script of transactions at fixed clock times, with balancing, faults and conversions.
std::string transcript(const SimOptions& o) {
  Rig rig(o);
  std::string out = rig.link.QueryControllerId();
  rig.command(test::writeConfig(0, {0xE3, 0x11, 0x00, 0x00, 0x9C, 0xCF}));
  rig.command(test::writeConfig(0x80, {0xC3, 0x11, 0x00, 0x00, 0x9C, 0xCF}));
  rig.command("xXSA9SAASAASFFSF1xX");
  rig.command("xXSAFxX");
  for (int tick = 0; tick < 40; ++tick) {
    rig.clock.advance(0.1);
    rig.command("MSxS10SB0X");
    rig.command("");
    for (const int a : {0x80, 0x81}) {
      out += rig.send(test::readFrame(a, 0x04, 19), 46);
      out += rig.send(test::readFrame(a, 0x0C, 4), 16);
    }
    if (tick % 2 == 0) out += rig.send("XSAAxxXSACRRRRxX", 8);
  }
  return out;
}

TEST(SimStack, SameOptionsAndTransactionsGiveTheSameAnswers) {
  SimOptions o;
  o.boards = 2;
  o.pecFaultRate = 0.2;
  o.seed = 41;
  const std::string first = transcript(o);
  EXPECT_EQ(first, transcript(o));
  o.seed = 42;
  EXPECT_NE(first, transcript(o));
}

}  // namespace
}  // namespace kb::sim
