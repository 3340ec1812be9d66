// The tick of Timer1: watchdog service or balancer keep-alive with its balancing checks, the
// balance clock, one step of the continuous read, READ CONFIG's emphasis and the watchdog
// indicator.
#include <array>
#include <cstdint>
#include <string>

#include "balancer/CommandWord.h"
#include "balancer/FlagScope.h"
#include "balancer/TimedBalance.h"
#include "config/ConfigEditor.h"
#include "context/Context.h"
#include "continuous/Cycle.h"
#include "continuous/FastScan.h"
#include "monitor/Conversions.h"
#include "monitor/TransferLog.h"
#include "startup/BoardControls.h"
#include "startup/ButtonCommands.h"

namespace kb::continuous {

namespace {

// Keep-alive slots counted before the first balancing check.
constexpr int kQuietSlots = 10;
// Checks of one board: STARTCELLVOLT, READCELLVOLT, READ FLAG.
constexpr std::array<void (*)(ui::Context&), 3> kCheckCommands{
    startup::startCellVolt, startup::readCellVolt, startup::readFlag};
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
      kCheckCommands[static_cast<std::size_t>(step)](ctx);
      ++s.BalanceCheckCount;
    } else {
      balancer::CheckCellFlags(ctx);
      s.BalanceCheckCount = 0;
    }
    return;
  }
  // Two boards or more: boards 1 and 2 in turn, STCVAD addressed to each, and the board shown
  // selected again afterwards.
  const int shown = ctx.balancer.shownBoard;
  ctx.c.Check5[2].setValue(0);
  if (step >= 0 && step < 6) {
    startup::Command4_Click(ctx, step / 3);
    kCheckCommands[static_cast<std::size_t>(step % 3)](ctx);
    ++s.BalanceCheckCount;
  } else {
    s.BalanceCheckCount = 0;
    balancer::CheckCellFlags(ctx);
  }
  startup::Command4_Click(ctx, shown);
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

// The watchdog phase steps once a tick (three steps while balancing: the keep-alive goes out
// every other tick then).
void advanceWdtPhase(ui::Context& ctx) {
  auto& s = ctx.cycle;
  s.WdtPhase += balancingActive(ctx) ? 3 : 1;
  if (s.WdtPhase >= kWdtPhases) s.WdtPhase = 0;
}

void showStatusLine(form::Control& line, const std::string& text, std::int32_t back) {
  line.setCaption(text);
  line.backColor = back;
  line.visible = true;
}

std::string keepAliveText() {
  return std::string(kWdtPrevents) + kWdtPolling + std::string(kWdtPollingBlanks, ' ');
}

std::string continuousText() {
  return std::string(kWdtPrevents) + kWdtContinuous + std::string(kWdtContinuousBlanks, ' ');
}

// The PLADC broadcast box gives its place to the "WDT SERVICE" flag; the board label beside it
// (shown while the box is cleared) goes with it.
void showPladcBroadcastBox(ui::Context& ctx, bool on) {
  ctx.c.Check5[0].visible = on;
  ctx.c.Label19[0].visible = on && ctx.c.Check5[0].value() == 0;
}

// The status line Label_KA(1), the "WDT SERVICE" flag beside POLL ADC, and the watchdog phase.
void watchdogIndicator(ui::Context& ctx) {
  auto& s = ctx.cycle;
  auto& c = ctx.c;
  form::Control& flag = c.Label_KA[0];
  form::Control& line = c.Label_KA[1];
  const bool anyCdc = anyCdcSet(ctx);
  if (s.WdtServiceActive == 0) {
    s.WdtPhase = 0;
    // The standby hint (pale yellow) belongs to the configuration view and stays.
    if (line.visible && line.backColor != kPaleYellow) line.visible = false;
  }
  if (s.WdtPhase == 0) {
    flag.visible = false;
    c.Shape_KA->visible = false;
    showPladcBroadcastBox(ctx, true);
    c.Command1[ui::kPollAdcButton].width = ui::kButtonWidth;
    c.Command1[ui::kPollAdcButton].left = ui::kButtonLeft;
  }
  if (s.WdtServiceActive == 1) {
    const bool balancing = balancingActive(ctx);
    if (!line.visible) {
      showStatusLine(line, keepAliveText(), kPaleRed);
    } else if (line.backColor == kPaleGreen ||
               (line.backColor == kPaleYellow &&
                ctx.config.cdc[static_cast<std::size_t>(ctx.boards.CurrentBoard)] >= 1)) {
      showStatusLine(line, keepAliveText(), kPaleRed);
    }
    if (s.WdtPhase == kKeepAlivePhase && !balancing) {
      flag.visible = true;
      c.Shape_KA->visible = true;
      showPladcBroadcastBox(ctx, false);
      c.Command1[ui::kPollAdcButton].width = ui::kButtonWidthNarrow;
      c.Command1[ui::kPollAdcButton].left = ui::kButtonLeftNarrow;
    }
    advanceWdtPhase(ctx);
  }
  if (s.ContinuousReadOn == 1 && !c.Label_AUTOstatus->visible && !line.visible && anyCdc) {
    showStatusLine(line, continuousText(), kPaleGreen);
  }
}

}  // namespace

void Timer1_Timer(ui::Context& ctx) {
  if (ctx.startup.LowCurrentStandby == 0) {
    watchdogService(ctx);
    if (ctx.c.Check_4->value() == 1) balancer::balanceClockTick(ctx);
  }
  if (!ctx.startup.controllerDetected) {
    ctx.cycle.ContinuousReadOn = 0;
    ctx.programEnded = true;
    return;
  }
  if (ctx.cycle.ContinuousReadOn == 1) {
    monitor::Check_AUTO_Click(ctx);
    if (ctx.fastScan.running) {
      runFastScan(ctx);
    } else {
      runCycleStep(ctx);
    }
  }
  config::showReadConfigEmphasis(ctx);
  watchdogIndicator(ctx);
}

void keepAliveTick(ui::Context& ctx) {
  auto& s = ctx.cycle;
  if (s.WdtServiceActive != 1) return;
  if (ctx.startup.LowCurrentStandby == 0 && s.WdtPhase == kKeepAlivePhase) {
    if (balancingActive(ctx)) {
      balancer::BalancerKeepAlive(ctx);
    } else {
      monitor::SendBroadcastPladc(ctx);
    }
  }
  advanceWdtPhase(ctx);
}

void wireCycle(ui::Context& ctx) {
  ui::Context* c = &ctx;
  startup::UpperSteps& up = ctx.startup.upper;
  up.toggleContinuousRead = toggleContinuousRead;
  up.stopContinuousRead = stopContinuousRead;
  up.watchdogArmCheck = watchdogArmCheck;
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
