#pragma once
// The monitor buttons' commands by name. Each runs as a click of its button does: low-current
// standby left and chip select released first (beginButtonCommand), then the command, then the
// next-step reminders. The dispatcher Command1_Click runs them by index; the procedures that reuse
// a button's command (the balancer path and its keep-alive, the continuous cycle, the balancing
// check, the CFGR0 boxes) call them by name.
namespace kb::ui {
struct Context;
}

namespace kb::startup {

void pollAdc(ui::Context& ctx);            // POLL ADC: stops the cycle first
void pollInt(ui::Context& ctx);            // POLL INT: stops the cycle first
void startCellVolt(ui::Context& ctx);      // STARTCELLVOLT
void startOpenWire(ui::Context& ctx);      // START OPENWIRE
void startTemp(ui::Context& ctx);          // START TEMP
void writeConfig(ui::Context& ctx);        // WRITE CONFIG
void readConfig(ui::Context& ctx);         // READ CONFIG
void readCellVolt(ui::Context& ctx);       // READCELLVOLT
void readFlag(ui::Context& ctx);           // READ FLAG
void readTemp(ui::Context& ctx);           // READ TEMP
void continuousRead(ui::Context& ctx);     // START / STOP CONTINUOUS READ CELLS
void lowCurrentStandby(ui::Context& ctx);  // LOW CURRENT STBY: stops the cycle first

// A CFGR0 bit box taking the focus: CFGR0 rebuilt, then WRITE CONFIG and READ CONFIG.
void Check0_GotFocus(ui::Context& ctx, int index);

}  // namespace kb::startup
