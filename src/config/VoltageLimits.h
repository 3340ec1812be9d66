#pragma once
// Under- and over-voltage limits: entered in volts in Text2(0) (VUV) and Text2(1) (VOV), kept as
// the codes of the edited CFGR4 and CFGR5, shown back in volts.
namespace kb::ui {
struct Context;
}

namespace kb::config {

void Text2_GotFocus(ui::Context& ctx, int index);
// Colours the box as being edited and filters the key (0: dropped).
void Text2_KeyPress(ui::Context& ctx, int index, int& key);
// Checks both boxes and stores the code of the one that lost focus.
void Text2_LostFocus(ui::Context& ctx, int index);

// VUV and VOV codes of a board: its edited CFGR4 and CFGR5.
int vuvCode(const ui::Context& ctx, int board);
int vovCode(const ui::Context& ctx, int board);

// The selected board's limits into the boxes and zero markers, then the view refresh.
void refreshLimits(ui::Context& ctx);
// Threshold part of "apply edits": both boxes taken again and stored.
void applyLimitEdits(ui::Context& ctx);
// Read-back CFGR4 and CFGR5 of every board in use as volts, and the selected board's shown.
void showReadBackVolts(ui::Context& ctx);

}  // namespace kb::config
