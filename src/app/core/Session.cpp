#include "app/core/Session.h"

#include <filesystem>
#include <system_error>

#include "link/FtdiDriver.h"
#include "link/TraceText.h"
#include "sim/SimOptions.h"
#include "sim/SimStack.h"

namespace kb::app {

std::unique_ptr<link::FtDriver> makeBackend(const std::string& device, const Clock& clock,
                                            std::string& error) {
  if (device == "ftdi") return std::make_unique<link::FtdiDriver>();
  if (device == "sim" || device.rfind("sim:", 0) == 0) {
    sim::SimOptions options;
    std::string why;
    const std::string text = device.size() > 4 ? device.substr(4) : std::string();
    if (!sim::parseSimOptions(text, options, why)) {
      error = "kb4471: bad simulator option: " + link::traceText(why);
      return nullptr;
    }
    return std::make_unique<sim::SimStack>(std::move(options), clock);
  }
  error = "kb4471: unknown device '" + link::traceText(device) + "' (use ftdi or sim[:OPTIONS])";
  return nullptr;
}

Session::Session(const Options& options, Clock& clock, form::Dialogs& dialogs,
                 form::Desktop* desktop)
    : clock_(clock) {
  driver_ = makeBackend(options.device, clock, error_);
  if (!driver_) return;
  link_ = std::make_unique<link::ControllerLink>(*driver_);
  link::LinkMode mode = link::LinkMode::Transaction;
  if (link::parseLinkMode(options.link, mode)) link_->setMode(mode);
  if (!options.traceFile.empty()) {
    traceFile_ = options.traceFile;
    // Opening the trace truncates it: it must not be the script, under whatever name.
    std::error_code ec;
    if (!options.scriptFile.empty() &&
        std::filesystem::equivalent(options.traceFile, options.scriptFile, ec)) {
      error_ = "kb4471: trace file '" + link::traceText(options.traceFile) +
               "' is the script file; it would be overwritten";
      return;
    }
    trace_.open(options.traceFile, std::ios::out | std::ios::trunc);
    if (!trace_) {
      error_ = "kb4471: cannot write trace file '" + link::traceText(options.traceFile) + "'";
      return;
    }
    link_->setTrace(&trace_);
  }
  window_ = std::make_unique<ui::MainWindow>(
      ui::Services{*link_, clock, dialogs, desktop, options.exportDir});
}

std::string Session::outputError() const {
  if (traceFile_.empty() || trace_.good()) return {};
  return "cannot write trace file '" + link::traceText(traceFile_) + "'";
}

}  // namespace kb::app
