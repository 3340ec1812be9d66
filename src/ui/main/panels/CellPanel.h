#pragma once
// The twelve cell panels of the current board, "CELL1".."CELL12": each holds the cell's voltage
// text; the configuration editor, the status grid and the single-cell selection add their own
// controls inside these frames.
#include "ui/form/Form.h"

namespace kb::ui {

inline constexpr int kCellPanels = 12;
// Geometry of a cell panel, in twips.
inline constexpr int kCellPanelLeft = 60;
inline constexpr int kCellPanelPitch = 900;
inline constexpr int kCellPanelWidth = 870;
inline constexpr int kCellPanelTop = 60;
inline constexpr int kCellPanelHeight = 2800;

struct CellPanelControls : virtual form::HandleSet {
  KB_ARRAY(Frame1);  // panel of cell i + 1
  KB_ARRAY(Text1);   // its voltage
};

void layoutCellPanels(form::Form& f, CellPanelControls& c, const form::Control& page);

}  // namespace kb::ui
