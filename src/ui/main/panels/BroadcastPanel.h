#pragma once
// The broadcast choices beside the monitor command buttons: per command a BROADCAST box (wide and
// ticked, or narrowed to "B'CAST" with the current board's label beside it), the "ONLY" labels of
// the four read commands, and the pointer shown at WRITE CONFIG while a configuration is pending.
#include "ui/form/Form.h"

namespace kb::ui {

inline constexpr int kBroadcastLeft = 12720;
inline constexpr int kBroadcastWideWidth = 1695;
inline constexpr int kBroadcastNarrowWidth = 855;

struct BroadcastControls : virtual form::HandleSet {
  KB_ARRAY(Check5);         // 0 PLADC, 1 PLINT, 2 STCVAD, 3 STOWAD, 4 STTMPAD, 5 WRCFG
  KB_ARRAY(Label19);        // board beside Check5(k) while it is narrowed
  KB_ARRAY(Check8);         // 0 STCVDC, 1 STOWDC, beside Command3(0), Command3(1)
  KB_ARRAY(Label20);        // 1, 2: board beside Check8(0), Check8(1)
  KB_ARRAY(Label18);        // 0..3: beside READ CONFIG .. READ TEMP, which go to one board
  KB_ONE(WriteConfigMark);  // pointer at WRITE CONFIG while a configuration is pending
};

// The monitor buttons (Command1) and the discharge-held starts (Command3) must be laid out first:
// the boxes stand beside them.
void layoutBroadcastPanel(form::Form& f, BroadcastControls& c, const form::Control& page,
                          const form::Array& commandButtons, const form::Array& holdButtons);

}  // namespace kb::ui
