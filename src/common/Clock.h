#pragma once
// Time sources. The program's clock drives the timer, the balance clock and the simulated stack.
#include <chrono>
#include <ctime>

namespace kb {

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since the clock started; monotonic. The simulated stack runs on this.
  virtual double elapsedSeconds() const = 0;
  // Seconds since midnight of the local day (the system timer of the balance clock).
  virtual double secondsSinceMidnight() const = 0;
  // Present local date and time.
  virtual std::tm localTime() const = 0;
};

// Real time: the GUI.
class SystemClock final : public Clock {
 public:
  SystemClock();
  double elapsedSeconds() const override;
  double secondsSinceMidnight() const override;
  std::tm localTime() const override;

 private:
  std::chrono::steady_clock::time_point start_;
};

// A clock moved by hand: tests and the headless runner.
class ManualClock final : public Clock {
 public:
  // Starts at 08:00:00 on 2026-01-05 so that runs are repeatable.
  ManualClock();
  void advance(double seconds) { elapsed_ += seconds; }
  double elapsedSeconds() const override { return elapsed_; }
  double secondsSinceMidnight() const override;
  std::tm localTime() const override;

 private:
  double elapsed_ = 0.0;
  double startOfDay_ = 8 * 3600.0;
};

}  // namespace kb
