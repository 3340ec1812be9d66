// Continuous read: start, stop and the three steps of a cycle.
#include "continuous/Cycle.h"

#include <array>

#include "common/HexText.h"
#include "context/Context.h"
#include "continuous/FastScan.h"
#include "monitor/Conversions.h"
#include "monitor/Measurements.h"
#include "monitor/SelfTest.h"
#include "monitor/TransferLog.h"
#include "startup/BoardControls.h"
#include "startup/ButtonCommands.h"
#include "startup/Startup.h"
#include "views/BoardSelection.h"
#include "views/CellGrid.h"
#include "views/Selection.h"

namespace kb::continuous {

namespace {

// Monitor buttons whose commands the cycle sends itself.
constexpr std::array<int, 6> kCycleButtons{ui::kStartCellVoltButton, ui::kStartOpenWireButton,
                                           ui::kStartTempButton,     ui::kReadCellVoltButton,
                                           ui::kReadFlagButton,      ui::kReadTempButton};

// What the cycle sends itself is locked while it runs: those buttons, the STOWAD and
// discharge-held broadcast boxes, the discharge-held starts and the self tests.
void enableCycleButtons(ui::Context& ctx, bool on) {
  auto& c = ctx.c;
  for (const int i : kCycleButtons) c.Command1[i].enabled = on;
  c.Check5[3].enabled = on;
  for (int k = 0; k < 2; ++k) {
    c.Command3[k].enabled = on;
    c.Check8[k].enabled = on;
  }
  for (int k = 0; k <= 6; ++k) c.Command5[k].enabled = on;
}

// The cycle's conversion starts go to every board at once; the read labels "BOARD# n ONLY" do
// not apply to its reads.
void lockBroadcastStarts(ui::Context& ctx, bool lock) {
  auto& c = ctx.c;
  if (lock) {
    c.Check5[2].setValue(1);
    c.Check5[4].setValue(1);
  }
  c.Check5[2].enabled = !lock;
  c.Check5[4].enabled = !lock;
  for (int k = 1; k <= 3; ++k) c.Label18[k].enabled = !lock;
}

void resetCycleReminders(ui::Context& ctx) {
  startup::resetReminder(ctx, static_cast<int>(startup::Reminder::ReadCells));
  startup::resetReminder(ctx, static_cast<int>(startup::Reminder::ReadTemp));
}

void startCycle(ui::Context& ctx) {
  auto& c = ctx.c;
  auto& s = ctx.cycle;
  s.ContinuousReadOn = 1;
  startFastScan(ctx);
  c.Command1[ui::kContinuousReadButton].setCaption("STOP  CONTINUOUS READ CELLS");
  c.Shape3->fillColor = kGreen;
  s.CycleStep = 0;
  ctx.startup.displayAllOverride = false;
  monitor::Check_AUTO_Click(ctx);
  enableCycleButtons(ctx, false);
  c.Shape_SelfTestDCC->fillColor = kWhite;
  c.Command1[ui::kReadConfigButton].enabled = true;
  startup::readConfig(ctx);
  s.CycleBoard = 0;
  lockBroadcastStarts(ctx, true);
  // A single cell selected goes out by broadcast with the cycle's starts.
  views::followCellStartBroadcast(ctx, true);
  resetCycleReminders(ctx);
  views::showBoardCells(ctx);
  views::showBoardTemperatures(ctx);
  views::drawAllCellStatus(ctx);
  // The cycle keeps the watchdog served itself.
  s.WdtServiceActive = 0;
  monitor::ClearLog(ctx);
  monitor::forgetLog(ctx);
}

void stopCycle(ui::Context& ctx) {
  auto& c = ctx.c;
  auto& s = ctx.cycle;
  s.ContinuousReadOn = 0;
  stopFastScan(ctx);
  c.Command1[ui::kContinuousReadButton].setCaption("START CONTINUOUS READ CELLS");
  c.Shape3->fillColor = kRed;
  views::clearOnNextCommand(ctx);
  s.CycleBoard = ctx.boards.CurrentBoard;
  enableCycleButtons(ctx, true);
  c.Command1[ui::kReadConfigButton].enabled = true;
  lockBroadcastStarts(ctx, false);
  startup::Command4_Click(ctx, ctx.boards.CurrentBoard);
  // What the cycle read is not kept: every board's cell and temperature values return to 0.
  for (int b = 0; b <= ctx.boards.LastBoardIndex && b < kMaxBoards; ++b) {
    for (int cell = 1; cell <= monitor::kCellsPerBoard; ++cell) {
      ctx.measure.volts[static_cast<std::size_t>(monitor::cellSlot(b, cell))] = 0.0F;
    }
    for (int k = 0; k < monitor::kTemperatures; ++k) {
      ctx.measure.volts[static_cast<std::size_t>(monitor::temperatureSlot(b, k))] = 0.0F;
    }
  }
  watchdogArmCheck(ctx);
  resetCycleReminders(ctx);
  monitor::ClearLog(ctx);
  monitor::forgetLog(ctx);
}

}  // namespace

void toggleContinuousRead(ui::Context& ctx) {
  if (ctx.cycle.ContinuousReadOn == 1) {
    stopCycle(ctx);
  } else {
    startCycle(ctx);
  }
}

void stopContinuousRead(ui::Context& ctx) {
  if (ctx.cycle.ContinuousReadOn == 1) stopCycle(ctx);
}

void runCycleStep(ui::Context& ctx) {
  auto& s = ctx.cycle;
  switch (s.CycleStep) {
    case 0:
      monitor::StartConversion(ctx, monitor::kStartSTCVAD, ctx.startup.cellSelectDigit);
      views::forgetCellReadings(ctx);
      monitor::leaveCellHexView(ctx);
      // An empty transaction gives the conversion its time before the read.
      ctx.link().SendCommand("");
      monitor::ReadCellVoltages(ctx, ctx.config.tenCellFlag);  // the grid follows the reading
      break;
    case 1:
      monitor::StartTemperatureConversion(ctx, ctx.startup.tempSelectDigit);
      monitor::leaveTemperatureHexView(ctx);
      monitor::ReadTemperatures(ctx);
      monitor::showTemperatures(ctx);
      views::followThermalShutdown(ctx);
      break;
    default:
      monitor::ReadFlags(ctx);  // the grid follows the reading
      break;
  }
  // The summary row of the board just read; the cell panels stay with CurrentBoard.
  views::drawCellStatus(ctx);
  if (++s.CycleStep >= 3) {
    s.CycleStep = 0;
    ++s.CycleBoard;
  }
  if (s.CycleBoard > ctx.boards.LastBoardIndex) s.CycleBoard = 0;
  views::moveBoardMarker(ctx, s.CycleBoard);
}

bool anyCdcSet(const ui::Context& ctx) {
  for (int b = 0; b <= ctx.boards.LastBoardIndex && b < kMaxBoards; ++b) {
    const std::string& cfgr0 = ctx.config.written[static_cast<std::size_t>(b)][0];
    if ((hexValue(cfgr0) & 0x07u) != 0) return true;
  }
  return false;
}

void watchdogArmCheck(ui::Context& ctx) {
  auto& s = ctx.cycle;
  if (anyCdcSet(ctx)) {
    s.WdtServiceActive = 1;
    s.WdtPhase = kKeepAlivePhase;
    // A board out of standby can measure again: the buttons a low-current standby blocked come
    // back, unless balancing holds them.
    if (!ctx.balancer.BalancerPolling && !ctx.timed.FlagAlarm) {
      for (const int i : ui::kMeasurementButtons) ctx.c.Command1[i].enabled = true;
    }
    return;
  }
  s.WdtServiceActive = 0;
  auto& b = ctx.balancer;
  b.BalancerPolling = false;
  b.ExecutingBoard1 = false;
  b.ExecutingOtherBoards = false;
  ctx.timed.FlagAlarm = false;
  ctx.c.Label_3->visible = false;
  for (const int i : ui::kMeasurementButtons) ctx.c.Command1[i].enabled = true;
}

}  // namespace kb::continuous
