#include "telemetry/Telemetry.h"

#include <filesystem>
#include <fstream>

#include "context/Context.h"
#include "telemetry/Payloads.h"

namespace kb::telemetry {

Telemetry::Telemetry(ui::Context& ctx, const PublishSettings& settings, std::string password,
                     PublisherTuning tuning)
    : ctx_(ctx), prefix_(settings.prefix), publisher_(settings, std::move(password), tuning) {
  readingsId_ = ctx_.readings.subscribe([this](const readings::Reading& r) {
    followController();
    for (Message& m : readingMessages(r, prefix_)) publisher_.enqueue(std::move(m));
  });
  alarmsId_ = ctx_.alarmEvents.subscribe([this](alarms::Event e, const alarms::Alarm& a) {
    publisher_.enqueue(alarmMessage(e, a, prefix_, ctx_.services.clock.elapsedMicros()));
  });
  followController();
  publisher_.start();
}

Telemetry::~Telemetry() {
  unsubscribe();
  publisher_.stop();
}

void Telemetry::retire() {
  unsubscribe();
  publisher_.requestStop();
}

void Telemetry::unsubscribe() {
  if (readingsId_ != 0) ctx_.readings.unsubscribe(readingsId_);
  if (alarmsId_ != 0) ctx_.alarmEvents.unsubscribe(alarmsId_);
  readingsId_ = 0;
  alarmsId_ = 0;
}

// The online status names the controller: it is set once start-up has found one, and anew if its
// identity changes.
void Telemetry::followController() {
  const auto& s = ctx_.startup;
  if (!s.controllerDetected || (statusSet_ && s.controllerId == controller_)) return;
  controller_ = s.controllerId;
  statusSet_ = true;
  publisher_.setOnlineStatus(onlineStatus(prefix_, KB_VERSION, controller_));
}

std::unique_ptr<Telemetry> startTelemetry(ui::Context& ctx, const PublishSettings& settings,
                                          std::string& error, PublisherTuning tuning) {
  std::string why;
  if (!checkSettings(settings, why)) {
    error = "publish: " + why;
    return nullptr;
  }
  std::string password;
  if (!settings.passwordFile.empty() && !readPasswordFile(settings.passwordFile, password, error)) {
    error = "publish: " + error;
    return nullptr;
  }
  std::error_code ec;
  if (settings.tls &&
      (std::filesystem::is_directory(settings.caFile, ec) || !std::ifstream(settings.caFile))) {
    error = "publish: cannot read the CA file '" + settings.caFile + "'";
    return nullptr;
  }
  return std::make_unique<Telemetry>(ctx, settings, std::move(password), tuning);
}

}  // namespace kb::telemetry
