#include "balancer/BalancerPath.h"

#include "balancer/CommandWord.h"
#include "config/ConfigEditor.h"
#include "context/Context.h"
#include "startup/BoardControls.h"
#include "startup/ButtonCommands.h"

namespace kb::balancer {

namespace {

// GPIO1 (CFGR0 bit 5) through its box: the box's click rebuilds CFGR0, run even when the box
// already shows the value.
void setGpio1(ui::Context& ctx, int value) {
  form::Control& box = ctx.c.Check0[5];
  const bool changes = box.value() != value;
  box.setValue(value);
  if (!changes) config::Check0_Click(ctx, 5);
}

int selectedScope(ui::Context& ctx) {
  for (int i = 0; i < 2; ++i) {
    if (ctx.c.Option3[i].value() == 1) return i;
  }
  return -1;
}

}  // namespace

void openBalancerPath(ui::Context& ctx, bool global) {
  auto& b = ctx.balancer;
  b.scopeBefore = selectedScope(ctx);
  ctx.c.Option3[global ? 1 : 0].setValue(1);
  setGpio1(ctx, 0);
  startup::writeConfig(ctx);
  b.pathOpen = true;
  b.pathGlobal = global;
}

void closeBalancerPath(ui::Context& ctx, bool reselectBoard) {
  auto& b = ctx.balancer;
  setGpio1(ctx, 1);
  startup::writeConfig(ctx);
  startup::readConfig(ctx);
  b.pathOpen = false;
  if (b.scopeBefore >= 0) ctx.c.Option3[b.scopeBefore].setValue(1);
  if (!reselectBoard) return;
  // The board the balancer panel showed before the transfer.
  const int shown = b.shownBoard;
  if (shown >= 0 && shown < kMaxBoards) startup::Command4_GotFocus(ctx, shown);
}

}  // namespace kb::balancer
