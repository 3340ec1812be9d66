#include "app/simdevice/SimDevice.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace kb::simdevice {

namespace {

constexpr std::int64_t kStopCheckMicros = 50'000;

}  // namespace

SimDevice::SimDevice(DeviceOptions options, const Clock& clock)
    : options_(std::move(options)), clock_(clock), stack_(options_.sim, clock) {}

SimDevice::~SimDevice() {
  removeLink();
}

bool SimDevice::start(std::string& error) {
  terminal_ = PseudoTerminal::open(error);
  if (!terminal_) return false;
  if (!options_.link.empty()) {
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(options_.link, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_symlink(status)) {
      error = "--link " + options_.link + ": exists and is not a symbolic link";
      return false;
    }
    std::filesystem::remove(options_.link, ec);
  }
  plugged_ = !stack_.pluggedAt(clock_.elapsedMicros());
  followPlug(clock_.elapsedMicros());
  if (!options_.link.empty() && plugged_ && !linked_) {
    error = "--link " + options_.link + ": cannot make the link";
    return false;
  }
  return true;
}

const std::string& SimDevice::path() const {
  return terminal_->path();
}

void SimDevice::followPlug(std::int64_t now) {
  const bool plugged = stack_.pluggedAt(now);
  if (plugged == plugged_) return;
  plugged_ = plugged;
  if (!plugged) {
    replies_.clear();
    pending_.clear();
    removeLink();
    return;
  }
  if (options_.link.empty()) return;
  std::error_code ec;
  std::filesystem::create_symlink(terminal_->path(), options_.link, ec);
  linked_ = !ec;
}

void SimDevice::removeLink() {
  if (!linked_) return;
  std::error_code ec;
  std::filesystem::remove(options_.link, ec);
  linked_ = false;
}

void SimDevice::readInput(std::int64_t now) {
  std::array<char, 4096> chunk{};
  for (;;) {
    const ssize_t n = ::read(terminal_->master(), chunk.data(), chunk.size());
    if (n <= 0) return;  // nothing more for now (EAGAIN), or an error the next poll reports
    if (!plugged_) continue;
    pending_.append(chunk.data(), static_cast<std::size_t>(n));
    const std::size_t complete = sim::SimController::completeLength(pending_);
    if (complete == 0) continue;
    const std::string text = pending_.substr(0, complete);
    pending_.erase(0, complete);
    // The string runs once it has gone out (the write's 1 ms), never before an earlier one.
    const std::int64_t at = std::max(now + (options_.paced ? sim::kWriteMicros : 0), lastRun_);
    lastRun_ = at;
    stack_.advanceTo(at);
    std::string out = stack_.controller().run(text);
    if (out.empty()) continue;
    replies_.push_back({options_.paced ? at + sim::kReadLatencyMicros : at, std::move(out)});
  }
}

void SimDevice::sendDue(std::int64_t now) {
  while (!replies_.empty() && replies_.front().due <= now) {
    const std::string& bytes = replies_.front().bytes;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = ::write(terminal_->master(), bytes.data() + sent, bytes.size() - sent);
      if (n <= 0) break;  // the terminal's buffer is full: the rest is lost, as on a bridge
      sent += static_cast<std::size_t>(n);
    }
    replies_.pop_front();
  }
}

std::int64_t SimDevice::nextWake(std::int64_t now, std::int64_t until) const {
  std::int64_t wake = std::min(until, now + kStopCheckMicros);
  if (!replies_.empty()) wake = std::min(wake, replies_.front().due);
  // The next time the controller is pulled out or plugged in.
  for (const sim::Unplug& u : options_.sim.unplugs) {
    for (const double edge : {u.from, u.until.value_or(-1.0)}) {
      const std::int64_t t = sim::microsOf(edge);
      if (edge >= 0.0 && t > now) wake = std::min(wake, t);
    }
  }
  return wake;
}

void SimDevice::run(const std::function<bool()>& stop, std::int64_t untilMicros) {
  for (;;) {
    std::int64_t now = clock_.elapsedMicros();
    if (now >= untilMicros || stop()) return;
    followPlug(now);
    sendDue(now);
    const std::int64_t wait = std::max<std::int64_t>(nextWake(now, untilMicros) - now, 0);
    pollfd p{terminal_->master(), POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>((wait + 999) / 1000));
    now = clock_.elapsedMicros();
    if (ready > 0 && (p.revents & POLLIN) != 0) readInput(now);
  }
}

}  // namespace kb::simdevice
