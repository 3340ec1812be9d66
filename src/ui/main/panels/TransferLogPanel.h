#pragma once
// The transfer log: direction, description, two header lines, the data row and the address line.
#include "ui/form/Form.h"

namespace kb::ui {

struct TransferLogControls : virtual form::HandleSet {
  KB_ONE(Label7);    // direction: "W R" or "R D"
  KB_ARRAY(Label8);  // 0 header line 2, 1 description, 2 header line 1, 3 address line
  KB_ONE(Text8);     // data row
};

void layoutTransferLog(form::Form& f, TransferLogControls& c, const form::Control& page);

}  // namespace kb::ui
