#include "ui/main/MainControls.h"

namespace kb::ui {

void layoutMainWindow(form::Form& f, MainControls& c) {
  layoutWindow(f, c);
  layoutMonitorButtons(f, c, *c.Frame10);
  layoutBoardPanel(f, c, *c.Frame10);
  layoutCellPanels(f, c, *c.Frame10);
  layoutMeasurePanel(f, c, *c.Frame10);
  layoutBalancerPanel(f, c, *c.Frame13);
  layoutTransferLog(f, c, *c.Frame10);
  layoutBroadcastPanel(f, c, *c.Frame10, c.Command1, c.Command3);
  layoutConfigPanel(f, c, *c.Frame10, c.Frame1);
  layoutGridPanel(f, c, *c.Frame10, c.Frame1);
  layoutSelfTestPanel(f, c, *c.Frame10);
  layoutSelectionBoxes(f, c, c.Frame1, *c.Frame5);
  layoutStatusButton(f, c, *c.Frame13);
  layoutCyclePanel(f, c, *c.Frame10, c.Label_KA);
  layoutTimedPanel(f, c, *c.Frame13, *c.Frame10, *c.Frame_SPI);
}

}  // namespace kb::ui
