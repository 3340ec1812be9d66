#include "ui/main/panels/BoardPanel.h"

namespace kb::ui {

using form::ControlKind;

void layoutBoardPanel(form::Form& f, BoardPanelControls& c, const form::Control& page) {
  for (int b = 0; b < 10; ++b) {
    form::Control& mark =
        f.add(c.Shape12, b, ControlKind::Shape, &page).place(6600, 8400 - 240 * b, 180, 180);
    mark.fillStyle = form::kFillSolid;
    mark.fillColor = kWhite;
    mark.visible = b == 0;
  }
}

}  // namespace kb::ui
