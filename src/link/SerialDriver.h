#pragma once
// The controller on a serial port: "serial" finds the port whose USB product string is the
// controller's description, as the libftdi backend opens by description; "serial:PORT" opens a
// named port (/dev/ttyUSB0, a /dev/serial/by-id/... link, a pseudo-terminal). Options after the
// port, comma-separated: baud=N (default 9600; always 8 data bits, no parity, 1 stop bit, no flow
// control).
//
// Each transaction opens the port anew, puts it in raw mode at the speed, flushes both directions
// (a late reply of the last transaction is dropped), writes, reads with poll until the count has
// arrived or the read time-out passes, and closes. A transaction opens no sooner than 25 ms after
// the previous one closed: the time the libftdi backend's open by description takes, on which the
// reads right after a conversion start rely (the slowest conversion takes 21 ms).
#include <memory>
#include <string>
#include <string_view>

#include "link/FtDriver.h"
#include "link/SerialCalls.h"

namespace kb::link {

inline constexpr std::int64_t kTransactionGapMicros = 25'000;

struct SerialOptions {
  std::string port;  // empty: the port with the controller's USB description
  int baud = 9600;
};

// Reads the text after "serial:" (may be empty). On a bad option returns false and sets error.
bool parseSerialOptions(std::string_view text, SerialOptions& out, std::string& error);

class SerialDriver final : public FtDriver {
 public:
  explicit SerialDriver(SerialOptions options, const SerialCalls& calls = posixSerialCalls());
  ~SerialDriver() override;
  SerialDriver(const SerialDriver&) = delete;
  SerialDriver& operator=(const SerialDriver&) = delete;

  FtStatus FT_OpenEx(const char* description, std::uint32_t flags, FtHandle* handle) override;
  FtStatus FT_SetTimeouts(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) override;
  FtStatus FT_Write(FtHandle handle, const void* buffer, std::uint32_t length,
                    std::uint32_t* written) override;
  FtStatus FT_Read(FtHandle handle, void* buffer, std::uint32_t count,
                   std::uint32_t* returned) override;
  FtStatus FT_Close(FtHandle handle) override;
  std::string lastError() const override { return lastError_; }
  // The held link: the port's low-latency flag (a port without one, such as a pseudo-terminal,
  // keeps its own timing), a flush of both directions, and the table's clock.
  FtStatus FT_SetLatencyTimer(FtHandle handle, std::uint8_t ms) override;
  FtStatus FT_Purge(FtHandle handle, std::uint32_t mask) override;
  std::int64_t linkMicros() override { return calls_.now(); }
  void waitUntilMicros(std::int64_t t) override;

  const SerialOptions& options() const { return options_; }

 private:
  class Port;
  Port* port(FtHandle handle) const;
  // The port to open: the named one, or the one with this USB description.
  std::string findPort(const char* description);
  FtStatus fail(FtStatus status, const std::string& why);
  FtStatus failCall(FtStatus status, int code);  // code: a negative errno value, 0 hung up

  SerialOptions options_;
  const SerialCalls& calls_;
  std::unique_ptr<Port> open_;
  std::string lastPort_;  // the port found by description last time
  std::int64_t lastClose_ = -1;
  std::string lastError_;
};

}  // namespace kb::link
