#include "link/SerialCalls.h"

#include <fcntl.h>
#include <libserialport.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

namespace kb::link {

namespace {

constexpr std::array<std::pair<int, speed_t>, 30> kSpeeds{{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
}};

int failed() {
  return errno > 0 ? -errno : -EIO;
}

int configure(int fd, int baud) {
  speed_t speed = 0;
  for (const auto& [rate, code] : kSpeeds) {
    if (rate == baud) speed = code;
  }
  if (speed == 0) return -EINVAL;
  termios t{};
  if (tcgetattr(fd, &t) != 0) return failed();
  cfmakeraw(&t);
  t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | CSIZE);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0) return failed();
  return tcsetattr(fd, TCSANOW, &t) == 0 ? 0 : failed();
}

int waitFor(int fd, bool forWrite, std::int64_t waitMicros) {
  pollfd p{fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
  // Whole milliseconds, rounded up, so that a wait never ends before its time.
  const auto ms = static_cast<int>(std::min<std::int64_t>((waitMicros + 999) / 1000, 60'000));
  const int n = ::poll(&p, 1, std::max(ms, 0));
  if (n < 0) return errno == EINTR ? 0 : failed();
  return n;
}

std::string text(const char* s) {
  return s == nullptr ? std::string() : std::string(s);
}

SerialPort describe(sp_port* port) {
  SerialPort p;
  p.name = text(sp_get_port_name(port));
  if (sp_get_port_transport(port) != SP_TRANSPORT_USB) return p;
  p.usb = true;
  sp_get_port_usb_vid_pid(port, &p.vendor, &p.product);
  p.description = text(sp_get_port_usb_product(port));
  p.serial = text(sp_get_port_usb_serial(port));
  int bus = 0;
  int address = 0;
  if (sp_get_port_usb_bus_address(port, &bus, &address) == SP_OK) {
    p.location = "usb " + std::to_string(bus) + "-" + std::to_string(address);
  }
  return p;
}

bool listPorts(std::vector<SerialPort>& out, std::string& error) {
  out.clear();
  sp_port** ports = nullptr;
  if (sp_list_ports(&ports) != SP_OK) {
    char* message = sp_last_error_message();
    error = text(message);
    sp_free_error_message(message);
    return false;
  }
  for (sp_port** p = ports; *p != nullptr; ++p) out.push_back(describe(*p));
  sp_free_port_list(ports);
  return true;
}

std::string productOf(const std::string& name) {
  sp_port* port = nullptr;
  if (sp_get_port_by_name(name.c_str(), &port) != SP_OK) return {};
  std::string product;
  if (sp_get_port_transport(port) == SP_TRANSPORT_USB) {
    product = text(sp_get_port_usb_product(port));
  }
  sp_free_port(port);
  return product;
}

SerialCalls makeCalls() {
  SerialCalls t;
  t.open = [](const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    return fd >= 0 ? fd : failed();
  };
  t.configure = configure;
  t.flush = [](int fd) { return tcflush(fd, TCIOFLUSH) == 0 ? 0 : failed(); };
  t.flushInput = [](int fd) { return tcflush(fd, TCIFLUSH) == 0 ? 0 : failed(); };
  t.lowLatency = [](int fd, bool on) {
    serial_struct s{};
    if (::ioctl(fd, TIOCGSERIAL, &s) != 0) return failed();
    s.flags = on ? (s.flags | ASYNC_LOW_LATENCY) : (s.flags & ~ASYNC_LOW_LATENCY);
    return ::ioctl(fd, TIOCSSERIAL, &s) == 0 ? 0 : failed();
  };
  t.write = [](int fd, const unsigned char* data, std::size_t size) {
    const ssize_t n = ::write(fd, data, size);
    return n >= 0 ? static_cast<int>(n) : failed();
  };
  t.wait = waitFor;
  t.read = [](int fd, unsigned char* data, std::size_t size) {
    const ssize_t n = ::read(fd, data, size);
    return n >= 0 ? static_cast<int>(n) : failed();
  };
  t.close = [](int fd) { ::close(fd); };
  t.list = listPorts;
  t.productOf = productOf;
  t.now = steadyMicros;
  t.pause = sleepMicros;
  return t;
}

}  // namespace

bool isSupportedBaud(int baud) {
  for (const auto& entry : kSpeeds) {
    if (entry.first == baud) return true;
  }
  return false;
}

const SerialCalls& posixSerialCalls() {
  static const SerialCalls calls = makeCalls();
  return calls;
}

}  // namespace kb::link
