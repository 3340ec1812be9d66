// Timed balancing over the simulated stack: time entry, the schedule of runs, pause and continue,
// the run's clock across midnight, DEMO, RESET and OFF, the keep-alive and the cell-flag alarm.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainWindowRig.h"
#include "balancer/TimedBalance.h"

namespace kb::balancer {
namespace {

using test::MainWindowRig;

constexpr const char* kAlarmText =
    "An QXM7140-2/4 UV or OV Flag was detected.\nCorrect the Cell Voltage and Clear the FLAG.";

struct TimedRig : MainWindowRig {
  explicit TimedRig(const std::string& options = "") : MainWindowRig(options) {
    // Out of standby: the monitors measure and the watchdog service keeps the balancers alive.
    click(c().Command0[1]);
    click(c().Command1[5]);
    select(*c().TabStrip1, 1);
    click(*c().Check_6);
  }
  void tick(int n = 1) {
    for (int k = 0; k < n; ++k) {
      clock.advance(0.1);
      window->tick();
    }
  }
  // Ticks until the run is back at "START"; returns how many it took (-1: not within limit).
  int ticksUntilIdle(int limit) {
    for (int n = 1; n <= limit; ++n) {
      tick();
      if (c().Check_4->caption() == "START") return n;
    }
    return -1;
  }
  // A time typed into a box of the shown board, as the operator enters it.
  void enterTime(form::Control& box, const std::string& text) {
    form().operatorFocus(box);
    box.setText(text);
    form().operatorLeave();
  }
  std::string word(int chip) {
    const auto k = static_cast<std::size_t>(chip);
    return ctx().balancer.CommandDataHi[k] + ctx().balancer.CommandDataLo[k];
  }
  double time(int index) { return ctx().balancer.BalanceTime[static_cast<std::size_t>(index)]; }
  // Cell voltages of board 1 as the monitor measures them now.
  std::vector<float> measureCells() {
    select(*c().TabStrip1, 0);
    click(c().Command1[2]);
    clock.advance(0.1);
    click(c().Command1[7]);
    select(*c().TabStrip1, 1);
    const auto& v = ctx().measure.volts;
    return {v.begin() + 1, v.begin() + 13};
  }
};

TEST(TimedTexts, HoursMinutesSecondsAndBoxTexts) {
  const std::pair<double, const char*> hms[] = {
      {3725, "1:02:05"}, {59, "0:00:59"},     {59.6, "0:01:00"},   {0, "0:00:00"},
      {-3, "0:00:00"},   {3599.5, "1:00:00"}, {99999, "27:46:39"},
  };
  for (const auto& [seconds, text] : hms) EXPECT_EQ(hmsText(seconds), text) << seconds;
  const std::pair<double, const char*> box[] = {
      {2.4, "2"}, {2.5, "3"}, {999.4, "999"}, {1234.6, "1234.6"}, {1234.0, "1234"}, {0, "0"},
  };
  for (const auto& [seconds, text] : box) EXPECT_EQ(balanceTimeText(seconds), text) << seconds;
}

TEST(TimeEntry, RangeRoundingAndTheBoxText) {
  struct Case {
    const char* typed;
    double stored;
    const char* shown;
    bool message;
  };
  const Case cases[] = {
      {"2.44", 2.4, "2", false},        {"1234.56", 1234.6, "1234.6", false},
      {"99999", 99999, "99999", false}, {"-1", 7, "0", true},
      {"100000", 7, "0", true},         {"abc", 0, "0", false},
  };
  for (const Case& k : cases) {
    TimedRig r;
    r.enterTime(r.c().Text_8[2], "7");
    r.dialogs.shown.clear();
    r.enterTime(r.c().Text_8[2], k.typed);
    EXPECT_DOUBLE_EQ(r.time(6 * 1 + 2), k.stored) << k.typed;
    EXPECT_EQ(r.c().Text_8[2].text(), k.shown) << k.typed;
    EXPECT_EQ(r.dialogs.shown,
              k.message ? std::vector<std::string>{"Time must be between 0 and 99999 seconds"}
                        : std::vector<std::string>{})
        << k.typed;
  }
  // Enter takes the time as leaving the box does.
  TimedRig r;
  r.form().operatorFocus(r.c().Text9[0]);
  r.c().Text9[0].setText("12");
  r.key(r.c().Text9[0], 13);
  EXPECT_DOUBLE_EQ(r.time(0), 12);
}

TEST(TimedSchedule, ShortestTimeStopsFirstAndTheRestRunsOn) {
  TimedRig r;
  auto& c = r.c();
  r.click(c.Option_2[2]);      // cell 1 discharge
  r.click(c.Option_2[4 + 3]);  // cell 2 charge
  r.click(c.Option_2[8 + 2]);  // cell 3 discharge, without a time
  r.enterTime(c.Text9[0], "5");
  r.enterTime(c.Text9[1], "10");
  EXPECT_EQ(r.ctx().timed.TotalTime, 10);
  EXPECT_EQ(r.ctx().timed.NextStopTime, 5);
  EXPECT_EQ(c.Label_2[4].caption(), "0:00:10");
  EXPECT_EQ(c.Label_2[1].caption(), "5");

  r.click(*c.Check_4);
  EXPECT_EQ(c.Check_4->caption(), "PAUSE");
  EXPECT_EQ(r.word(0), "B00C") << "cell 3 without time goes none before the run";
  EXPECT_FALSE(c.Command_1->enabled);
  EXPECT_FALSE(c.Option_2[0].enabled);
  EXPECT_TRUE(c.Text9[0].locked);
  r.tick(49);
  EXPECT_EQ(c.Label_2[4].caption(), "0:00:05");
  EXPECT_EQ(c.Label_2[10].caption(), "0:00:05");
  EXPECT_EQ(c.Label_2[7].caption(), "0");
  r.tick();  // 5 s: the first stop
  EXPECT_EQ(r.word(0), "300D") << "cell 1 done, cell 2 charging";
  EXPECT_EQ(c.Option_2[0].value(), 1);
  EXPECT_EQ(c.Text9[0].text(), "0");
  EXPECT_EQ(c.Text9[1].text(), "5");
  EXPECT_EQ(r.ctx().timed.LastStop, 5);
  EXPECT_EQ(r.ctx().balancer.ReadbackDataHi[0], "30") << "the chip took the new word";

  EXPECT_EQ(r.ticksUntilIdle(60), 50) << "the second run lasts 5 s";
  EXPECT_EQ(r.word(0), "000F");
  EXPECT_EQ(r.word(1), "000F");
  EXPECT_EQ(r.ctx().balancer.ReadbackDataHi[0] + r.ctx().balancer.ReadbackDataLo[0], "000F");
  EXPECT_EQ(c.Label_2[4].caption(), "0:00:00");
  EXPECT_TRUE(c.Command_1->enabled);
  EXPECT_TRUE(c.Option_2[0].enabled);
  EXPECT_FALSE(c.Text9[0].locked);
}

TEST(TimedSchedule, AllTimesZeroStartsNothing) {
  TimedRig r;
  r.sent();
  r.click(*r.c().Check_4);
  EXPECT_EQ(r.c().Check_4->value(), 0);
  EXPECT_EQ(r.c().Check_4->caption(), "START");
  EXPECT_TRUE(r.sent().empty());
}

TEST(TimedSchedule, PauseKeepsTheRemainingTimeAcrossMidnight) {
  TimedRig r;
  auto& c = r.c();
  // The clock stands at 23:59:58.
  r.clock.advance(16 * 3600.0 - 2.0 - r.clock.elapsedSeconds());
  ASSERT_EQ(r.clock.dateTime().hour, 23);
  ASSERT_EQ(r.clock.dateTime().second, 58);
  r.click(c.Option_2[2]);
  r.enterTime(c.Text9[0], "5");
  r.click(c.Option_2[4 + 2]);
  r.enterTime(c.Text9[1], "10");
  r.click(*c.Check_4);
  r.tick(20);  // past midnight
  r.click(*c.Check_4);
  EXPECT_EQ(c.Check_4->caption(), "CONTINUE");
  EXPECT_EQ(r.time(0), 3);
  EXPECT_EQ(r.time(1), 8);
  EXPECT_EQ(c.Label_2[4].caption(), "0:00:08");
  EXPECT_EQ(c.Label_2[1].caption(), "3");
  r.clock.advance(90.0);  // paused for a minute and a half
  r.click(*c.Check_4);
  EXPECT_EQ(c.Check_4->caption(), "PAUSE");
  r.tick(29);
  EXPECT_EQ(r.time(0), 3) << "the interrupted run ends 3 s after CONTINUE";
  r.tick();
  EXPECT_EQ(r.time(0), 0);
  EXPECT_EQ(r.time(1), 5);
  EXPECT_EQ(r.ticksUntilIdle(60), 50);
}

TEST(TimedSchedule, ARunStartedBeforeMidnightStopsOnTime) {
  TimedRig r;
  auto& c = r.c();
  r.clock.advance(16 * 3600.0 - 2.0 - r.clock.elapsedSeconds());
  r.click(c.Option_2[2]);
  r.enterTime(c.Text9[0], "5");
  r.click(*c.Check_4);
  const int ticks = r.ticksUntilIdle(100);
  ASSERT_GE(ticks, 50);
  EXPECT_LE(ticks, 51) << "at most one tick late";
  const DateTime now = r.clock.dateTime();
  EXPECT_EQ(now.hour * 3600 + now.minute * 60 + now.second, 3) << "00:00:03";
  EXPECT_EQ(r.word(0), "000F");
}

TEST(TimedSchedule, DemoRunsThreeSecondsAndTheCellsMove) {
  TimedRig r;
  auto& c = r.c();
  const std::vector<float> before = r.measureCells();
  r.click(c.Command_2[2]);
  for (int i = 0; i < 12; ++i) EXPECT_DOUBLE_EQ(r.time(i), 3) << i;
  EXPECT_EQ(r.word(0), "BBB3") << "cells 1, 3, 5 discharge, 2, 4, 6 charge";
  EXPECT_EQ(r.word(1), "BBB3");
  EXPECT_EQ(c.Check_4->caption(), "START") << "DEMO does not start";
  r.sent();
  r.click(*c.Check_4);
  const auto sent = r.sent();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "xXSA9SBBSB3SBBSB3xX"), sent.end());
  EXPECT_EQ(r.ticksUntilIdle(40), 30);
  for (int chip = 0; chip < 2; ++chip) EXPECT_EQ(r.word(chip), "000F") << chip;
  const std::vector<float> after = r.measureCells();
  EXPECT_LT(after[0], before[0]) << "cell 1 discharged";
  EXPECT_GT(after[1], before[1]) << "cell 2 charged";
  EXPECT_LT(after[6], before[6]) << "cell 7 discharged";
  EXPECT_TRUE(c.Command1[7].enabled) << "the measurement buttons are back";
}

TEST(TimedSchedule, BoardsOneAndTwoRunTogetherAndTheThirdIsReleased) {
  TimedRig r("boards=3");
  auto& c = r.c();
  r.select(*c.Combo1, 2);
  r.click(c.Command_2[2]);  // DEMO on three boards
  EXPECT_EQ(r.word(4), "BBB3") << "board 3 gets its actions";
  for (int i = 24; i < 36; ++i) EXPECT_DOUBLE_EQ(r.time(i), 0) << "but no time: " << i;
  EXPECT_FALSE(c.Text9[0].enabled) << "board 3 shown";
  r.click(c.Command4[1]);
  EXPECT_TRUE(c.Text9[0].enabled);
  r.enterTime(c.Text9[0], "6");  // board 2, cell 1 runs on after the first stop

  r.click(*c.Check_4);
  EXPECT_EQ(r.word(4), "000F") << "START releases board 3's cells: none has a time";
  EXPECT_EQ(r.word(5), "000F");
  EXPECT_EQ(c.Check_5->value(), 1) << "one EXECUTE for both boards";
  EXPECT_FALSE(c.Check_5->enabled);
  EXPECT_TRUE(r.ctx().balancer.ExecutingBoard1);
  EXPECT_TRUE(r.ctx().balancer.ExecutingOtherBoards);
  r.tick(30);
  EXPECT_EQ(r.word(0), "000F");
  EXPECT_EQ(r.word(2), "800E") << "board 2 keeps its running cell";
  EXPECT_EQ(r.ticksUntilIdle(40), 30);
  EXPECT_EQ(r.word(2), "000F");
  EXPECT_TRUE(c.Check_5->enabled);
}

TEST(TimedSchedule, ABoardCountChangeEndsTheRunWithTheChipsSuspended) {
  TimedRig r("boards=2");
  auto& c = r.c();
  r.click(c.Command_2[2]);
  r.click(*c.Check_4);
  r.tick(5);
  r.sent();
  r.select(*c.TabStrip1, 0);
  r.select(*c.Combo1, 1);
  const auto sent = r.sent();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "xXSADxX"), sent.end()) << "SUSPEND";
  EXPECT_EQ(c.Check_4->caption(), "START");
  EXPECT_EQ(r.ctx().timed.TotalTime, 0);
  EXPECT_TRUE(c.Command_1->enabled);
  EXPECT_TRUE(c.Option_1[0].enabled);
  r.tick(40);
  EXPECT_EQ(c.Check_4->caption(), "START") << "no run left to stop";
}

TEST(TimedButtons, ResetBringsBackWhatStartSavedAndOffClearsAll) {
  TimedRig r;
  auto& c = r.c();
  r.click(c.Option4[2]);
  r.enterTime(c.Text_8[0], "20");
  r.click(*c.Check_4);
  r.tick(30);
  r.click(c.Command_2[0]);  // RESET
  EXPECT_EQ(c.Check_4->caption(), "START");
  EXPECT_EQ(r.word(1), "800E");
  EXPECT_DOUBLE_EQ(r.time(6), 20);
  EXPECT_EQ(c.Text_8[0].text(), "20");
  EXPECT_EQ(c.Option4[2].value(), 1);
  EXPECT_EQ(c.Label_2[4].caption(), "0:00:20");
  EXPECT_TRUE(c.Command_1->enabled);
  EXPECT_EQ(r.ctx().balancer.ReadbackDataHi[1], "00") << "the chips were stopped";

  r.click(c.Command_2[1]);  // OFF
  EXPECT_EQ(r.word(1), "000F");
  EXPECT_DOUBLE_EQ(r.time(6), 0);
  EXPECT_EQ(c.Label_2[4].caption(), "0:00:00");
}

TEST(TimedButtons, TimedBalanceShowsItsControls) {
  TimedRig r;  // ticked
  auto& c = r.c();
  std::vector<form::Control*> shown{&*c.Check_4, &c.Command_2[0], &c.Command_2[1],
                                    &*c.Label_TimeHeaderB};
  for (int i = 0; i < 12; ++i) shown.push_back(&c.Label_2[i]);
  for (int i = 0; i < 6; ++i) {
    shown.push_back(&c.Text9[i]);
    shown.push_back(&c.Text_8[i]);
  }
  for (const form::Control* k : shown) EXPECT_TRUE(k->visible) << k->displayName();
  r.click(*c.Check_6);
  for (const form::Control* k : shown) EXPECT_FALSE(k->visible) << k->displayName();
  EXPECT_TRUE(c.Command_2[2].visible) << "DEMO stays";
}

TEST(KeepAlive, BlinksAndEndsWhenNothingIsSet) {
  TimedRig r;
  auto& c = r.c();
  auto& b = r.ctx().balancer;
  r.click(c.Option_2[2]);
  r.click(c.Option_1[0]);
  r.click(*c.Command_1);  // WRITE
  r.click(c.Option_1[3]);
  r.click(*c.Command_1);  // EXECUTE
  EXPECT_TRUE(b.BalancerPolling);
  EXPECT_FALSE(c.Command1[7].enabled);
  r.sent();
  r.ctx().cycle.BalanceCheckCount = 0;
  std::vector<bool> label;
  int keepAlives = 0;
  for (int t = 0; t < 8; ++t) {
    r.tick();
    label.push_back(c.Label_3->visible);
    for (const std::string& w : r.sent()) keepAlives += w == "XSAAx" ? 1 : 0;
  }
  EXPECT_EQ(keepAlives, 2) << "every fourth tick";
  EXPECT_EQ(std::count(label.begin(), label.end(), true), 4);

  // All none executed: the next keep-alive ends the polling and gives the buttons back.
  r.click(c.Option_2[0]);
  r.click(c.Option_1[0]);
  r.click(*c.Command_1);
  r.click(c.Option_1[3]);
  r.click(*c.Command_1);
  r.tick(2);
  EXPECT_FALSE(b.BalancerPolling);
  EXPECT_FALSE(c.Label_3->visible);
  EXPECT_TRUE(c.Command1[7].enabled);
}

TEST(FlagAlarm, AFlagSuspendsTheRunWithOneMessage) {
  TimedRig r;
  auto& c = r.c();
  r.click(c.Command_2[2]);  // DEMO
  r.click(*c.Check_4);
  r.tick(4);
  r.dialogs.shown.clear();
  // The monitor flags cell 1 under its voltage limit.
  r.ctx().reads.record(0, monitor::ReadKind::RDFLG).data = {0x01, 0x00, 0x00};
  c.Option3[0].setValue(1);  // the operator works on board 1 alone
  r.sent();
  CheckCellFlags(r.ctx());
  EXPECT_EQ(r.dialogs.shown, std::vector<std::string>{kAlarmText});
  EXPECT_TRUE(r.ctx().timed.FlagAlarm);
  EXPECT_FALSE(r.ctx().balancer.BalancerPolling);
  EXPECT_EQ(c.Check_4->caption(), "CONTINUE");
  const auto sent = r.sent();
  // SUSPEND: the last command byte (READ STATUS, "AC") with its parity inverted.
  EXPECT_NE(std::find(sent.begin(), sent.end(), "xXSADxX"), sent.end());
  // Then the configuration of every board is written and read back.
  EXPECT_EQ(c.Option3[1].value(), 1);
  ASSERT_GE(sent.size(), 2U);
  EXPECT_EQ(sent[sent.size() - 2], "MSXxT01SC7SE1S00S00S00S00S00SD7X");
  EXPECT_EQ(sent.back(), "MSXxT80T49T02TCERRRRRRRX");
  r.tick(2);
  EXPECT_DOUBLE_EQ(r.time(0), 3) << "the clock stands while paused";
}

TEST(FlagAlarm, TenCellModeIgnoresCellsElevenAndTwelve) {
  struct Case {
    int tenCells;
    std::vector<std::uint8_t> flags;
    bool alarm;
  };
  const Case cases[] = {
      {0, {0, 0, 0}, false},   {0, {0, 0, 0x10}, true}, {1, {0, 0, 0xF0}, false},
      {1, {0, 0, 0x01}, true}, {1, {0x80, 0, 0}, true},
  };
  for (const Case& k : cases) {
    TimedRig r;
    r.c().Check0[3].setValue(k.tenCells);
    r.ctx().reads.record(0, monitor::ReadKind::RDFLG).data = k.flags;
    r.dialogs.shown.clear();
    CheckCellFlags(r.ctx());
    EXPECT_EQ(r.ctx().timed.FlagAlarm, k.alarm) << k.tenCells << " " << int(k.flags[2]);
    EXPECT_EQ(r.dialogs.shown.size(), k.alarm ? 1U : 0U);
  }
}

TEST(FlagAlarm, TheBalancingCheckFindsAnUnderVoltageOnTheStack) {
  TimedRig r;
  auto& c = r.c();
  r.click(c.Command_2[2]);
  r.enterTime(c.Text9[0], "60");
  r.click(*c.Check_4);
  // VUV above every cell (VOV above it): the next conversion flags them all.
  r.select(*c.TabStrip1, 0);
  for (const auto& [box, volts] : {std::pair{1, "5.0"}, std::pair{0, "4.5"}}) {
    r.form().operatorFocus(c.Text2[box]);
    r.type(c.Text2[box], volts);
    r.key(c.Text2[box], 13);
  }
  r.click(c.Command1[5]);
  r.dialogs.shown.clear();
  r.tick(40);
  EXPECT_EQ(r.dialogs.shown, std::vector<std::string>{kAlarmText});
  EXPECT_TRUE(r.ctx().timed.FlagAlarm);
  EXPECT_EQ(c.Check_4->caption(), "CONTINUE");
}

}  // namespace
}  // namespace kb::balancer
