// The cell status grid: how each code is drawn, the legend, and the grid driven by the monitor
// buttons on a scripted controller (exact flag bytes) and on two simulated boards.
#include <gtest/gtest.h>

#include "FakeDriver.h"
#include "MainWindowRig.h"
#include "monitor/Measurements.h"
#include "views/CellGrid.h"

namespace kb::test {
namespace {

constexpr std::int32_t kLightBlue = 16744576;
constexpr std::int32_t kMarkGrey = 8421504;

// Twelve cells 0x311 .. 0xECC and their PEC.
const std::string kCellsReply = "FFFFFFFF1123423345645567867789A899ABCABBCDEC4D";

struct Scripted {
  Scripted() {
    driver.answers.push_back("QXM7140-2");
    driver.answers.push_back("FFFFFFFFE00000000000FE");
    EXPECT_TRUE(window.load());
  }
  ui::Context& ctx() { return window.context(); }
  void click(form::Control& c) { window.form().operatorClick(c); }
  void readFlags(const std::string& dataAndPec) {
    driver.answers.push_back("FFFFFFFF" + dataAndPec);
    click(ctx().c.Command1[8]);
  }
  std::vector<int> codes() {
    return {ctx().views.CellStatus.begin(), ctx().views.CellStatus.begin() + 12};
  }

  FakeDriver driver;
  link::ControllerLink link{driver};
  ManualClock clock;
  CollectingDialogs dialogs;
  ui::MainWindow window{ui::Services{link, clock, dialogs, nullptr}};
};

TEST(CellGrid, NoReadingUntilTheFlagsAreReadThenDischargeMaskAndFlags) {
  Scripted s;
  auto& c = s.ctx().c;
  s.click(c.Check1[0]);  // DCC of cell 1
  s.click(c.Command1[5]);
  s.click(c.Command1[2]);
  s.driver.answers.push_back(kCellsReply);
  s.click(c.Command1[7]);
  EXPECT_EQ(s.ctx().views.CellDataValid[0], 1);
  EXPECT_EQ(s.codes(), std::vector<int>(12, 0));
  EXPECT_EQ(c.Shape1[0].fillColor, kWhite);

  // The flags judge every plain cell; the next cell read puts the discharge state back.
  s.readFlags("000000ED");
  EXPECT_EQ(s.codes(), std::vector<int>(12, 1));
  s.driver.answers.push_back(kCellsReply);
  s.click(c.Command1[7]);
  EXPECT_EQ(s.codes(), (std::vector<int>{2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(c.Shape1[0].fillColor, kLightBlue);
  EXPECT_EQ(c.Shape1[11].fillColor, kGreen);

  // Mask of cell 1 as well: MD, which hides its under-voltage flag. Cell 3 is flagged both ways.
  s.click(c.Check2[4]);
  s.click(c.Command1[5]);
  s.readFlags("390080BF");
  const std::vector<int> flagged{6, 4, 4, 1, 1, 1, 1, 1, 1, 1, 1, 4};
  EXPECT_EQ(s.codes(), flagged);
  EXPECT_EQ(c.Shape2[0].fillColor, kMarkGrey);
  EXPECT_EQ(c.Shape2[1].fillColor, kRed);

  // Bytes that fail their PEC are not the board's: the grid keeps what it showed.
  s.readFlags("00000000");
  EXPECT_EQ(s.codes(), flagged);
  s.readFlags("000000ED");
  EXPECT_EQ(s.codes(), (std::vector<int>{6, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(CellStatusDraw, EachCodeInTheSummaryRowAndThePanel) {
  Scripted s;
  ui::Context& ctx = s.ctx();
  const struct {
    int top, height;
    std::int32_t fill, background;
  } looks[] = {
      {600, 255, 16777215, 16777215}, {600, 255, 65280, 14737632}, {720, 135, 16744576, 14737632},
      {720, 135, 65535, 14737632},    {480, 375, 255, 14737632},   {360, 495, 14737632, 14737632},
      {720, 135, 8421504, 14737632},  {360, 495, 33023, 14737632},
  };
  for (int code = 0; code < 8; ++code) ctx.views.status(0, code) = code;
  ctx.views.status(0, 8) = 4;
  views::drawCellPanels(ctx);
  ctx.views.status(0, 8) = 9;  // outside 0..7: both shapes stay as they were
  views::drawCellStatus(ctx);
  for (int code = 0; code < 8; ++code) {
    EXPECT_EQ(ctx.c.Shape1[code].fillColor, looks[code].fill) << code;
    EXPECT_EQ(ctx.c.Shape2[code].top, looks[code].top) << code;
    EXPECT_EQ(ctx.c.Shape2[code].height, looks[code].height) << code;
    EXPECT_EQ(ctx.c.Shape2[code].fillColor, looks[code].fill) << code;
    EXPECT_EQ(ctx.c.Shape4[code].fillColor, looks[code].background) << code;
  }
  EXPECT_EQ(ctx.c.Shape2[8].fillColor, 255);
  EXPECT_EQ(ctx.c.Shape2[8].top, 480);
  EXPECT_EQ(ctx.c.Shape1[8].fillColor, 16777215);
}

TEST(CellStatusDraw, LegendRowsTopToBottom) {
  Scripted s;
  const ui::MainControls& c = s.ctx().c;
  const struct {
    const char *tag, *description;
    std::int32_t tagColour, sample;
  } rows[] = {
      {" THERMAL SD!", "Thermal Shutdown!", 33023, 33023},
      {" DANGER!", "Flag Over Voltage ", 255, 255},
      {" GOOD", "Voltage In Range", 65280, 65280},
      {" CLEAR", "No Voltage Reading", 16777215, 16777215},
      {" MASKED", "Mask Cell Interrupt", 12632256, 14737632},
      {" MASKDCC", "Mask Cell Int w/ DCC", 12632256, 8421504},
      {" DISCHARGE", "DisCharge Cell", 16744576, 16744576},
      {" CAUTION!", "Flag  Under Voltage ", 65535, 65535},
  };
  EXPECT_EQ(c.Frame8->caption(), "LEGEND");
  for (int r = 0; r < 8; ++r) {
    EXPECT_EQ(c.Label10[r].caption(), rows[r].tag) << r;
    EXPECT_EQ(c.Label10[r].foreColor, rows[r].tagColour) << r;
    EXPECT_EQ(c.Label11[r].caption(), rows[r].description) << r;
    EXPECT_EQ(c.Shape9[r].fillColor, rows[r].sample) << r;
    EXPECT_EQ(c.Shape10[r].fillColor, rows[r].sample) << r;
  }
}

void enterOverVoltageLimit(MainWindowRig& r, const std::string& volts) {
  form::Control& box = r.c().Text2[1];
  r.form().operatorFocus(box);
  r.type(box, volts);
  r.key(box, 13);
}

// Two boards measuring, with cell 5 of board 2 above an over-voltage limit of 4.0 V; the cells
// started by broadcast and read on each board.
struct TwoBoards : MainWindowRig {
  TwoBoards() : MainWindowRig("boards=2,cell=2:5:4.2") {
    auto& k = c();
    select(*k.Combo1, 1);
    click(k.Command0[1]);  // CDC 1
    enterOverVoltageLimit(*this, "4.0");
    click(k.Command1[5]);
    click(k.Check5[2]);
    click(k.Command1[2]);
    for (int board = 0; board < 2; ++board) {
      click(k.Command4[board]);
      click(k.Command1[7]);
      click(k.Command1[8]);
    }
  }
  std::int32_t cell(int board, int c0) { return c().Shape1[12 * board + c0].fillColor; }
};

TEST(CellGrid, AnOverVoltageCellShowsRedInItsRowAndPanel) {
  TwoBoards r;
  auto& c = r.c();
  EXPECT_EQ(r.ctx().config.written[1][5], "C7");
  for (int cell = 0; cell < 12; ++cell) {
    EXPECT_EQ(r.cell(0, cell), kGreen) << cell;
    EXPECT_EQ(r.cell(1, cell), cell == 4 ? kRed : kGreen) << cell;
    EXPECT_EQ(c.Shape2[cell].fillColor, cell == 4 ? kRed : kGreen) << cell;
  }
  EXPECT_EQ(c.Shape2[4].top, 480);
  EXPECT_EQ(c.Shape2[4].height, 375);
}

TEST(CellGrid, AConversionStartBlanksTheBoardsItReached) {
  TwoBoards r;
  auto& c = r.c();
  r.click(c.Check5[2]);  // addressed: board 2 only
  r.click(c.Command1[2]);
  EXPECT_EQ(r.cell(1, 4), kWhite);
  EXPECT_EQ(r.cell(1, 0), kWhite);
  EXPECT_EQ(c.Shape2[4].fillColor, kWhite);
  EXPECT_EQ(r.cell(0, 0), kGreen);
  r.click(c.Check5[2]);  // broadcast: every shown board
  r.click(c.Command1[2]);
  for (int cell = 0; cell < 12; ++cell) EXPECT_EQ(r.cell(0, cell), kWhite) << cell;
}

TEST(CellGrid, ABroadcastWriteRedrawsEveryBoardsDischargeState) {
  TwoBoards r;
  r.click(r.c().Check1[2]);  // DCC of cell 3, copied to both boards
  r.click(r.c().Command1[5]);
  EXPECT_EQ(r.cell(0, 2), kLightBlue);
  EXPECT_EQ(r.cell(1, 2), kLightBlue);
  EXPECT_EQ(r.cell(0, 3), kGreen);
}

TEST(CellGrid, DuringContinuousReadTheFlagsFollowTheCycleBoard) {
  TwoBoards r;
  ui::Context& ctx = r.ctx();
  r.stack.battery().setCellVolts(0, 0, 4.3, r.stack.now());
  r.click(r.c().Command1[2]);
  ctx.cycle.ContinuousReadOn = 1;
  ctx.cycle.CycleBoard = 0;
  monitor::ReadCellVoltages(ctx, 0);
  monitor::ReadFlags(ctx);
  views::deriveFromFlags(ctx, ctx.boardInUse());
  views::drawCellStatus(ctx);
  EXPECT_EQ(r.cell(0, 0), kRed);
  EXPECT_EQ(r.c().Shape2[0].fillColor, kWhite);  // the panels keep showing board 2
}

TEST(CellGrid, ThermalShutdownShowsOrangeUntilTheBoardRecovers) {
  MainWindowRig r("fault=thermal:1:5");
  auto& c = r.c();
  r.click(c.Command1[4]);
  r.click(c.Command1[9]);
  EXPECT_EQ(c.Shape1[0].fillColor, kOrange);
  EXPECT_EQ(c.Shape2[11].fillColor, kOrange);
  EXPECT_EQ(c.Shape2[11].top, 360);
  r.clock.advance(6.0);
  r.click(c.Command1[4]);
  r.click(c.Command1[9]);
  EXPECT_EQ(c.Shape1[0].fillColor, kWhite);
  EXPECT_TRUE(r.ctx().reads.thermalRecoveryPending);
}

}  // namespace
}  // namespace kb::test
