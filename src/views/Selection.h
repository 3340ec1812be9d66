#pragma once
// Single-cell and single-temperature selection: the "READ Only" and "Only" boxes choose the
// select digit of the conversion starts, and everything the choice leaves out is greyed.
namespace kb::ui {
struct Context;
}

namespace kb::views {

// "READ Only" of cell c (0..11): ticked, selects the cell (ReadOnlyMode 2 while STCVAD goes out
// as a broadcast from the current board, else 1); cleared, selects all cells (ReadOnlyMode 0).
void Check6_Click(ui::Context& ctx, int cell);
// "Only" box k (0 ITMP, 1 ETMP1, 2 ETMP2): ticked, selects that input; cleared, all inputs.
void Check7_Click(ui::Context& ctx, int k);

// Colourings of the cell panels. Addressed: unselected cells grey, their summary mark hollow in
// the current board's row; broadcast: the same with the mark hollow in every shown row; reset:
// every greyed cell restored and the cell select digit back to "0".
void addressedColouring(ui::Context& ctx);
void broadcastColouring(ui::Context& ctx);
void resetColouring(ui::Context& ctx);

// Redraws the colouring of the current ReadOnlyMode: 1 reset then addressed, 2 broadcast, 0
// nothing. Run by the board-count change, board selection and the continuous cycle.
void redrawSelection(ui::Context& ctx);

// The conversion-start broadcast boxes were ticked (broadcast) or cleared: a selected cell
// switches between ReadOnlyMode 1 and 2 and is redrawn.
void followCellStartBroadcast(ui::Context& ctx, bool broadcast);

// Registers the procedures and the state variable of the selection.
void wireSelection(ui::Context& ctx);

}  // namespace kb::views
