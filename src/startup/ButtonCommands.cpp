#include "startup/ButtonCommands.h"

#include "config/ConfigEditor.h"
#include "config/VoltageLimits.h"
#include "context/Context.h"
#include "monitor/Conversions.h"
#include "monitor/MonitorCommands.h"
#include "monitor/TransferLog.h"
#include "startup/MeasureButtons.h"
#include "startup/Startup.h"
#include "views/CellGrid.h"

namespace kb::startup {

namespace {

// A command as a click of its button runs it.
template <typename Command>
void asButton(ui::Context& ctx, Command command) {
  beginButtonCommand(ctx);
  command();
  refreshReminders(ctx);
}

// PLADC (0) or PLINT (1), the cycle stopped first; chip select stays low until the next command.
void poll(ui::Context& ctx, int which) {
  stopContinuousRead(ctx);
  monitor::SendPoll(ctx, which);
  ctx.startup.chipSelectLeftLow = true;
}

// The edited configuration goes out (WRCFG) and READ CONFIG is reminded.
void writeEditedConfig(ui::Context& ctx) {
  config::copyConfigToAll(ctx);  // take the edited configuration
  monitor::SendConfig(ctx);      // the grid follows the write
  thermalRecoveryAfterWrite(ctx);
  auto& rem = ctx.startup.reminders;
  const auto r = static_cast<std::size_t>(Reminder::ReadConfig);
  if (ctx.c.Command1[ui::kReadConfigButton].enabled) {
    rem.state[r] = kReminderArmed;
    rem.armedByBroadcast[r] = ctx.boards.broadcast(BroadcastCommand::WRCFG);
  }
  config::refreshConfigView(ctx);  // written and edited agree again
}

// RDCFG with every transfer shown, then "PEC Match Only" again; READ CONFIG released.
void readBackConfig(ui::Context& ctx) {
  ctx.startup.displayAllOverride = true;
  monitor::ReadBackConfig(ctx);
  config::showReadBackVolts(ctx);
  ctx.startup.displayAllOverride = false;
  monitor::Check_AUTO_Click(ctx);
  ctx.startup.reminders.state[static_cast<std::size_t>(Reminder::ReadConfig)] = kReminderRelease;
}

// Every board back to its default configuration, written by broadcast and read back, then the
// controller's SPI lines forced high ("MI").
void standbyDefaults(ui::Context& ctx) {
  auto& c = ctx.c;
  stopContinuousRead(ctx);
  ctx.config.setDefaults();
  views::clearDischargeBits(ctx);
  // The editor shows the defaults, so that nothing stale goes out with them.
  config::loadEditor(ctx);
  c.Check5[5].setValue(1);
  writeConfig(ctx);
  const int current = ctx.boards.CurrentBoard;
  for (int b = 0; b <= ctx.boards.LastBoardIndex; ++b) {
    ctx.boards.CurrentBoard = b;
    readConfig(ctx);
  }
  ctx.boards.CurrentBoard = current;
  readConfig(ctx);
  for (int r = 0; r < kReminders; ++r) resetReminder(ctx, r);
  ctx.link().SendModeString("MI");
  for (const int i : ui::kMeasurementButtons) c.Command1[i].enabled = false;
  ctx.balancer.BalancerPolling = false;
  ctx.balancer.ExecutingBoard1 = false;
  ctx.balancer.ExecutingOtherBoards = false;
  c.Label_3->visible = false;
}

}  // namespace

void pollAdc(ui::Context& ctx) {
  asButton(ctx, [&] { poll(ctx, 0); });
}

void pollInt(ui::Context& ctx) {
  asButton(ctx, [&] { poll(ctx, 1); });
}

void startCellVolt(ui::Context& ctx) {
  asButton(ctx, [&] { startCellConversionButton(ctx, monitor::kStartSTCVAD); });
}

void startOpenWire(ui::Context& ctx) {
  asButton(ctx, [&] { startCellConversionButton(ctx, monitor::kStartSTOWAD); });
}

void startTemp(ui::Context& ctx) {
  asButton(ctx, [&] { startTemperatureButton(ctx); });
}

void writeConfig(ui::Context& ctx) {
  asButton(ctx, [&] {
    writeEditedConfig(ctx);
    if (ctx.cycle.ContinuousReadOn == 0) run(ctx.startup.upper.watchdogArmCheck, ctx);
  });
}

void readConfig(ui::Context& ctx) {
  asButton(ctx, [&] { readBackConfig(ctx); });
}

void readCellVolt(ui::Context& ctx) {
  asButton(ctx, [&] { readCellVoltagesButton(ctx); });
}

void readFlag(ui::Context& ctx) {
  asButton(ctx, [&] { readFlagsButton(ctx); });
}

void readTemp(ui::Context& ctx) {
  asButton(ctx, [&] { readTemperaturesButton(ctx); });
}

void continuousRead(ui::Context& ctx) {
  asButton(ctx, [&] { run(ctx.startup.upper.toggleContinuousRead, ctx); });
}

void lowCurrentStandby(ui::Context& ctx) {
  asButton(ctx, [&] {
    standbyDefaults(ctx);
    ctx.startup.LowCurrentStandby = 1;
  });
}

void Check0_GotFocus(ui::Context& ctx, int index) {
  config::Check0_Click(ctx, index);
  writeConfig(ctx);
  readConfig(ctx);
}

}  // namespace kb::startup
