#pragma once
// The balancer tab: the "SPI CONTROL" frame (command byte bits, command mode, SEND, broadcast
// and poll boxes, the board shown) and the two chip frames "BALANCING ACTION BOTTOM" and
// "BALANCING ACTION TOP" (per cell the action options and the word bits, the CRC bits, the
// command read back and the status read, the cells in use, the top-of-stack box, the chip
// number, the balance times).
#include "ui/form/Form.h"

namespace kb::ui {

// Containers of the chip frames and their cell frames.
inline constexpr int kBottomChipFrame = 0;
inline constexpr int kTopChipFrame = 1;
inline constexpr int kBalancerCells = 6;

struct BalancerPanelControls : virtual form::HandleSet {
  KB_ONE(Frame_SPI);           // "SPI CONTROL"
  KB_ARRAY(Text_1);            // command byte, entry i = bit i
  KB_ARRAY(Option_1);          // command mode: 0 WRITE .. 3 EXECUTE, 4 SUSPEND
  KB_ONE(Command_1);           // "SEND"
  KB_ONE(Check_5);             // "Broadcast Execute/Suspend"
  KB_ONE(Check_3);             // "Poll"
  KB_ONE(Label21);             // number of the board shown
  KB_ONE(Label_BalancerLink);  // warning while the balancer's transfers do not reach the chips

  KB_ARRAY(Frame_Chip);       // 0 bottom chip, 1 top chip
  KB_ARRAY(Frame_Cell);       // "CELL 1".."CELL 6": 0..5 bottom chip, 6..11 top chip
  KB_ARRAY(Option_2);         // bottom chip actions, entry 4 x (cell - 1) + code
  KB_ARRAY(Option4);          // top chip actions
  KB_ARRAY(Text_2);           // bottom chip command word, entry i = bit i
  KB_ARRAY(Text_5);           // top chip command word; bits 3..0 take a hand edit
  KB_ARRAY(Text_3);           // bottom chip command read back
  KB_ARRAY(Text_6);           // top chip command read back
  KB_ARRAY(Text_4);           // bottom chip status
  KB_ARRAY(Text_7);           // top chip status
  KB_ARRAY(Text9);            // bottom chip balance times, cells 1..6
  KB_ARRAY(Text_8);           // top chip balance times
  KB_ONE(Combo_3);            // bottom chip cells in use
  KB_ONE(Combo_2);            // top chip cells in use
  KB_ARRAY(Check_1);          // "TOS": 2 in the bottom frame, 3 in the top frame
  KB_ARRAY(Label_21);         // chip numbers "IC #": 1 bottom, 2 top
  KB_ARRAY(Label1);           // check results: 3/4 top read-back/status, 5/6 bottom
  KB_ONE(Label_TimeHeaderB);  // "BALANCE TIME (s)" over each chip's time boxes
  KB_ONE(Label_TimeHeaderT);
  KB_ARRAY(Label_Bal);  // fixed captions of the panel
};

void layoutBalancerPanel(form::Form& f, BalancerPanelControls& c, const form::Control& page);

}  // namespace kb::ui
