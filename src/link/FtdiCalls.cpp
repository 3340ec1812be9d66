#include "link/FtdiCalls.h"

#include <ftdi.h>
#include <libusb.h>

#include <array>

namespace kb::link {

namespace {

// A library context and its last listing of the bus.
struct Context {
  ftdi_context* ftdi = nullptr;
  ftdi_device_list* list = nullptr;
  std::vector<libusb_device*> devices;
};

Context* cast(void* ctx) {
  return static_cast<Context*>(ctx);
}

void dropList(Context& c) {
  if (c.list != nullptr) ftdi_list_free(&c.list);
  c.list = nullptr;
  c.devices.clear();
}

std::string location(libusb_device* dev) {
  std::array<std::uint8_t, 8> ports{};
  const int n = libusb_get_port_numbers(dev, ports.data(), static_cast<int>(ports.size()));
  std::string text = "usb " + std::to_string(libusb_get_bus_number(dev));
  for (int i = 0; i < n; ++i) {
    text += (i == 0 ? '-' : '.');
    text += std::to_string(ports[static_cast<std::size_t>(i)]);
  }
  return text;
}

int listBridges(void* ctx, std::vector<FtdiBridge>& out) {
  Context& c = *cast(ctx);
  dropList(c);
  out.clear();
  const int found = ftdi_usb_find_all(c.ftdi, &c.list, 0, 0);
  if (found < 0) return found;
  for (ftdi_device_list* it = c.list; it != nullptr; it = it->next) {
    FtdiBridge bridge;
    libusb_device_descriptor id{};
    if (libusb_get_device_descriptor(it->dev, &id) == 0) {
      bridge.vendor = id.idVendor;
      bridge.product = id.idProduct;
    }
    std::array<char, 256> description{};
    std::array<char, 256> serial{};
    if (ftdi_usb_get_strings(c.ftdi, it->dev, nullptr, 0, description.data(),
                             static_cast<int>(description.size()), serial.data(),
                             static_cast<int>(serial.size())) == 0) {
      bridge.description = description.data();
      bridge.serial = serial.data();
    } else {
      const char* why = ftdi_get_error_string(c.ftdi);
      bridge.stringsError = why == nullptr ? "unknown" : why;
    }
    bridge.location = location(it->dev);
    out.push_back(std::move(bridge));
    c.devices.push_back(it->dev);
  }
  return static_cast<int>(out.size());
}

FtdiCalls makeCalls() {
  FtdiCalls t;
  t.create = []() -> void* {
    ftdi_context* ftdi = ftdi_new();
    return ftdi == nullptr ? nullptr : new Context{ftdi, nullptr, {}};
  };
  t.destroy = [](void* ctx) {
    Context* c = cast(ctx);
    dropList(*c);
    ftdi_free(c->ftdi);
    delete c;
  };
  t.openDescription = [](void* ctx, int vendor, int product, const char* description) {
    return ftdi_usb_open_desc(cast(ctx)->ftdi, vendor, product, description, nullptr);
  };
  t.list = listBridges;
  t.openListed = [](void* ctx, std::size_t index) {
    Context& c = *cast(ctx);
    return index < c.devices.size() ? ftdi_usb_open_dev(c.ftdi, c.devices[index]) : -8;
  };
  t.flush = [](void* ctx) { return ftdi_tcioflush(cast(ctx)->ftdi); };
  t.flushInput = [](void* ctx) { return ftdi_tciflush(cast(ctx)->ftdi); };
  t.setLatency = [](void* ctx, int ms) {
    return ftdi_set_latency_timer(cast(ctx)->ftdi, static_cast<unsigned char>(ms));
  };
  t.setTimeouts = [](void* ctx, int readMs, int writeMs) {
    cast(ctx)->ftdi->usb_read_timeout = readMs;
    cast(ctx)->ftdi->usb_write_timeout = writeMs;
  };
  t.write = [](void* ctx, const unsigned char* data, int size) {
    return ftdi_write_data(cast(ctx)->ftdi, data, size);
  };
  t.read = [](void* ctx, unsigned char* data, int size) {
    return ftdi_read_data(cast(ctx)->ftdi, data, size);
  };
  t.close = [](void* ctx) { ftdi_usb_close(cast(ctx)->ftdi); };
  t.errorText = [](void* ctx) {
    const char* text = ftdi_get_error_string(cast(ctx)->ftdi);
    return std::string(text == nullptr ? "" : text);
  };
  t.now = steadyMicros;
  t.pause = sleepMicros;
  return t;
}

}  // namespace

const FtdiCalls& libftdiCalls() {
  static const FtdiCalls calls = makeCalls();
  return calls;
}

}  // namespace kb::link
