#pragma once
// The cell status grid: every cell's status code, derived from the board's written configuration
// (discharge and mask bits) and from its flag bytes (under- and over-voltage), gated by whether
// its cell voltages and flags have been read; drawn in the board summary and the cell panels.
#include <array>

#include "context/Readings.h"

namespace kb::ui {
struct Context;
}

namespace kb::views {

// ---- Rules (pure) -----------------------------------------------------------------------------

// Code from the configuration: MD when both bits are set, else DC or MI; no reading (NR) until the
// flags have been read, OK for a plain cell once the voltages have been read too.
int configStatus(bool discharge, bool mask, int flagDataValid, int cellDataValid);
// Code after a flag read: OV wins over UV, a plain cell becomes OK; DC, MI, MD and TS hide the
// flags; any code turns NR while the flags are not valid.
int flagStatus(int status, bool underVoltage, bool overVoltage, int flagDataValid);
// Bits of the flag bytes: FLGR0 covers cells 0..3, FLGR1 4..7, FLGR2 8..11; cell j of a byte owns
// bit 2j (under-voltage) and 2j + 1 (over-voltage).
using FlagBytes = std::array<unsigned, 3>;
bool underVoltageBit(const FlagBytes& flags, int cell);
bool overVoltageBit(const FlagBytes& flags, int cell);

// ---- Operations -------------------------------------------------------------------------------

// The grid's part of a reading, as the readings stream hands it over: an intact cell or flag read
// marks the board's voltages or flags read; a cell read derives the board's codes from its
// configuration, a flag read from its flags, a configuration write from the configuration of the
// boards it reached; then the codes are drawn.
void followReading(ui::Context& ctx, const readings::Reading& reading);
// After a temperature read: the thermal check of the monitor over every board of the set, a board
// in shutdown turning status 7, one that left it status 0, drawn.
void followThermalShutdown(ui::Context& ctx);
// The cycle stopped: the next main-button command clears the codes of every shown board
// (clearIfRequested, run by the dispatcher first), and draws them.
void clearOnNextCommand(ui::Context& ctx);
void clearIfRequested(ui::Context& ctx);
// After a cell conversion start (from a button, a self test or the cycle): every shown board's
// cell voltages count as unread until they are read again.
void forgetCellReadings(ui::Context& ctx);

// After a conversion start: every shown board's codes (broadcast) or CurrentBoard's become NR.
void clearAllCellStatus(ui::Context& ctx);
void clearCurrentCellStatus(ui::Context& ctx);

// Discharge and mask bits from the board's written CFGR1..CFGR3, then its codes; the twin runs it
// for every shown board. A board outside 0..9 is ignored.
void deriveFromConfig(ui::Context& ctx, int board);
void deriveFromConfigAll(ui::Context& ctx);
// Codes from the board's flag bytes. A flag read that failed its PEC leaves the codes as they
// were: its bytes are not the board's.
void deriveFromFlags(ui::Context& ctx, int board);

// Summary row of the board in use (CycleBoard while continuous read runs, else CurrentBoard) and
// the cell panels of CurrentBoard.
void drawCellStatus(ui::Context& ctx);
// Summary rows of every shown board and the cell panels of CurrentBoard.
void drawAllCellStatus(ui::Context& ctx);
// Summary row of one board: each cell filled with its code's colour.
void drawBoardRow(ui::Context& ctx, int board);
// Level marks and backgrounds of the twelve cell panels, from CurrentBoard's codes.
void drawCellPanels(ui::Context& ctx);

// Low-current standby: no board discharges any more.
void clearDischargeBits(ui::Context& ctx);

}  // namespace kb::views
