#include "ui/main/panels/CyclePanel.h"

namespace kb::ui {

using form::Control;
using form::ControlKind;

void layoutCyclePanel(form::Form& f, CyclePanelControls& c, const Control& page) {
  // A lamp left of the continuous-read button (4740..5355).
  Control& lamp = f.add(c.Shape3, ControlKind::Shape, &page).place(10920, 4942, 210, 210);
  lamp.shape = form::kShapeCircle;
  lamp.fillStyle = form::kFillSolid;
  lamp.fillColor = kRed;
  lamp.borderColor = kGrey;

  f.add(c.Image1, ControlKind::Image, &page).place(kBoardMarkerLeft, 3880, kBoardMarkerPitch, 195);

  // Round the "WDT SERVICE" flag, which takes the place of the PLADC broadcast box.
  Control& frame = f.add(c.Shape_KA, ControlKind::Shape, &page).place(12720, 495, 1455, 345);
  frame.borderColor = kRed;
  frame.borderWidth = 2;
  frame.visible = false;
}

}  // namespace kb::ui
