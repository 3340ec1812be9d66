#pragma once
// The single-cell and single-temperature selection: a "READ Only" box in every cell panel and an
// "Only" box at the right of every temperature row.
#include "ui/form/Form.h"

namespace kb::ui {

struct SelectionControls : virtual form::HandleSet {
  KB_ARRAY(Check6);  // "READ Only" of cell i + 1
  KB_ARRAY(Check7);  // 0 "ITMP Only", 1 "ETMP1Only", 2 "ETMP2Only"
};

// cellFrames: Frame1(0..11); temperatures: the "TEMPS" frame, both laid out before.
void layoutSelectionBoxes(form::Form& f, SelectionControls& c, const form::Array& cellFrames,
                          const form::Control& temperatures);

}  // namespace kb::ui
