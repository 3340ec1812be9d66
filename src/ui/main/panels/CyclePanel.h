#pragma once
// The continuous read cycle on the monitor tab: the run indicator beside the continuous-read
// button, the board marker over the board summary, and the frame of the watchdog service flag
// beside "POLL ADC".
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

void layoutCyclePanel(form::Form& f, CyclePanelControls& c, const form::Control& page);

}  // namespace kb::ui
