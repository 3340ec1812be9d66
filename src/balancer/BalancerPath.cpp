#include "balancer/BalancerPath.h"

#include "balancer/CommandWord.h"
#include "context/Context.h"
#include "startup/BoardControls.h"
#include "startup/Startup.h"

namespace kb::balancer {

namespace {

constexpr int kCustomScope = 0;
constexpr int kGlobalScope = 1;
constexpr int kGpio1Bit = 5;
constexpr int kWriteConfig = 5;
constexpr int kReadConfig = 6;

// GPIO1 of the monitors in scope driven low (0) or released (1): the box's click rebuilds CFGR0,
// WRITE CONFIG sends it.
void writeGpio1(ui::Context& ctx, int value) {
  form::Control& box = ctx.c.Check0[kGpio1Bit];
  if (box.value() != value) {
    box.setValue(value);
  } else {
    box.click();
  }
  startup::Command1_Click(ctx, kWriteConfig);
}

int selectedScope(ui::Context& ctx) {
  for (const int i : {kCustomScope, kGlobalScope}) {
    if (ctx.c.Option3[i].value() == 1) return i;
  }
  return -1;
}

}  // namespace

void openBalancerPath(ui::Context& ctx, bool global) {
  auto& b = ctx.balancer;
  b.pathScope = selectedScope(ctx);
  ctx.c.Option3[global ? kGlobalScope : kCustomScope].setValue(1);
  b.pathOpen = true;
  b.pathGlobal = global;
  writeGpio1(ctx, 0);
}

void closeBalancerPath(ui::Context& ctx, bool reselectBoard) {
  auto& b = ctx.balancer;
  writeGpio1(ctx, 1);
  startup::Command1_Click(ctx, kReadConfig);
  b.pathOpen = false;
  if (b.pathScope >= 0) ctx.c.Option3[b.pathScope].setValue(1);
  if (reselectBoard) {
    startup::Command4_GotFocus(ctx, static_cast<int>(numericValue(ctx.c.Label21->caption())) - 1);
  }
}

}  // namespace kb::balancer
