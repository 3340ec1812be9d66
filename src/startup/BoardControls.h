#pragma once
// The board set on the main window: board count and address selectors, board buttons and the
// headers of the board summary, the broadcast boxes, and the selection of a board.
namespace kb::ui {
struct Context;
}

namespace kb::startup {

// Registers the procedures of the board set's controls.
void wireBoardSet(ui::Context& ctx);

// Number of boards (list position = LastBoardIndex) and address digit of the current board.
void Combo1_Click(ui::Context& ctx);
void Combo2_Click(ui::Context& ctx);
// Rebuilds everything that depends on the number of boards; a position outside 0..9 keeps the
// present number. Reads the configuration of every board in use.
void boardCountChange(ui::Context& ctx, int position);

void Check5_Click(ui::Context& ctx, int index);
void Check8_Click(ui::Context& ctx, int index);
// Shows the current board's broadcast flags on the boxes.
void refreshBroadcastBoxes(ui::Context& ctx);
// Start-up: WRCFG goes out as a broadcast from every board, all else addressed.
void broadcastDefaults(ui::Context& ctx);
void refreshBoardButtonCaptions(ui::Context& ctx);

// Selects board index (0..9); any other index refreshes the views of the current board.
void Command4_Click(ui::Context& ctx, int index);
void Command4_GotFocus(ui::Context& ctx, int index);
// Puts the address selector on the current board's address (no address change follows).
void syncAddressSelector(ui::Context& ctx);

}  // namespace kb::startup
