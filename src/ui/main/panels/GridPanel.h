#pragma once
// The cell status grid on the monitor tab: a level mark over a background in every cell panel,
// the board marker above the summary column of the current board, and the legend of the status
// colours in the board view.
#include "ui/form/Form.h"

namespace kb::ui {

// Level mark and background inside a cell panel, twips; the mark's top and height follow the
// cell's status (every mark ends at 855).
inline constexpr int kCellBackgroundLeft = 150;
inline constexpr int kCellBackgroundTop = 300;
inline constexpr int kCellBackgroundWidth = 570;
inline constexpr int kCellBackgroundHeight = 615;
inline constexpr int kCellMarkLeft = 270;
inline constexpr int kCellMarkWidth = 330;

// Board marker Image1, above the summary columns (left edge 6720 + 360 x board).
inline constexpr int kBoardMarkerTop = 3880;
inline constexpr int kBoardMarkerHeight = 195;

// Legend frame in the board view.
inline constexpr int kLegendLeft = 4560;
inline constexpr int kLegendTop = 7750;
inline constexpr int kLegendWidth = 6300;
inline constexpr int kLegendHeight = 1150;

struct GridPanelControls : virtual form::HandleSet {
  KB_ARRAY(Shape2);   // level mark of cell panel i
  KB_ARRAY(Shape4);   // its background
  KB_ONE(Image1);     // board marker
  KB_ONE(Frame8);     // "LEGEND"
  KB_ARRAY(Label10);  // legend row r: tag, in the code's colour
  KB_ARRAY(Label11);  // its description
  KB_ARRAY(Shape9);   // summary cell sample
  KB_ARRAY(Shape10);  // level mark sample, over
  KB_ARRAY(Shape11);  // the panel background sample
};

// After the cell panels (Frame1) and the board view.
void layoutGridPanel(form::Form& f, GridPanelControls& c, const form::Control& page,
                     const form::Array& cellPanels);

}  // namespace kb::ui
