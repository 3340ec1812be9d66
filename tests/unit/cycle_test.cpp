// The timer and the continuous read cycle over the simulated stack: the cycle's steps and boards,
// start and stop, the watchdog service and its indicator, the balancing check counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MainWindowRig.h"
#include "continuous/Cycle.h"

namespace kb::continuous {
namespace {

using test::MainWindowRig;

constexpr const char* kKeepAlivePladc = "MSxS40S07X";
constexpr const char* kReadCells80 = "MSxT80T49T04TDCRRRRRRRRRRRRRRRRRRRX";

struct CycleRig : MainWindowRig {
  explicit CycleRig(const std::string& options = "") : MainWindowRig(options) {}
  // n ticks of 100 ms, as the window's timer gives them.
  void tick(int n = 1) {
    for (int k = 0; k < n; ++k) {
      clock.advance(0.1);
      window->tick();
    }
  }
  // CDC 1 written to every board: the monitors measure and the watchdog service is armed.
  void measureMode() {
    click(c().Command0[1]);
    click(c().Command1[5]);
  }
  static int count(const std::vector<std::string>& sent, const std::string& s) {
    return static_cast<int>(std::count(sent.begin(), sent.end(), s));
  }
};

TEST(ContinuousRead, OneCycleSendsTheThreeStepsForTheBoard) {
  CycleRig r;
  r.measureMode();
  r.click(r.c().Command1[10]);
  r.sent();
  r.tick(3);
  // Conversion starts go to every board; an empty transaction lets the cells convert.
  EXPECT_EQ(r.sent(), (std::vector<std::string>{"MSxS10SB0X", "", kReadCells80, "MSxS30S50X",
                                                "MSxT80T49T0ETEARRRRRRX", "MSxT80T49T0CTE4RRRRX"}));
  EXPECT_NE(r.c().Text1[0].text(), " 0.0000V  ") << "the cells were read";
  // Cells and flags read: the board's summary row turns green.
  for (int cell = 0; cell < 12; ++cell) {
    EXPECT_EQ(r.ctx().views.CellStatus[static_cast<std::size_t>(cell)], 1) << cell;
    EXPECT_EQ(r.c().Shape1[cell].fillColor, kGreen) << cell;
  }
}

TEST(ContinuousRead, ACellReadFailingItsPecNeverShowsGood) {
  CycleRig r("fault=pec:0.3");
  r.measureMode();
  r.click(r.c().Command1[10]);
  int failedAfterGood = 0;
  for (int cycle = 0; cycle < 40; ++cycle) {
    const bool wasGood = r.ctx().views.CellStatus[0] == 1;
    r.tick();  // step 0: start, read the cells
    const auto& rec = r.ctx().reads.record(0, monitor::ReadKind::RDCV);
    if (rec.receivedPec == rec.calculatedPec) {
      r.tick(2);
      continue;
    }
    if (wasGood) ++failedAfterGood;
    for (int cell = 0; cell < 12; ++cell) {
      EXPECT_NE(r.ctx().views.CellStatus[static_cast<std::size_t>(cell)], 1) << cycle;
      EXPECT_NE(r.c().Shape1[cell].fillColor, kGreen) << cycle;
    }
    r.tick(2);
  }
  EXPECT_GT(failedAfterGood, 0) << "a failed read after a good one was seen";
}

TEST(ContinuousRead, BoardsFollowEachOtherEveryThreeTicks) {
  struct Case {
    int boards;
    std::vector<int> cycleBoards;  // board addressed by ticks 1..10
  };
  const Case cases[] = {
      {1, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {3, {0, 0, 0, 1, 1, 1, 2, 2, 2, 0}},
  };
  for (const Case& k : cases) {
    CycleRig r("boards=" + std::to_string(k.boards));
    r.select(*r.c().Combo1, k.boards - 1);
    r.click(r.c().Command1[10]);
    for (int t = 0; t < 10; ++t) {
      const int board = r.ctx().cycle.CycleBoard;
      EXPECT_EQ(board, k.cycleBoards[static_cast<std::size_t>(t)]) << k.boards << " tick " << t;
      r.tick();
      // The marker stands over the board the next step addresses.
      EXPECT_EQ(r.c().Image1->left, 6720 + 360 * r.ctx().cycle.CycleBoard);
    }
  }
}

TEST(ContinuousRead, StartLocksWhatTheCycleSendsAndStopGivesItBack) {
  CycleRig r("boards=2");
  r.select(*r.c().Combo1, 1);
  auto& c = r.c();
  EXPECT_EQ(c.Command1[10].caption(), " START CONTINUOUS   READ CELLS");
  r.click(c.Command1[10]);
  EXPECT_EQ(c.Command1[10].caption(), "STOP  CONTINUOUS READ CELLS");
  EXPECT_EQ(c.Shape3->fillColor, kGreen);
  for (const int i : {2, 3, 4, 7, 8, 9}) EXPECT_FALSE(c.Command1[i].enabled) << i;
  EXPECT_FALSE(c.Command3[0].enabled);
  EXPECT_EQ(c.Check5[2].value(), 1);
  EXPECT_EQ(c.Check5[4].value(), 1);
  EXPECT_FALSE(c.Check5[2].enabled);
  EXPECT_FALSE(c.Check5[4].enabled);
  EXPECT_TRUE(c.Command1[6].enabled);

  r.click(c.Command4[1]);  // the operator looks at board 2 meanwhile
  r.tick(6);
  EXPECT_NE(r.ctx().measure.volts[1], 0.0F);
  EXPECT_NE(r.ctx().measure.volts[12 + 1], 0.0F);
  r.click(c.Command1[10]);
  EXPECT_EQ(c.Command1[10].caption(), "START CONTINUOUS READ CELLS");
  EXPECT_EQ(c.Shape3->fillColor, kRed);
  for (const int i : {2, 3, 4, 6, 7, 8, 9}) EXPECT_TRUE(c.Command1[i].enabled) << i;
  EXPECT_TRUE(c.Check5[2].enabled);
  EXPECT_EQ(r.ctx().cycle.CycleBoard, 1) << "the current board";
  EXPECT_EQ(c.Image1->left, 6720 + 360);
  for (const int slot : {1, 12, 13, 24, 121, 123, 124, 126}) {
    EXPECT_EQ(r.ctx().measure.volts[static_cast<std::size_t>(slot)], 0.0F) << slot;
  }

  // The first command after the stop clears the cell status of every board.
  r.ctx().views.setBoardStatus(0, 1);
  r.ctx().views.setBoardStatus(1, 4);
  r.click(c.Command1[6]);
  EXPECT_EQ(r.ctx().views.CellStatus[0], 0);
  EXPECT_EQ(r.ctx().views.CellStatus[12], 0);
  EXPECT_EQ(c.Shape1[12].fillColor, kWhite) << "board 2's row drawn again";
  r.ctx().views.setBoardStatus(0, 1);
  r.click(c.Command1[6]);
  EXPECT_EQ(r.ctx().views.CellStatus[0], 1) << "only once";
}

TEST(ContinuousRead, PollsAndStandbyStopTheCycleFirst) {
  for (const int button : {0, 1, 14}) {
    CycleRig r;
    r.click(r.c().Command1[10]);
    r.sent();
    r.click(r.c().Command1[button]);
    EXPECT_EQ(r.ctx().cycle.ContinuousReadOn, 0) << button;
    EXPECT_EQ(r.c().Command1[10].caption(), "START CONTINUOUS READ CELLS") << button;
    r.tick(3);
    const auto sent = r.sent();
    EXPECT_EQ(r.count(sent, kReadCells80), 0) << button;
  }
  CycleRig r;
  r.click(r.c().Command1[10]);
  r.sent();
  r.click(r.c().Command1[0]);
  EXPECT_EQ(r.sent(), (std::vector<std::string>{"MSxS80S49S40S07"})) << "PLADC to board 1";
}

TEST(WatchdogService, KeepAliveFromTheTickAfterArmingThenEverySixTicks) {
  CycleRig r;
  r.measureMode();
  EXPECT_EQ(r.ctx().cycle.WdtServiceActive, 1);
  std::vector<int> at;
  for (int t = 1; t <= 13; ++t) {
    r.sent();
    r.tick();
    if (r.count(r.sent(), kKeepAlivePladc) == 1) at.push_back(t);
  }
  EXPECT_EQ(at, (std::vector<int>{1, 7, 13}));
  auto& line = r.c().Label_KA[1];
  EXPECT_TRUE(line.visible);
  EXPECT_EQ(line.backColor, kPaleRed);
  EXPECT_EQ(line.caption(),
            " PREVENTS WATCHDOG TIMEOUT. POLL ADC BEING SENT." + std::string(61, ' '));
  // The "WDT SERVICE" flag stands in for the PLADC broadcast box half of the period.
  int flagged = 0;
  for (int t = 0; t < 6; ++t) {
    r.tick();
    const bool on = r.c().Label_KA[0].visible;
    EXPECT_EQ(r.c().Shape_KA->visible, on);
    EXPECT_EQ(r.c().Check5[0].visible, !on);
    EXPECT_EQ(r.c().Label19[0].visible, !on);
    EXPECT_EQ(r.c().Command1[0].width, on ? 1215 : 1455);
    flagged += on ? 1 : 0;
  }
  EXPECT_EQ(flagged, 3);
}

TEST(WatchdogService, EveryCdcZeroSendsNothingAndKeepsTheStandbyHint) {
  CycleRig r;
  r.click(r.c().Command1[5]);  // CDC 0 written
  EXPECT_EQ(r.ctx().cycle.WdtServiceActive, 0);
  r.sent();
  r.tick(13);
  EXPECT_EQ(r.count(r.sent(), kKeepAlivePladc), 0);
  EXPECT_FALSE(r.c().Label_KA[0].visible);
  EXPECT_TRUE(r.c().Label_KA[1].visible);
  EXPECT_EQ(r.c().Label_KA[1].backColor, kPaleYellow);

  // Low-current standby holds the service until the next button command.
  r.measureMode();
  r.click(r.c().Command1[14]);
  r.measureMode();
  r.ctx().startup.LowCurrentStandby = 1;
  r.sent();
  r.tick(7);
  EXPECT_EQ(r.count(r.sent(), kKeepAlivePladc), 0);
}

TEST(WatchdogService, WriteWithACdcAfterStandbyGivesTheButtonsBack) {
  CycleRig r;
  r.measureMode();
  r.click(r.c().Command1[14]);
  for (const int i : {10, 2, 7, 4, 9, 8}) EXPECT_FALSE(r.c().Command1[i].enabled) << i;
  r.measureMode();
  for (const int i : {10, 2, 7, 4, 9, 8}) EXPECT_TRUE(r.c().Command1[i].enabled) << i;
}

TEST(Timer, EachTickGivesReadConfigTheEmphasisOppositeToWriteConfigs) {
  CycleRig r;
  auto& c = r.c();
  const auto emphasis = [&] {
    return std::vector<int>{c.Command1[6].left, c.Command1[6].width, c.ReminderMark[0].visible};
  };
  const std::vector<int> normal{11160, 1455, 0};
  const std::vector<int> narrowed{11280, 1215, 1};
  r.tick();
  EXPECT_EQ(emphasis(), normal) << "nothing written yet: an edit is pending";
  r.click(c.Command1[5]);
  r.click(c.Command1[6]);
  EXPECT_EQ(emphasis(), normal) << "READ CONFIG released";
  r.tick();
  EXPECT_EQ(emphasis(), narrowed);
  r.click(c.Check1[0]);
  r.tick();
  EXPECT_EQ(emphasis(), normal);
}

TEST(Timer, TheTickEndsTheProgramWithoutAController) {
  CycleRig r;
  r.click(r.c().Command1[10]);
  r.ctx().startup.controllerDetected = false;
  r.tick();
  EXPECT_TRUE(r.window->ended());
  EXPECT_EQ(r.ctx().cycle.ContinuousReadOn, 0);
}

TEST(BalancingCheck, CountsSlotsThenMeasuresAndChecksTheFlags) {
  CycleRig r;
  r.measureMode();
  auto& s = r.ctx().cycle;
  r.ctx().balancer.BalancerPolling = true;
  r.ctx().balancer.AnyActionSet = true;
  s.BalanceCheckCount = 10;
  s.WdtPhase = kKeepAlivePhase;
  // Slots come every second tick: 10 counts on to 11, counts 11..13 run a measurement each, 14
  // checks the flags and starts again at 0.
  const std::vector<std::string> expected{"MSxS80S49S10SB0X", kReadCells80, "MSxT80T49T0CTE4RRRRX"};
  std::vector<std::string> measured;
  for (int slot = 0; slot < 5; ++slot) {
    r.sent();
    r.tick(2);
    for (const std::string& w : r.sent()) {
      if (std::find(expected.begin(), expected.end(), w) != expected.end()) measured.push_back(w);
    }
  }
  EXPECT_EQ(measured,
            (std::vector<std::string>{"MSxS80S49S10SB0X", kReadCells80, "MSxT80T49T0CTE4RRRRX"}));
  EXPECT_EQ(s.BalanceCheckCount, 0);
  EXPECT_FALSE(s.BalanceCheckBusy);

  // Leaving the monitor tab for the balancer starts the count again.
  s.BalanceCheckCount = 7;
  r.select(*r.c().TabStrip1, 1);
  EXPECT_EQ(s.BalanceCheckCount, 0);
}

TEST(BalancingCheck, TwoBoardsAreMeasuredInTurnAndTheShownBoardComesBack) {
  CycleRig r("boards=3");
  r.select(*r.c().Combo1, 2);
  r.measureMode();
  r.click(r.c().Command4[2]);  // board 3 shown
  auto& s = r.ctx().cycle;
  r.ctx().balancer.BalancerPolling = true;
  r.ctx().balancer.AnyActionSet = true;
  s.BalanceCheckCount = 11;
  s.WdtPhase = kKeepAlivePhase;
  const std::string r80 = "MSxT80T49T";
  const std::string r81 = "MSxT81T4ET";
  std::vector<std::string> measured;
  for (int slot = 0; slot < 7; ++slot) {
    r.sent();
    r.tick(2);
    for (const std::string& w : r.sent()) {
      if (w.find("S10SB0X") != std::string::npos || w.rfind(r80 + "04", 0) == 0 ||
          w.rfind(r80 + "0C", 0) == 0 || w.rfind(r81, 0) == 0) {
        measured.push_back(w);
      }
    }
    EXPECT_EQ(r.ctx().boards.CurrentBoard, 2) << "slot " << slot;
  }
  EXPECT_EQ(measured,
            (std::vector<std::string>{"MSxS80S49S10SB0X", kReadCells80, "MSxT80T49T0CTE4RRRRX",
                                      "MSxS81S4ES10SB0X", "MSxT81T4ET04TDCRRRRRRRRRRRRRRRRRRRX",
                                      "MSxT81T4ET0CTE4RRRRX"}))
      << "STCVAD addressed to each board, board 3 never";
  EXPECT_EQ(s.BalanceCheckCount, 0);
  EXPECT_EQ(r.c().Label21->caption(), "3");
}

}  // namespace
}  // namespace kb::continuous
