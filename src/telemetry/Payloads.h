#pragma once
// Topics and JSON payloads of what the program publishes (schema version kSchemaVersion; the
// README documents it). Pure functions: the same reading gives the same messages.
#include <cstdint>
#include <string>
#include <vector>

#include "alarms/Alarm.h"
#include "context/Readings.h"
#include "telemetry/MessageQueue.h"

namespace kb::telemetry {

inline constexpr int kSchemaVersion = 1;

// The messages of one reading: one per cell, one per temperature sensor, the board's PEC state,
// the flags, the configuration read back, the balancer's words and events.
std::vector<Message> readingMessages(const readings::Reading& reading, const std::string& prefix);

// PREFIX/alarm, QoS 1; nowMicros: the program's time of the event.
Message alarmMessage(alarms::Event event, const alarms::Alarm& alarm, const std::string& prefix,
                     std::int64_t nowMicros);

// PREFIX/status, retained, QoS 1: "online" with the program's version and the controller's
// identity, or "offline" (the last will, and what a clean end publishes).
Message onlineStatus(const std::string& prefix, const std::string& version,
                     const std::string& controller);
Message offlineStatus(const std::string& prefix);

// A JSON string literal: quotes, backslashes and control characters escaped, bytes above 0x7E
// taken as Latin-1, so the payload is always valid UTF-8.
std::string jsonString(const std::string& text);

}  // namespace kb::telemetry
