#pragma once
// The self-test panel below the measurements: the pattern options, the seven test buttons and
// the discharge indicator behind the two discharge-held starts.
#include "ui/form/Form.h"

namespace kb::ui {

struct SelfTestControls : virtual form::HandleSet {
  KB_ONE(Frame_SelfTest);     // "SELF TEST"
  KB_ARRAY(Option2);          // 0 "0x555", 1 "0xAAA", 2 "0xFFF"
  KB_ARRAY(Command5);         // the test starts and the hexadecimal reads
  KB_ONE(Shape_SelfTestDCC);  // light blue after a test with discharge held, else white
};

void layoutSelfTestPanel(form::Form& f, SelfTestControls& c, const form::Control& page);

}  // namespace kb::ui
