#pragma once
// The board view's part of selecting a board: the marker over the current board's summary
// column, the highlighted board button and summary column, and the cell and temperature texts of
// the board just selected.
namespace kb::ui {
struct Context;
}

namespace kb::views {

// Image1 above the summary column of a board: left 6720 + 360 x board.
void moveBoardMarker(ui::Context& ctx, int board);
// CurrentBoard's button drawn 30 high at 537 - 40 x board (column units), its summary cells and
// mark bordered black, width 2; every other board's button 41 high at 532 - 40 x board, its
// summary bordered light grey, width 1.
void highlightBoard(ui::Context& ctx);
// The cell texts of CurrentBoard; while its cells wait for a read after a conversion start (and
// were not read since), the texts a start leaves.
void showBoardCells(ui::Context& ctx);
// The temperature texts of CurrentBoard; while they wait for a read after a temperature start,
// the texts a start leaves.
void showBoardTemperatures(ui::Context& ctx);

}  // namespace kb::views
