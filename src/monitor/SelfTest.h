#pragma once
// The self tests: conversion starts whose select digit (D, E or F) fills the result registers with
// a fixed pattern (0xFFF, 0x555, 0xAAA), read back in hexadecimal and compared with the pattern.
#include <cstdint>

namespace kb::ui {
struct Context;
}

namespace kb::monitor {

// Pattern choice Option2: 0 "0x555" (E), 1 "0xAAA" (F), 2 "0xFFF" (D). Sets SelfTestVariant and
// the tool tips of the five test starts. Any other index does nothing.
void Option2_Click(ui::Context& ctx, int index);

// Command5: 0 "CELL VOLT", 1 "OPEN WIRE", 5 "CELL DCC", 6 "OPEN DCC" start a cell test; 2
// "ALL TEMP " starts a temperature test; 3 "READCELL HEX VIEW" and 4 "READTEMP HEX VIEW" read
// back in hexadecimal and compare when a test was started.
void Command5_Click(ui::Context& ctx, int index);

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

// Registers the procedures and state variables of the self tests.
void wireSelfTests(ui::Context& ctx);

}  // namespace kb::monitor
