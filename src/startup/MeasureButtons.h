#pragma once
// The measurement commands of the monitor buttons: conversion starts with their display resets
// and reminders, the read buttons with the display-all override, and the STCVDC/STOWDC buttons.
namespace kb::ui {
struct Context;
}

namespace kb::startup {

// A button-started read shows every transfer; "PEC Match Only" is re-applied when the scope ends,
// also when the read fails.
class DisplayAll {
 public:
  explicit DisplayAll(ui::Context& ctx);
  ~DisplayAll();
  DisplayAll(const DisplayAll&) = delete;
  DisplayAll& operator=(const DisplayAll&) = delete;

 private:
  ui::Context& ctx_;
};

// After a cell conversion start: blanks the status of the boards it reached (every shown board
// for a broadcast, else CurrentBoard) and draws them.
void blankCellStatus(ui::Context& ctx, bool broadcast);

// STARTCELLVOLT, START OPENWIRE and the two hold-DCC starts (kind of monitor::StartConversion):
// send the start with the cell select digit, reset the cell boxes (in the form they show) and
// leave the hexadecimal view, blank the status of the boards
// it reached and mark every board's cell voltages unread, arm READCELLVOLT and, when not polling,
// move the focus to it.
void startCellConversionButton(ui::Context& ctx, int kind);
// START TEMP: STTMPAD with the temperature select digit, reset the temperature boxes (in the form
// they show) and leave the hexadecimal view, arm
// READ TEMP and, when not polling, move the focus to it.
void startTemperatureButton(ui::Context& ctx);

// READCELLVOLT, READ FLAG and READ TEMP: the read with every transfer shown, "PEC Match Only"
// re-applied after it, the reminder released and the focus moved to the next step.
void readCellVoltagesButton(ui::Context& ctx);
void readFlagsButton(ui::Context& ctx);
void readTemperaturesButton(ui::Context& ctx);

// "STARTCELL hold DCC" (0) and "STARTOPEN hold DCC" (1).
void Command3_Click(ui::Context& ctx, int index);

// Run by WRITE CONFIG after its write: when a board left thermal shutdown, reads the configuration
// back with every transfer shown, re-applies "PEC Match Only" and clears the thermal state of all
// boards and the request. Does nothing otherwise.
void thermalRecoveryAfterWrite(ui::Context& ctx);

}  // namespace kb::startup
