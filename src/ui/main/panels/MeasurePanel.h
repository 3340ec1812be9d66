#pragma once
// The measurements of the current board below the cell panels: the three flag bytes and the
// "TEMPS" frame with the three temperatures.
#include "ui/form/Form.h"

namespace kb::ui {

struct MeasurePanelControls : virtual form::HandleSet {
  KB_ONE(Frame_FLG);    // "FLAGS"
  KB_ARRAY(Label_FLG);  // "FLGR0".."FLGR2"
  KB_ARRAY(Text_FLG);   // flag bytes FLGR0..FLGR2
  KB_ONE(Frame5);       // "TEMPS"
  KB_ARRAY(Label_TMP);  // "ITMP", "ETMP1", "ETMP2"
  KB_ARRAY(Text6);      // 0 ITMP, 1 ETMP1, 2 ETMP2
  KB_ARRAY(Shape_TMP);  // the frame of each temperature value, beneath Text6
};

void layoutMeasurePanel(form::Form& f, MeasurePanelControls& c, const form::Control& page);

}  // namespace kb::ui
