#include "link/FtdiDriver.h"

#include <ftdi.h>
#include <libusb.h>

#include <array>
#include <chrono>
#include <cstring>
#include <thread>

namespace kb::link {

namespace {

constexpr int kFtdiVendor = 0x0403;

struct Device {
  ftdi_context* ctx = nullptr;
  std::uint32_t readMs = 1000;
};

Device* device(FtHandle h) {
  return static_cast<Device*>(h);
}

// Opens the first bridge of the usual product ids whose description matches; returns its product
// id, or 0 when none opened.
int openByDescription(ftdi_context* ctx, const char* description) {
  ftdi_device_list* list = nullptr;
  int product = 0;
  if (ftdi_usb_find_all(ctx, &list, 0, 0) > 0) {
    for (ftdi_device_list* it = list; it != nullptr && product == 0; it = it->next) {
      libusb_device_descriptor id{};
      std::array<char, 256> text{};
      if (libusb_get_device_descriptor(it->dev, &id) != 0 ||
          ftdi_usb_get_strings(ctx, it->dev, nullptr, 0, text.data(), static_cast<int>(text.size()),
                               nullptr, 0) != 0 ||
          std::strcmp(text.data(), description) != 0) {
        continue;
      }
      if (ftdi_usb_open_dev(ctx, it->dev) == 0) product = id.idProduct;
    }
  }
  if (list != nullptr) ftdi_list_free(&list);
  return product;
}

}  // namespace

FtStatus FtdiDriver::FT_OpenEx(const char* description, std::uint32_t flags, FtHandle* handle) {
  if (handle == nullptr) return kFtInvalidHandle;
  *handle = nullptr;
  if (flags != kOpenByDescription || description == nullptr) return kFtDeviceNotFound;
  ftdi_context* ctx = ftdi_new();
  if (ctx == nullptr) return kFtDeviceNotOpened;
  // The bridge that opened last time is most likely still the one plugged in: one listing of the
  // bus for it. Otherwise one listing of every bridge of the usual product ids.
  int product = 0;
  if (lastProduct_ != 0 &&
      ftdi_usb_open_desc(ctx, kFtdiVendor, lastProduct_, description, nullptr) == 0) {
    product = lastProduct_;
  } else {
    product = openByDescription(ctx, description);
  }
  if (product == 0) {
    ftdi_free(ctx);
    return kFtDeviceNotFound;
  }
  lastProduct_ = product;
  ftdi_tcioflush(ctx);
  *handle = new Device{ctx, 1000};
  return kFtOk;
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
  FtStatus status = kFtOk;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(d->readMs);
  while (got < count) {
    const int n = ftdi_read_data(d->ctx, out + got, static_cast<int>(count - got));
    if (n < 0) {
      status = kFtIoError;
      break;
    }
    got += static_cast<std::uint32_t>(n);
    if (got >= count || std::chrono::steady_clock::now() >= deadline) break;
    if (n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (returned != nullptr) *returned = got;
  return status;
}

FtStatus FtdiDriver::FT_Close(FtHandle handle) {
  Device* d = device(handle);
  if (d == nullptr) return kFtInvalidHandle;
  ftdi_usb_close(d->ctx);
  ftdi_free(d->ctx);
  delete d;
  return kFtOk;
}

FtStatus FtdiDriver::FT_SetLatencyTimer(FtHandle handle, std::uint8_t ms) {
  Device* d = device(handle);
  if (d == nullptr) return kFtInvalidHandle;
  return ftdi_set_latency_timer(d->ctx, ms) == 0 ? kFtOk : kFtIoError;
}

FtStatus FtdiDriver::FT_Purge(FtHandle handle, std::uint32_t mask) {
  Device* d = device(handle);
  if (d == nullptr) return kFtInvalidHandle;
  int rc = 0;
  if ((mask & kPurgeRx) != 0 && (mask & kPurgeTx) != 0) {
    rc = ftdi_tcioflush(d->ctx);
  } else if ((mask & kPurgeRx) != 0) {
    rc = ftdi_tciflush(d->ctx);
  } else if ((mask & kPurgeTx) != 0) {
    rc = ftdi_tcoflush(d->ctx);
  }
  return rc == 0 ? kFtOk : kFtIoError;
}

}  // namespace kb::link
