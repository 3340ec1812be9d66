#pragma once
// The built-in simulated device: controller, SPI bus, one monitor chip and one balancer chain per
// board, and the battery, behind the driver interface the program uses for real hardware.
//
// Time: simulated time follows the program's clock and never runs backwards. A transaction starts
// at max(clock, end of the previous transaction), its whole string runs at that instant, and it
// costs kTransactionSeconds (USB latency): a conversion start, one empty transaction and a
// read-back therefore see a 13 or 21 ms conversion finished even when the clock stands still.
//
// The output of a write is what FT_Read hands out (up to count per read); unread characters are
// dropped when the next transaction opens.
//
// Everything is deterministic: the same options and the same transactions at the same clock times
// give the same answers. Random draws (PEC faults) come from the seeded generator.
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
#include "sim/SpiBus.h"

namespace kb::sim {

inline constexpr double kTransactionSeconds = 0.012;
inline constexpr const char* kControllerDescription = "USB SERIAL CONTROLLER";

class SimStack final : public link::FtDriver {
 public:
  SimStack(SimOptions options, const Clock& clock);
  ~SimStack() override;
  SimStack(const SimStack&) = delete;
  SimStack& operator=(const SimStack&) = delete;

  // FT_OpenEx fails (kFtDeviceNotFound, handle null) when unplugged or for another description.
  link::FtStatus FT_OpenEx(const char* description, std::uint32_t flags,
                           link::FtHandle* handle) override;
  link::FtStatus FT_SetTimeouts(link::FtHandle handle, std::uint32_t readMs,
                                std::uint32_t writeMs) override;
  // Runs the written string in the controller's token language.
  link::FtStatus FT_Write(link::FtHandle handle, const void* buffer, std::uint32_t length,
                          std::uint32_t* written) override;
  // Hands out the characters the written string produced, up to count.
  link::FtStatus FT_Read(link::FtHandle handle, void* buffer, std::uint32_t count,
                         std::uint32_t* returned) override;
  link::FtStatus FT_Close(link::FtHandle handle) override;

  // Moves simulated time to max(now, t), running every chip event on the way in time order.
  void advanceTo(double t);
  double now() const { return time_.now; }

  // Access for tests and tools. Boards are 0-based; a missing board has no monitor or chain.
  const SimOptions& options() const { return options_; }
  Battery& battery() { return battery_; }
  SimController& controller() { return controller_; }
  int boardCount() const { return options_.boards; }
  MonitorChip* monitor(int board);
  BalancerChain* balancers(int board);

 private:
  bool isOpenHandle(link::FtHandle handle) const { return open_ && handle == handle_; }

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
  bool open_ = false;
  link::FtHandle handle_;
};

}  // namespace kb::sim
