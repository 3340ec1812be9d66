#pragma once
// Cell voltage, flag and temperature read-backs (RDCV, RDFLG, RDTMP): decoding of the replies,
// the measurement tables, their text boxes and the thermal-shutdown tracking.
#include <array>

#include <string>
#include <string_view>
#include <vector>
#include "common/Boards.h"

namespace kb::ui {
struct Context;
}

namespace kb::monitor {

// ---- Decoding (pure) --------------------------------------------------------------------------

// Cell codes of an RDCV reply, cells 1..cells (12 or 10). The cells come in pairs of three bytes;
// for pair g, with p = 6g + 12 a character position of the reply, the first code is formed by the
// characters at p, p - 3, p - 2 and the second by p + 1, p + 2, p - 1. A character that is no hex
// digit (filler of a short reply) counts as 0.
std::vector<int> decodeCellCodes(std::string_view reply, int cells);

struct TemperatureReading {
  std::array<int, 3> code{};  // kETMP1, kETMP2, kITMP
  int shutdown = 0;           // bit 0 of the high nibble of the fifth byte
};
// Temperature codes of an RDTMP reply: ETMP1 from characters 12, 9, 10; ETMP2 from 13, 14, 11;
// ITMP from 18, 15, 16; the thermal-shutdown bit from character 17.
TemperatureReading decodeTemperatures(std::string_view reply);

// volts = (code - 512) x 0.0015
float codeToVolts(int code);
// Three upper-case hex digits.
std::string codeText(int code);
// Cell box text: " 0.0000" + "V  " (a minus sign takes the place of the leading blank).
std::string cellVoltsText(float volts);
// Temperature box text: "0.0000" + "V  ".
std::string temperatureText(float volts);

// Hexadecimal view of the self tests: a cell box shows "0x", the three digits of the code and a
// blank ("0x555 "); a temperature box one more blank in front (" 0x555 "). A code never read
// shows as 000.
std::string cellHexText(const std::string& code);
std::string temperatureHexText(const std::string& code);

// Reset texts of the boxes after a conversion start, in volts and in the hexadecimal view.
inline constexpr const char* kCellResetText = " 0.0000V  ";
inline constexpr const char* kTemperatureResetText = " 0.0000V ";
inline constexpr const char* kHexResetText = " 0x000 ";

// ---- Read-backs -------------------------------------------------------------------------------
// Each reads the board in use (CycleBoard while continuous read runs, else CurrentBoard), stores
// the reply, judges its PEC, shows the board's PEC state and stores what it decoded whether the PEC
// matched or not.

// RDCV; mode 0 reads 12 cells, mode 1 reads 10 (cells 11 and 12 keep their values). Shows the
// voltages.
void ReadCellVoltages(ui::Context& ctx, int mode);
// The twelve cell boxes Text1 from the values of CurrentBoard, or from its codes in the
// hexadecimal view.
void ShowCellVoltages(ui::Context& ctx);

// RDFLG; shows the flags.
void ReadFlags(ui::Context& ctx);
// The three flag boxes from the flag bytes of CurrentBoard: "  " + two hex digits + "   ".
void ShowFlags(ui::Context& ctx);
// Flag byte k (0..2) of a board as two hex digits; empty before the first read.
std::string flagText(const ui::Context& ctx, int board, int k);

// RDTMP: temperature codes and values, and the thermal-shutdown flag when the PEC matched.
void ReadTemperatures(ui::Context& ctx);
// The three temperature boxes Text6 from the values of CurrentBoard (its codes in the hexadecimal
// view): Text6(0) ITMP, (1) ETMP1, (2) ETMP2, the rows of the "ITMP Only", "ETMP1Only" and
// "ETMP2Only" boxes.
void showTemperatures(ui::Context& ctx);

// What the thermal check found on a board.
enum class ThermalFinding { None, InShutdown, Left };
// Over every board of the set: a board in thermal shutdown is marked and shown orange; a board that
// left it (and was not written since) has the configuration read-back after the next write
// requested. Returns the finding of each board, for the grid (views::followThermalShutdown).
std::array<ThermalFinding, kMaxBoards> CheckThermalShutdown(ui::Context& ctx);

}  // namespace kb::monitor
