#include "ui/main/panels/TransferLogPanel.h"

namespace kb::ui {

using form::ControlKind;

void layoutTransferLog(form::Form& f, TransferLogControls& c, const form::Control& page) {
  constexpr int kLeft = 840;
  constexpr int kWidth = 4200;
  form::Control& dir = f.add(c.Label7, ControlKind::Label, &page).place(240, 9300, 540, 255);
  dir.fontBold = true;
  // Top to bottom: description, header line 1, header line 2, data row, address line.
  f.add(c.Label8, 0, ControlKind::Label, &page).place(kLeft, 9540, kWidth, 255);
  f.add(c.Label8, 1, ControlKind::Label, &page).place(kLeft, 9060, kWidth, 255);
  f.add(c.Label8, 2, ControlKind::Label, &page).place(kLeft, 9300, kWidth, 255);
  form::Control& row = f.add(c.Text8, ControlKind::TextBox, &page).place(kLeft, 9780, kWidth, 285);
  row.locked = true;
  row.backColor = kWindowBackground;
  f.add(c.Label8, 3, ControlKind::Label, &page).place(kLeft, 10110, kWidth, 255);
}

}  // namespace kb::ui
