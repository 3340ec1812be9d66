#include "ui/main/panels/BoardPanel.h"

#include <string>

namespace kb::ui {

using form::Control;
using form::ControlKind;

namespace {

// The header texts put a board number (or address) every 7 characters (6 for addresses), which
// matches the column pitch in no font exactly: the labels are column headings, each number drawn
// centred over its summary column.
constexpr int kHeaderLeft = 5970;
constexpr double kHeaderFont = 7.5;

Control& columnHeader(Control& label) {
  label.fontSize = kHeaderFont;
  label.columnPitch = kSummaryPitch;
  label.columnCentre = kSummaryLeft + kSummaryPitch / 2 - kHeaderLeft;
  return label;
}

}  // namespace

void layoutBoardPanel(form::Form& f, BoardPanelControls& c, const Control& page) {
  Control& count =
      f.add(c.Label_BoardCount, ControlKind::Label, &page).place(4560, 3030, 1800, 390);
  count.setCaption("NUMBER OF BOARDS IN SYSTEM");
  Control& combo1 = f.add(c.Combo1, ControlKind::ComboBox, &page).place(6420, 3030, 720, 330);
  for (int n = 1; n <= 10; ++n) combo1.items.push_back(std::to_string(n));
  combo1.setText("1");

  Control& addressCaption =
      f.add(c.Label14, ControlKind::Label, &page).place(7260, 3030, 2760, 390);
  addressCaption.setCaption("SET/ DISPLAY BOARD # 1 AT HEX ADDRESS");
  Control& combo2 = f.add(c.Combo2, ControlKind::ComboBox, &page).place(10080, 3030, 720, 330);
  for (int d = 0; d < 16; ++d) combo2.items.emplace_back(1, "0123456789ABCDEF"[d]);
  combo2.setText("1");

  columnHeader(f.add(c.Label12, ControlKind::Label, &page))
      .place(kHeaderLeft, 3450, 10860 - kHeaderLeft, 210)
      .setCaption("BOARD#   1");
  columnHeader(f.add(c.Label15, ControlKind::Label, &page))
      .place(kHeaderLeft, 3660, 10860 - kHeaderLeft, 210)
      .setCaption("ADDRESS 80");

  // One title per line: narrow enough that no two titles share a line, wide enough for "C 9".
  Control& titles =
      f.add(c.Label9, 1, ControlKind::Label, &page)
          .place(kSummaryTitleLeft, kSummaryTop - 15, 390, 13 * kSummaryRowPitch + 60);
  titles.fontSize = kHeaderFont;
  titles.setCaption(
      "PEC C12 C11  C10   C 9    C 8    C 7    C 6    C 5    C 4    C 3    C 2    C 1");

  Control& frame = f.add(c.Shape15, ControlKind::Shape, &page);
  frame.place(kBoardButtonLeft - kBoardFrameMargin, boardColumnY(532) - kBoardFrameMargin,
              kBoardButtonWidth + 2 * kBoardFrameMargin,
              boardColumnLength(kBoardButtonUnits) + 2 * kBoardFrameMargin);
  frame.borderWidth = 2;
  frame.borderColor = kGrey;

  // Board 1 starts selected: its button drawn lower and its summary column bordered black.
  for (int b = 0; b < 10; ++b) {
    const bool selected = b == 0;
    Control& button =
        f.add(c.Command4, b, ControlKind::CommandButton, &page)
            .place(kBoardButtonLeft,
                   boardColumnY(selected ? selectedButtonTopUnits(b) : boardButtonTopUnits(b)),
                   kBoardButtonWidth,
                   boardColumnLength(selected ? kSelectedButtonUnits : kBoardButtonUnits));
    button.visible = b == 0;
    const int column = kSummaryLeft + kSummaryPitch * b + (kSummaryPitch - kSummaryCellWidth) / 2;
    Control& mark = f.add(c.Shape12, b, ControlKind::Shape, &page)
                        .place(column, kSummaryTop, kSummaryCellWidth, kSummaryCellHeight);
    mark.fillStyle = form::kFillSolid;
    mark.fillColor = kWhite;
    mark.borderColor = selected ? kBlack : kLightGrey;
    mark.borderWidth = selected ? 2 : 1;
    mark.visible = b == 0;
    for (int cell = 0; cell < 12; ++cell) {
      // Cell 12 in the first row under the mark, cell 1 in the last.
      const int row = 12 - cell;
      Control& s = f.add(c.Shape1, 12 * b + cell, ControlKind::Shape, &page)
                       .place(column, kSummaryTop + kSummaryRowPitch * row, kSummaryCellWidth,
                              kSummaryCellHeight);
      s.fillStyle = form::kFillSolid;
      s.fillColor = kWhite;
      s.borderColor = selected ? kBlack : kLightGrey;
      s.borderWidth = selected ? 2 : 1;
      s.visible = b == 0;
    }
  }
}

}  // namespace kb::ui
