#pragma once
// Monitor command functions acting for the board in use.
namespace kb::ui {
struct Context;
}

namespace kb::monitor {

// Registers the state variables of the read-backs.
void wire(ui::Context& ctx);

// RDCFG of the selected board: frame, bytes, PEC judgement and the board indicator.
void ReadBackConfig(ui::Context& ctx);

// Fills the board's indicator shape in the board summary with its PEC state.
void showPecIndicator(ui::Context& ctx, int board);

}  // namespace kb::monitor
