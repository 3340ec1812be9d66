// The simulated stack behind the controller link: opening, identity, time, faults, determinism.
#include <gtest/gtest.h>

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

TEST(SimStack, EachTransactionCostsLatencyAndTimeNeverRunsBackwards) {
  Rig rig;
  EXPECT_EQ(rig.stack.now(), 0.0);
  for (int i = 1; i <= 5; ++i) {
    rig.command("");
    EXPECT_NEAR(rig.stack.now(), i * kTransactionSeconds, 1e-12);
  }
  rig.clock.advance(0.03);  // the clock is behind the simulated time: nothing moves back
  rig.command("");
  EXPECT_NEAR(rig.stack.now(), 6 * kTransactionSeconds, 1e-12);
  rig.clock.advance(1.0);  // ahead: simulated time follows the clock
  rig.command("");
  EXPECT_NEAR(rig.stack.now(), 1.03 + kTransactionSeconds, 1e-12);
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
  EXPECT_EQ(sa.battery().cellVolts(2, 11, 0.0), 3.123);
  for (int board = 0; board < 3; ++board) {
    for (int c = 0; c < (board == 2 ? 11 : 12); ++c) {
      const double v = sa.battery().cellVolts(board, c, 0.0);
      EXPECT_GE(v, 3.55);
      EXPECT_LE(v, 3.65);
      EXPECT_EQ(v, sa2.battery().cellVolts(board, c, 0.0));
      seedsDiffer = seedsDiffer || v != sb.battery().cellVolts(board, c, 0.0);
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
