#pragma once
// Monitor command functions acting for the board in use.
namespace kb::ui {
struct Context;
}

namespace kb::monitor {

// Registers "PEC Match Only", the transfer log's place in the readings stream and the state
// variables of the read-backs.
void wire(ui::Context& ctx);

// RDCFG of the selected board: frame, bytes, PEC judgement and the board indicator, the read
// record shown and compared. The read-back limits in volts follow (config::showReadBackVolts, run
// by the commands that read).
void ReadBackConfig(ui::Context& ctx);

// WRCFG of the selected board's edited registers, addressed or broadcast per the board's choice;
// afterwards every board's written record is its edited one and the read-back fields are empty.
void SendConfig(ui::Context& ctx);
// The selected board's read record into the six read-back fields.
void ShowReadConfig(ui::Context& ctx);
// Paints each read-back field red where it differs from the edited register.
void CompareConfig(ui::Context& ctx);
// Forgets every board's configuration read-back and empties its fields.
void clearConfigReadBack(ui::Context& ctx);

// Fills the board's indicator shape in the board summary with its PEC state.
void showPecIndicator(ui::Context& ctx, int board);

}  // namespace kb::monitor
