// Speed at the bench: the simulator's real-time costs, the held link, batches of frames in one
// transaction, and fast scan over the window.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "FakeDriver.h"
#include "MainWindowRig.h"
#include "link/ControllerLink.h"
#include "sim/SimStack.h"

namespace kb {
namespace {

using link::ControllerLink;
using link::LinkMode;

// ---- The simulated stack ----------------------------------------------------------------------

TEST(Speed, RealtimeWaitsEachCostAndTheHeldLinkLeavesOutOpenAndClose) {
  ManualClock clock;
  sim::SimOptions o;
  o.realtime = true;
  sim::SimStack stack(o, clock);
  std::vector<sim::SimMicros> waits;
  stack.setWallWait([&](sim::SimMicros w) { waits.push_back(w); });
  ControllerLink link(stack);
  link.SendAndReceive("RR", 4);
  EXPECT_EQ(waits, (std::vector<sim::SimMicros>{25'000, 1'000, 16'000, 3'000}));

  waits.clear();
  link.setMode(LinkMode::Held);
  link.SendAndReceive("RR", 4);  // open, latency timer 1 ms, purge, write, read
  link.SendAndReceive("RR", 4);  // purge, write, read
  link.SendCommand("MSX");       // write
  EXPECT_EQ(waits, (std::vector<sim::SimMicros>{25'000, 1'000, 1'000, 1'000, 1'000, 1'000, 1'000,
                                                1'000, 1'000}));
  EXPECT_EQ(stack.busyMicros(), 45'000 + 29'000 + 3'000 + 1'000);
}

// ---- The held link ----------------------------------------------------------------------------

struct FailingDriver final : link::FtDriver {
  test::FakeDriver inner;
  int failWrites = 0;
  link::FtStatus FT_OpenEx(const char* d, std::uint32_t f, link::FtHandle* h) override {
    return inner.FT_OpenEx(d, f, h);
  }
  link::FtStatus FT_SetTimeouts(link::FtHandle h, std::uint32_t r, std::uint32_t w) override {
    return inner.FT_SetTimeouts(h, r, w);
  }
  link::FtStatus FT_Write(link::FtHandle h, const void* b, std::uint32_t n,
                          std::uint32_t* written) override {
    inner.FT_Write(h, b, n, written);
    if (failWrites == 0) return link::kFtOk;
    --failWrites;
    return link::kFtIoError;
  }
  link::FtStatus FT_Read(link::FtHandle h, void* b, std::uint32_t n,
                         std::uint32_t* returned) override {
    return inner.FT_Read(h, b, n, returned);
  }
  link::FtStatus FT_Close(link::FtHandle h) override { return inner.FT_Close(h); }
  link::FtStatus FT_SetLatencyTimer(link::FtHandle, std::uint8_t ms) override {
    inner.calls.push_back({"latency", "", ms, 0});
    return link::kFtOk;
  }
  link::FtStatus FT_Purge(link::FtHandle, std::uint32_t mask) override {
    inner.calls.push_back({"purge", "", mask, 0});
    return link::kFtOk;
  }
  std::string callNames() const {
    std::string s;
    for (const auto& c : inner.calls) s += c.what + " ";
    return s;
  }
};

TEST(Speed, HeldLinkOpensOnceKeepsTheStringsAndReopensAfterAFailure) {
  FailingDriver d;
  d.inner.answers = {"0011", "2233", "4455"};
  std::ostringstream trace;
  ControllerLink link(d);
  link.setTrace(&trace);
  link.setMode(LinkMode::Held);
  EXPECT_EQ(link.SendAndReceive("RR", 4).substr(0, 4), "0011");
  link.SendCommand("MSX");
  d.failWrites = 1;
  link.SendAndReceive("RR", 4);  // the write fails: closed after this transaction
  EXPECT_EQ(link.SendAndReceive("RR", 4).substr(0, 4), "4455");
  EXPECT_EQ(d.callNames(),
            "open latency purge timeouts write read "
            "timeouts write "
            "purge timeouts write read close "
            "open latency purge timeouts write read ");
  EXPECT_EQ(d.inner.calls[1].a, 1u);  // the latency timer, ms
  EXPECT_EQ(trace.str(),
            "> RR\n< 0011\n> MSX\n> RR\n! write failed: status 4\n< 2233\n"
            "! link closed after the failure\n> RR\n< 4455\n");
  link.setMode(LinkMode::Transaction);
  EXPECT_EQ(d.inner.calls.back().what, "close");
}

TEST(Speed, HeldLinkOnTheSimulatorLosesThePulledOutControllerAndOpensItAgain) {
  ManualClock clock;
  sim::SimStack stack(test::simOptions("fault=unplug:0.5:1"), clock);
  ControllerLink link(stack);
  link.setMode(LinkMode::Held);
  std::vector<link::Outcome> outcomes;
  link.addWatcher([&](const link::LinkEvent& e) { outcomes.push_back(e.outcome); });
  for (const double at : {0.0, 0.6, 0.7, 1.1}) {
    clock.advance(at - clock.elapsedSeconds());
    link.SendAndReceive("IZ", 2);
  }
  EXPECT_EQ(outcomes, (std::vector<link::Outcome>{link::Outcome::Ok, link::Outcome::WriteFailed,
                                                  link::Outcome::OpenFailed, link::Outcome::Ok}));
}

// A conversion started over the held link has its time before the next read: the seed cycle over
// it reads what it started, with the strings it sends over the default link.
TEST(Speed, TheCycleOverTheHeldLinkReadsWhatItStartedWithTheSameStrings) {
  std::map<LinkMode, std::vector<std::string>> sent;
  for (const LinkMode mode : {LinkMode::Transaction, LinkMode::Held}) {
    test::MainWindowRig r;
    r.link.setMode(mode);
    for (int k = 0; k < 7; ++k) r.click(r.c().Command0[1]);  // CDC 7: 21 ms conversions
    r.click(r.c().Command1[5]);
    std::vector<readings::Reading> read;
    r.ctx().readings.subscribe([&](const readings::Reading& x) { read.push_back(x); });
    r.click(r.c().Command1[10]);
    const sim::MonitorChip* chip = r.stack.monitor(0);
    for (int t = 0; t < 6; ++t) {
      r.clock.advance(0.1);
      r.window->tick();
      const readings::Reading& last = read.back();
      EXPECT_EQ(last.check, readings::Check::Match) << t;
      // A read before the conversion ended would show the results it replaced.
      if (last.kind == readings::Kind::Cells) {
        for (int c = 0; c < 12; ++c) EXPECT_EQ(last.codes[c], chip->cellResult(c)) << t;
      } else if (last.kind == readings::Kind::Temperatures) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(last.codes[k], chip->temperatureResult(k)) << t;
      }
    }
    sent[mode] = r.sent();
  }
  EXPECT_EQ(sent[LinkMode::Held], sent[LinkMode::Transaction]);
  EXPECT_GT(sent[LinkMode::Held].size(), 10u);
}

// ---- Batches ----------------------------------------------------------------------------------

TEST(Speed, ABatchGoesOutJoinedAndEachCallTakesItsShare) {
  test::FakeDriver d;
  d.answers = {"AABBBB", std::string(510, 'C')};
  ControllerLink link(d);
  // 2 + 4 characters in the first transaction; 510 more would pass 512: a second one.
  link.sendBatch({{"T1", 2}, {"S0", 0}, {"T2T3", 4}, {"R510", 510}});
  EXPECT_EQ(d.writes, (std::vector<std::string>{"T1S0T2T3", "R510"}));
  EXPECT_EQ(link.transactionCount(), 2u);
  EXPECT_EQ(link.SendAndReceive("T1", 2).substr(0, 3), "AA ");
  EXPECT_EQ(link.SendCommand("S0"), link::kFtOk);
  EXPECT_EQ(link.SendAndReceive("T2T3", 4).substr(0, 4), "BBBB");
  EXPECT_EQ(link.transactionCount(), 2u);
  // Another string than the next of the batch: the rest is dropped, the call goes out alone.
  link.SendAndReceive("X", 2);
  EXPECT_EQ(link.batchPending(), 0u);
  EXPECT_EQ(d.writes.back(), "X");
  EXPECT_EQ(link.transactionCount(), 3u);
}

// ---- Fast scan --------------------------------------------------------------------------------

struct FastScanRig : test::MainWindowRig {
  explicit FastScanRig(const std::string& options) : MainWindowRig(options) {
    select(*c().Combo1, stack.boardCount() - 1);
    click(c().Command0[1]);
    click(c().Command1[5]);
    ctx().readings.subscribe([this](const readings::Reading& r) { read.push_back(r); });
  }
  void tick() {
    clock.advance(0.1);
    window->tick();
  }
  std::vector<readings::Reading> read;
};

TEST(Speed, FastScanReadsEveryBoardInEveryTickInThreeTransactions) {
  FastScanRig r("boards=10,fault=missing:4");
  r.link.setMode(LinkMode::Held);
  ASSERT_TRUE(r.form().runMenu("Fast scan"));
  r.click(r.c().Command1[10]);
  r.sent();
  r.read.clear();
  r.tick();
  const std::vector<std::string> sent = r.sent();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0], "MSxS10SB0X");
  EXPECT_EQ(sent[1].substr(0, 35), "MSxT80T49T04TDCRRRRRRRRRRRRRRRRRRRX");
  EXPECT_EQ(sent[1].substr(sent[1].size() - 10), "MSxS30S50X");
  EXPECT_EQ(sent[2].substr(0, 42), "MSxT80T49T0ETEARRRRRRXMSxT80T49T0CTE4RRRRX");

  // Each board once per kind, in board order; the missing board fails its PECs, the rest match
  // and read what the chips converted.
  ASSERT_EQ(r.read.size(), 30u);
  for (int b = 0; b < 10; ++b) {
    const readings::Reading& cells = r.read[static_cast<std::size_t>(b)];
    const readings::Reading& temps = r.read[static_cast<std::size_t>(10 + 2 * b)];
    const readings::Reading& flags = r.read[static_cast<std::size_t>(11 + 2 * b)];
    EXPECT_EQ(cells.kind, readings::Kind::Cells);
    EXPECT_EQ(temps.kind, readings::Kind::Temperatures);
    EXPECT_EQ(flags.kind, readings::Kind::Flags);
    for (const readings::Reading* x : {&cells, &temps, &flags}) {
      EXPECT_EQ(x->board, b);
      EXPECT_EQ(x->origin, readings::Origin::Cycle);
      EXPECT_EQ(x->check, b == 3 ? readings::Check::Mismatch : readings::Check::Match) << b;
    }
    if (b == 3) continue;
    const sim::MonitorChip* chip = r.stack.monitor(b);
    for (int c = 0; c < 12; ++c) EXPECT_EQ(cells.codes[c], chip->cellResult(c)) << b;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(temps.codes[k], chip->temperatureResult(k)) << b;
    const auto bytes = chip->flagBytes();
    EXPECT_EQ(flags.bytes, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }
  // Every board's summary row shows its reading; the PEC marks tell the missing board.
  EXPECT_EQ(r.ctx().reads.pecState[3], monitor::kPecMismatch);
  EXPECT_NE(r.ctx().reads.pecState[9], monitor::kPecMismatch);
  EXPECT_EQ(r.c().Shape1[9 * 12 + 5].fillColor, kGreen);
}

TEST(Speed, FastScanTakesEffectAtTheNextStart) {
  FastScanRig r("boards=2");
  r.click(r.c().Command1[10]);
  r.form().runMenu("Fast scan");
  r.sent();
  r.tick();
  EXPECT_EQ(r.sent().size(), 3u) << "the cycle's step 0 still";
  EXPECT_EQ(r.ctx().variables.get("FastScan", -1), std::optional<std::string>("True"));
  r.click(r.c().Command1[10]);
  r.click(r.c().Command1[10]);
  r.sent();
  r.read.clear();
  r.tick();
  EXPECT_EQ(r.read.size(), 6u) << "both boards, three kinds";
  r.form().runMenu("Fast scan");
  r.click(r.c().Command1[10]);
  r.click(r.c().Command1[10]);
  r.read.clear();
  r.tick();
  EXPECT_EQ(r.read.size(), 1u) << "the cycle again";
}

}  // namespace
}  // namespace kb
