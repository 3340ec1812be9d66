#include "link/SerialDriver.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <vector>

#include "link/TraceText.h"

namespace kb::link {

namespace {

std::string errnoText(int code) {
  if (code == 0) return "the other end hung up";
  return std::strerror(code < 0 ? -code : code);
}

}  // namespace

bool parseSerialOptions(std::string_view text, SerialOptions& out, std::string& error) {
  SerialOptions parsed;
  std::size_t start = 0;
  bool first = true;
  while (start <= text.size()) {
    const std::size_t comma = text.find(',', start);
    const std::string_view item = text.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    start = comma == std::string_view::npos ? text.size() + 1 : comma + 1;
    if (item.rfind("baud=", 0) == 0) {
      const std::string_view value = item.substr(5);
      int baud = 0;
      const auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), baud);
      if (value.empty() || ec != std::errc() || p != value.data() + value.size() ||
          !isSupportedBaud(baud)) {
        error = std::string(item) + ": not a baud rate the port can be set to (such as 9600)";
        return false;
      }
      parsed.baud = baud;
    } else if (first && !item.empty()) {
      parsed.port = std::string(item);
    } else if (!item.empty()) {
      error = std::string(item) + ": unknown option (the port comes first, then baud=N)";
      return false;
    }
    first = false;
  }
  out = std::move(parsed);
  return true;
}

// An open port: its descriptor, closed with it.
class SerialDriver::Port {
 public:
  Port(const SerialCalls& calls, int fd) : calls_(calls), fd_(fd) {}
  ~Port() { calls_.close(fd_); }
  Port(const Port&) = delete;
  Port& operator=(const Port&) = delete;

  int fd() const { return fd_; }
  std::uint32_t readMs = 0;  // none set since the open: a read returns what is there
  std::uint32_t writeMs = 0;

 private:
  const SerialCalls& calls_;
  int fd_;
};

SerialDriver::SerialDriver(SerialOptions options, const SerialCalls& calls)
    : options_(std::move(options)), calls_(calls) {}

SerialDriver::~SerialDriver() = default;

SerialDriver::Port* SerialDriver::port(FtHandle handle) const {
  return handle != nullptr && handle == open_.get() ? open_.get() : nullptr;
}

FtStatus SerialDriver::fail(FtStatus status, const std::string& why) {
  lastError_ = why;
  return status;
}

FtStatus SerialDriver::failCall(FtStatus status, int code) {
  return fail(status, errnoText(code));
}

std::string SerialDriver::findPort(const char* description) {
  if (!options_.port.empty()) return options_.port;
  // The port found last time is most likely still the controller: one look at its strings.
  if (!lastPort_.empty() && calls_.productOf(lastPort_) == description) return lastPort_;
  std::vector<SerialPort> ports;
  std::string error;
  if (!calls_.list(ports, error)) {
    lastError_ = "listing the serial ports: " + (error.empty() ? "failed" : error);
    return {};
  }
  for (const SerialPort& p : ports) {
    if (p.usb && p.description == description) return lastPort_ = p.name;
  }
  lastError_ = std::string("no serial port with the description \"") + description + "\"";
  return {};
}

FtStatus SerialDriver::FT_OpenEx(const char* description, std::uint32_t flags, FtHandle* handle) {
  if (handle == nullptr) return kFtInvalidHandle;
  *handle = nullptr;
  if (open_) return fail(kFtDeviceNotOpened, "the port is open already");
  if (lastClose_ >= 0) {
    const std::int64_t wait = lastClose_ + kTransactionGapMicros - calls_.now();
    if (wait > 0) calls_.pause(wait);
  }
  // A failed open counts as a transaction for the gap, as the listing of the bus does.
  lastClose_ = calls_.now();
  if (flags != kOpenByDescription || description == nullptr) {
    return fail(kFtDeviceNotFound, "not opened by description");
  }
  const std::string name = findPort(description);
  if (name.empty()) return kFtDeviceNotFound;
  const int fd = calls_.open(name);
  if (fd < 0) return fail(kFtDeviceNotFound, traceText(name) + ": " + errnoText(fd));
  auto opened = std::make_unique<Port>(calls_, fd);
  if (const int rc = calls_.configure(fd, options_.baud); rc < 0) {
    return fail(kFtDeviceNotOpened, traceText(name) + ": " + errnoText(rc));
  }
  if (const int rc = calls_.flush(fd); rc < 0) {
    return fail(kFtDeviceNotOpened, traceText(name) + ": " + errnoText(rc));
  }
  open_ = std::move(opened);
  *handle = open_.get();
  return kFtOk;
}

FtStatus SerialDriver::FT_SetTimeouts(FtHandle handle, std::uint32_t readMs,
                                      std::uint32_t writeMs) {
  Port* p = port(handle);
  if (p == nullptr) return kFtInvalidHandle;
  p->readMs = readMs;
  p->writeMs = writeMs;
  return kFtOk;
}

FtStatus SerialDriver::FT_Write(FtHandle handle, const void* buffer, std::uint32_t length,
                                std::uint32_t* written) {
  if (written != nullptr) *written = 0;
  Port* p = port(handle);
  if (p == nullptr) return kFtInvalidHandle;
  const auto* data = static_cast<const unsigned char*>(buffer);
  std::uint32_t sent = 0;
  const std::int64_t deadline = calls_.now() + std::int64_t{p->writeMs} * 1000;
  FtStatus status = kFtOk;
  while (sent < length) {
    const int n = calls_.write(p->fd(), data + sent, length - sent);
    if (n > 0) {
      sent += std::min(static_cast<std::uint32_t>(n), length - sent);
      continue;
    }
    if (n < 0 && n != -EAGAIN) {
      status = failCall(kFtIoError, n);
      break;
    }
    const std::int64_t wait = deadline - calls_.now();
    const int ready = wait > 0 ? calls_.wait(p->fd(), true, wait) : 0;
    if (ready < 0) {
      status = failCall(kFtIoError, ready);
      break;
    }
    if (ready == 0) {
      status = fail(kFtIoError, "write timed out after " + std::to_string(p->writeMs) + " ms");
      break;
    }
  }
  if (written != nullptr) *written = sent;
  return status;
}

FtStatus SerialDriver::FT_Read(FtHandle handle, void* buffer, std::uint32_t count,
                               std::uint32_t* returned) {
  if (returned != nullptr) *returned = 0;
  Port* p = port(handle);
  if (p == nullptr) return kFtInvalidHandle;
  int failure = 0;
  const ReadOutcome r =
      readUntil(static_cast<unsigned char*>(buffer), count, std::int64_t{p->readMs} * 1000,
                calls_.now, [&](unsigned char* out, std::uint32_t want, std::int64_t wait) {
                  const int ready = calls_.wait(p->fd(), false, wait);
                  if (ready <= 0) {
                    failure = ready;
                    return ready < 0 ? -1 : 0;
                  }
                  const int n = calls_.read(p->fd(), out, want);
                  if (n == -EAGAIN) return 0;
                  if (n > 0) return n;
                  failure = n;  // 0: the other end hung up
                  return -1;
                });
  if (returned != nullptr) *returned = r.got;
  return r.failed ? failCall(kFtIoError, failure) : kFtOk;
}

FtStatus SerialDriver::FT_Close(FtHandle handle) {
  if (port(handle) == nullptr) return kFtInvalidHandle;
  open_.reset();
  lastClose_ = calls_.now();
  return kFtOk;
}

FtStatus SerialDriver::FT_SetLatencyTimer(FtHandle handle, std::uint8_t ms) {
  Port* p = port(handle);
  if (p == nullptr) return kFtInvalidHandle;
  if (!calls_.lowLatency) return kFtOk;
  const int rc = calls_.lowLatency(p->fd(), ms <= 1);
  if (rc == 0 || rc == -ENOTTY || rc == -EINVAL) return kFtOk;
  return failCall(kFtIoError, rc);
}

FtStatus SerialDriver::FT_Purge(FtHandle handle, std::uint32_t mask) {
  Port* p = port(handle);
  if (p == nullptr) return kFtInvalidHandle;
  if (mask == 0) return kFtOk;
  const int rc = mask == kPurgeRx ? calls_.flushInput(p->fd()) : calls_.flush(p->fd());
  return rc < 0 ? failCall(kFtIoError, rc) : kFtOk;
}

void SerialDriver::waitUntilMicros(std::int64_t t) {
  const std::int64_t wait = t - calls_.now();
  if (wait > 0) calls_.pause(wait);
}

}  // namespace kb::link
