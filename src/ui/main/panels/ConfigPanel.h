#pragma once
// The configuration editor of the selected board: the CFGR0 frame (GLOBAL/CUSTOM pair, the eight
// bit boxes, the CDC number and its buttons), the six register boxes with their read-back fields,
// the voltage-limit frame (its own GLOBAL/CUSTOM pair, the VUV and VOV boxes, their zero markers
// and read-back volts), the CDC description with the standby hint in the board view, and the
// discharge and mask boxes inside the cell panels.
#include "ui/form/Form.h"

namespace kb::ui {

struct ConfigPanelControls : virtual form::HandleSet {
  KB_ONE(Frame_CFGR0);
  KB_ARRAY(Option3);  // 0 CUSTOM BRD# n, 1 GLOBAL CFGR0
  KB_ARRAY(Check0);   // CFGR0 bit i
  KB_ONE(Label_CDCnum);
  KB_ONE(Text15);      // CDC number
  KB_ARRAY(Command0);  // 0 CDC down, 1 CDC up

  KB_ARRAY(Label_CFGR);    // register names over the columns
  KB_ARRAY(Label_CfgRow);  // 0 edited row, 1 read-back row
  KB_ARRAY(Text4);         // edited CFGR0..CFGR5
  KB_ARRAY(Text_ReadCfg);  // read-back CFGR0..CFGR5, red where they differ from the edited ones

  KB_ONE(Frame_VLIM);
  KB_ARRAY(Option1);        // 0 CUSTOM, 1 GLOBAL, beside Label13
  KB_ARRAY(Label13);        // 0 "CUSTOM  BOARD # n", 1 "GLOBAL VUV,  VOV"
  KB_ARRAY(Text2);          // 0 VUV, 1 VOV in volts
  KB_ARRAY(ZeroMark);       // shown while the VUV (0) or VOV (1) code is 0
  KB_ARRAY(Label_RdLimit);  // read-back VUV (0) and VOV (1) in volts

  // Board view, under the summary: the status line (the continuous cycle adds Label_KA(0) and
  // shares Label_KA(1) with the standby hint), the standby marker, the CDC heading, the column
  // titles and the CDC description.
  KB_ARRAY(Label_KA);
  KB_ONE(Shape_STBY);
  KB_ONE(Label4);
  KB_ARRAY(Label_CDCtitle);
  KB_ONE(Text3);

  // In the cell panels: discharge (DCC) and mask boxes, bit i of CFGR1, CFGR2, CFGR3.
  KB_ARRAY(Check1);
  KB_ARRAY(Check2);
  KB_ARRAY(Check3);
};

// cellFrames: Frame1(0..11), laid out before.
void layoutConfigPanel(form::Form& f, ConfigPanelControls& c, const form::Control& page,
                       const form::Array& cellFrames);

}  // namespace kb::ui
