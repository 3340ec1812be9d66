#include "common/Clock.h"

#include <cmath>
#include <ctime>
#include <stdexcept>

namespace kb {

// Civil calendar conversions after H. Hinnant's days_from_civil / civil_from_days: exact for
// every date an int64 day count can hold around the present era.
std::int64_t daysFromCivil(int year, int month, int day) {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (month + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

DateTime civilFromDays(std::int64_t days) {
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  DateTime out;
  out.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  out.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  out.year = static_cast<int>(yoe + era * 400 + (out.month <= 2 ? 1 : 0));
  return out;
}

std::int64_t Clock::microsSinceMidnight() const {
  const DateTime t = dateTime();
  return ((static_cast<std::int64_t>(t.hour) * 60 + t.minute) * 60 + t.second) * kMicrosPerSecond +
         t.microsecond;
}

SystemClock::SystemClock() : start_(std::chrono::steady_clock::now()) {}

std::int64_t SystemClock::elapsedMicros() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               start_)
      .count();
}

DateTime SystemClock::dateTime() const {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const auto micros =
      std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count() %
      kMicrosPerSecond;
  return DateTime{local.tm_year + 1900,
                  local.tm_mon + 1,
                  local.tm_mday,
                  local.tm_hour,
                  local.tm_min,
                  local.tm_sec,
                  static_cast<int>(micros < 0 ? 0 : micros)};
}

DateTime ManualClock::dateTime() const {
  const std::int64_t startMicros =
      ((static_cast<std::int64_t>(kStart.hour) * 60 + kStart.minute) * 60 + kStart.second) *
          kMicrosPerSecond +
      kStart.microsecond;
  const std::int64_t sinceStartDay = startMicros + elapsed_;
  DateTime out = civilFromDays(daysFromCivil(kStart.year, kStart.month, kStart.day) +
                               sinceStartDay / kMicrosPerDay);
  std::int64_t inDay = sinceStartDay % kMicrosPerDay;
  out.microsecond = static_cast<int>(inDay % kMicrosPerSecond);
  inDay /= kMicrosPerSecond;
  out.second = static_cast<int>(inDay % 60);
  out.minute = static_cast<int>((inDay / 60) % 60);
  out.hour = static_cast<int>(inDay / 3600);
  return out;
}

void ManualClock::advanceMicros(std::int64_t micros) {
  if (!canAdvanceMicros(micros)) throw std::out_of_range("clock step out of range");
  elapsed_ += micros;
}

void ManualClock::advance(double seconds) {
  const double micros = std::round(seconds * static_cast<double>(kMicrosPerSecond));
  // Compared as doubles first: converting an out-of-range double to an integer is undefined.
  if (!std::isfinite(micros) || micros < 0.0 || micros > static_cast<double>(kMaxElapsedMicros)) {
    throw std::out_of_range("clock step out of range");
  }
  advanceMicros(static_cast<std::int64_t>(micros));
}

}  // namespace kb
