// One READCELLVOLT of board 1 (frame out, the controller's work, 38 characters back): in process
// on the simulated stack, and through a pseudo-terminal to the simulated device the way the
// serial backend does it (open, raw mode, flush, write, poll and read, close). Through the
// terminal three ways: the operating system's own round trip (device answering at once, no gap
// between transactions), and what a session sees (the device's write and latency costs, 17 ms,
// and the backend's 25 ms between transactions).
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "app/simdevice/SimDevice.h"
#include "common/Clock.h"
#include "link/ControllerLink.h"
#include "link/SerialDriver.h"
#include "monitor/ReadTransfer.h"
#include "sim/SimStack.h"

namespace {

constexpr int kCellBytes = 18;

void readCells(benchmark::State& state, kb::link::ControllerLink& link) {
  for (auto _ : state) {
    const kb::monitor::ReadReply r =
        kb::monitor::readTransfer(link, "MSxT", "80", "04", kCellBytes);
    if (!r.match()) state.SkipWithError("PEC mismatch");
    benchmark::DoNotOptimize(r);
  }
}

void BM_ReadCellVoltInProcess(benchmark::State& state) {
  kb::ManualClock clock;
  kb::sim::SimStack stack(kb::sim::SimOptions{}, clock);
  kb::link::ControllerLink link(stack);
  readCells(state, link);
}
BENCHMARK(BM_ReadCellVoltInProcess);

// The simulated device on its own thread, served until the benchmark ends.
class DeviceThread {
 public:
  explicit DeviceThread(bool paced) : device_(options(paced), clock_) {
    std::string error;
    started_ = device_.start(error);
    if (started_) {
      thread_ = std::thread([this] { device_.run([this] { return stop_.load(); }, INT64_MAX); });
    }
  }
  ~DeviceThread() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  bool started() const { return started_; }
  const std::string& path() const { return device_.path(); }

 private:
  static kb::simdevice::DeviceOptions options(bool paced) {
    kb::simdevice::DeviceOptions o;
    o.paced = paced;
    return o;
  }
  kb::SystemClock clock_;
  kb::simdevice::SimDevice device_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  bool started_ = false;
};

void BM_ReadCellVoltPseudoTerminal(benchmark::State& state) {
  const bool session = state.range(0) == 1;
  DeviceThread device(session);
  if (!device.started()) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  kb::link::SerialCalls calls = kb::link::posixSerialCalls();
  if (!session) calls.pause = [](std::int64_t) {};  // no gap between transactions
  kb::link::SerialDriver driver(kb::link::SerialOptions{device.path(), 9600}, calls);
  kb::link::ControllerLink link(driver);
  readCells(state, link);
}
BENCHMARK(BM_ReadCellVoltPseudoTerminal)
    ->ArgName("session")
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
