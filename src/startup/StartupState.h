#pragma once
// Start-up and dispatch state of the main window.
#include <string>

#include "startup/Reminders.h"
#include "startup/UpperSteps.h"

namespace kb::startup {

struct StartupState {
  bool controllerDetected = false;
  std::string controllerId;        // the nine characters of the identity answer
  bool chipSelectLeftLow = false;  // a poll left chip select low
  int LowCurrentStandby = 0;
  // Display-all override of button-started reads: forces every transfer to be shown even when
  // "PEC Match Only" is ticked.
  bool displayAllOverride = false;
  bool displayAllLog = false;
  std::string cellSelectDigit = "0";
  std::string tempSelectDigit = "0";
  std::string SelfTestVariant = "E";
  ReminderState reminders;
  UpperSteps upper;
};

}  // namespace kb::startup
