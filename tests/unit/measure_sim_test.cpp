// Measurements end to end: the monitor buttons over the simulated stack.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

#include "common/Clock.h"
#include "sim/SimStack.h"
#include "sim_helpers.h"
#include "startup/MeasureButtons.h"
#include "ui/main/MainWindow.h"

namespace kb::monitor {
namespace {

using sim::test::measureConfig;
using sim::test::writeConfig;

struct SilentDialogs final : form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

struct SimHarness {
  explicit SimHarness(sim::SimOptions options = {}) : stack(std::move(options), clock) {
    EXPECT_TRUE(window.load());
  }
  ui::Context& ctx() { return window.context(); }
  // The operator takes a moment between clicks; the conversions finish meanwhile.
  void click(form::Control& c) {
    clock.advance(0.2);
    window.form().operatorClick(c);
  }
  // Takes the chips out of standby, as WRITE CONFIG with a CDC above 0 does.
  void writeConfiguration(std::uint8_t cfgr0, std::uint8_t vov = 0) {
    std::vector<std::uint8_t> config = measureConfig(cfgr0);
    config[5] = vov;
    link.SendCommand(writeConfig(0, config));
    ctx().config.tenCellFlag = (cfgr0 & 0x08) != 0 ? 1 : 0;
  }
  // Value shown in a box: a number with exactly four decimals, then "V".
  static double shownVolts(const form::Control& box) {
    static const std::regex kFormat(R"( ?-?\d\.\d{4}V {1,2})");
    EXPECT_TRUE(std::regex_match(box.text(), kFormat)) << "[" << box.text() << "]";
    return std::stod(box.text());
  }

  ManualClock clock;
  sim::SimStack stack;
  link::ControllerLink link{stack};
  SilentDialogs dialogs;
  ui::MainWindow window{ui::Services{link, clock, dialogs, nullptr}};
};

sim::SimOptions withCells() {
  sim::SimOptions o;
  o.cells = {{1, 1, 3.3}, {1, 7, 2.05}, {1, 12, 4.1}};
  return o;
}

TEST(MeasureOnSim, CellVoltagesAreShownWithinOneCode) {
  SimHarness h(withCells());
  auto& c = h.ctx().c;
  h.writeConfiguration(0xE1);
  h.click(c.Command1[6]);  // the read-back sees CDC 1: measure mode
  h.click(c.Command1[2]);
  h.click(c.Command1[7]);
  EXPECT_EQ(h.ctx().reads.pecState[0], kPecMatch);
  for (int cell = 0; cell < 12; ++cell) {
    const double expected = h.stack.battery().cellVolts(0, cell, h.stack.now());
    EXPECT_NEAR(SimHarness::shownVolts(c.Text1[cell]), expected, 0.0015) << "cell " << cell + 1;
  }
  EXPECT_EQ(c.Text1[0].text(), " 3.3000V  ");

  // Ten-cell mode: cells 11 and 12 keep what the last twelve-cell read gave.
  const std::string cell11 = c.Text1[10].text();
  const std::string cell12 = c.Text1[11].text();
  h.writeConfiguration(0xE9);
  h.stack.battery().setCellVolts(0, 0, 3.0, h.stack.now());
  h.stack.battery().setCellVolts(0, 10, 3.0, h.stack.now());
  h.click(c.Command1[2]);
  h.click(c.Command1[7]);
  EXPECT_EQ(c.Text1[0].text(), " 3.0000V  ");
  EXPECT_EQ(c.Text1[10].text(), cell11);
  EXPECT_EQ(c.Text1[11].text(), cell12);
  EXPECT_EQ(h.ctx().reads.pecState[0], kPecMatch);
}

TEST(MeasureOnSim, FlagsAndTemperatures) {
  SimHarness h(withCells());
  auto& c = h.ctx().c;
  // VOV 0xC0 (3.84 V): cell 12 at 4.1 V is over-voltage; nothing is under.
  h.writeConfiguration(0xE1, 0xC0);
  h.click(c.Command1[2]);
  h.click(c.Command1[8]);
  EXPECT_EQ(c.Text_FLG[0].text(), "  00   ");
  EXPECT_EQ(c.Text_FLG[2].text(), "  80   ");
  EXPECT_EQ(h.ctx().views.FlagDataValid[0], 1);

  h.stack.battery().setSensorVolts(0, 0, 1.25);
  h.stack.battery().setSensorVolts(0, 1, 2.5);
  h.click(c.Command1[4]);
  h.click(c.Command1[9]);
  const double itmp = (h.stack.battery().dieCelsius(0) + 273.15) * 0.008;
  EXPECT_NEAR(SimHarness::shownVolts(c.Text6[0]), itmp, 0.0015);
  EXPECT_NEAR(SimHarness::shownVolts(c.Text6[1]), h.stack.battery().sensorVolts(0, 0), 0.0015);
  EXPECT_NEAR(SimHarness::shownVolts(c.Text6[2]), h.stack.battery().sensorVolts(0, 1), 0.0015);
  EXPECT_EQ(h.ctx().reads.thermalShutdown[0], 0);
}

TEST(MeasureOnSim, ThermalShutdownIsShownUntilTheBoardRecovers) {
  sim::SimOptions o;
  o.boards = 2;
  o.thermal = {{2, 5.0}};
  SimHarness h(o);
  ui::Context& ctx = h.ctx();
  ctx.boards.LastBoardIndex = 1;
  ctx.boards.CurrentBoard = 1;
  h.click(ctx.c.Command1[9]);
  EXPECT_EQ(ctx.reads.thermalShutdown[1], 1);
  EXPECT_EQ(ctx.views.CellStatus[12], 7);
  EXPECT_EQ(ctx.views.CellStatus[11], 0);  // board 1 is fine
  EXPECT_EQ(ctx.c.Shape12[1].fillColor, kOrange);

  h.clock.advance(6.0);
  h.click(ctx.c.Command1[9]);
  EXPECT_EQ(ctx.reads.thermalShutdown[1], 0);
  EXPECT_EQ(ctx.views.CellStatus[12], 0);
  EXPECT_TRUE(ctx.reads.thermalRecoveryPending);
  startup::thermalRecoveryAfterWrite(ctx);
  EXPECT_FALSE(ctx.reads.thermalRecoveryPending);
  EXPECT_EQ(ctx.reads.thermalState[1], 0);
  EXPECT_EQ(ctx.reads.pecState[1], kPecMatch);  // the configuration read back intact
}

}  // namespace
}  // namespace kb::monitor
