// Timed balancing: time entry, the schedule of runs and its clock, and the RESET / OFF / DEMO
// buttons.
#include "balancer/TimedBalance.h"
#include "common/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "balancer/Balancer.h"
#include "balancer/ChipView.h"
#include "balancer/FlagScope.h"
#include "startup/BoardControls.h"

namespace kb::balancer {

namespace {

// The schedule runs the chips of boards 1 and 2 only.
constexpr int kScheduledBoards = 2;
constexpr int kScheduledChips = 2 * kScheduledBoards;

constexpr const char* kStart = "START";
constexpr const char* kPause = "PAUSE";
constexpr const char* kContinue = "CONTINUE";

std::size_t at(int index) {
  return static_cast<std::size_t>(index);
}

// The balance clock: seconds of the program's monotonic clock. Runs, pauses and stop times are
// differences of it, so they come out right across midnight. The one place the schedule reads
// the time.
double balanceClock(const ui::Context& ctx) {
  return ctx.services.clock.elapsedSeconds();
}

std::string wholeText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", std::round(seconds));
  return text;
}

// A number as it stands: "5", "2.4".
std::string plainText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

void publishRun(ui::Context& ctx, const char* event) {
  readings::Reading reading = ctx.reading(readings::Kind::BalanceRun, -1, "TIMED BALANCE");
  reading.text = event;
  ctx.readings.publish(reading);
}

void showNextStop(ui::Context& ctx, const std::string& text) {
  ctx.c.Label_2[1].setCaption(text);
  ctx.c.Label_2[7].setCaption(text);
}

void showRemaining(ui::Context& ctx, double seconds) {
  const std::string text = hmsText(seconds);
  ctx.c.Label_2[4].setCaption(text);
  ctx.c.Label_2[10].setCaption(text);
}

// SEND with a command mode chosen.
void send(ui::Context& ctx, Mode mode) {
  ctx.c.Option_1[static_cast<int>(mode)].setValue(1);
  Command_1_Click(ctx);
}

// Board b becomes the current board, shown on the panels.
void selectBoard(ui::Context& ctx, int board) {
  startup::Command4_Click(ctx, board);
}

int scheduledChips(const ui::Context& ctx) {
  return std::min(ctx.balancer.ChipCount, kScheduledChips);
}

// Times are entered only for the chips the schedule runs, and only for chips that are there.
void enableTimeBoxes(ui::Context& ctx) {
  const bool scheduled = ctx.boards.CurrentBoard < kScheduledBoards;
  for (const ChipView& v : {bottomView(ctx), topView(ctx)}) {
    const bool on = scheduled && v.chip() >= 0;
    for (int cell = 0; cell < kCellsPerChip; ++cell) v.times[cell].enabled = on;
  }
}

bool running(const ui::Context& ctx) {
  return ctx.c.Check_4->caption() != kStart;
}

void lockControls(ui::Context& ctx, bool lock) {
  auto& c = ctx.c;
  c.Command_1->enabled = !lock;
  for (int i = 0; i < kModes; ++i) c.Option_1[i].enabled = !lock;
  for (const ChipView& v : {bottomView(ctx), topView(ctx)}) {
    for (int cell = 0; cell < kCellsPerChip; ++cell) v.times[cell].locked = lock;
    if (lock) {
      for (int i = 0; i < 4 * kCellsPerChip; ++i) v.options[i].enabled = false;
    }
  }
  if (!lock) {
    enableChipOptions(ctx);
    c.Check_5->enabled = true;
    enableTimeBoxes(ctx);
  }
}

// A time entry of one box of the shown board.
void timeEntry(ui::Context& ctx, const ChipView& v, int cell) {
  form::Control& box = v.times[cell];
  const double value = leadingNumber(box.text());
  const int chip = v.chip();
  if (value < 0.0 || value > kMaxBalanceTime) {
    ctx.services.dialogs.msgBox(kTimeRangeMessage, form::kAppTitle);
    box.setText("0");
  } else if (chip < 0 || chip >= kScheduledChips) {
    // No chip there, or one the schedule does not run: its time stays 0.
    box.setText("0");
  } else {
    const double seconds = std::round(value * 10.0) / 10.0;
    ctx.balancer.BalanceTime[at(kCellsPerChip * chip + cell)] = seconds;
    box.setText(balanceTimeText(seconds));
  }
  CalcBalanceTime(ctx);
}

// START: every chip of the stack shown with a none action for every cell without time (the
// schedule's boards and the ones beyond it, whose times are always 0), then everything the
// schedule owns locked.
void prepareRun(ui::Context& ctx) {
  const auto& times = ctx.balancer.BalanceTime;
  for (int board = 0; 2 * board < ctx.balancer.ChipCount; ++board) {
    selectBoard(ctx, board);
    for (const ChipView& v : {bottomView(ctx), topView(ctx)}) {
      const int chip = v.chip();
      if (chip < 0) continue;
      for (int cell = 0; cell < kCellsPerChip; ++cell) {
        if (times[at(kCellsPerChip * chip + cell)] == 0.0) v.options[4 * cell].setValue(1);
      }
    }
  }
  lockControls(ctx, true);
}

void demo(ui::Context& ctx) {
  for (int board = 0; board < ctx.balancer.BalancerBoardCount; ++board) {
    selectBoard(ctx, board);
    for (const ChipView& v : {bottomView(ctx), topView(ctx)}) {
      const int firstInUse =
          kCellsPerChip -
          std::clamp(static_cast<int>(leadingNumber(v.cellsInUse->text())), 0, kCellsPerChip);
      for (int cell = firstInUse; cell < kCellsPerChip; ++cell) {
        v.times[cell].setText("3");
        timeEntry(ctx, v, cell);
        // Cells 1, 3, 5 discharge (10), cells 2, 4, 6 charge (11).
        v.options[4 * cell + (cell % 2 == 0 ? kActionDischarge : kActionCharge)].setValue(1);
      }
    }
  }
}

}  // namespace

// ---- Texts
// ---------------------------------------------------------------------------------------

std::string hmsText(double seconds) {
  // Whole seconds first, so that 59.6 s reads 0:01:00 and not 0:00:00.
  const long total = seconds > 0.0 ? std::lround(seconds) : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, (total / 60) % 60, total % 60);
  return text;
}

std::string balanceTimeText(double seconds) {
  if (seconds < 1000.0) return wholeText(seconds);
  const double tenths = std::nearbyint(seconds * 10.0);
  char text[32];
  if (std::fmod(tenths, 10.0) == 0.0) {
    std::snprintf(text, sizeof text, "%.0f", tenths / 10.0);
  } else {
    std::snprintf(text, sizeof text, "%.1f", tenths / 10.0);
  }
  return text;
}

// ---- Times
// ---------------------------------------------------------------------------------------

void Text9_LostFocus(ui::Context& ctx, int index) {
  timeEntry(ctx, bottomView(ctx), index);
}

void Text_8_LostFocus(ui::Context& ctx, int index) {
  timeEntry(ctx, topView(ctx), index);
}

void CalcBalanceTime(ui::Context& ctx) {
  const auto& times = ctx.balancer.BalanceTime;
  auto& t = ctx.timed;
  const int cells = kCellsPerChip * std::clamp(ctx.balancer.ChipCount, 0, kChipsUsed);
  t.TotalTime = 0.0;
  for (int i = 0; i < cells; ++i) t.TotalTime = std::max(t.TotalTime, times[at(i)]);
  t.NextStopTime = t.TotalTime;
  for (int i = 0; i < cells; ++i) {
    if (times[at(i)] > 0.0 && times[at(i)] < t.NextStopTime) t.NextStopTime = times[at(i)];
  }
  showRemaining(ctx, t.TotalTime);
  showNextStop(ctx, plainText(t.NextStopTime));
}

// ---- The schedule
// --------------------------------------------------------------------------------

void Check_4_Click(ui::Context& ctx) {
  auto& box = *ctx.c.Check_4;
  auto& t = ctx.timed;
  if (box.value() == 1) {
    if (t.TotalTime <= 0.0) {
      box.setValue(0);
      return;
    }
    const std::string from = box.caption();
    if (from != kStart && from != kContinue) return;
    prepareRun(ctx);
    if (from == kStart) {
      box.setCaption(kPause);
      publishRun(ctx, "start");
      StartBalance(ctx);
    } else {
      publishRun(ctx, "continue");
      NextCell(ctx);
      box.setCaption(kPause);
    }
    return;
  }
  if (box.caption() != kPause) return;
  if (t.RemainingTime <= 0.0) {
    box.setCaption(kStart);
    StopBalancer(ctx);
    lockControls(ctx, false);
    return;
  }
  box.setCaption(kContinue);
  publishRun(ctx, "pause");
  SuspendBalancer(ctx);
  t.RemainingTime = std::max(0.0, t.RemainingTime - t.Elapsed);
  t.LastStop = std::max(0.0, t.LastStop - t.Elapsed);
  showRemaining(ctx, t.RemainingTime);
  showNextStop(ctx, wholeText(t.LastStop));
}

void StartBalance(ui::Context& ctx) {
  auto& b = ctx.balancer;
  auto& t = ctx.timed;
  t.NextStopTime = t.TotalTime;
  for (int chip = 0; chip < std::min(b.ChipCount, kChipsUsed); ++chip) {
    t.SavedCommandHi[at(chip)] = b.CommandDataHi[at(chip)];
    t.SavedCommandLo[at(chip)] = b.CommandDataLo[at(chip)];
    for (int cell = 0; cell < kCellsPerChip; ++cell) {
      const double time = b.BalanceTime[at(kCellsPerChip * chip + cell)];
      t.SavedBalanceTime[at(kCellsPerChip * chip + cell)] = time;
      if (time > 0.0 && time < t.NextStopTime) t.NextStopTime = time;
    }
  }
  t.RemainingTime = t.TotalTime;
  showRemaining(ctx, t.RemainingTime);
  NextCell(ctx);
}

void NextCell(ui::Context& ctx) {
  auto& c = ctx.c;
  auto& t = ctx.timed;
  const bool twoBoards = ctx.balancer.ChipCount > 2;
  selectBoard(ctx, 0);
  send(ctx, Mode::kWrite);
  send(ctx, Mode::kReadCommand);
  if (twoBoards) {
    selectBoard(ctx, 1);
    send(ctx, Mode::kWrite);
    send(ctx, Mode::kReadCommand);
    c.Check_5->setValue(1);
    c.Check_5->enabled = false;
  }
  if (c.Check_4->caption() == kPause) {
    t.LastStop = t.NextStopTime;
    showNextStop(ctx, wholeText(t.LastStop));
  }
  c.Option_1[static_cast<int>(Mode::kExecute)].setValue(1);
  t.StartTimer = balanceClock(ctx);
  t.StopAt = t.StartTimer + t.LastStop;
  Command_1_Click(ctx);
  // The status of every board run, board 1 first.
  selectBoard(ctx, 0);
  send(ctx, Mode::kReadStatus);
  if (twoBoards) {
    selectBoard(ctx, 1);
    send(ctx, Mode::kReadStatus);
  }
}

void BalanceClockTick(ui::Context& ctx) {
  auto& t = ctx.timed;
  const double now = balanceClock(ctx);
  if (now >= t.StopAt) {
    SuspendBalancer(ctx);
    t.RemainingTime = t.TotalTime;
    showRemaining(ctx, t.RemainingTime);
    showNextStop(ctx, plainText(t.NextStopTime));
    if (t.RemainingTime <= 0.0) {
      t.RemainingTime = 0.0;
      ctx.c.Check_4->setValue(0);  // ends the run
    } else {
      NextCell(ctx);
    }
    return;
  }
  t.Elapsed = now - t.StartTimer;
  showRemaining(ctx, t.RemainingTime - t.Elapsed);
  showNextStop(ctx, wholeText(std::max(0.0, t.LastStop - t.Elapsed)));
}

void SuspendBalancer(ui::Context& ctx) {
  auto& times = ctx.balancer.BalanceTime;
  auto& t = ctx.timed;
  send(ctx, Mode::kSuspend);
  t.Elapsed = balanceClock(ctx) - t.StartTimer;
  for (int chip = 0; chip < scheduledChips(ctx); ++chip) {
    if (chip % 2 == 0) {
      selectBoard(ctx, chip / 2);
      send(ctx, Mode::kReadStatus);
    }
    const ChipView v = chip % 2 == 1 ? topView(ctx) : bottomView(ctx);
    for (int cell = 0; cell < kCellsPerChip; ++cell) {
      double& time = times[at(kCellsPerChip * chip + cell)];
      time = std::round(time - t.Elapsed);
      if (time <= 0.0) {
        time = 0.0;
        v.options[4 * cell].setValue(1);
        v.times[cell].setText("0");
      } else {
        v.times[cell].setText(wholeText(time));
      }
    }
  }
  CalcBalanceTime(ctx);
}

void StopBalancer(ui::Context& ctx) {
  auto& b = ctx.balancer;
  auto& t = ctx.timed;
  publishRun(ctx, "stop");
  InitializeCommandData(ctx);
  InitializeBalTime(ctx);
  showRemaining(ctx, 0.0);
  showNextStop(ctx, "0");
  {
    FlagScope global(b.ForceGlobalScope);
    send(ctx, Mode::kWrite);
    send(ctx, Mode::kExecute);
    t.Elapsed = balanceClock(ctx) - t.StartTimer;
    for (int board = 0; board < b.BalancerBoardCount; ++board) {
      selectBoard(ctx, board);
      send(ctx, Mode::kReadCommand);
      send(ctx, Mode::kReadStatus);
    }
  }
}

void ResetBalancer(ui::Context& ctx) {
  auto& b = ctx.balancer;
  const auto& t = ctx.timed;
  for (int chip = 0; chip < std::min(b.ChipCount, kChipsUsed); ++chip) {
    b.CommandDataHi[at(chip)] = t.SavedCommandHi[at(chip)];
    b.CommandDataLo[at(chip)] = t.SavedCommandLo[at(chip)];
    for (int cell = 0; cell < kCellsPerChip; ++cell) {
      const auto i = at(kCellsPerChip * chip + cell);
      b.BalanceTime[i] = t.SavedBalanceTime[i];
    }
  }
  // The panel shows the current board: rewriting it with another board's chips would let the
  // next action click store that board's words into the shown chips.
  UpdateCommandData(ctx, ctx.boards.CurrentBoard);
  CalcBalanceTime(ctx);
}

void Command_2_Click(ui::Context& ctx, int index) {
  auto& c = ctx.c;
  ctx.timed.RemainingTime = 0.0;
  c.Check_4->setValue(0);
  c.Check_4->setCaption(kStart);
  switch (index) {
    case 0:
      ResetBalancer(ctx);
      break;
    case 1:
      StopBalancer(ctx);
      break;
    case 2:
      demo(ctx);
      break;
    default:
      return;
  }
  lockControls(ctx, false);
}

void Check_6_Click(ui::Context& ctx) {
  auto& c = ctx.c;
  const bool on = c.Check_6->value() == 1;
  for (int k = 0; k < 12; ++k) c.Label_2[k].visible = on;
  for (int cell = 0; cell < kCellsPerChip; ++cell) {
    c.Text_8[cell].visible = on;
    c.Text9[cell].visible = on;
  }
  c.Label_TimeHeaderB->visible = on;
  c.Label_TimeHeaderT->visible = on;
  c.Command_2[0].visible = on;
  c.Command_2[1].visible = on;
  c.Check_4->visible = on;
}

void releaseTimedLock(ui::Context& ctx) {
  lockControls(ctx, false);
}

void applyTimedLock(ui::Context& ctx) {
  if (running(ctx)) {
    lockControls(ctx, true);
  } else {
    enableTimeBoxes(ctx);
  }
}

// ---- Wiring
// --------------------------------------------------------------------------------------

namespace {

std::string secondsText(double value) {
  return plainText(value);
}

}  // namespace

void wireTimed(ui::Context& ctx) {
  form::Form& f = ctx.form();
  ui::Context* c = &ctx;
  auto& h = ctx.c;
  using form::Event;
  f.on(Event::LostFocus, h.Text9, [c](int i) { Text9_LostFocus(*c, i); });
  f.on(Event::LostFocus, h.Text_8, [c](int i) { Text_8_LostFocus(*c, i); });
  f.onKeyPress(h.Text9, [c](int i, int& key) {
    if (key == 13) Text9_LostFocus(*c, i);
  });
  f.onKeyPress(h.Text_8, [c](int i, int& key) {
    if (key == 13) Text_8_LostFocus(*c, i);
  });
  f.on(Event::Click, h.Check_4, [c](int) { Check_4_Click(*c); });
  f.on(Event::Click, h.Command_2, [c](int i) { Command_2_Click(*c, i); });
  f.on(Event::Click, h.Check_6, [c](int) { Check_6_Click(*c); });

  using ui::StateVariables;
  StateVariables& v = ctx.variables;
  const TimedState* t = &ctx.timed;
  v.add("TotalTime", [t] { return secondsText(t->TotalTime); });
  v.add("NextStopTime", [t] { return secondsText(t->NextStopTime); });
  v.add("LastStop", [t] { return secondsText(t->LastStop); });
  v.add("RemainingTime", [t] { return secondsText(t->RemainingTime); });
  v.add("Elapsed", [t] { return secondsText(t->Elapsed); });
  v.add("FlagAlarm", [t] { return StateVariables::truth(t->FlagAlarm); });
  v.addTable("SavedBalanceTime", kCellSlots,
             [t](int i) { return secondsText(t->SavedBalanceTime[at(i)]); });
}

}  // namespace kb::balancer
