#include "ui/main/MainWindow.h"

#include <stdexcept>

#include "alarms/AlarmList.h"
#include "alarms/Alarms.h"
#include "balancer/Balancer.h"
#include "balancer/StatusWindow.h"
#include "config/ConfigEditor.h"
#include "continuous/Cycle.h"
#include "continuous/Datalog.h"
#include "continuous/FastScan.h"
#include "history/Wiring.h"
#include "monitor/MonitorCommands.h"
#include "record/Recording.h"
#include "startup/SelfTestPanel.h"
#include "startup/Startup.h"
#include "views/Selection.h"
#include "views/Views.h"

namespace kb::ui {

namespace {

// A layout that leaves a handle without a control is a fault of the program: refuse to start.
void checkHandles(const form::HandleSet& set, const char* window) {
  const auto missing = set.unbound();
  if (missing.empty()) return;
  std::string names;
  for (const auto& n : missing) names += " " + n;
  throw std::logic_error(std::string(window) + " declares no control for:" + names);
}

}  // namespace

MainWindow::MainWindow(Services services) : ctx_(services) {
  checkHandles(ctx_.c, "main window");
  checkHandles(ctx_.s, "status window");
  // The consumers of the readings learn where each event's readings end.
  ctx_.main->setEventEndHook([this] { ctx_.readings.eventEnded(); });
  ctx_.status->setEventEndHook([this] { ctx_.readings.eventEnded(); });
  // Each subsystem registers its event procedures and state variables.
  startup::wire(ctx_);
  monitor::wire(ctx_);
  startup::wireSelfTests(ctx_);
  views::wire(ctx_);
  views::wireSelection(ctx_);
  balancer::wire(ctx_);
  balancer::wireStatusWindow(ctx_);
  continuous::wireDatalog(ctx_);
  config::wire(ctx_);
  continuous::wireCycle(ctx_);
  continuous::wireSpeedOptions(ctx_);
  history::wire(ctx_);
  alarms::wire(ctx_);
  record::wire(ctx_);
  alarms::wireList(ctx_);
  // The control holding the focus, as the runner prints it ("" when none).
  ctx_.variables.add("ActiveControl", [this] {
    const form::Control* c = ctx_.main->focused();
    return c == nullptr ? std::string() : c->displayName();
  });
}

void MainWindow::setFaultReporter(const form::Form::FaultReporter& reporter) {
  ctx_.main->setFaultReporter(reporter);
  ctx_.status->setFaultReporter(reporter);
}

bool MainWindow::load() {
  bool faulted = true;
  ctx_.main->guarded("Form", "Load", [&] {
    startup::Form_Load(ctx_);
    faulted = false;
  });
  if (faulted) {
    ctx_.programEnded = true;
    if (ctx_.exitStatus == 0) ctx_.exitStatus = 3;
    return false;
  }
  return !ctx_.programEnded;
}

void MainWindow::unload() {
  ctx_.main->guarded("Form", "Unload", [&] { startup::Form_Unload(ctx_); });
  ctx_.programEnded = true;  // also when the procedure failed
}

void MainWindow::keepAliveTick() {
  // Not through the form's event machinery: the procedure that opened the box is still running,
  // and this must neither run another procedure nor take part in its fault handling.
  if (ctx_.c.Timer1->enabled) continuous::keepAliveTick(ctx_);
}

void MainWindow::closeStatusWindow() {
  ctx_.status->guarded("Form", "Unload", [&] { balancer::unloadStatusWindow(ctx_); });
}

}  // namespace kb::ui
