#pragma once
// The transfer log: the most recent monitor transfer as a small table of the PECs that went out
// and came back. Every transfer overwrites it; board selection writes the remembered kind again
// from the new board's stored PECs.
#include <string>

#include "monitor/PecJudge.h"

namespace kb::ui {
struct Context;
}

namespace kb::startup {

// Kind of the last row a read-back or configuration write produced.
inline constexpr int kLogNone = 0;
inline constexpr int kLogWriteConfig = 2;
inline constexpr int kLogReadConfig = 3;
inline constexpr int kLogReadCells = 4;  // 4 + RDCV mode (0 twelve cells, 1 ten cells)
inline constexpr int kLogReadFlags = 8;
inline constexpr int kLogReadTemps = 9;

struct TransferLogState {
  int lastKind = kLogNone;
};

// Row of a start or poll command (name "PLADC", code "40" with its PEC, the address PEC).
void LogCommand(ui::Context& ctx, const std::string& name, const std::string& code,
                const std::string& codePec, const std::string& addressPec, bool broadcast);
// Row of WRCFG for the selected board: its written configuration's data PEC.
void LogWriteConfig(ui::Context& ctx);
// Row of a read-back of board with the received and calculated PECs stored for it.
// rdcvMode: the RDCV mode of a cell read (0 twelve cells, 1 ten cells).
void LogReadBack(ui::Context& ctx, monitor::ReadKind kind, int board, int rdcvMode = 0);
// Empties the description and the data row and returns the board indicators to the system
// colour.
void ClearLog(ui::Context& ctx);
// Board selection: writes the remembered row again for the (new) current board.
void RewriteLog(ui::Context& ctx);
// Forgets the remembered row (start-up, the continuous cycle starting or stopping).
void forgetLog(ui::Context& ctx);

// The texts, for the row writers and their tests.
std::string addressLine(bool broadcast, const std::string& address, int board);

}  // namespace kb::startup
