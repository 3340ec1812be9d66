#pragma once
// The main window's context: the services it acts through and all state of the run, in one part
// per subsystem. Subsystem procedures take the context and act on its parts and forms.
#include <functional>
#include <memory>
#include <string>

#include "common/Clock.h"
#include "link/ControllerLink.h"
#include "monitor/PecJudge.h"
#include "startup/BoardSet.h"
#include "startup/Reminders.h"
#include "ui/form/Form.h"
#include "ui/form/Services.h"
#include "ui/main/StateVariables.h"

namespace kb::ui {

struct Services {
  link::ControllerLink& link;
  Clock& clock;
  form::Dialogs& dialogs;
  form::Desktop* desktop = nullptr;
};

// Start-up and dispatch state.
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
  startup::ReminderState reminders;
};

// Continuous-cycle state read by the dispatcher and the command functions.
struct CycleState {
  int ContinuousReadOn = 0;
  int CycleStep = 0;
  int CycleBoard = 0;
};

// Balancer flags read outside the balancer.
struct BalancerFlags {
  bool BalancerPolling = false;
  bool ExecutingBoard1 = false;
  bool ExecutingOtherBoards = false;
};

struct Context {
  Context(Services s, std::unique_ptr<form::Form> mainForm, std::unique_ptr<form::Form> statusForm)
      : services(s), main(std::move(mainForm)), status(std::move(statusForm)) {}
  // Procedures hold references into the context: it never moves.
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  Services services;
  std::unique_ptr<form::Form> main;
  std::unique_ptr<form::Form> status;

  StartupState startup;
  startup::BoardSet boards;
  monitor::MonitorReadState reads;
  CycleState cycle;
  BalancerFlags balancer;

  StateVariables variables;

  // Set when the program is to end (not detected, Exit, the tick finding no controller).
  bool programEnded = false;
  int exitStatus = 0;

  // Board whose data the command functions use: CycleBoard while continuous read runs.
  int boardInUse() const {
    return cycle.ContinuousReadOn == 1 ? cycle.CycleBoard : boards.CurrentBoard;
  }
  // "PEC Match Only" as it applies now: the check box, unless the display-all override is on.
  bool pecMatchOnly() const;

  link::ControllerLink& link() { return services.link; }
  form::Form& form() { return *main; }
};

}  // namespace kb::ui
