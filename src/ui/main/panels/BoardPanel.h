#pragma once
// The board view: the board-count and address selectors, the column of board buttons inside
// its frame, and the board summary, one column per board (its PEC mark on top, then cells 12..1)
// under the headers of board numbers and addresses.
#include "ui/form/Form.h"

namespace kb::ui {

// The board buttons stand in a column with a scale of its own: 40 units apart, each 41 high,
// board 1 lowest at top 532, so board 10 at 172; the selected button is drawn 30 high at
// 537 - 40 x board. In the form one unit is 7 twips and unit 172 lies at twips 3450, which fits
// the ten buttons (2807 twips) beside the summary columns.
inline constexpr int kBoardUnitTwips = 7;
inline constexpr int kBoardUnitOrigin = 172;
inline constexpr int kBoardColumnTop = 3450;
constexpr int boardColumnY(int units) {
  return kBoardColumnTop + (units - kBoardUnitOrigin) * kBoardUnitTwips;
}
constexpr int boardColumnLength(int units) {
  return units * kBoardUnitTwips;
}
// Button geometry in column units for board b (0..9).
constexpr int boardButtonTopUnits(int b) {
  return 532 - 40 * b;
}
inline constexpr int kBoardButtonUnits = 41;
// The selected board's button: 30 high at 537 - 40 x board.
inline constexpr int kSelectedButtonTopUnits = 537;
inline constexpr int kSelectedButtonUnits = 30;
constexpr int selectedButtonTopUnits(int b) {
  return kSelectedButtonTopUnits - 40 * b;
}
// The frame Shape15 is drawn this much (twips) outside the buttons it surrounds, so its border
// shows beside and beneath them.
inline constexpr int kBoardFrameMargin = 45;
inline constexpr int kBoardButtonLeft = 4605;
inline constexpr int kBoardButtonWidth = 1260;

// Board summary: column b starts at 6720 + 360 x b (the board marker of the current board stands
// above it); row 0 is the PEC mark Shape12, rows 1..12 are cells 12..1 (Shape1).
inline constexpr int kSummaryLeft = 6720;
inline constexpr int kSummaryPitch = 360;
inline constexpr int kSummaryTop = 4095;
inline constexpr int kSummaryRowPitch = 165;  // one line of the row titles Label9(1)
inline constexpr int kSummaryCellWidth = 300;
inline constexpr int kSummaryCellHeight = 150;
// Row titles "PEC C12 .. C 1": one word per line, right of the last column.
inline constexpr int kSummaryTitleLeft = 7230;

struct BoardPanelControls : virtual form::HandleSet {
  KB_ONE(Label_BoardCount);  // "NUMBER OF BOARDS IN SYSTEM"
  KB_ONE(Combo1);            // number of boards, "1".."10"
  KB_ONE(Label14);           // caption of the address selector
  KB_ONE(Combo2);            // address digit of the current board, "0".."F"
  KB_ONE(Label12);           // board numbers over the summary columns
  KB_ONE(Label15);           // board addresses over the summary columns
  KB_ARRAY(Label9);          // 1: row titles of the summary
  KB_ONE(Shape15);           // frame around the board buttons in use
  KB_ARRAY(Command4);        // board buttons 0..9
  KB_ARRAY(Shape1);          // summary cell board x 12 + cell (0..119)
  KB_ARRAY(Shape12);         // summary PEC mark of boards 0..9
};

void layoutBoardPanel(form::Form& f, BoardPanelControls& c, const form::Control& page);

}  // namespace kb::ui
