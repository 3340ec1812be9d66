#pragma once
// The status window "QXB5520-1 STATUS GUI": one row per balancer chip of the stack with the
// actions its command read-back holds, the gates its status reports, its over-voltage and
// temperature mark, and the raw bytes of every chip. It draws the balancer tables; any use of it
// loads it first.
namespace kb::ui {
struct Context;
}

namespace kb::balancer {

// Registers Command5520 and the window's state variable.
void wireStatusWindow(ui::Context& ctx);

// Loads the window when it is not loaded: its Form_Load lays out the rows and draws them.
void loadStatusWindow(ui::Context& ctx);
// Loads the window if needed and shows it (start-up).
void showStatusWindow(ui::Context& ctx);
// Unloads the window: hidden until it is used again.
void unloadStatusWindow(ui::Context& ctx);
// "QXB5520-1 STATUS": loads, lays out, draws and shows the window.
void Command5520_Click(ui::Context& ctx);

// Shows the rows of chips 0 .. ChipCount - 1 and hides the others.
void Display5520Status(ui::Context& ctx);
// Redraws every shown row and the raw bytes from the balancer tables.
void DISPLAY_CELLstatus(ui::Context& ctx);

// Width of the window for a stack whose last board index is lastBoardIndex.
int statusWindowWidth(int lastBoardIndex);
// The board-count change's part: the window loaded, its width set for the new count and, unless
// balancing runs, its rows laid out and drawn again.
void statusWindowBoardCountChange(ui::Context& ctx, int lastBoardIndex);

}  // namespace kb::balancer
