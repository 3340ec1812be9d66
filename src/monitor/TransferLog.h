#pragma once
// The transfer log: the most recent monitor transfer as a small table of the PECs that went out
// and came back, and the PEC display mode ("PEC Match Only"). Every transfer overwrites it; board
// selection writes the remembered kind again from the new board's stored PECs. Start and poll
// rows are written by the commands themselves; the read-back and configuration-write rows follow
// the readings stream.
#include <string>

#include "context/Readings.h"
#include "monitor/PecJudge.h"
#include "monitor/TransferLogState.h"

namespace kb::ui {
struct Context;
}

namespace kb::monitor {

// Row of a start or poll command (name "PLADC", code "40" with its PEC, the address PEC).
void LogCommand(ui::Context& ctx, const std::string& name, const std::string& code,
                const std::string& codePec, const std::string& addressPec, bool broadcast);
// Row of WRCFG for the selected board: its written configuration's data PEC.
void LogWriteConfig(ui::Context& ctx);
// Row of a read-back of board with the received and calculated PECs stored for it.
// rdcvMode: the RDCV mode of a cell read (0 twelve cells, 1 ten cells).
void LogReadBack(ui::Context& ctx, ReadKind kind, int board, int rdcvMode = 0);
// The row of a reading: read-backs (RDFLG only for the selected board) and configuration writes;
// other readings write none. Subscribed to the readings stream.
void logReading(ui::Context& ctx, const readings::Reading& reading);
// Empties the description and the data row and returns the board indicators to the system
// colour.
void ClearLog(ui::Context& ctx);
// Board selection: writes the remembered row again for the (new) current board.
void rewriteLog(ui::Context& ctx);
// Forgets the remembered row (start-up, the continuous cycle starting or stopping).
void forgetLog(ui::Context& ctx);

// The texts, for the row writers and their tests.
std::string addressLine(bool broadcast, const std::string& address, int board);

// "PEC Match Only": shows the transfer display mode that the check box selects.
void Check_AUTO_Click(ui::Context& ctx);

}  // namespace kb::monitor
