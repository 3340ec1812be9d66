#pragma once
// The main window's context: the services it acts through, its two forms with their control
// handles, and all state of the run, one part per subsystem (each part's type lives in its
// subsystem's folder). Subsystem procedures take the context and act on its parts and controls.
#include <memory>
#include <string>

#include "alarms/Alarm.h"
#include "alarms/AlarmList.h"
#include "alarms/Book.h"
#include "alarms/Engine.h"
#include "balancer/BalancerState.h"
#include "balancer/StatusWindowState.h"
#include "balancer/TimedState.h"
#include "common/Clock.h"
#include "config/ConfigState.h"
#include "context/Readings.h"
#include "context/StateVariables.h"
#include "continuous/CycleState.h"
#include "continuous/DatalogState.h"
#include "continuous/FastScanState.h"
#include "health/LinkHealth.h"
#include "history/History.h"
#include "history/TrendWindowState.h"
#include "link/ControllerLink.h"
#include "monitor/MeasureState.h"
#include "monitor/PecJudge.h"
#include "monitor/SelfTestState.h"
#include "monitor/TransferLogState.h"
#include "record/RecordingState.h"
#include "startup/BoardSet.h"
#include "startup/StartupState.h"
#include "ui/form/Form.h"
#include "ui/form/Services.h"
#include "ui/main/MainControls.h"
#include "ui/status/StatusControls.h"
#include "views/SelectionState.h"
#include "views/ViewState.h"

namespace kb::ui {

struct Services {
  link::ControllerLink& link;
  Clock& clock;
  form::Dialogs& dialogs;
  form::Desktop* desktop = nullptr;
  // The folder the export writes to; empty: the program's own folder, or the user's documents
  // folder when that cannot be written.
  std::string exportDir = {};
  // A line added to the not-detected message (real controllers: where to look); empty: none.
  std::string notDetectedHint = {};
  // The program's own folder; empty: the executable's.
  std::string programDir = {};
};

struct Context {
  explicit Context(Services services);
  // Procedures hold references into the context: it never moves.
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  Services services;
  std::unique_ptr<form::Form> main;
  std::unique_ptr<form::Form> status;
  MainControls c;    // controls of the main window
  StatusControls s;  // controls of the status window

  startup::StartupState startup;
  startup::BoardSet boards;
  config::ConfigState config;
  monitor::MonitorReadState reads;
  monitor::MeasureState measure;
  monitor::SelfTestState selfTest;
  monitor::TransferLogState transferLog;
  continuous::CycleState cycle;
  continuous::DatalogState datalog;
  continuous::FastScanState fastScan;
  balancer::BalancerState balancer;
  balancer::StatusWindowState statusWindow;
  balancer::TimedState timed;
  views::ViewState views;
  views::SelectionState selection;

  StateVariables variables;

  // What the read paths read, for the consumers beside the window (recording, alarms, ...).
  readings::Stream readings;
  // Alarms raised and cleared from those readings.
  alarms::Stream alarmEvents;
  // Every cell and temperature read since start-up, bounded; the trend window draws it.
  history::History history;
  history::TrendWindowState trendWindow;
  // Every alarm of the run, and the engine that raises and clears them from the readings.
  alarms::Book alarmBook{alarmEvents};
  alarms::Engine alarmEngine{alarmBook};
  // How the controller link is doing (health/Wiring.cpp feeds it).
  health::LinkHealth linkHealth;
  // The session recording (it subscribes to both streams above, so it goes first).
  record::RecordingState recording;
  alarms::AlarmListState alarmList;

  // Set when the program is to end (not detected, Exit, the tick finding no controller).
  bool programEnded = false;
  int exitStatus = 0;

  // Board whose data the command functions use: CycleBoard while continuous read runs.
  int boardInUse() const {
    return cycle.ContinuousReadOn == 1 ? cycle.CycleBoard : boards.CurrentBoard;
  }
  // "PEC Match Only" as it applies now: the check box, unless the display-all override is on.
  bool pecMatchOnly() const;

  // A reading stamped with the program's clock and the origin of the command now running.
  readings::Reading reading(readings::Kind kind, int board, std::string command) const;

  link::ControllerLink& link() { return services.link; }
  form::Form& form() { return *main; }
};

}  // namespace kb::ui
