#pragma once
// The "File" and "Datalog" menus and the datalog header, and the spreadsheet export of the
// multi-board datalog layout.
#include <ctime>
#include <string>

#include "common/Spreadsheet.h"
#include "continuous/DatalogState.h"
#include "startup/BoardSet.h"

namespace kb::ui {
struct Context;
}

namespace kb::continuous {

// Registers the menu procedures and the datalog header fields as state variables.
void wireDatalog(ui::Context& ctx);

// "Exit": ends the program at once, without clean-up.
void mnuExit_Click(ui::Context& ctx);
// "View Last Datalog": no action.
void mnuViewLastDatalog_Click(ui::Context& ctx);
// "Excel Out Test": writes the datalog workbook next to the program and asks the desktop to open
// it. Leaves the system set to ten boards. A failure is told in a message box.
void mnuExcelOutTest_Click(ui::Context& ctx);

// "mm-dd-yyyy_hh_mm_ss AM" on a 12-hour clock.
std::string workbookTimeStamp(const std::tm& t);
// folder + "/" + stamp + "_EXCELoutTEST.xls" (no folder: the working folder).
std::string workbookPath(const std::string& folder, const std::string& stamp);
// Row-11 cell of the last column of board lastBoardIndex: "V11" for 0 .. "HC11" for 9.
std::string lastColumnCell(int lastBoardIndex);
// Writes the board blocks of boards 0..LastBoardIndex, the legends, the bold header range with
// its auto-fitted columns, and the title and summary.
void fillDatalogSheet(sheet::Worksheet& ws, const startup::BoardSet& boards,
                      const DatalogState& datalog, const std::string& workbookPath);

}  // namespace kb::continuous
