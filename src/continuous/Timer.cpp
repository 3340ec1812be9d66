// The tick of Timer1: watchdog service or balancer keep-alive with its balancing checks, the
// balance clock, one step of the continuous read, and the watchdog indicator.
#include <array>

#include "balancer/FlagScope.h"
#include "balancer/TimedBalance.h"
#include "context/Context.h"
#include "continuous/Cycle.h"
#include "monitor/Conversions.h"
#include "startup/Startup.h"

namespace kb::continuous {

namespace {

// Keep-alive slots counted before the first balancing check.
constexpr int kQuietSlots = 10;
// Checks of one board: STARTCELLVOLT, READCELLVOLT, READ FLAG.
constexpr std::array<int, 3> kCheckButtons{2, 7, 8};
constexpr int kFirstCheck = kQuietSlots + 1;

bool balancingActive(const ui::Context& ctx) {
  return ctx.balancer.BalancerPolling;
}

// One slot of the balancing check: a measurement step of board 1 (and board 2 with two boards or
// more), or, after the last step, the flag check.
void balancingCheck(ui::Context& ctx) {
  auto& s = ctx.cycle;
  const int step = s.BalanceCheckCount - kFirstCheck;
  if (ctx.boards.LastBoardIndex + 1 < 2) {
    if (step >= 0 && step < 3) {
      startup::Command1_Click(ctx, kCheckButtons[static_cast<std::size_t>(step)]);
      ++s.BalanceCheckCount;
    } else {
      balancer::CheckCellFlags(ctx);
      s.BalanceCheckCount = 0;
    }
    return;
  }
  // Two boards or more: boards 1 and 2 in turn, the board shown selected again afterwards.
  // (Board selection and the STCVAD broadcast box join when the board set lands.)
  if (step >= 0 && step < 6) {
    startup::Command1_Click(ctx, kCheckButtons[static_cast<std::size_t>(step % 3)]);
    ++s.BalanceCheckCount;
  } else {
    s.BalanceCheckCount = 0;
    balancer::CheckCellFlags(ctx);
  }
}

void watchdogService(ui::Context& ctx) {
  auto& s = ctx.cycle;
  if (s.WdtServiceActive != 1 || s.WdtPhase != kKeepAlivePhase) return;
  if (!balancingActive(ctx)) {
    monitor::SendBroadcastPladc(ctx);
    return;
  }
  balancer::BalancerKeepAlive(ctx);
  if (s.BalanceCheckCount <= kQuietSlots) {
    ++s.BalanceCheckCount;
    return;
  }
  {
    balancer::FlagScope busy(s.BalanceCheckBusy);
    balancingCheck(ctx);
    balancer::BalancerKeepAlive(ctx);
  }
}

// The "WDT SERVICE" flag beside POLL ADC and the watchdog phase.
void watchdogIndicator(ui::Context& ctx) {
  auto& s = ctx.cycle;
  auto& c = ctx.c;
  if (s.WdtServiceActive == 0) s.WdtPhase = 0;
  if (s.WdtPhase == 0) {
    c.Shape_KA->visible = false;
    c.Command1[0].width = ui::kButtonWidth;
    c.Command1[0].left = ui::kButtonLeft;
  }
  if (s.WdtServiceActive == 1) {
    const bool balancing = balancingActive(ctx);
    if (s.WdtPhase == kKeepAlivePhase && !balancing) {
      c.Shape_KA->visible = true;
      c.Command1[0].width = ui::kButtonWidthNarrow;
      c.Command1[0].left = ui::kButtonLeftNarrow;
    }
    s.WdtPhase += balancing ? 3 : 1;
    if (s.WdtPhase >= kWdtPhases) s.WdtPhase = 0;
  }
}

}  // namespace

void Timer1_Timer(ui::Context& ctx) {
  if (ctx.startup.LowCurrentStandby == 0) {
    watchdogService(ctx);
    if (ctx.c.Check_4->value() == 1) balancer::BalanceClockTick(ctx);
  }
  if (!ctx.startup.controllerDetected) {
    ctx.cycle.ContinuousReadOn = 0;
    ctx.programEnded = true;
    return;
  }
  if (ctx.cycle.ContinuousReadOn == 1) {
    startup::Check_AUTO_Click(ctx);
    RunCycleStep(ctx);
  }
  watchdogIndicator(ctx);
}

void wireCycle(ui::Context& ctx) {
  ui::Context* c = &ctx;
  ctx.form().on(form::Event::Timer, ctx.c.Timer1, [c](int) { Timer1_Timer(*c); });
  using ui::StateVariables;
  StateVariables& v = ctx.variables;
  const CycleState* s = &ctx.cycle;
  v.add("WdtServiceActive", [s] { return StateVariables::number(s->WdtServiceActive); });
  v.add("WdtPhase", [s] { return StateVariables::number(s->WdtPhase); });
  v.add("BalanceCheckCount", [s] { return StateVariables::number(s->BalanceCheckCount); });
  v.add("BalanceCheckBusy", [s] { return StateVariables::truth(s->BalanceCheckBusy); });
}

}  // namespace kb::continuous
