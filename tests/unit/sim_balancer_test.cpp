// The simulated balancer chips: path, command byte, words and their CRC, execution, keep-alive.
#include <gtest/gtest.h>

#include "sim/BalancerChip.h"
#include "sim/SimCrc.h"
#include "sim_helpers.h"

namespace kb::sim {
namespace {

using test::Rig;

// GPIO1 low opens the balancer path of the boards written; GPIO1 high closes it.
const std::vector<std::uint8_t> kOpen = {0xC0, 0, 0, 0, 0, 0};
const std::vector<std::uint8_t> kClosed = {0xE0, 0, 0, 0, 0, 0};

// "xXS" + command byte + words (top chip first) + "xX".
std::string balancerString(int command, const std::vector<std::uint16_t>& words = {}) {
  std::string s = "xXS" + test::h(command);
  for (const std::uint16_t w : words) s += "S" + test::h(w >> 8) + "S" + test::h(w & 0xFF);
  return s + "xX";
}

std::string readCommand(int chips) {
  return "xXSAA" + std::string(2 * static_cast<std::size_t>(chips), 'R') + "xX";
}
std::string readStatus(int chips) {
  return "xXSAC" + std::string(2 * static_cast<std::size_t>(chips), 'R') + "xX";
}

std::uint16_t wordAt(const std::string& reply, std::size_t chip) {
  return static_cast<std::uint16_t>(hexValue(reply.substr(4 * chip, 4)));
}

TEST(SimBalancer, WriteAndReadBackTheCommandWords) {
  Rig rig;
  rig.command(test::writeConfig(0x80, kOpen));
  EXPECT_EQ(balancerString(0xA9, {0x000F, 0xC007}), "xXSA9S00S0FSC0S07xX");
  rig.command("xXSA9S00S0FSC0S07xX");
  const std::string reply = rig.send(readCommand(2), 8);
  EXPECT_EQ(reply, "C007000F") << "bottom chip first";
  EXPECT_EQ(rig.stack.balancers(0)->bottom().word(), 0xC007);
  EXPECT_EQ(rig.stack.balancers(0)->top()->word(), 0x000F);
}

TEST(SimBalancer, WordsWithAWrongCrcAreRefused) {
  Rig rig;
  rig.command(test::writeConfig(0x80, kOpen));
  rig.command(balancerString(0xA9, {0xAAAA, 0x800E}));
  rig.command(balancerString(0xA9, {0xFFF0, 0xC006}));  // both checks off by one bit
  EXPECT_EQ(rig.send(readCommand(2), 8), "800EAAAA");
  rig.command(balancerString(0xA9, {0xFFF1, 0xC006}));  // only the bottom one wrong
  EXPECT_EQ(rig.send(readCommand(2), 8), "800EFFF1");
}

TEST(SimBalancer, ChainShiftsWordsAndVoidsOddWrites) {
  SimOptions o;
  o.withoutTopChip.push_back(1);
  Rig rig(o);
  rig.command(test::writeConfig(0x80, kOpen));
  ASSERT_EQ(rig.stack.balancers(0)->top(), nullptr);
  rig.command(balancerString(0xA9, {0xC007}));
  EXPECT_EQ(rig.send(readCommand(2), 8), "C007FFFF")
      << "no top chip: nothing after the bottom word";
  rig.command(balancerString(0xA9, {0xAAAA, 0x0029}));  // the last word reaches the bottom chip
  EXPECT_EQ(rig.send(readCommand(1), 4), "0029");
  rig.command("xXSA9S80S0ESC0xX");  // three data bytes
  EXPECT_EQ(rig.send(readCommand(1), 4), "0029");
}

TEST(SimBalancer, ChipsHearOnlyThroughAnOpenPathAndWithTheirAddress) {
  Rig rig;
  rig.command(balancerString(0xA9, {0xC007, 0xC007}));
  EXPECT_EQ(rig.send(readCommand(2), 8), "FFFFFFFF") << "path closed at power-up";
  rig.command(test::writeConfig(0x80, kOpen));
  EXPECT_EQ(rig.send(readCommand(2), 8), "000F000F") << "the write above was not heard";
  rig.command(balancerString(0xB1, {0xC007, 0xC007}));  // address 10110
  EXPECT_EQ(rig.send(readCommand(2), 8), "000F000F");
  rig.command("MSxSA9SC0S07SC0S07X");  // clocked with chip select low: a monitor frame
  EXPECT_EQ(rig.send(readCommand(2), 8), "000F000F");
  rig.command(test::writeConfig(0x80, kClosed));
  EXPECT_EQ(rig.send(readCommand(2), 8), "FFFFFFFF");
}

TEST(SimBalancer, ActionsMoveTheirCells) {
  struct Case {
    std::uint16_t word;
    std::array<int, 6> direction;  // -1 falls, 0 stays, +1 rises
  };
  const Case cases[] = {
      {0xC007, {+1, 0, 0, 0, 0, 0}},      {0x800E, {-1, 0, 0, 0, 0, 0}},
      {0x0029, {0, 0, 0, 0, 0, -1}},      {0xAAAA, {-1, -1, -1, -1, -1, -1}},
      {0xFFF1, {+1, +1, +1, +1, +1, +1}}, {0x5554, {0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.command(test::writeConfig(0x80, kOpen));
    rig.command(balancerString(0xA9, {c.word, c.word}));
    rig.command("xXSAFxX");
    Battery& bat = rig.stack.battery();
    const SimMicros t0 = rig.stack.now();
    std::array<double, 12> before{};
    for (int k = 0; k < 12; ++k) before[static_cast<std::size_t>(k)] = bat.cellVolts(0, k, t0);
    rig.clock.advance(1.0);
    rig.command("XSAAx");
    const double dt = secondsOf(rig.stack.now() - t0);
    for (int k = 0; k < 12; ++k) {
      const double expected = before[static_cast<std::size_t>(k)] +
                              c.direction[static_cast<std::size_t>(k % 6)] * kBalanceRate * dt;
      EXPECT_NEAR(bat.cellVolts(0, k, rig.stack.now()), expected, 1e-9)
          << std::hex << c.word << std::dec << " cell " << k + 1;
    }
  }
}

TEST(SimBalancer, ExecuteUsesTheWordHeldAtThatMoment) {
  Rig rig;
  rig.command(test::writeConfig(0x80, kOpen));
  rig.command(balancerString(0xA9, {0x000F, 0xC007}));
  rig.command("xXSAFxX");
  rig.command(balancerString(0xA9, {0x000F, 0x800E}));
  EXPECT_EQ(rig.stack.battery().balance(0, 0), BalanceAction::Charge);
  rig.command("xXSAFxX");
  EXPECT_EQ(rig.stack.battery().balance(0, 0), BalanceAction::Discharge);
}

TEST(SimBalancer, SuspendAndKeepAliveTimeoutStopBalancing) {
  enum class Stop { kSuspend, kTimeout, kServed };
  for (const Stop stop : {Stop::kSuspend, Stop::kTimeout, Stop::kServed}) {
    Rig rig;
    rig.command(test::writeConfig(0x80, kOpen));
    rig.command("xXSA9S00S0FSC0S07xX");
    // The clock stands still, so the next transaction starts at now(); its string runs once the
    // controller is open and the string written.
    const SimMicros ready = kOpenMicros + kWriteMicros;
    const SimMicros started = rig.stack.now() + ready;
    Battery& bat = rig.stack.battery();
    const double v0 = bat.cellVolts(0, 0, rig.stack.now());
    rig.command("xXSAFxX");
    const SimMicros suspended = rig.stack.now() + ready;
    if (stop == Stop::kSuspend) rig.command("xXSAExX");
    // Keep the monitor's watchdog served (so the path stays open) for 3 s; only in the served case
    // does the balancer hear its keep-alive.
    for (int i = 0; i < 6; ++i) {
      rig.clock.advance(0.5);
      rig.command(stop == Stop::kServed ? "MSxS40S07XSAAx" : "MSxS40S07X");
    }
    const SimMicros now = rig.stack.now();
    const double v = bat.cellVolts(0, 0, now);
    switch (stop) {
      case Stop::kSuspend:
        EXPECT_NEAR(v, v0 + kBalanceRate * secondsOf(suspended - started), 1e-9);
        EXPECT_FALSE(rig.stack.balancers(0)->bottom().executing());
        break;
      case Stop::kTimeout:
        EXPECT_NEAR(v, v0 + kBalanceRate * secondsOf(kKeepAliveMicros), 1e-9);
        EXPECT_FALSE(rig.stack.balancers(0)->bottom().executing());
        break;
      case Stop::kServed:
        EXPECT_NEAR(v, v0 + kBalanceRate * secondsOf(now - started), 1e-9);
        EXPECT_TRUE(rig.stack.balancers(0)->bottom().executing());
        break;
    }
  }
}

TEST(SimBalancer, StatusWordReportsGatesLimitsAndTemperature) {
  SimOptions o;
  o.openWires.push_back({1, 8});  // top chip, its cell 2
  Rig rig(o);
  rig.command(test::writeConfig(0x80, kOpen));
  std::string reply = rig.send(readStatus(2), 8);
  EXPECT_EQ(wordAt(reply, 0), 0xFC87) << reply;
  EXPECT_EQ(wordAt(reply, 1), 0xBC8E) << reply;
  Battery& bat = rig.stack.battery();
  bat.setCellVolts(0, 3, 4.6, rig.stack.now());
  bat.setDieCelsius(0, 120.0);
  reply = rig.send(readStatus(2), 8);
  EXPECT_EQ(wordAt(reply, 0), 0xFE06) << "cell OV, temperature not OK";
  for (int k = 6; k < 12; ++k) bat.setCellVolts(0, k, 4.6, rig.stack.now());
  reply = rig.send(readStatus(2), 8);
  EXPECT_EQ(wordAt(reply, 1), 0xBF0A) << "cell OV and stack OV";
}

TEST(SimBalancer, SeveralOpenPathsAnswerTogether) {
  SimOptions o;
  o.boards = 2;
  Rig rig(o);
  rig.command(test::writeConfig(0x80, kOpen));
  rig.command(balancerString(0xA9, {0xFFF1, 0xC007}));
  rig.command(test::writeConfig(0x80, kClosed));
  rig.command(test::writeConfig(0x81, kOpen));
  rig.command(balancerString(0xA9, {0x0029, 0x800E}));
  rig.command(test::writeConfig(0, kOpen));  // both paths open: the line is the AND of both chains
  EXPECT_EQ(rig.send(readCommand(2), 8),
            test::h((0xC007 & 0x800E) >> 8) + test::h(0xC007 & 0x800E & 0xFF) +
                test::h((0xFFF1 & 0x0029) >> 8) + test::h(0xFFF1 & 0x0029 & 0xFF));
  rig.command("xXSAFxX");  // a broadcast execute reaches both boards
  EXPECT_EQ(rig.stack.battery().balance(0, 0), BalanceAction::Charge);
  EXPECT_EQ(rig.stack.battery().balance(1, 0), BalanceAction::Discharge);
}

TEST(SimBalancer, CorruptedRepliesFailTheirCheckButLeaveTheChipsAlone) {
  SimOptions o;
  o.balancerCrcFaults.push_back(1);
  Rig rig(o);
  rig.command(test::writeConfig(0x80, kOpen));
  rig.command(balancerString(0xA9, {0x000F, 0xC007}));
  const std::string reply = rig.send(readCommand(2), 8);
  EXPECT_EQ(reply, "C006000E");
  EXPECT_FALSE(crc4Valid(wordAt(reply, 0)));
  EXPECT_EQ(rig.stack.balancers(0)->bottom().word(), 0xC007);
  EXPECT_FALSE(crc4Valid(wordAt(rig.send(readStatus(2), 8), 1)));
}

}  // namespace
}  // namespace kb::sim
