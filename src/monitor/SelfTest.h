#pragma once
// The self tests' comparisons and hexadecimal views: conversion starts whose select digit (D, E or
// F) fill the result registers with a fixed pattern (0xFFF, 0x555, 0xAAA); their read-backs are
// shown in hexadecimal and compared with the pattern here. The panel's procedures are in
// startup/SelfTestPanel.h.
#include <cstdint>

namespace kb::ui {
struct Context;
}

namespace kb::monitor {

// The cell boxes read (ten in ten-cell mode, else twelve) and the three temperature boxes against
// the expected text of SelfTestVariant: red where they differ, white where they match; another
// variant leaves them alone.
void compareCellCodes(ui::Context& ctx);
void compareTemperatureCodes(ui::Context& ctx);

// Leaving the hexadecimal view (a normal conversion start, the continuous cycle): clears the hex
// flag and returns the boxes a comparison marked red to white.
void leaveCellHexView(ui::Context& ctx);
void leaveTemperatureHexView(ui::Context& ctx);

// Board selection, after the new board's cell (temperature) texts: while they show codes, they are
// compared with the pattern, whatever a test start left. Nothing in the volts view.
void compareCellsOfNewBoard(ui::Context& ctx);
void compareTemperaturesOfNewBoard(ui::Context& ctx);

// Background of a value box in use: red while the last comparison found it off the pattern, else
// white.
std::int32_t cellBoxBackground(const ui::Context& ctx, int cell);
std::int32_t temperatureBoxBackground(const ui::Context& ctx, int k);

}  // namespace kb::monitor
