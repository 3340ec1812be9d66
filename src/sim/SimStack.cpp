#include "sim/SimStack.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace kb::sim {

namespace {

constexpr int kMaxBoards = 10;
constexpr std::uint8_t kFirstAddress = 0x80;

bool listed(const std::vector<int>& boards, int board) {
  return std::find(boards.begin(), boards.end(), board) != boards.end();
}

}  // namespace

SimStack::SimStack(SimOptions options, const Clock& clock)
    : options_(std::move(options)),
      clock_(clock),
      time_{clock.elapsedMicros()},
      battery_(std::clamp(options_.boards, 1, kMaxBoards), options_.seed, options_.cells),
      faultRandom_(0x5EC0FA17ull ^ (static_cast<std::uint64_t>(options_.seed) << 24)),
      controller_(bus_, options_.identity),
      handle_(static_cast<link::FtHandle>(this)) {
  options_.boards = std::clamp(options_.boards, 1, kMaxBoards);
  battery_.advanceTo(time_.now);
  for (int b = 0; b < options_.boards; ++b) {
    if (listed(options_.missingBoards, b + 1)) {
      monitors_.push_back(nullptr);
      chains_.push_back(nullptr);
      continue;
    }
    auto monitor =
        std::make_unique<MonitorChip>(b, static_cast<std::uint8_t>(kFirstAddress + b), battery_,
                                      time_, faultRandom_, options_.pecFaultRate);
    auto chain = std::make_unique<BalancerChain>(b, *monitor, battery_, time_,
                                                 !listed(options_.withoutTopChip, b + 1));
    chain->setCorruptReplies(listed(options_.balancerCrcFaults, b + 1));
    chain->setShortReplies(listed(options_.balancerShortFaults, b + 1));
    bus_.attach(*monitor);
    bus_.attach(*chain);
    monitors_.push_back(std::move(monitor));
    chains_.push_back(std::move(chain));
  }
  for (const OpenWire& wire : options_.openWires) {
    const int b = wire.board - 1;
    const int c = wire.cell - 1;
    if (monitor(b) == nullptr || c < 0 || c >= kCellsPerBoard) continue;
    monitor(b)->setOpenWire(c, true);
    BalancerChip* chip = c < kCellsPerBalancer ? &balancers(b)->bottom() : balancers(b)->top();
    if (chip != nullptr) chip->setGateFault(c % kCellsPerBalancer, true);
  }
  for (const SelfTestFault& fault : options_.selfTestFaults) {
    if (MonitorChip* chip = monitor(fault.board - 1)) chip->setSelfTestFault(fault.cell - 1, true);
  }
  for (const ThermalFault& fault : options_.thermal) {
    MonitorChip* chip = monitor(fault.board - 1);
    if (chip == nullptr) continue;
    std::optional<SimMicros> recoverAt;
    if (fault.recoverAfter) recoverAt = later(time_.now, microsOf(*fault.recoverAfter));
    chip->enterThermalShutdown(recoverAt);
  }
}

SimStack::~SimStack() = default;

MonitorChip* SimStack::monitor(int board) {
  if (board < 0 || board >= static_cast<int>(monitors_.size())) return nullptr;
  return monitors_[static_cast<std::size_t>(board)].get();
}

BalancerChain* SimStack::balancers(int board) {
  if (board < 0 || board >= static_cast<int>(chains_.size())) return nullptr;
  return chains_[static_cast<std::size_t>(board)].get();
}

void SimStack::charge(SimMicros cost) {
  advanceTo(later(time_.now, cost));
  busy_ = later(busy_, cost);
  if (!options_.realtime || cost <= 0) return;
  if (wallWait_) {
    wallWait_(cost);
  } else {
    sleepOnWallClock(cost);
  }
}

void SimStack::sleepOnWallClock(SimMicros cost) {
  using namespace std::chrono;
  wallDue_ = std::max(steady_clock::now(), wallDue_) + microseconds(cost);
  std::this_thread::sleep_until(wallDue_);
}

void SimStack::advanceTo(SimMicros t) {
  for (;;) {
    SimMicros next = kNever;
    for (const auto& m : monitors_) {
      if (m) next = std::min(next, m->nextEventTime());
    }
    for (const auto& c : chains_) {
      if (c) next = std::min(next, c->nextEventTime());
    }
    if (next > t) break;
    time_.now = std::max(time_.now, next);
    for (std::size_t b = 0; b < monitors_.size(); ++b) {
      if (monitors_[b]) monitors_[b]->runDueEvents();
      if (chains_[b]) chains_[b]->runDueEvents();
    }
  }
  time_.now = std::max(time_.now, t);
  battery_.advanceTo(time_.now);
}

bool SimStack::pulledOut() const {
  return held_ && !pluggedAt(time_.now);
}

bool SimStack::pluggedAt(SimMicros t) const {
  if (options_.unplugged) return false;
  for (const Unplug& u : options_.unplugs) {
    if (t >= microsOf(u.from) && (!u.until || t < microsOf(*u.until))) return false;
  }
  return true;
}

link::FtStatus SimStack::FT_OpenEx(const char* description, std::uint32_t flags,
                                   link::FtHandle* handle) {
  if (handle != nullptr) *handle = nullptr;
  if (open_) return link::kFtDeviceNotOpened;
  advanceTo(clock_.elapsedMicros());
  const bool plugged = pluggedAt(time_.now);
  charge(kOpenMicros);
  if (!plugged || description == nullptr || flags != link::kOpenByDescription ||
      std::strcmp(description, kControllerDescription) != 0) {
    return link::kFtDeviceNotFound;
  }
  open_ = true;
  output_.clear();
  readPos_ = 0;
  readTimeout_ = 0;
  readLatency_ = kReadLatencyMicros;
  held_ = false;
  if (handle != nullptr) *handle = handle_;
  return link::kFtOk;
}

link::FtStatus SimStack::FT_SetTimeouts(link::FtHandle handle, std::uint32_t readMs,
                                        std::uint32_t) {
  if (!isOpenHandle(handle)) return link::kFtInvalidHandle;
  readTimeout_ = static_cast<SimMicros>(readMs) * 1000;
  return link::kFtOk;
}

link::FtStatus SimStack::FT_Write(link::FtHandle handle, const void* buffer, std::uint32_t length,
                                  std::uint32_t* written) {
  if (written != nullptr) *written = 0;
  if (!isOpenHandle(handle)) return link::kFtInvalidHandle;
  if (buffer == nullptr && length > 0) return link::kFtIoError;
  const std::string_view text(static_cast<const char*>(buffer), length);
  advanceTo(clock_.elapsedMicros());
  if (pulledOut()) return link::kFtIoError;
  charge(kWriteMicros);
  output_ += controller_.run(text);
  if (written != nullptr) *written = length;
  return link::kFtOk;
}

link::FtStatus SimStack::FT_Read(link::FtHandle handle, void* buffer, std::uint32_t count,
                                 std::uint32_t* returned) {
  if (returned != nullptr) *returned = 0;
  if (!isOpenHandle(handle)) return link::kFtInvalidHandle;
  if (pulledOut()) return link::kFtIoError;
  const std::size_t n = std::min<std::size_t>(count, output_.size() - readPos_);
  if (n > 0 && buffer == nullptr) return link::kFtIoError;
  if (n > 0) std::memcpy(buffer, output_.data() + readPos_, n);
  readPos_ += n;
  if (count > 0) charge(n == count ? readLatency_ : readTimeout_);
  if (returned != nullptr) *returned = static_cast<std::uint32_t>(n);
  return link::kFtOk;
}

link::FtStatus SimStack::FT_Close(link::FtHandle handle) {
  if (!isOpenHandle(handle)) return link::kFtInvalidHandle;
  open_ = false;
  charge(kCloseMicros);
  return link::kFtOk;
}

link::FtStatus SimStack::FT_SetLatencyTimer(link::FtHandle handle, std::uint8_t ms) {
  if (!isOpenHandle(handle)) return link::kFtInvalidHandle;
  if (ms == 0) return link::kFtIoError;
  advanceTo(clock_.elapsedMicros());
  held_ = true;
  if (pulledOut()) return link::kFtIoError;
  charge(kWriteMicros);
  readLatency_ = static_cast<SimMicros>(ms) * 1000;
  return link::kFtOk;
}

link::FtStatus SimStack::FT_Purge(link::FtHandle handle, std::uint32_t mask) {
  if (!isOpenHandle(handle)) return link::kFtInvalidHandle;
  advanceTo(clock_.elapsedMicros());
  if (pulledOut()) return link::kFtIoError;
  charge(kWriteMicros);
  if ((mask & link::kPurgeRx) != 0) {
    output_.clear();
    readPos_ = 0;
  }
  return link::kFtOk;
}

std::int64_t SimStack::linkMicros() {
  advanceTo(clock_.elapsedMicros());
  return time_.now;
}

void SimStack::waitUntilMicros(std::int64_t t) {
  advanceTo(clock_.elapsedMicros());
  if (t <= time_.now) return;
  const SimMicros wait = t - time_.now;
  advanceTo(t);
  if (!options_.realtime) return;
  if (wallWait_) {
    wallWait_(wait);
  } else {
    sleepOnWallClock(wait);
  }
}

}  // namespace kb::sim
