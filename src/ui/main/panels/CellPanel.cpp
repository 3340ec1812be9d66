#include "ui/main/panels/CellPanel.h"

#include <string>

namespace kb::ui {

using form::ControlKind;

void layoutCellPanels(form::Form& f, CellPanelControls& c, const form::Control& page) {
  for (int i = 0; i < kCellPanels; ++i) {
    form::Control& frame = f.add(c.Frame1, i, ControlKind::Frame, &page)
                               .place(kCellPanelLeft + kCellPanelPitch * i, kCellPanelTop,
                                      kCellPanelWidth, kCellPanelHeight);
    frame.setCaption("CELL" + std::to_string(i + 1));
    // The voltage text (" 5.3745V  ") fills the panel's width in a slightly smaller font.
    form::Control& volts = f.add(c.Text1, i, ControlKind::TextBox, &frame).place(15, 960, 840, 285);
    volts.locked = true;
    volts.alignment = 2;
    volts.fontSize = 7.5;
  }
}

}  // namespace kb::ui
