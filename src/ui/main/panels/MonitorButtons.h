#pragma once
// The column of monitor command buttons with the next-step reminder marks, the controller
// identity, and "PEC Match Only" with the transfer display mode.
#include <array>

#include "ui/form/Form.h"

namespace kb::ui {

// The monitor command buttons Command1, by index (11 to 13 are not used). The dispatcher
// startup::Command1_Click runs the command of an index; the procedures that reuse a button's
// command call it by name (startup/ButtonCommands.h).
enum MonitorButton : int {
  kPollAdcButton = 0,
  kPollIntButton = 1,
  kStartCellVoltButton = 2,
  kStartOpenWireButton = 3,
  kStartTempButton = 4,
  kWriteConfigButton = 5,
  kReadConfigButton = 6,
  kReadCellVoltButton = 7,
  kReadFlagButton = 8,
  kReadTempButton = 9,
  kContinuousReadButton = 10,
  kLowCurrentStandbyButton = 14,
};

// The measurement buttons: what the low-current standby blocks and a CDC set again gives back.
inline constexpr std::array<int, 6> kMeasurementButtons{kContinuousReadButton, kStartCellVoltButton,
                                                        kReadCellVoltButton,   kStartTempButton,
                                                        kReadTempButton,       kReadFlagButton};
// What balancing blocks while the balancer keep-alive runs.
inline constexpr std::array<int, 4> kBalancingBlockedButtons{
    kContinuousReadButton, kStartCellVoltButton, kReadCellVoltButton, kReadFlagButton};

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
