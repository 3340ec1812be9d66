#include "ui/main/panels/StatusButton.h"

namespace kb::ui {

void layoutStatusButton(form::Form& f, StatusButtonControls& c, const form::Control& page) {
  // Bottom right of the balancer tab, right of the timed-balancing controls.
  f.add(c.Command5520, form::ControlKind::CommandButton, &page)
      .place(13440, 9600, 2040, 600)
      .setCaption("QXB5520-1 STATUS");
}

}  // namespace kb::ui
