#include "app/core/Session.h"

#include <filesystem>
#include <system_error>

#include "health/Wiring.h"
#include "link/FtdiDriver.h"
#include "link/SerialDriver.h"
#include "link/TraceText.h"
#include "record/Recording.h"
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
  if (device == "serial" || device.rfind("serial:", 0) == 0) {
    link::SerialOptions options;
    std::string why;
    if (!link::parseSerialOptions(device.size() > 7 ? device.substr(7) : std::string(), options,
                                  why)) {
      error = "kb4471: bad serial option: " + link::traceText(why);
      return nullptr;
    }
    return std::make_unique<link::SerialDriver>(std::move(options));
  }
  error = "kb4471: unknown device '" + link::traceText(device) +
          "' (use ftdi, serial[:PORT] or sim[:OPTIONS])";
  return nullptr;
}

namespace {

// The export folder made absolute, so that the workbook's cell A1 and the desktop's "open" name
// the file wherever they are read from. Empty stays empty (the program's own folder).
std::string absoluteFolder(const std::string& folder) {
  if (folder.empty()) return folder;
  std::error_code ec;
  const std::filesystem::path path = std::filesystem::absolute(folder, ec);
  return ec ? folder : path.lexically_normal().string();
}

}  // namespace

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
  // On a real controller the not-detected message says where to look.
  const bool simulated = options.device == "sim" || options.device.rfind("sim:", 0) == 0;
  window_ = std::make_unique<ui::MainWindow>(
      ui::Services{*link_, clock, dialogs, desktop, absoluteFolder(options.exportDir),
                   simulated ? "" : "To see what is attached, run: kb4471 --list-devices"});
  health::wire(window_->context(), health::controllerName(options.device));
  ui::Context& ctx = window_->context();
  ctx.recording.device = options.device;
  // Every transaction that failed goes into the recording's link events (nothing while idle).
  ctx.link().addWatcher([&ctx](const link::LinkEvent& event) {
    if (event.outcome == link::Outcome::Ok) return;
    std::string kind = link::outcomeName(event.outcome);
    for (char& ch : kind) {
      if (ch == ' ') ch = '-';
    }
    const std::string detail = event.message.empty() ? event.command
                                                     : event.command + ": " + event.message;
    record::noteLinkFailure(ctx, kind, detail);
  });
  if (!options.recordFile.empty()) {
    // Scripted runs write at the end of each event, so their output never depends on a thread;
    // the GUI writes from a thread of its own.
    const bool scripted = options.headless || !options.screenshotDir.empty();
    std::string why;
    if (!record::startRecording(
            ctx, options.recordFile, false,
            scripted ? record::Writer::Mode::Inline : record::Writer::Mode::Background, why)) {
      error_ = "kb4471: cannot record to '" + link::traceText(options.recordFile) +
               "': " + link::traceText(why);
    }
  }
  if (options.publishing) {
    std::string why;
    if (!startPublishing(options.publish, why)) error_ = "kb4471: " + link::traceText(why);
  }
}

bool Session::startPublishing(const telemetry::PublishSettings& settings, std::string& error,
                              telemetry::PublisherTuning tuning) {
  stopPublishing();
  telemetry_ = telemetry::startTelemetry(window_->context(), settings, error, tuning);
  return telemetry_ != nullptr;
}

void Session::stopPublishing() {
  if (telemetry_) {
    telemetry_->retire();
    retired_.push_back(std::move(telemetry_));
  }
  std::erase_if(retired_, [](const auto& t) { return t->publisher().finished(); });
}

std::string Session::outputError() const {
  if (traceFile_.empty() || trace_.good()) return {};
  return "cannot write trace file '" + link::traceText(traceFile_) + "'";
}

}  // namespace kb::app
