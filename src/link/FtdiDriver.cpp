#include "link/FtdiDriver.h"

#include <algorithm>
#include <vector>

namespace kb::link {

namespace {

constexpr int kFtdiVendor = 0x0403;
constexpr std::int64_t kEmptyReadPauseMicros = 1000;

}  // namespace

// An open bridge: the library context, closed and freed with it.
class FtdiDriver::Device {
 public:
  Device(const FtdiCalls& calls, void* ctx) : calls_(calls), ctx_(ctx) {}
  ~Device() {
    calls_.close(ctx_);
    calls_.destroy(ctx_);
  }
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  void* ctx() const { return ctx_; }
  std::uint32_t readMs = 1000;

 private:
  const FtdiCalls& calls_;
  void* ctx_;
};

FtdiDriver::FtdiDriver(const FtdiCalls& calls) : calls_(calls) {}

FtdiDriver::~FtdiDriver() = default;

FtdiDriver::Device* FtdiDriver::device(FtHandle handle) const {
  return handle != nullptr && handle == open_.get() ? open_.get() : nullptr;
}

FtStatus FtdiDriver::fail(FtStatus status, void* ctx) {
  const std::string text = ctx == nullptr ? std::string() : calls_.errorText(ctx);
  lastError_ = text.empty() ? "status " + std::to_string(status) : text;
  return status;
}

FtStatus FtdiDriver::FT_OpenEx(const char* description, std::uint32_t flags, FtHandle* handle) {
  if (handle == nullptr) return kFtInvalidHandle;
  *handle = nullptr;
  if (open_) return fail(kFtDeviceNotOpened, nullptr);
  if (flags != kOpenByDescription || description == nullptr)
    return fail(kFtDeviceNotFound, nullptr);
  void* ctx = calls_.create();
  if (ctx == nullptr) {
    lastError_ = "no library context";
    return kFtDeviceNotOpened;
  }
  // The bridge that opened last time is most likely still the one plugged in: one listing of the
  // bus for it. Otherwise one listing of every bridge of the usual product ids.
  int product = 0;
  if (lastProduct_ != 0 &&
      calls_.openDescription(ctx, kFtdiVendor, lastProduct_, description) == 0) {
    product = lastProduct_;
  } else {
    std::vector<FtdiBridge> bridges;
    calls_.list(ctx, bridges);
    for (std::size_t i = 0; i < bridges.size() && product == 0; ++i) {
      if (bridges[i].description == description && calls_.openListed(ctx, i) == 0) {
        product = bridges[i].product;
      }
    }
  }
  if (product == 0) {
    const FtStatus status = fail(kFtDeviceNotFound, ctx);
    calls_.destroy(ctx);
    return status;
  }
  lastProduct_ = product;
  calls_.flush(ctx);
  open_ = std::make_unique<Device>(calls_, ctx);
  *handle = open_.get();
  return kFtOk;
}

FtStatus FtdiDriver::FT_SetTimeouts(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) {
  Device* d = device(handle);
  if (d == nullptr) return kFtInvalidHandle;
  d->readMs = readMs;
  calls_.setTimeouts(d->ctx(), static_cast<int>(readMs), static_cast<int>(writeMs));
  return kFtOk;
}

FtStatus FtdiDriver::FT_Write(FtHandle handle, const void* buffer, std::uint32_t length,
                              std::uint32_t* written) {
  if (written != nullptr) *written = 0;
  Device* d = device(handle);
  if (d == nullptr) return kFtInvalidHandle;
  const int n =
      calls_.write(d->ctx(), static_cast<const unsigned char*>(buffer), static_cast<int>(length));
  if (n < 0) return fail(kFtIoError, d->ctx());
  if (written != nullptr) *written = static_cast<std::uint32_t>(n);
  return kFtOk;
}

FtStatus FtdiDriver::FT_Read(FtHandle handle, void* buffer, std::uint32_t count,
                             std::uint32_t* returned) {
  if (returned != nullptr) *returned = 0;
  Device* d = device(handle);
  if (d == nullptr) return kFtInvalidHandle;
  // The library hands back whatever has arrived, often nothing: ask again after a pause.
  const ReadOutcome r =
      readUntil(static_cast<unsigned char*>(buffer), count, std::int64_t{d->readMs} * 1000,
                calls_.now, [&](unsigned char* out, std::uint32_t want, std::int64_t wait) {
                  const int n = calls_.read(d->ctx(), out, static_cast<int>(want));
                  if (n == 0 && wait > 0) calls_.pause(std::min(wait, kEmptyReadPauseMicros));
                  return n < 0 ? -1 : n;
                });
  if (returned != nullptr) *returned = r.got;
  return r.failed ? fail(kFtIoError, d->ctx()) : kFtOk;
}

FtStatus FtdiDriver::FT_Close(FtHandle handle) {
  if (device(handle) == nullptr) return kFtInvalidHandle;
  open_.reset();
  return kFtOk;
}

FtStatus FtdiDriver::FT_SetLatencyTimer(FtHandle handle, std::uint8_t ms) {
  Device* d = device(handle);
  if (d == nullptr) return kFtInvalidHandle;
  if (calls_.setLatency && calls_.setLatency(d->ctx(), ms) != 0) return fail(kFtIoError, d->ctx());
  return kFtOk;
}

// The held link purges the receive side before a read: a transmit purge could drop a string
// written just before that the bridge has not sent on yet.
FtStatus FtdiDriver::FT_Purge(FtHandle handle, std::uint32_t mask) {
  Device* d = device(handle);
  if (d == nullptr) return kFtInvalidHandle;
  if (mask == 0) return kFtOk;
  const int rc = mask == kPurgeRx ? calls_.flushInput(d->ctx()) : calls_.flush(d->ctx());
  if (rc != 0) return fail(kFtIoError, d->ctx());
  return kFtOk;
}

}  // namespace kb::link
