#include "startup/ConfigActions.h"

#include "config/ConfigEditor.h"
#include "context/Context.h"
#include "continuous/Cycle.h"
#include "monitor/MonitorCommands.h"
#include "startup/MeasureButtons.h"
#include "startup/Startup.h"
#include "views/CellGrid.h"

namespace kb::startup {

void writeConfig(ui::Context& ctx) {
  config::copyConfigToAll(ctx);  // take the edited configuration
  monitor::SendConfig(ctx);      // the grid follows the write
  thermalRecoveryAfterWrite(ctx);
  auto& rem = ctx.startup.reminders;
  const auto r = static_cast<std::size_t>(Reminder::ReadConfig);
  if (ctx.c.Command1[6].enabled) {
    rem.state[r] = kReminderArmed;
    rem.armedByBroadcast[r] = ctx.boards.broadcast(BroadcastCommand::WRCFG);
  }
  config::refreshConfigView(ctx);  // written and edited agree again
}

void lowCurrentStandby(ui::Context& ctx) {
  auto& c = ctx.c;
  continuous::StopContinuousRead(ctx);
  ctx.config.setDefaults();
  views::clearDischargeBits(ctx);
  // The editor shows the defaults, so that nothing stale goes out with them.
  config::loadEditor(ctx);
  c.Check5[5].setValue(1);
  Command1_Click(ctx, 5);
  const int current = ctx.boards.CurrentBoard;
  for (int b = 0; b <= ctx.boards.LastBoardIndex; ++b) {
    ctx.boards.CurrentBoard = b;
    Command1_Click(ctx, 6);
  }
  ctx.boards.CurrentBoard = current;
  Command1_Click(ctx, 6);
  for (int r = 0; r < kReminders; ++r) resetReminder(ctx, r);
  ctx.link().SendModeString("MI");
  for (const int i : {10, 2, 7, 4, 9, 8}) c.Command1[i].enabled = false;
  ctx.balancer.BalancerPolling = false;
  ctx.balancer.ExecutingBoard1 = false;
  ctx.balancer.ExecutingOtherBoards = false;
  c.Label_3->visible = false;
}

}  // namespace kb::startup
