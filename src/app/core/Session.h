#pragma once
// One run of the program: clock, controller backend, link (with its trace), dialogs and the main
// window. The GUI, the headless runner and the screenshot mode all start from a Session.
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/CommandLine.h"
#include "common/Clock.h"
#include "link/ControllerLink.h"
#include "link/FtDriver.h"
#include "telemetry/Telemetry.h"
#include "ui/form/Services.h"
#include "ui/main/MainWindow.h"

namespace kb::app {

// Builds the controller backend from a device string: "ftdi", "serial", "serial:PORT[,baud=N]",
// "sim", "sim:OPTION,...".
// Returns null and sets error (one line) for an unknown or malformed device.
std::unique_ptr<link::FtDriver> makeBackend(const std::string& device, const Clock& clock,
                                            std::string& error);

class Session {
 public:
  // clock and dialogs must outlive the session. Check error() after construction.
  Session(const Options& options, Clock& clock, form::Dialogs& dialogs,
          form::Desktop* desktop = nullptr);
  const std::string& error() const { return error_; }
  // Empty while every trace line could be written; else one line naming the trace file.
  std::string outputError() const;
  ui::MainWindow& window() { return *window_; }
  link::ControllerLink& link() { return *link_; }
  link::FtDriver& driver() { return *driver_; }
  Clock& clock() { return clock_; }

  // Publishes the run's readings and alarms to an MQTT broker, in place of any publishing before.
  // Returns false with a one-line reason, publishing nothing.
  bool startPublishing(const telemetry::PublishSettings& settings, std::string& error,
                       telemetry::PublisherTuning tuning = {});
  // Stops taking readings at once; the publisher sends what waits (briefly), says "offline" and
  // disconnects on its own thread, so that a slow broker never holds up the caller.
  void stopPublishing();
  // Null while not publishing.
  const telemetry::Publisher* publisher() const {
    return telemetry_ ? &telemetry_->publisher() : nullptr;
  }

 private:
  Clock& clock_;
  std::string error_;
  std::string traceFile_;
  std::ofstream trace_;
  std::unique_ptr<link::FtDriver> driver_;
  std::unique_ptr<link::ControllerLink> link_;
  std::unique_ptr<ui::MainWindow> window_;
  // After the window: it unsubscribes from the window's streams when it goes.
  std::unique_ptr<telemetry::Telemetry> telemetry_;
  // Publishers told to stop, finishing on their threads; waited for when the session ends.
  std::vector<std::unique_ptr<telemetry::Telemetry>> retired_;
};

}  // namespace kb::app
