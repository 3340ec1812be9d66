#pragma once
// A headless session with its script runner, as `--headless --script` builds it, for tests that
// drive the program by script lines.
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/CommandLine.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"

namespace kb::test {

struct ScriptProgram {
  // load: run start-up at once (a test that hooks start-up loads by itself).
  explicit ScriptProgram(const std::string& device = "sim", bool load = true)
      : ScriptProgram(withDevice(device), load) {}
  // The command line's options (a trace, a recording ...).
  explicit ScriptProgram(const app::Options& o, bool load = true) : options(o), dialogs(out) {
    session = std::make_unique<app::Session>(options, clock, dialogs);
    if (session->error().empty()) {
      runner = std::make_unique<app::ScriptRunner>(session->window(), out, clock);
      loaded = load && session->window().load();
    }
  }
  // Faults are kept in `faults` and end the script, as in a headless run.
  void catchFaults() {
    session->window().setFaultReporter([this](const form::Fault& f) {
      faults.push_back(app::faultLine(f));
      runner->faulted();
    });
  }
  static app::Options withDevice(const std::string& device) {
    app::Options o;
    o.device = device;
    return o;
  }
  int script(const std::string& text) {
    out.str("");
    std::istringstream in(text);
    return runner->run(in);
  }

  app::Options options;
  ManualClock clock;
  std::ostringstream out;
  app::PrintingDialogs dialogs;
  std::unique_ptr<app::Session> session;
  std::unique_ptr<app::ScriptRunner> runner;
  bool loaded = false;
  std::vector<std::string> faults;
};

}  // namespace kb::test
