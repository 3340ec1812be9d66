#pragma once
// The single-cell and single-temperature selection: a "READ Only" box in every cell panel and an
// "Only" box at the right of every temperature row; and the parts of a cell panel's gauge that
// only the selection colours: the terminal above the background and three scale ticks beside the
// level mark.
#include "ui/form/Form.h"

namespace kb::ui {

struct SelectionControls : virtual form::HandleSet {
  KB_ARRAY(Check6);  // "READ Only" of cell i + 1
  KB_ARRAY(Check7);  // 0 "ITMP Only", 1 "ETMP1Only", 2 "ETMP2Only"
  KB_ARRAY(Shape5);  // terminal of cell panel i
  KB_ARRAY(Line7);   // its scale ticks at the tops of the OV, OK and UV marks
  KB_ARRAY(Line9);
  KB_ARRAY(Line10);
};

// cellFrames: Frame1(0..11) with the grid's gauge; temperatures: the "TEMPS" frame; all laid out
// before.
void layoutSelectionBoxes(form::Form& f, SelectionControls& c, const form::Array& cellFrames,
                          const form::Control& temperatures);

}  // namespace kb::ui
