#pragma once
// Timed balancing on the balancer tab: "TIMED BALANCE", START/PAUSE/CONTINUE, RESET, OFF, DEMO,
// the next stop and the time remaining; the blinking "WDT" label beside "Poll"; and a repeat of the
// two times on the monitor tab.
#include "ui/form/Form.h"

namespace kb::ui {

struct TimedPanelControls : virtual form::HandleSet {
  KB_ONE(Frame_Timed);
  KB_ONE(Check_6);      // "TIMED BALANCE"
  KB_ONE(Check_4);      // "START" / "PAUSE" / "CONTINUE"
  KB_ARRAY(Command_2);  // 0 "RESET", 1 "OFF", 2 "DEMO"
  // 0..5 on the balancer tab, 6..11 on the monitor tab: caption, value and unit of the next stop
  // (0..2) and of the time remaining (3..5).
  KB_ARRAY(Label_2);
  KB_ONE(Label_3);  // "WDT", blinking with the balancer keep-alive
};

// balancerPage: Frame13; monitorPage: Frame10; spi: the "SPI CONTROL" frame, laid out before.
void layoutTimedPanel(form::Form& f, TimedPanelControls& c, const form::Control& balancerPage,
                      const form::Control& monitorPage, const form::Control& spi);

}  // namespace kb::ui
