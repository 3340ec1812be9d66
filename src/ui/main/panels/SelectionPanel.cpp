#include "ui/main/panels/SelectionPanel.h"

#include <array>

namespace kb::ui {

using form::Control;
using form::ControlKind;

void layoutSelectionBoxes(form::Form& f, SelectionControls& c, const form::Array& cellFrames,
                          const Control& temperatures) {
  for (int i = 0; i < 12; ++i) {
    // Under the DCC and Mask boxes; tall enough for the caption on two lines.
    f.add(c.Check6, i, ControlKind::CheckBox, &cellFrames[i])
        .place(45, 1920, 780, 405)
        .setCaption("READ Only");
  }
  // At the right of the temperature rows (first row at 300, 330 apart).
  constexpr std::array<const char*, 3> kCaptions{"ITMP Only", "ETMP1Only", "ETMP2Only"};
  for (int k = 0; k < 3; ++k) {
    f.add(c.Check7, k, ControlKind::CheckBox, &temperatures)
        .place(1560, 315 + 330 * k, 1110, 255)
        .setCaption(kCaptions[static_cast<std::size_t>(k)]);
  }
}

}  // namespace kb::ui
