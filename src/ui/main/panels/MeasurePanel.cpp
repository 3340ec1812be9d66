#include "ui/main/panels/MeasurePanel.h"

#include <array>
#include <string>

namespace kb::ui {

using form::Control;
using form::ControlKind;

namespace {
// Rows of both frames, in twips inside the frame.
constexpr int kFirstRowTop = 300;
constexpr int kRowPitch = 330;
constexpr int kBoxHeight = 285;
// The frame of a temperature value stands out of its box by this much on each side.
constexpr int kValueFrameX = 30;
constexpr int kValueFrameY = 15;

constexpr std::array<const char*, 3> kTemperatureNames{"ITMP", "ETMP1", "ETMP2"};
}  // namespace

void layoutMeasurePanel(form::Form& f, MeasurePanelControls& c, const Control& page) {
  Control& flags = f.add(c.Frame_FLG, ControlKind::Frame, &page).place(60, 3000, 1560, 1320);
  flags.setCaption("FLAGS");
  for (int k = 0; k < 3; ++k) {
    const int top = kFirstRowTop + kRowPitch * k;
    f.add(c.Label_FLG, k, ControlKind::Label, &flags)
        .place(120, top + 30, 600, 255)
        .setCaption("FLGR" + std::to_string(k));
    Control& box =
        f.add(c.Text_FLG, k, ControlKind::TextBox, &flags).place(720, top, 720, kBoxHeight);
    box.locked = true;
  }

  // Room is left at the right of each row for its "Only" box (from 1560).
  Control& temps = f.add(c.Frame5, ControlKind::Frame, &page).place(1680, 3000, 2720, 1320);
  temps.setCaption("TEMPS");
  for (int k = 0; k < 3; ++k) {
    const int top = kFirstRowTop + kRowPitch * k;
    f.add(c.Label_TMP, k, ControlKind::Label, &temps)
        .place(120, top + 30, 540, 255)
        .setCaption(kTemperatureNames[static_cast<std::size_t>(k)]);
    Control& frame = f.add(c.Shape_TMP, k, ControlKind::Shape, &temps)
                         .place(660 - kValueFrameX, top - kValueFrameY, 840 + 2 * kValueFrameX,
                                kBoxHeight + 2 * kValueFrameY);
    frame.fillStyle = form::kFillSolid;
    frame.fillColor = kLightGrey;
    frame.borderColor = kBlack;
    Control& box = f.add(c.Text6, k, ControlKind::TextBox, &temps).place(660, top, 840, kBoxHeight);
    box.locked = true;
  }
}

}  // namespace kb::ui
