#include "monitor/SelfTest.h"

#include <array>
#include <cstddef>
#include <string>

#include "context/Context.h"
#include "monitor/Conversions.h"
#include "monitor/Measurements.h"
#include "startup/MeasureButtons.h"
#include "startup/Startup.h"
#include "views/CellGrid.h"

namespace kb::monitor {

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

// Code digits of a variant ("555" for "E"); empty for any other variant.
std::string patternDigits(const std::string& variant) {
  if (variant == "E") return "555";
  if (variant == "F") return "AAA";
  if (variant == "D") return "FFF";
  return {};
}

// The focus moves on to the next step of the test, unless balancing is active (the balancer
// keep-alive runs).
void focusNext(ui::Context& ctx, int button) {
  if (!ctx.balancer.BalancerPolling) ctx.c.Command5[button].setFocus();
}

// A hexadecimal read counts as the reading its reminder asks for.
void releaseAfterRead(ui::Context& ctx, startup::Reminder r) {
  ctx.startup.reminders.state[static_cast<std::size_t>(r)] = startup::kReminderRelease;
  startup::refreshReminders(ctx);
}

// Marks the first `compared` boxes against the pattern; a box beyond them was not read and loses
// any mark it had.
template <std::size_t N>
void markAgainst(const form::Array& boxes, std::array<bool, N>& mismatch,
                 const std::string& expected, std::size_t compared = N) {
  for (std::size_t i = 0; i < N; ++i) {
    form::Control& box = boxes[static_cast<int>(i)];
    if (i >= compared) {
      if (mismatch[i]) box.backColor = kWhite;
      mismatch[i] = false;
      continue;
    }
    mismatch[i] = box.text() != expected;
    box.backColor = mismatch[i] ? kRed : kWhite;
  }
}

// Leaving a hexadecimal view: the marks go.
template <std::size_t N>
void clearMarks(const form::Array& boxes, std::array<bool, N>& mismatch) {
  for (std::size_t i = 0; i < N; ++i) {
    if (mismatch[i]) boxes[static_cast<int>(i)].backColor = kWhite;
    mismatch[i] = false;
  }
}

void startCellTest(ui::Context& ctx, int button) {
  const int kind = button == 0   ? kStartSTCVAD
                   : button == 1 ? kStartSTOWAD
                   : button == 5 ? kStartSTCVDC
                                 : kStartSTOWDC;
  const bool broadcast = StartConversion(ctx, kind, ctx.startup.SelfTestVariant);
  for (int c = 0; c < kCellsPerBoard; ++c) {
    form::Control& box = ctx.c.Text1[c];
    box.setText(kCellTestResetText);
    box.foreColor = kBlack;
    box.backColor = kWhite;
  }
  ctx.selfTest.cellMismatch.fill(false);
  startup::blankCellStatus(ctx, broadcast);
  ctx.c.Shape_SelfTestDCC->fillColor = button == 5 || button == 6 ? kDischargeHeld : kWhite;
  ctx.selfTest.cellHexFlag = 1;
  ctx.selfTest.CellSelfTestStarted = true;
  focusNext(ctx, kReadCellHexButton);
}

void startTemperatureTest(ui::Context& ctx) {
  StartTemperatureConversion(ctx, ctx.startup.SelfTestVariant);
  ctx.selfTest.tempHexFlag = 1;
  for (int k = 0; k < kTemperatures; ++k) ctx.c.Text6[k].setText(kHexResetText);
  ctx.selfTest.TempSelfTestStarted = true;
  focusNext(ctx, kReadTempHexButton);
}

void readCellsInHex(ui::Context& ctx) {
  ctx.selfTest.cellHexFlag = 1;
  {
    const startup::DisplayAll shown(ctx);
    ReadCellVoltages(ctx, ctx.config.tenCellFlag);
    views::deriveFromConfig(ctx, ctx.boards.CurrentBoard);
    views::drawCellStatus(ctx);
  }
  if (ctx.selfTest.CellSelfTestStarted) compareCellCodes(ctx);
  releaseAfterRead(ctx, startup::Reminder::ReadCells);
  ctx.selfTest.CellSelfTestStarted = false;
  focusNext(ctx, kCellVoltButton);
}

void readTemperaturesInHex(ui::Context& ctx) {
  ctx.selfTest.tempHexFlag = 1;
  {
    const startup::DisplayAll shown(ctx);
    ReadTemperatures(ctx);
  }
  ShowTemperatures(ctx);
  if (ctx.selfTest.TempSelfTestStarted) compareTemperatureCodes(ctx);
  releaseAfterRead(ctx, startup::Reminder::ReadTemp);
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
  startup::beginButtonCommand(ctx);
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

void compareCellCodes(ui::Context& ctx) {
  const std::string digits = patternDigits(ctx.startup.SelfTestVariant);
  if (digits.empty()) return;
  const std::string expected = cellHexText(digits);
  // In ten-cell mode cells 11 and 12 are neither converted nor read.
  const std::size_t read = ctx.config.tenCellFlag == 1 ? 10 : kCellsPerBoard;
  markAgainst(ctx.c.Text1, ctx.selfTest.cellMismatch, expected, read);
}

void compareTemperatureCodes(ui::Context& ctx) {
  const std::string digits = patternDigits(ctx.startup.SelfTestVariant);
  if (digits.empty()) return;
  const std::string expected = temperatureHexText(digits);
  markAgainst(ctx.c.Text6, ctx.selfTest.tempMismatch, expected);
}

void leaveCellHexView(ui::Context& ctx) {
  ctx.selfTest.cellHexFlag = 0;
  clearMarks(ctx.c.Text1, ctx.selfTest.cellMismatch);
}

void leaveTemperatureHexView(ui::Context& ctx) {
  ctx.selfTest.tempHexFlag = 0;
  clearMarks(ctx.c.Text6, ctx.selfTest.tempMismatch);
}

std::int32_t cellBoxBackground(const ui::Context& ctx, int cell) {
  return ctx.selfTest.cellMismatch.at(static_cast<std::size_t>(cell)) ? kRed : kWhite;
}

std::int32_t temperatureBoxBackground(const ui::Context& ctx, int k) {
  return ctx.selfTest.tempMismatch.at(static_cast<std::size_t>(k)) ? kRed : kWhite;
}

void compareCellsOfNewBoard(ui::Context& ctx) {
  if (ctx.selfTest.cellHexFlag == 1) compareCellCodes(ctx);
}

void compareTemperaturesOfNewBoard(ui::Context& ctx) {
  if (ctx.selfTest.tempHexFlag == 1) compareTemperatureCodes(ctx);
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

}  // namespace kb::monitor
