#include "ui/main/panels/CyclePanel.h"

namespace kb::ui {

using form::Control;
using form::ControlKind;

void layoutCyclePanel(form::Form& f, CyclePanelControls& c, const Control& page,
                      form::Array& statusLabels) {
  // A lamp left of the continuous-read button (4740..5355).
  Control& lamp = f.add(c.Shape3, ControlKind::Shape, &page).place(10920, 4942, 210, 210);
  lamp.shape = form::kShapeCircle;
  lamp.fillStyle = form::kFillSolid;
  lamp.fillColor = kRed;
  lamp.borderColor = kGrey;

  // "WDT SERVICE" in its frame, right of the PLADC broadcast box (which it hides) on the row of
  // POLL ADC (480..855).
  Control& frame = f.add(c.Shape_KA, ControlKind::Shape, &page).place(14445, 495, 1185, 345);
  frame.borderColor = kRed;
  frame.borderWidth = 2;
  frame.visible = false;
  Control& flag = f.add(statusLabels, 0, ControlKind::Label, &page).place(14490, 540, 1095, 255);
  flag.setCaption("WDT SERVICE");
  flag.alignment = 2;
  flag.fontBold = true;
  flag.foreColor = kRed;
  flag.visible = false;
}

}  // namespace kb::ui
