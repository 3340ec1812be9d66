#include "ui/main/MainWindow.h"

#include "monitor/MonitorCommands.h"
#include "startup/Startup.h"
#include "ui/main/MainLayout.h"

namespace kb::ui {

bool Context::pecMatchOnly() const {
  return main->get("Check_AUTO").value == 1 && !startup.displayAllOverride;
}

MainWindow::MainWindow(Services services) : ctx_(services, makeMainForm(), makeStatusForm()) {
  // Each subsystem registers its event procedures and state variables.
  startup::wire(ctx_);
  monitor::wire(ctx_);
}

bool MainWindow::load() {
  return startup::Form_Load(ctx_);
}

}  // namespace kb::ui
