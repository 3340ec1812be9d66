// The timer's balancer services: the keep-alive that keeps executing chips balancing, and the
// check of the monitors' cell flags that stops balancing on an under- or over-voltage.
#include "balancer/Balancer.h"
#include "balancer/BalancerPath.h"
#include "balancer/CommandWord.h"
#include "balancer/TimedBalance.h"
#include "common/HexText.h"
#include "context/Context.h"
#include "monitor/Measurements.h"
#include "startup/ButtonCommands.h"

namespace kb::balancer {

namespace {

// The READ COMMAND byte of the default address between chip-select tokens: any command byte
// with the right address restarts the chips' keep-alive.
constexpr const char* kKeepAliveString = "XSAAx";

constexpr const char* kFlagAlarmTitle = "ERROR!";
constexpr const char* kFlagAlarmText =
    "An QXM7140-2/4 UV or OV Flag was detected.\nCorrect the Cell Voltage and Clear the FLAG.";

// The monitor buttons that an EXECUTE blocks while balancing.
void enableMeasureButtons(ui::Context& ctx) {
  for (const int i : ui::kBalancingBlockedButtons) ctx.c.Command1[i].enabled = true;
}

}  // namespace

void BalancerKeepAlive(ui::Context& ctx) {
  auto& b = ctx.balancer;
  if (b.BalancerBusy || !b.BalancerPolling) return;
  form::Control& wdt = *ctx.c.Label_3;
  if (!wdt.visible) {
    wdt.visible = true;
    openBalancerPath(ctx, true);
    ctx.link().SendCommand(kKeepAliveString);
    closeBalancerPath(ctx, false);
  } else {
    wdt.visible = false;
  }
  if (!b.AnyActionSet) {
    // Nothing left to balance: the polling ends, and with it the block of the measurement
    // buttons (unless an alarm holds it).
    b.BalancerPolling = false;
    b.ExecutingBoard1 = false;
    b.ExecutingOtherBoards = false;
    wdt.visible = false;
    if (!ctx.timed.FlagAlarm) enableMeasureButtons(ctx);
  }
}

void CheckCellFlags(ui::Context& ctx) {
  auto& b = ctx.balancer;
  auto& c = ctx.c;
  const bool tenCells = c.Check0[3].value() == 1;
  unsigned sum = 0;
  for (int board = 0; board < b.BalancerBoardCount; ++board) {
    for (int k = 0; k < 3; ++k) {
      unsigned flags = hexValue(monitor::flagText(ctx, board, k));
      // In ten-cell mode the high half of the third byte belongs to cells 11 and 12.
      if (tenCells && k == 2) flags &= 0x0Fu;
      sum += flags;
    }
  }
  if (sum == 0) return;

  b.BalancerPolling = false;
  b.ExecutingBoard1 = false;
  b.ExecutingOtherBoards = false;
  ctx.timed.FlagAlarm = true;
  c.Option_1[static_cast<int>(Mode::Suspend)].setValue(1);
  if (c.Check_4->value() == 1) {
    c.Check_4->setValue(0);  // pauses the timed run, which suspends the chips
  } else {
    Command_1_Click(ctx);
  }
  ctx.services.dialogs.msgBox(kFlagAlarmText, kFlagAlarmTitle);
  c.Option3[1].setValue(1);  // "GLOBAL CFGR0": every board's configuration again
  startup::writeConfig(ctx);
  startup::readConfig(ctx);
}

}  // namespace kb::balancer
