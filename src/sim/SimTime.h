#pragma once
// Simulated time: whole microseconds in 64 bits, so that every event moves time forward however
// late the clock is (a double of 1e14 seconds no longer changes when 13 ms are added to it).
#include <cmath>
#include <cstdint>
#include <limits>

namespace kb::sim {

using SimMicros = std::int64_t;

inline constexpr SimMicros kNever = std::numeric_limits<SimMicros>::max();
inline constexpr SimMicros kMicrosPerSecond = 1'000'000;

// Shared by everything on one stack. Only the stack moves it forward.
struct SimTime {
  SimMicros now = 0;
};

// t + d for d >= 0, held at kNever instead of overflowing.
constexpr SimMicros later(SimMicros t, SimMicros d) {
  return d >= kNever - t ? kNever : t + d;
}

// Seconds to microseconds, rounded; negative gives 0, anything past the range kNever.
inline SimMicros microsOf(double seconds) {
  const double micros = std::round(seconds * static_cast<double>(kMicrosPerSecond));
  if (!(micros > 0.0)) return 0;  // also NaN
  if (micros >= static_cast<double>(kNever)) return kNever;
  return static_cast<SimMicros>(micros);
}

inline double secondsOf(SimMicros micros) {
  return static_cast<double>(micros) / static_cast<double>(kMicrosPerSecond);
}

}  // namespace kb::sim
