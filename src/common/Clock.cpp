#include "common/Clock.h"

#include <cmath>

namespace kb {

SystemClock::SystemClock() : start_(std::chrono::steady_clock::now()) {}

double SystemClock::elapsedSeconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

std::tm SystemClock::localTime() const {
  const std::time_t now = std::time(nullptr);
  std::tm out{};
  localtime_r(&now, &out);
  return out;
}

double SystemClock::secondsSinceMidnight() const {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const double frac =
      std::chrono::duration<double>(now.time_since_epoch()).count() - static_cast<double>(t);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + frac;
}

ManualClock::ManualClock() = default;

double ManualClock::secondsSinceMidnight() const {
  return std::fmod(startOfDay_ + elapsed_, 86400.0);
}

std::tm ManualClock::localTime() const {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 0;
  t.tm_mday = 5;
  const long secs = static_cast<long>(startOfDay_ + elapsed_);
  t.tm_mday += static_cast<int>(secs / 86400);
  const long inDay = secs % 86400;
  t.tm_hour = static_cast<int>(inDay / 3600);
  t.tm_min = static_cast<int>((inDay / 60) % 60);
  t.tm_sec = static_cast<int>(inDay % 60);
  std::mktime(&t);
  return t;
}

}  // namespace kb
