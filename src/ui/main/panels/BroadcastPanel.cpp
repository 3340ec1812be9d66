#include "ui/main/panels/BroadcastPanel.h"

#include "ui/main/panels/MonitorButtons.h"

namespace kb::ui {

using form::Control;
using form::ControlKind;

namespace {

constexpr int kBoxHeight = 285;
constexpr int kLabelWidth = 840;

// A broadcast box as it starts: cleared and narrowed, its board label beside it.
void addBox(form::Form& f, form::Array& boxes, int index, form::Array& labels, int labelIndex,
            const Control& page, int left, int top) {
  Control& box = f.add(boxes, index, ControlKind::CheckBox, &page)
                     .place(left, top, kBroadcastNarrowWidth, kBoxHeight);
  box.setCaption("B'CAST");
  Control& label = f.add(labels, labelIndex, ControlKind::Label, &page)
                       .place(left + kBroadcastNarrowWidth + 45, top + 30, kLabelWidth, 240);
  label.setCaption("BRD#1");
}

}  // namespace

void layoutBroadcastPanel(form::Form& f, BroadcastControls& c, const Control& page,
                          const form::Array& commandButtons, const form::Array& holdButtons) {
  for (int k = 0; k <= 5; ++k) {
    addBox(f, c.Check5, k, c.Label19, k, page, kBroadcastLeft, commandButtons[k].top + 45);
  }
  for (int k = 0; k < 4; ++k) {
    Control& only = f.add(c.Label18, k, ControlKind::Label, &page)
                        .place(kBroadcastLeft + 60, commandButtons[6 + k].top + 75, 1635, 240);
    only.setCaption("BOARD# 1 ONLY");
  }
  for (int k = 0; k < 2; ++k) {
    addBox(f, c.Check8, k, c.Label20, k + 1, page, kBroadcastLeft, holdButtons[k].top + 45);
  }

  const Control& write = commandButtons[5];
  Control& mark = f.add(c.WriteConfigMark, ControlKind::Shape, &page)
                      .place(kButtonLeft - 30, write.top + 112, 150, 150);
  mark.shape = form::kShapeCircle;
  mark.fillStyle = form::kFillSolid;
  mark.fillColor = kRed;
  mark.borderColor = kRed;
  mark.visible = false;
}

}  // namespace kb::ui
