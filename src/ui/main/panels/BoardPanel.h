#pragma once
// The board column: per board a summary mark showing the board's PEC state.
#include "ui/form/Form.h"

namespace kb::ui {

struct BoardPanelControls : virtual form::HandleSet {
  KB_ARRAY(Shape12);  // board summary mark, boards 0..9
};

void layoutBoardPanel(form::Form& f, BoardPanelControls& c, const form::Control& page);

}  // namespace kb::ui
