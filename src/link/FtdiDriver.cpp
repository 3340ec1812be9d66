#include "link/FtdiDriver.h"

#include <ftdi.h>

#include <array>
#include <chrono>
#include <thread>

namespace kb::link {

namespace {

constexpr int kFtdiVendor = 0x0403;
// Product ids of the bridge chips a controller board may carry.
constexpr std::array<int, 5> kFtdiProducts{0x6001, 0x6010, 0x6011, 0x6014, 0x6015};

struct Device {
  ftdi_context* ctx = nullptr;
  std::uint32_t readMs = 1000;
};

Device* device(FtHandle h) {
  return static_cast<Device*>(h);
}

}  // namespace

FtStatus FtdiDriver::FT_OpenEx(const char* description, std::uint32_t flags, FtHandle* handle) {
  if (handle == nullptr) return kFtInvalidHandle;
  *handle = nullptr;
  if (flags != kOpenByDescription || description == nullptr) return kFtDeviceNotFound;
  ftdi_context* ctx = ftdi_new();
  if (ctx == nullptr) return kFtDeviceNotOpened;
  for (const int product : kFtdiProducts) {
    if (ftdi_usb_open_desc(ctx, kFtdiVendor, product, description, nullptr) == 0) {
      ftdi_tcioflush(ctx);
      *handle = new Device{ctx, 1000};
      return kFtOk;
    }
  }
  ftdi_free(ctx);
  return kFtDeviceNotFound;
}

FtStatus FtdiDriver::FT_SetTimeouts(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) {
  Device* d = device(handle);
  if (d == nullptr) return kFtInvalidHandle;
  d->readMs = readMs;
  d->ctx->usb_read_timeout = static_cast<int>(readMs);
  d->ctx->usb_write_timeout = static_cast<int>(writeMs);
  return kFtOk;
}

FtStatus FtdiDriver::FT_Write(FtHandle handle, const void* buffer, std::uint32_t length,
                              std::uint32_t* written) {
  if (written != nullptr) *written = 0;
  Device* d = device(handle);
  if (d == nullptr) return kFtInvalidHandle;
  const int n =
      ftdi_write_data(d->ctx, static_cast<const unsigned char*>(buffer), static_cast<int>(length));
  if (n < 0) return kFtIoError;
  if (written != nullptr) *written = static_cast<std::uint32_t>(n);
  return kFtOk;
}

FtStatus FtdiDriver::FT_Read(FtHandle handle, void* buffer, std::uint32_t count,
                             std::uint32_t* returned) {
  if (returned != nullptr) *returned = 0;
  Device* d = device(handle);
  if (d == nullptr) return kFtInvalidHandle;
  // ftdi_read_data hands back whatever has arrived, often nothing: poll until the count is
  // reached or the time-out passes.
  auto* out = static_cast<unsigned char*>(buffer);
  std::uint32_t got = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(d->readMs);
  while (got < count) {
    const int n = ftdi_read_data(d->ctx, out + got, static_cast<int>(count - got));
    if (n < 0) break;
    got += static_cast<std::uint32_t>(n);
    if (got >= count || std::chrono::steady_clock::now() >= deadline) break;
    if (n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (returned != nullptr) *returned = got;
  return kFtOk;
}

FtStatus FtdiDriver::FT_Close(FtHandle handle) {
  Device* d = device(handle);
  if (d == nullptr) return kFtInvalidHandle;
  ftdi_usb_close(d->ctx);
  ftdi_free(d->ctx);
  delete d;
  return kFtOk;
}

}  // namespace kb::link
