// The self-test panel: the pattern choice and the seven buttons, as monitor button commands
// (leaving standby, the display-all override, the reminders) over the comparisons of
// monitor/SelfTest.h.
#include "startup/SelfTestPanel.h"

#include <array>
#include <cstddef>
#include <string>

#include "context/Context.h"
#include "monitor/Conversions.h"
#include "monitor/Measurements.h"
#include "monitor/SelfTest.h"
#include "startup/MeasureButtons.h"
#include "startup/Startup.h"

namespace kb::startup {

namespace {

using form::Event;

constexpr int kCellVoltButton = 0;
constexpr int kAllTempButton = 2;
constexpr int kReadCellHexButton = 3;
constexpr int kReadTempHexButton = 4;

// The discharge indicator while a test ran with discharge held.
constexpr std::int32_t kDischargeHeld = rgb(128, 128, 255);  // 16744576

// Box text a cell test start writes.
constexpr const char* kCellTestResetText = "0x000 ";

struct Pattern {
  const char* variant;
  // Tool tips of the test starts, buttons 0, 5, 1, 6, 2.
  std::array<const char*, 5> tips;
};

constexpr std::array<Pattern, 3> kPatterns{{
    {"E",
     {"0x1E STCVAD SELF TEST1 ALL", "0x6E STCVDC SELF TEST1 ALL", "0x2E STOWAD SELF TEST1 ALL",
      "0x7E STOWDC SELF TEST1 ALL", "0x3E STTMPAD SELF TEST1 ALL"}},
    {"F",
     {"0x1F STCVAD SELF TEST2 ALL", "0x6F STCVDC SELF TEST2 ALL", "0x2F STOWAD SELF TEST2 ALL",
      "0x7F STOWDC SELF TEST2 ALL", "0x3F STTMPAD SELF TEST2 ALL"}},
    {"D",
     {"0x1D STCVAD CLEAR (FF) ALL", "0x6D STCVDC CLEAR (FF) ALL", "0x2D STOWAD CLEAR (FF) ALL",
      "0x7D STOWDC CLEAR (FF) ALL", "0x3D STTMPAD CLEAR (FF) ALL"}},
}};
constexpr std::array<int, 5> kTipButtons{0, 5, 1, 6, 2};

// The focus moves on to the next step of the test, unless balancing is active (the balancer
// keep-alive runs).
void focusNext(ui::Context& ctx, int button) {
  if (!ctx.balancer.BalancerPolling) ctx.c.Command5[button].setFocus();
}

// A hexadecimal read counts as the reading its reminder asks for.
void releaseAfterRead(ui::Context& ctx, Reminder r) {
  ctx.startup.reminders.state[static_cast<std::size_t>(r)] = kReminderRelease;
  refreshReminders(ctx);
}

void startCellTest(ui::Context& ctx, int button) {
  const int kind = button == 0   ? monitor::kStartSTCVAD
                   : button == 1 ? monitor::kStartSTOWAD
                   : button == 5 ? monitor::kStartSTCVDC
                                 : monitor::kStartSTOWDC;
  const bool broadcast = monitor::StartConversion(ctx, kind, ctx.startup.SelfTestVariant);
  for (int c = 0; c < monitor::kCellsPerBoard; ++c) {
    form::Control& box = ctx.c.Text1[c];
    box.setText(kCellTestResetText);
    box.foreColor = kBlack;
    box.backColor = kWhite;
  }
  ctx.selfTest.cellMismatch.fill(false);
  blankCellStatus(ctx, broadcast);
  ctx.c.Shape_SelfTestDCC->fillColor = button == 5 || button == 6 ? kDischargeHeld : kWhite;
  ctx.selfTest.cellHexFlag = 1;
  ctx.selfTest.CellSelfTestStarted = true;
  focusNext(ctx, kReadCellHexButton);
}

void startTemperatureTest(ui::Context& ctx) {
  monitor::StartTemperatureConversion(ctx, ctx.startup.SelfTestVariant);
  ctx.selfTest.tempHexFlag = 1;
  for (int k = 0; k < monitor::kTemperatures; ++k) ctx.c.Text6[k].setText(monitor::kHexResetText);
  ctx.selfTest.TempSelfTestStarted = true;
  focusNext(ctx, kReadTempHexButton);
}

void readCellsInHex(ui::Context& ctx) {
  ctx.selfTest.cellHexFlag = 1;
  {
    const DisplayAll shown(ctx);
    monitor::ReadCellVoltages(ctx, ctx.config.tenCellFlag);
  }
  if (ctx.selfTest.CellSelfTestStarted) monitor::compareCellCodes(ctx);
  releaseAfterRead(ctx, Reminder::ReadCells);
  ctx.selfTest.CellSelfTestStarted = false;
  focusNext(ctx, kCellVoltButton);
}

void readTemperaturesInHex(ui::Context& ctx) {
  ctx.selfTest.tempHexFlag = 1;
  {
    const DisplayAll shown(ctx);
    monitor::ReadTemperatures(ctx);
  }
  monitor::showTemperatures(ctx);
  if (ctx.selfTest.TempSelfTestStarted) monitor::compareTemperatureCodes(ctx);
  releaseAfterRead(ctx, Reminder::ReadTemp);
  ctx.selfTest.TempSelfTestStarted = false;
  focusNext(ctx, kAllTempButton);
}

}  // namespace

void Option2_Click(ui::Context& ctx, int index) {
  if (index < 0 || index >= static_cast<int>(kPatterns.size())) return;
  const Pattern& p = kPatterns[static_cast<std::size_t>(index)];
  ctx.startup.SelfTestVariant = p.variant;
  for (std::size_t i = 0; i < kTipButtons.size(); ++i) {
    ctx.c.Command5[kTipButtons[i]].toolTip = p.tips[i];
  }
}

void Command5_Click(ui::Context& ctx, int index) {
  if (index < 0 || index > 6) return;
  beginButtonCommand(ctx);
  switch (index) {
    case kAllTempButton:
      startTemperatureTest(ctx);
      break;
    case kReadCellHexButton:
      readCellsInHex(ctx);
      break;
    case kReadTempHexButton:
      readTemperaturesInHex(ctx);
      break;
    default:
      startCellTest(ctx, index);
      break;
  }
}

void wireSelfTests(ui::Context& ctx) {
  form::Form& f = ctx.form();
  ui::Context* c = &ctx;
  f.on(Event::Click, ctx.c.Option2, [c](int i) { Option2_Click(*c, i); });
  f.on(Event::Click, ctx.c.Command5, [c](int i) { Command5_Click(*c, i); });
  using ui::StateVariables;
  ctx.variables.add("CellSelfTestStarted",
                    [c] { return StateVariables::truth(c->selfTest.CellSelfTestStarted); });
  ctx.variables.add("TempSelfTestStarted",
                    [c] { return StateVariables::truth(c->selfTest.TempSelfTestStarted); });
}

}  // namespace kb::startup
