#pragma once
// Time sources. The program's clock drives the timer, the balance clock and the simulated stack.
//
// Elapsed time is counted in whole microseconds, so adding a short step to a clock of years still
// moves it. The calendar is computed with integer arithmetic; the manual clock never consults the
// host's time zone, so a headless run gives the same times everywhere.
#include <chrono>
#include <cstdint>

namespace kb {

inline constexpr std::int64_t kMicrosPerSecond = 1'000'000;
inline constexpr std::int64_t kMicrosPerDay = 86'400 * kMicrosPerSecond;

// A local calendar date and time of day.
struct DateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int microsecond = 0;
  bool operator==(const DateTime&) const = default;
};

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t daysFromCivil(int year, int month, int day);
DateTime civilFromDays(std::int64_t days);

class Clock {
 public:
  virtual ~Clock() = default;
  // Microseconds since the clock started; monotonic.
  virtual std::int64_t elapsedMicros() const = 0;
  // Present local date and time.
  virtual DateTime dateTime() const = 0;

  double elapsedSeconds() const {
    return static_cast<double>(elapsedMicros()) / static_cast<double>(kMicrosPerSecond);
  }
  // Time since local midnight (the system timer of the balance clock).
  std::int64_t microsSinceMidnight() const;
  double secondsSinceMidnight() const {
    return static_cast<double>(microsSinceMidnight()) / static_cast<double>(kMicrosPerSecond);
  }
};

// Real time: the GUI.
class SystemClock final : public Clock {
 public:
  SystemClock();
  std::int64_t elapsedMicros() const override;
  DateTime dateTime() const override;

 private:
  std::chrono::steady_clock::time_point start_;
};

// A clock moved by hand: tests and the headless runner. It starts at kStart and holds up to
// kMaxElapsedMicros (a century); moving it further is refused.
class ManualClock final : public Clock {
 public:
  static constexpr DateTime kStart{2026, 1, 5, 8, 0, 0, 0};
  static constexpr std::int64_t kMaxElapsedMicros = 36'525 * kMicrosPerDay;

  std::int64_t elapsedMicros() const override { return elapsed_; }
  DateTime dateTime() const override;

  // Whether the clock can move on by this much (non-negative, within the limit).
  bool canAdvanceMicros(std::int64_t micros) const {
    return micros >= 0 && micros <= kMaxElapsedMicros - elapsed_;
  }
  // Throws std::out_of_range when the step is negative or passes the limit.
  void advanceMicros(std::int64_t micros);
  // Seconds rounded to the microsecond; throws std::out_of_range for a step that is not finite,
  // negative or past the limit.
  void advance(double seconds);

 private:
  std::int64_t elapsed_ = 0;
};

}  // namespace kb
