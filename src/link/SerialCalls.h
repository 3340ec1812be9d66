#pragma once
// The operating-system calls of the serial backend as a table of functions: POSIX termios and
// poll drive the port (a USB serial port and a pseudo-terminal alike), libserialport lists the
// ports and reads their USB strings. Tests run the backend against a fake table.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/ReadLoop.h"

namespace kb::link {

// One serial port as the system lists it.
struct SerialPort {
  std::string name;  // "/dev/ttyUSB0"
  bool usb = false;
  int vendor = 0;
  int product = 0;
  std::string description;  // USB product string
  std::string serial;
  std::string location;  // "usb BUS-ADDRESS"
};

// Calls return 0 or a count on success, a negative errno value on failure.
struct SerialCalls {
  std::function<int(const std::string& path)> open;  // a descriptor, non-blocking
  std::function<int(int fd, int baud)> configure;    // raw, speed, 8N1, no flow control
  std::function<int(int fd)> flush;                  // both directions
  std::function<int(int fd)> flushInput;             // what was received only
  // The port's low-latency flag (the USB serial driver then sets its bridge's latency timer to
  // 1 ms); -ENOTTY or -EINVAL where the port has no such setting (a pseudo-terminal).
  std::function<int(int fd, bool on)> lowLatency;
  std::function<int(int fd, const unsigned char* data, std::size_t size)> write;
  // Waits for the port to be readable (or writable); > 0 ready, 0 time-out.
  std::function<int(int fd, bool forWrite, std::int64_t waitMicros)> wait;
  // What has arrived, up to size; 0 means the other end hung up, -EAGAIN that nothing is there.
  std::function<int(int fd, unsigned char* data, std::size_t size)> read;
  std::function<void(int fd)> close;
  // Every port the system lists; false and the library's message when the listing failed.
  std::function<bool(std::vector<SerialPort>& out, std::string& error)> list;
  // The USB product string of a listed port; "" for a port that is not on USB.
  std::function<std::string(const std::string& name)> productOf;
  NowMicros now;
  std::function<void(std::int64_t micros)> pause;
};

// The table over POSIX termios and libserialport.
const SerialCalls& posixSerialCalls();

// The baud rates the port can be set to (the termios speeds).
bool isSupportedBaud(int baud);

}  // namespace kb::link
