#pragma once
// The simulated stack as a device behind a pseudo-terminal, as a controller on a serial port is:
// it reads the controller's token language as a stream, runs each piece when it has arrived plus
// the write's 1 ms, and sends what it produced when the bridge's latency (16 ms) has passed, all
// in real time on the simulated stack's clock. A token cut short at the end of what has arrived
// waits for the rest.
//
// While the controller is pulled out (fault=unplugged, fault=unplug:T1[:T2]) the device drops what
// it reads and answers nothing, and the link to its terminal (--link), as udev makes one under
// /dev/serial/by-id/ for a real bridge, is removed, so opens fail; it is made again when the
// controller is plugged in.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "app/simdevice/PseudoTerminal.h"
#include "common/Clock.h"
#include "sim/SimStack.h"

namespace kb::simdevice {

struct DeviceOptions {
  sim::SimOptions sim;
  std::string link;   // a symbolic link to make to the terminal; empty: none
  bool paced = true;  // false: answer at once (the operating system's own round trip)
};

class SimDevice {
 public:
  // clock must outlive the device; the simulated stack follows it.
  SimDevice(DeviceOptions options, const Clock& clock);
  ~SimDevice();
  SimDevice(const SimDevice&) = delete;
  SimDevice& operator=(const SimDevice&) = delete;

  // Makes the terminal (and the link); false and a one-line error on failure.
  bool start(std::string& error);
  const std::string& path() const;

  // Serves the terminal until stop() answers true (asked at least every 50 ms) or the clock
  // reaches untilMicros.
  void run(const std::function<bool()>& stop, std::int64_t untilMicros);

  sim::SimStack& stack() { return stack_; }

 private:
  struct Reply {
    std::int64_t due;
    std::string bytes;
  };
  void readInput(std::int64_t now);
  void sendDue(std::int64_t now);
  void followPlug(std::int64_t now);
  std::int64_t nextWake(std::int64_t now, std::int64_t until) const;
  void removeLink();

  DeviceOptions options_;
  const Clock& clock_;
  sim::SimStack stack_;
  std::unique_ptr<PseudoTerminal> terminal_;
  std::string pending_;  // a token cut short, waiting for its rest
  std::deque<Reply> replies_;
  std::int64_t lastRun_ = 0;
  bool plugged_ = true;
  bool linked_ = false;
};

}  // namespace kb::simdevice
