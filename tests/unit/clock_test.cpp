#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <stdexcept>

#include "common/Clock.h"

namespace kb {
namespace {

TEST(Calendar, KnownDaysAndRoundTrips) {
  const struct {
    int year, month, day;
    std::int64_t days;
  } cases[] = {
      {1970, 1, 1, 0},      {1969, 12, 31, -1},  {2000, 3, 1, 11017},   {2026, 1, 5, 20458},
      {2028, 2, 29, 21243}, {2100, 3, 1, 47541}, {1600, 1, 1, -135140}, {2126, 1, 6, 56983},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(daysFromCivil(c.year, c.month, c.day), c.days) << c.year << "-" << c.month;
    const DateTime d = civilFromDays(c.days);
    EXPECT_EQ(d.year, c.year);
    EXPECT_EQ(d.month, c.month);
    EXPECT_EQ(d.day, c.day);
  }
  // Consecutive day numbers walk the calendar one day at a time over five centuries.
  DateTime previous = civilFromDays(-100'000);
  for (std::int64_t day = -99'999; day <= 100'000; ++day) {
    const DateTime d = civilFromDays(day);
    ASSERT_EQ(daysFromCivil(d.year, d.month, d.day), day);
    const bool nextDay =
        d.year == previous.year && d.month == previous.month && d.day == previous.day + 1;
    const bool nextMonth =
        d.day == 1 && ((d.year == previous.year && d.month == previous.month + 1) ||
                       (d.year == previous.year + 1 && d.month == 1));
    ASSERT_TRUE(nextDay || nextMonth) << day;
    previous = d;
  }
}

TEST(ManualClock, CalendarAndTimeOfDayFromTheFixedStart) {
  const struct {
    std::int64_t elapsed;
    DateTime at;
    std::int64_t sinceMidnight;
  } cases[] = {
      {0, {2026, 1, 5, 8, 0, 0, 0}, 8 * 3600 * kMicrosPerSecond},
      {1, {2026, 1, 5, 8, 0, 0, 1}, 8 * 3600 * kMicrosPerSecond + 1},
      {16 * 3600 * kMicrosPerSecond - 1, {2026, 1, 5, 23, 59, 59, 999'999}, kMicrosPerDay - 1},
      {16 * 3600 * kMicrosPerSecond, {2026, 1, 6, 0, 0, 0, 0}, 0},
      {26 * kMicrosPerDay + 90 * kMicrosPerSecond,
       {2026, 1, 31, 8, 1, 30, 0},
       (8 * 3600 + 90) * kMicrosPerSecond},
      {27 * kMicrosPerDay, {2026, 2, 1, 8, 0, 0, 0}, 8 * 3600 * kMicrosPerSecond},
      {785 * kMicrosPerDay, {2028, 2, 29, 8, 0, 0, 0}, 8 * 3600 * kMicrosPerSecond},
      {ManualClock::kMaxElapsedMicros, {2126, 1, 6, 8, 0, 0, 0}, 8 * 3600 * kMicrosPerSecond},
  };
  for (const auto& c : cases) {
    ManualClock clock;
    clock.advanceMicros(c.elapsed);
    EXPECT_EQ(clock.dateTime(), c.at) << c.elapsed;
    EXPECT_EQ(clock.microsSinceMidnight(), c.sinceMidnight) << c.elapsed;
    EXPECT_EQ(clock.elapsedMicros(), c.elapsed);
  }
}

TEST(ManualClock, TheHostsTimeZoneChangesNothing) {
  const char* saved = std::getenv("TZ");
  const std::string restore = saved != nullptr ? saved : "";
  DateTime first;
  bool haveFirst = false;
  for (const char* zone : {"UTC", "Australia/Sydney", "America/St_Johns", "Asia/Kathmandu"}) {
    setenv("TZ", zone, 1);
    tzset();
    ManualClock clock;
    clock.advance(3600.5);
    if (!haveFirst) first = clock.dateTime();
    haveFirst = true;
    EXPECT_EQ(clock.dateTime(), first) << zone;
    EXPECT_EQ(clock.secondsSinceMidnight(), 9 * 3600 + 0.5) << zone;
  }
  if (saved != nullptr) {
    setenv("TZ", restore.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

TEST(ManualClock, StepsPastTheLimitOrNotFiniteAreRefusedAndChangeNothing) {
  ManualClock clock;
  clock.advance(0.1);
  clock.advance(0.1);
  EXPECT_EQ(clock.elapsedMicros(), 200'000) << "tenths add up exactly";
  for (const double bad : {-1.0, std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(), 1e300, 3.2e9}) {
    EXPECT_THROW(clock.advance(bad), std::out_of_range) << bad;
  }
  EXPECT_THROW(clock.advanceMicros(-1), std::out_of_range);
  EXPECT_THROW(clock.advanceMicros(ManualClock::kMaxElapsedMicros), std::out_of_range);
  EXPECT_EQ(clock.elapsedMicros(), 200'000);
  EXPECT_TRUE(clock.canAdvanceMicros(ManualClock::kMaxElapsedMicros - 200'000));
  EXPECT_FALSE(clock.canAdvanceMicros(ManualClock::kMaxElapsedMicros - 199'999));
}

}  // namespace
}  // namespace kb
