#pragma once
// The built-in simulated device: controller, SPI bus, one monitor chip and one balancer chain per
// board, and the battery, behind the driver interface the program uses for real hardware.
//
// Time: simulated time follows the program's clock and never runs backwards. Each call of a
// transaction costs what it takes on the hardware, a USB full-speed bridge opened by description:
//
//   FT_OpenEx       25 ms  lists the bridges on the bus, reads each one's product string, opens,
//                          claims and resets the one whose description matches, purges it and sets
//                          its latency timer: a dozen or more control transfers, each at least one
//                          1 ms USB frame, plus the operating system's open of the device.
//   FT_SetTimeouts   0     host side only.
//   FT_Write         1 ms  the command string goes out in the next 1 ms frame; the controller
//                          then runs it, all at that instant (SPI bytes take microseconds).
//   FT_Read         16 ms  when every asked-for character arrives: the bridge holds a short
//                          packet until its latency timer (16 ms) expires.
//                   the read time-out set by FT_SetTimeouts (1000 ms; 200 ms for the identity)
//                          when fewer characters arrive than were asked for; a time-out of 0
//                          (none set since the open) returns at once. A read of 0 characters is
//                          free.
//   FT_Close         3 ms  releases the interface and closes the device.
//
// The held link calls two more, each a control transfer of one 1 ms frame:
//   FT_SetLatencyTimer     sets the latency timer (1 to 255 ms) that a complete read costs; every
//                          open sets it back to 16 ms.
//   FT_Purge               drops the characters not yet read.
// A handle kept open that way (its latency timer set) finds the controller gone while it is pulled
// out (fault=unplug): its calls fail until it is closed, and the next open fails until the
// controller is back. The default transaction notices it at the open, as before.
// and waits on the simulated clock for a conversion (linkMicros, waitUntilMicros). Without an open,
// a write starts its transaction at max(clock, end of the previous call) as the open did.
//
// A failed open costs the same 25 ms: the bus is listed all the same. A transaction starts at
// max(clock, end of the previous transaction). So a write-only transaction takes 29 ms and a read
// 45 ms, and a conversion started in one transaction has run at least 29 ms (close, open, write)
// when the next transaction's string runs: longer than the slowest conversion (21 ms), as on the
// hardware, where the program reads temperatures right after their start.
//
// The output of a write is what FT_Read hands out (up to count per read); unread characters are
// dropped when the next transaction opens.
//
// Everything is deterministic: the same options and the same transactions at the same clock times
// give the same answers. Random draws (PEC faults) come from the seeded generator.
//
// Real time (option "realtime"): each call also returns only when its cost has passed on the wall
// clock, as the bridge makes the program wait, so the window's responsiveness can be measured on
// the link's timing. Wall-clock waits run back to back: time the program spends between calls is
// not waited again.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/Clock.h"
#include "link/FtDriver.h"
#include "sim/BalancerChip.h"
#include "sim/Battery.h"
#include "sim/MonitorChip.h"
#include "sim/SimController.h"
#include "sim/SimOptions.h"
#include "sim/SimRandom.h"
#include "sim/SimTime.h"
#include "sim/SpiBus.h"

namespace kb::sim {

inline constexpr SimMicros kOpenMicros = 25'000;
inline constexpr SimMicros kWriteMicros = 1'000;
inline constexpr SimMicros kReadLatencyMicros = 16'000;
inline constexpr SimMicros kCloseMicros = 3'000;
inline constexpr const char* kControllerDescription = "USB SERIAL CONTROLLER";

class SimStack final : public link::FtDriver {
 public:
  SimStack(SimOptions options, const Clock& clock);
  ~SimStack() override;
  SimStack(const SimStack&) = delete;
  SimStack& operator=(const SimStack&) = delete;

  // FT_OpenEx fails (kFtDeviceNotFound, handle null) when unplugged (at the time the open starts)
  // or for another description.
  link::FtStatus FT_OpenEx(const char* description, std::uint32_t flags,
                           link::FtHandle* handle) override;
  link::FtStatus FT_SetTimeouts(link::FtHandle handle, std::uint32_t readMs,
                                std::uint32_t writeMs) override;
  // Runs the written string in the controller's token language.
  link::FtStatus FT_Write(link::FtHandle handle, const void* buffer, std::uint32_t length,
                          std::uint32_t* written) override;
  // Hands out the characters the written string produced, up to count; a short read costs the
  // read time-out.
  link::FtStatus FT_Read(link::FtHandle handle, void* buffer, std::uint32_t count,
                         std::uint32_t* returned) override;
  link::FtStatus FT_Close(link::FtHandle handle) override;
  link::FtStatus FT_SetLatencyTimer(link::FtHandle handle, std::uint8_t ms) override;
  link::FtStatus FT_Purge(link::FtHandle handle, std::uint32_t mask) override;
  // Simulated time (moved up to the program's clock first), and a wait on it.
  std::int64_t linkMicros() override;
  void waitUntilMicros(std::int64_t t) override;

  // Moves simulated time to max(now, t), running every chip event on the way in time order.
  void advanceTo(SimMicros t);
  // What the realtime option does with each cost; by default it sleeps. Tests replace it.
  using WallWait = std::function<void(SimMicros)>;
  void setWallWait(WallWait wait) { wallWait_ = std::move(wait); }
  SimMicros now() const { return time_.now; }
  // Simulated time the link has been busy: the sum of every transaction call's cost.
  SimMicros busyMicros() const { return busy_; }
  // Whether the controller is plugged in at simulated time t (fault=unplugged, fault=unplug).
  bool pluggedAt(SimMicros t) const;

  // Access for tests and tools. Boards are 0-based; a missing board has no monitor or chain.
  const SimOptions& options() const { return options_; }
  Battery& battery() { return battery_; }
  SimController& controller() { return controller_; }
  int boardCount() const { return options_.boards; }
  MonitorChip* monitor(int board);
  BalancerChain* balancers(int board);

 private:
  bool isOpenHandle(link::FtHandle handle) const { return open_ && handle == handle_; }
  // A held handle (latency timer set since the open) while the controller is pulled out.
  bool pulledOut() const;
  // A transaction call's cost: simulated time, and wall-clock time with the realtime option.
  void charge(SimMicros cost);
  void sleepOnWallClock(SimMicros cost);

  SimOptions options_;
  const Clock& clock_;
  SimTime time_;
  Battery battery_;
  SplitMix64 faultRandom_;
  SpiBus bus_;
  SimController controller_;
  std::vector<std::unique_ptr<MonitorChip>> monitors_;
  std::vector<std::unique_ptr<BalancerChain>> chains_;
  std::string output_;
  std::size_t readPos_ = 0;
  SimMicros readTimeout_ = 0;
  SimMicros readLatency_ = kReadLatencyMicros;
  bool held_ = false;
  bool open_ = false;
  link::FtHandle handle_;
  SimMicros busy_ = 0;
  WallWait wallWait_;
  std::chrono::steady_clock::time_point wallDue_{};
};

}  // namespace kb::sim
