#pragma once
// The continuous read cycle on the monitor tab: the run indicator beside the continuous-read
// button, the board marker over the board summary, and the watchdog service flag "WDT SERVICE"
// (Label_KA(0), in the array the configuration panel declares) with its frame on the row of
// "POLL ADC".
#include "ui/form/Form.h"

namespace kb::ui {

// Board marker: its left edge stands at 6720 + 360 x board.
inline constexpr int kBoardMarkerLeft = 6720;
inline constexpr int kBoardMarkerPitch = 360;

struct CyclePanelControls : virtual form::HandleSet {
  KB_ONE(Shape3);    // red while stopped, green while running
  KB_ONE(Image1);    // above the summary column of the board addressed
  KB_ONE(Shape_KA);  // frame of the "WDT SERVICE" flag
};

// statusLabels: Label_KA, whose entry 1 the configuration panel declared before.
void layoutCyclePanel(form::Form& f, CyclePanelControls& c, const form::Control& page,
                      form::Array& statusLabels);

}  // namespace kb::ui
