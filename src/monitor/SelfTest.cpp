#include "monitor/SelfTest.h"

#include <array>
#include <cstddef>
#include <string>

#include "context/Context.h"
#include "monitor/Measurements.h"

namespace kb::monitor {

namespace {

// Code digits of a variant ("555" for "E"); empty for any other variant.
std::string patternDigits(const std::string& variant) {
  if (variant == "E") return "555";
  if (variant == "F") return "AAA";
  if (variant == "D") return "FFF";
  return {};
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

}  // namespace

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

}  // namespace kb::monitor
