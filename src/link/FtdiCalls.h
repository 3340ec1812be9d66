#pragma once
// The libftdi1 calls of the libftdi backend as a table of functions: the backend's read loop,
// deadline and open by description run against a fake table in tests, and the library's own
// messages reach the trace. Contexts are opaque: the table that made one is the one that uses it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/ReadLoop.h"

namespace kb::link {

// One bridge of the usual product ids, as the listing of the bus finds it.
struct FtdiBridge {
  int vendor = 0;
  int product = 0;
  std::string description;  // USB product string; empty when it could not be read
  std::string serial;
  std::string location;      // "usb BUS-PORT.PORT"
  std::string stringsError;  // why the strings could not be read (no access, most often)
};

struct FtdiCalls {
  std::function<void*()> create;           // a library context; null when none could be made
  std::function<void(void* ctx)> destroy;  // frees it (and the last listing)
  // Opens the first bridge of vendor:product with this product string; 0 on success.
  std::function<int(void* ctx, int vendor, int product, const char* description)> openDescription;
  // Lists every bridge of the usual product ids with its strings; the count, or negative.
  std::function<int(void* ctx, std::vector<FtdiBridge>& out)> list;
  std::function<int(void* ctx, std::size_t index)> openListed;  // by its place in the last listing
  std::function<int(void* ctx)> flush;                          // both directions
  std::function<int(void* ctx)> flushInput;                     // what was received only
  std::function<int(void* ctx, int ms)> setLatency;             // the latency timer; 0 on success
  std::function<void(void* ctx, int readMs, int writeMs)> setTimeouts;
  std::function<int(void* ctx, const unsigned char* data, int size)> write;  // written, or < 0
  // Whatever has arrived, up to size (often 0); < 0 on failure.
  std::function<int(void* ctx, unsigned char* data, int size)> read;
  std::function<void(void* ctx)> close;
  std::function<std::string(void* ctx)> errorText;  // the library's last message; may be empty
  NowMicros now;
  std::function<void(std::int64_t micros)> pause;  // between two reads that found nothing
};

// The table over libftdi1 and libusb.
const FtdiCalls& libftdiCalls();

}  // namespace kb::link
