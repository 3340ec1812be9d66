#include "continuous/Datalog.h"

#include <cstdio>

#include "context/Context.h"

namespace kb::continuous {

namespace {

std::string threeDecimals(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(value));
  return text;
}

}  // namespace

void wireDatalog(ui::Context& ctx) {
  form::Form& f = ctx.form();
  ui::Context* c = &ctx;
  f.onMenu("mnuExit", [c] { mnuExit_Click(*c); });
  f.onMenu("mnuExcelOutTest", [c] { mnuExcelOutTest_Click(*c); });
  f.onMenu("mnuViewLastDatalog", [c] { mnuViewLastDatalog_Click(*c); });

  ui::StateVariables& v = ctx.variables;
  const DatalogState* d = &ctx.datalog;
  v.add("DlogSetupStamp", [d] { return d->DlogSetupStamp; });
  v.add("DlogSetupSeconds", [d] { return threeDecimals(d->DlogSetupSeconds); });
  v.add("DlogSetupSamples", [d] { return ui::StateVariables::number(d->DlogSetupSamples); });
  v.add("DlogViewStamp", [d] { return d->DlogViewStamp; });
  v.add("DlogViewSeconds", [d] { return threeDecimals(d->DlogViewSeconds); });
  v.add("DlogViewSamples", [d] { return ui::StateVariables::number(d->DlogViewSamples); });
}

void mnuExit_Click(ui::Context& ctx) {
  ctx.programEnded = true;
}

void mnuViewLastDatalog_Click(ui::Context&) {}

void fillDatalogSheet(sheet::Worksheet& ws, const startup::BoardSet& boards,
                      const DatalogState& datalog, const std::string& workbookPath) {
  struct Field {
    int k;
    const char* title;
    const char* kind;
  };
  static constexpr Field kLeading[] = {{2, "TIME STAMP", "Date/Time"},
                                       {3, "RD-CFGR0-5", "HEX"},
                                       {4, "RD-FLGR0-2", "HEX"},
                                       {5, "UVTHR", "VOLTS"},
                                       {6, "OVTHR", "VOLTS"}};
  static constexpr Field kStatus = {19, "CELL1 - CELL12 STATUS", "STATUS"};
  static constexpr Field kTrailing[] = {
      {20, "ETMP1", "VOLTS"}, {21, "ETMP2", "VOLTS"}, {22, "ITMP1", "VOLTS"}};
  static constexpr const char* kLegend[] = {
      "STATUS LEGEND",         "NR = NO READING",       "OK = GOOD",
      "DC = DISCHARGE",        "UV = UNDER VOLTAGE",    "OV = OVER VOLTAGE",
      "MI = MASKED INTERRUPT", "MD = MASKED DISCHARGE", "TS = THERMAL SHUTDOWN"};

  const int last = boards.LastBoardIndex;
  for (int b = 0; b != last + 1; ++b) {
    const int n = b + 1;
    const std::string prefix =
        "(" + std::to_string(n) + "-" + boards.BoardAddress.at(static_cast<std::size_t>(b)) + ") ";
    auto header = [&](int k, const std::string& title, const std::string& kind) {
      ws.cells(10, 21 * b + k).setValue(prefix + title);
      ws.cells(11, 21 * b + k).setValue(kind);
    };
    ws.cells(10, 1).setValue("SAMPLE");
    ws.cells(11, 1).setValue("POINT");
    for (const Field& f : kLeading) header(f.k, f.title, f.kind);
    // The cell number with the blank that a non-negative number gets in front: "CV 1".
    for (int cell = 1; cell <= 12; ++cell) header(6 + cell, "CV " + std::to_string(cell), "VOLTS");
    for (int row = 1; row <= 9; ++row) ws.cells(row, 21 * b + kStatus.k).setValue(kLegend[row - 1]);
    header(kStatus.k, kStatus.title, kStatus.kind);
    for (const Field& f : kTrailing) header(f.k, f.title, f.kind);
  }

  const std::string lastCell = lastColumnCell(last);
  ws.range("A1", lastCell).font().setBold(true);
  ws.range("A12", lastCell).entireColumn().autoFit();

  ws.cells(1, 1).setValue(workbookPath);
  ws.cells(2, 1).setValue("QXM7130-2 DATALOGGING SPREADSHEET");
  ws.cells(3, 2).setValue("DATALOG SETUP MADE   = " + datalog.DlogSetupStamp);
  ws.cells(4, 2).setValue("SECONDS = " + threeDecimals(datalog.DlogSetupSeconds));
  ws.cells(5, 2).setValue("SAMPLES = " + std::to_string(datalog.DlogSetupSamples));
  ws.cells(6, 2).setValue("CURRENT DATALOG VIEW = " + datalog.DlogViewStamp);
  ws.cells(7, 2).setValue("SECONDS = " + threeDecimals(datalog.DlogViewSeconds));
  ws.cells(8, 2).setValue("SAMPLES = " + std::to_string(datalog.DlogViewSamples));
}

std::string lastColumnCell(int lastBoardIndex) {
  return sheet::cellName(11, 22 + 21 * lastBoardIndex);
}

}  // namespace kb::continuous
