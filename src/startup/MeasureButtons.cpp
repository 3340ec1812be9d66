#include "startup/MeasureButtons.h"

#include "context/Context.h"
#include "monitor/Conversions.h"
#include "monitor/Measurements.h"
#include "monitor/MonitorCommands.h"
#include "monitor/SelfTest.h"
#include "startup/Startup.h"
#include "views/CellGrid.h"

namespace kb::startup {

namespace {

constexpr int kStartCellButton = 2;
constexpr int kStartTempButton = 4;
constexpr int kReadCellsButton = 7;
constexpr int kReadFlagButton = 8;
constexpr int kReadTempButton = 9;

void focusUnlessPolling(ui::Context& ctx, int button) {
  if (!ctx.balancer.BalancerPolling) ctx.c.Command1[button].setFocus();
}

int& reminderState(ui::Context& ctx, Reminder r) {
  return ctx.startup.reminders.state[static_cast<std::size_t>(r)];
}

}  // namespace

DisplayAll::DisplayAll(ui::Context& ctx) : ctx_(ctx) {
  ctx_.startup.displayAllOverride = true;
}

DisplayAll::~DisplayAll() {
  ctx_.startup.displayAllOverride = false;
  Check_AUTO_Click(ctx_);
}

void blankCellStatus(ui::Context& ctx, bool broadcast) {
  if (broadcast) {
    views::clearAllCellStatus(ctx);
    views::drawAllCellStatus(ctx);
  } else {
    views::clearCurrentCellStatus(ctx);
    views::drawCellStatus(ctx);
  }
}

void startCellConversionButton(ui::Context& ctx, int kind) {
  const bool broadcast = monitor::StartConversion(ctx, kind, ctx.startup.cellSelectDigit);
  const bool hex = ctx.selfTest.cellHexFlag == 1;
  for (int c = 0; c < monitor::kCellsPerBoard; ++c) {
    ctx.c.Text1[c].setText(hex ? monitor::kHexResetText : monitor::kCellResetText);
  }
  monitor::leaveCellHexView(ctx);
  blankCellStatus(ctx, broadcast);
  reminderState(ctx, Reminder::ReadCells) = kReminderArmed;
  focusUnlessPolling(ctx, kReadCellsButton);
}

void startTemperatureButton(ui::Context& ctx) {
  const bool broadcast = monitor::StartTemperatureConversion(ctx, ctx.startup.tempSelectDigit);
  const bool hex = ctx.selfTest.tempHexFlag == 1;
  for (int k = 0; k < monitor::kTemperatures; ++k) {
    ctx.c.Text6[k].setText(hex ? monitor::kHexResetText : monitor::kTemperatureResetText);
  }
  monitor::leaveTemperatureHexView(ctx);
  reminderState(ctx, Reminder::ReadTemp) = kReminderArmed;
  ctx.startup.reminders.armedByBroadcast[static_cast<std::size_t>(Reminder::ReadTemp)] = broadcast;
  focusUnlessPolling(ctx, kReadTempButton);
}

void readCellVoltagesButton(ui::Context& ctx) {
  {
    const DisplayAll shown(ctx);
    monitor::ReadCellVoltages(ctx, ctx.config.tenCellFlag);
    views::deriveFromConfig(ctx, ctx.boards.CurrentBoard);
    views::drawCellStatus(ctx);
  }
  reminderState(ctx, Reminder::ReadCells) = kReminderRelease;
  focusUnlessPolling(ctx, kReadFlagButton);
}

void readFlagsButton(ui::Context& ctx) {
  {
    const DisplayAll shown(ctx);
    monitor::ReadFlags(ctx);
    views::deriveFromFlags(ctx, ctx.boardInUse());
    views::drawCellStatus(ctx);
  }
  focusUnlessPolling(ctx, kStartCellButton);
}

void readTemperaturesButton(ui::Context& ctx) {
  {
    const DisplayAll shown(ctx);
    monitor::ReadTemperatures(ctx);
    monitor::ShowTemperatures(ctx);
    monitor::CheckThermalShutdown(ctx);
  }
  reminderState(ctx, Reminder::ReadTemp) = kReminderRelease;
  focusUnlessPolling(ctx, kStartTempButton);
}

void Command3_Click(ui::Context& ctx, int index) {
  if (index != 0 && index != 1) return;
  beginButtonCommand(ctx);
  startCellConversionButton(ctx, index == 0 ? monitor::kStartSTCVDC : monitor::kStartSTOWDC);
  refreshReminders(ctx);
}

void thermalRecoveryAfterWrite(ui::Context& ctx) {
  if (!ctx.reads.thermalRecoveryPending) return;
  {
    const DisplayAll shown(ctx);
    monitor::ReadBackConfig(ctx);
  }
  ctx.reads.thermalState.fill(0);
  ctx.reads.thermalRecoveryPending = false;
}

}  // namespace kb::startup
