// The balancer tab against the simulated stack's balancer chips.
#include <gtest/gtest.h>

#include <string>

#include "MainWindowRig.h"
#include "balancer/Balancer.h"
#include "balancer/CommandWord.h"
#include "sim_helpers.h"
#include "ui/main/MainWindow.h"

namespace kb::balancer {
namespace {

struct SimPanel : test::MainWindowRig {
  explicit SimPanel(sim::SimOptions options = {}) : MainWindowRig(std::move(options)) {
    // GPIO1 of board 1 low: its balancer chips hear the bus.
    link.SendCommand(sim::test::writeConfig(0x80, {0xC0, 0, 0, 0, 0, 0}));
  }
  BalancerState& b() { return ctx().balancer; }
  void send(Mode mode) {
    click(c().Option_1[static_cast<int>(mode)]);
    click(*c().Command_1);
  }
};

TEST(BalancerOnSim, WrittenWordsComeBackChecked) {
  SimPanel p;
  ASSERT_TRUE(p.loaded);
  p.click(p.c().Option_2[3]);         // bottom: cell 1 charge
  p.click(p.c().Option4[4 * 5 + 2]);  // top: cell 6 discharge
  p.send(Mode::kWrite);
  p.send(Mode::kReadCommand);
  EXPECT_EQ(p.b().ReadbackDataHi[0] + p.b().ReadbackDataLo[0], "C007");
  EXPECT_EQ(p.b().ReadbackDataHi[1] + p.b().ReadbackDataLo[1], "0029");
  EXPECT_EQ(p.c().Label1[5].caption(), "OK");
  EXPECT_EQ(p.c().Label1[3].caption(), "OK");
  p.send(Mode::kReadStatus);
  EXPECT_EQ(p.b().StatusCheck[0], "OK");
  EXPECT_EQ(p.b().StatusCheck[1], "OK");
  EXPECT_EQ(p.c().Text_4[15].text(), "1") << "gate of cell 1 OK";
}

TEST(BalancerOnSim, AWordWithAHandEditedCrcIsRefused) {
  SimPanel p;
  p.click(p.c().Option4[3]);
  p.send(Mode::kWrite);
  p.click(p.c().Option4[2]);  // cell 1 discharge: "80" "0E"
  p.window->form().operatorType(p.c().Text_5[0], "1");
  EXPECT_EQ(p.b().CommandDataLo[1], "0F");
  p.send(Mode::kWrite);
  p.send(Mode::kReadCommand);
  EXPECT_EQ(p.b().ReadbackDataHi[1] + p.b().ReadbackDataLo[1], "C007") << "the previous word";
  EXPECT_EQ(p.b().ReadbackCheck[1], "OK");
  EXPECT_EQ(p.c().Label1[3].caption(), "OK");
}

TEST(BalancerOnSim, CorruptedRepliesAreErrors) {
  sim::SimOptions o;
  o.balancerCrcFaults.push_back(1);
  SimPanel p(o);
  p.send(Mode::kWrite);
  p.send(Mode::kReadCommand);
  EXPECT_EQ(p.b().ReadbackCheck[0], "ERROR");
  EXPECT_EQ(p.b().ReadbackCheck[1], "ERROR");
  EXPECT_EQ(p.c().Label1[5].caption(), "ERROR");
  p.send(Mode::kReadStatus);
  EXPECT_EQ(p.c().Label1[6].caption(), "ERROR");
}

TEST(BalancerOnSim, AReplyCutShortIsAnError) {
  SimPanel p(test::simOptions("fault=balshort:1"));
  p.b().ReadbackDataLo[0] = "0F";  // as after a good read of the all-none word
  p.send(Mode::kReadCommand);
  EXPECT_EQ(p.b().ReadbackDataHi[0], "00");
  EXPECT_EQ(p.c().Label1[5].caption(), "ERROR");
}

TEST(BalancerOnSim, NoTopChipReadsOneWord) {
  sim::SimOptions o;
  o.withoutTopChip.push_back(1);
  SimPanel p(o);
  p.click(p.c().Check_1[3]);
  p.click(p.c().Option_2[3]);
  p.send(Mode::kWrite);
  p.send(Mode::kReadCommand);
  EXPECT_EQ(p.b().ReadbackDataHi[0] + p.b().ReadbackDataLo[0], "C007");
  EXPECT_EQ(p.b().ReadbackCheck[0], "OK");
}

TEST(BalancerOnSim, ExecuteMovesTheChosenCellsAndSuspendStopsThem) {
  SimPanel p;
  p.click(p.c().Option_2[3]);          // cell 1 charges
  p.click(p.c().Option_2[4 * 2 + 2]);  // cell 3 discharges
  p.click(p.c().Option4[4 * 5 + 3]);   // cell 12 charges
  p.send(Mode::kWrite);
  sim::Battery& battery = p.stack.battery();
  const double t0 = p.stack.now();
  const double cell1 = battery.cellVolts(0, 0, t0);
  const double cell2 = battery.cellVolts(0, 1, t0);
  const double cell3 = battery.cellVolts(0, 2, t0);
  const double cell12 = battery.cellVolts(0, 11, t0);
  p.send(Mode::kExecute);
  EXPECT_TRUE(p.b().ExecutingBoard1);
  // A second of balancing in simulated time (the transfers themselves take time too).
  p.clock.advanceMicros(p.stack.now() + 1'000'000 - p.clock.elapsedMicros());
  p.send(Mode::kSuspend);
  const double t1 = p.stack.now();
  EXPECT_GT(battery.cellVolts(0, 0, t1), cell1 + 0.005);
  EXPECT_DOUBLE_EQ(battery.cellVolts(0, 1, t1), cell2);
  EXPECT_LT(battery.cellVolts(0, 2, t1), cell3 - 0.005);
  EXPECT_GT(battery.cellVolts(0, 11, t1), cell12 + 0.005);
  EXPECT_FALSE(p.stack.balancers(0)->bottom().executing());
  EXPECT_FALSE(p.b().ExecutingBoard1);
}

}  // namespace
}  // namespace kb::balancer
