#pragma once
// The configuration editor of the selected board: CFGR0 bit boxes and CDC, the GLOBAL/CUSTOM
// option pairs, the discharge and mask boxes, and the view that marks pending edits.
namespace kb::ui {
struct Context;
}

namespace kb::config {

// Registers the editor's procedures and state variables.
void wire(ui::Context& ctx);

// Event procedures.
void Check0_Click(ui::Context& ctx, int index);
void Check0_GotFocus(ui::Context& ctx, int index);
void Command0_Click(ui::Context& ctx, int index);
void Option1_Click(ui::Context& ctx, int index);
void Option3_Click(ui::Context& ctx, int index);
// Check1..Check3: register 1..3 rebuilt from its eight boxes.
void DischargeMask_Click(ui::Context& ctx, int reg);

// While CopyConfigToAll is 1: the selected board's six edited registers to every board in use.
void copyConfigToAll(ui::Context& ctx);
// Takes the limit boxes and the CDC from the edited registers (the CDC part alone: applyCdcEdits).
void applyEdits(ui::Context& ctx);
void applyCdcEdits(ui::Context& ctx);
// CDC description, CDC bit boxes, standby hint, then the view refresh.
void cdcView(ui::Context& ctx);
// Compares edited and written registers of the selected board and shows the result.
void refreshConfigView(ui::Context& ctx);
// The timer's emphasis of READ CONFIG, the opposite of WRITE CONFIG's: at its normal place with its
// pointer hidden while an edit is pending, narrowed with its pointer shown while none is.
void showReadConfigEmphasis(ui::Context& ctx);
// Sets the boxes of register 0..3 from the selected board's edited register (each change acts as
// a click, so the register is rebuilt as well).
void loadBoxes(ui::Context& ctx, int reg);
void loadBitBoxes(ui::Context& ctx);
// Everything the editor shows for the selected board: boxes, limits, CDC texts, marks.
void loadEditor(ui::Context& ctx);

}  // namespace kb::config
