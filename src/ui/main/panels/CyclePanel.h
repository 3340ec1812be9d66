#pragma once
// The continuous read cycle on the monitor tab: the run indicator beside the continuous-read
// button and the watchdog service flag "WDT SERVICE"
// (Label_KA(0), in the array the configuration panel declares) with its frame on the row of
// "POLL ADC".
#include "ui/form/Form.h"

namespace kb::ui {

struct CyclePanelControls : virtual form::HandleSet {
  KB_ONE(Shape3);    // red while stopped, green while running
  KB_ONE(Shape_KA);  // frame of the "WDT SERVICE" flag
};

// statusLabels: Label_KA, whose entry 1 the configuration panel declared before.
void layoutCyclePanel(form::Form& f, CyclePanelControls& c, const form::Control& page,
                      form::Array& statusLabels);

}  // namespace kb::ui
