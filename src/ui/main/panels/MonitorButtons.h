#pragma once
// The column of monitor command buttons with the next-step reminder marks, the controller
// identity, and "PEC Match Only" with the transfer display mode.
#include "ui/form/Form.h"

namespace kb::ui {

// Monitor command buttons: their normal and narrowed (emphasised) geometry.
inline constexpr int kButtonLeft = 11160;
inline constexpr int kButtonWidth = 1455;
inline constexpr int kButtonLeftNarrow = 11280;
inline constexpr int kButtonWidthNarrow = 1215;

struct MonitorButtonControls : virtual form::HandleSet {
  KB_ARRAY(Command1);      // 0..10 and 14
  KB_ARRAY(ReminderMark);  // 0 READ CONFIG, 1 READCELLVOLT, 2 READ TEMP
  KB_ARRAY(Command3);      // 0 STCVDC, 1 STOWDC: conversion starts with discharge held
  KB_ONE(Label_IDcaption);
  KB_ONE(Label_ID);
  KB_ONE(Check_AUTO);
  KB_ONE(Label_AUTOstatus);
};

void layoutMonitorButtons(form::Form& f, MonitorButtonControls& c, const form::Control& page);

}  // namespace kb::ui
