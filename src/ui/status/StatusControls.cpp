#include "ui/status/StatusControls.h"

namespace kb::ui {

using form::ControlKind;

void layoutStatusWindow(form::Form& f, StatusControls& s) {
  f.width = 6600;
  f.height = 5160;
  form::Control& note = f.add(s.Label11, ControlKind::Label).place(120, 120, 6360, 420);
  note.setCaption("CONTINUOUS READ NOT ENABLED Data is as current as of last read");
  note.multiLine = true;
  f.add(s.Label12, 0, ControlKind::Label).place(120, 660, 600, 255).setCaption(" IC #");
  f.add(s.Label9, ControlKind::Label)
      .place(780, 660, 5700, 255)
      .setCaption("CELL 12 CELL 11 CELL 10 CELL 9 CELL 8 CELL 7 ");
}

}  // namespace kb::ui
