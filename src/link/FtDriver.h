#pragma once
// The driver interface of the controller board, shaped like the platform's USB calls.
// Backends: libftdi1 (real controller), a serial port (the controller bound to a tty, or a
// pseudo-terminal), the simulated stack, scripted fakes in tests.
#include <cstdint>
#include <string>

namespace kb::link {

using FtHandle = void*;
using FtStatus = unsigned long;

inline constexpr FtStatus kFtOk = 0;
inline constexpr FtStatus kFtInvalidHandle = 1;
inline constexpr FtStatus kFtDeviceNotFound = 2;
inline constexpr FtStatus kFtDeviceNotOpened = 3;
inline constexpr FtStatus kFtIoError = 4;

// Open flag: open by description.
inline constexpr std::uint32_t kOpenByDescription = 2;
// Purge mask: the receive and the transmit buffer.
inline constexpr std::uint32_t kPurgeRx = 1;
inline constexpr std::uint32_t kPurgeTx = 2;

class FtDriver {
 public:
  virtual ~FtDriver() = default;
  virtual FtStatus FT_OpenEx(const char* description, std::uint32_t flags, FtHandle* handle) = 0;
  virtual FtStatus FT_SetTimeouts(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) = 0;
  virtual FtStatus FT_Write(FtHandle handle, const void* buffer, std::uint32_t length,
                            std::uint32_t* written) = 0;
  virtual FtStatus FT_Read(FtHandle handle, void* buffer, std::uint32_t count,
                           std::uint32_t* returned) = 0;
  virtual FtStatus FT_Close(FtHandle handle) = 0;
  // The library's own words for the last call that failed ("" when the backend has none).
  virtual std::string lastError() const { return {}; }

  // Used by the held link only (the default transaction never calls them).
  // The bridge's latency timer: how long it holds a short packet before sending it (ms).
  virtual FtStatus FT_SetLatencyTimer(FtHandle handle, std::uint8_t ms);
  // Drops what waits in the bridge's buffers (kPurgeRx, kPurgeTx).
  virtual FtStatus FT_Purge(FtHandle handle, std::uint32_t mask);
  // The link's own time, in microseconds, and a wait until a time on it: the held link waits out
  // a conversion this way. Real hardware: the steady clock and a sleep.
  virtual std::int64_t linkMicros();
  virtual void waitUntilMicros(std::int64_t t);
};

}  // namespace kb::link
