#include "app/core/DeviceList.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "link/ControllerLink.h"
#include "link/SerialDriver.h"
#include "link/TraceText.h"
#include "startup/Startup.h"

namespace kb::app {

namespace {

std::string usbId(int vendor, int product) {
  if (vendor == 0 && product == 0) return "-";
  char text[16];
  std::snprintf(text, sizeof text, "%04x:%04x", vendor & 0xFFFF, product & 0xFFFF);
  return text;
}

std::string quoted(const std::string& s) {
  return s.empty() ? "(no product string)" : "\"" + link::traceText(s) + "\"";
}

std::string matchText(const std::string& description) {
  return description == link::kDeviceDescription ? "matches the controller's description"
                                                 : "does not match the controller's description";
}

std::string line(const char* backend, const std::string& where, int vendor, int product,
                 const std::string& description, const std::string& serial) {
  return std::string(backend) + "  " + link::traceText(where) + "  " + usbId(vendor, product) +
         "  " + quoted(description) + "  serial " +
         (serial.empty() ? "-" : link::traceText(serial)) + "  " + matchText(description);
}

void listFtdi(const link::FtdiCalls& ftdi, std::vector<std::string>& lines) {
  void* ctx = ftdi.create();
  if (ctx == nullptr) {
    lines.push_back("ftdi  cannot list the USB bus: no library context");
    return;
  }
  std::vector<link::FtdiBridge> bridges;
  if (ftdi.list(ctx, bridges) < 0) {
    lines.push_back("ftdi  cannot list the USB bus: " + link::traceText(ftdi.errorText(ctx)));
  }
  for (const link::FtdiBridge& b : bridges) {
    std::string text = line("ftdi", b.location, b.vendor, b.product, b.description, b.serial);
    if (!b.stringsError.empty()) {
      text += " (its strings could not be read: " + link::traceText(b.stringsError) +
              "; without access, see the udev rule)";
    }
    lines.push_back(text);
  }
  ftdi.destroy(ctx);
}

// What the port answers to "IZ", through the serial backend as the program would ask it.
std::string identityAnswer(const link::SerialOptions& options, const link::SerialCalls& serial) {
  link::SerialDriver driver(options, serial);
  link::ControllerLink controller(driver);
  const std::string id = controller.QueryControllerId();
  if (controller.lastEvent().outcome == link::Outcome::OpenFailed) {
    return "cannot be opened: " + link::traceText(controller.lastEvent().message);
  }
  if (id.find_first_not_of(' ') == std::string::npos) return "does not answer \"IZ\"";
  return "answers \"IZ\" with \"" + link::traceText(id) + "\", " +
         (startup::recognisedControllerId(id) ? "a known identity" : "not a known identity");
}

void listNamed(const link::SerialOptions& options, const link::SerialCalls& serial,
               const std::vector<link::SerialPort>& ports, std::vector<std::string>& lines) {
  // A /dev/serial/by-id/ link names the port the system lists under its own name.
  std::error_code ec;
  const std::string real = std::filesystem::canonical(options.port, ec).string();
  link::SerialPort shown;
  shown.name = options.port;
  for (const link::SerialPort& p : ports) {
    if (p.name == options.port || (!ec && p.name == real)) {
      shown = p;
      shown.name = options.port;
    }
  }
  std::string text = shown.usb ? line("serial", shown.name, shown.vendor, shown.product,
                                      shown.description, shown.serial)
                               : "serial  " + link::traceText(shown.name) +
                                     "  -  (not a USB port)  serial -  no description to match";
  lines.push_back(text + "; " + identityAnswer(options, serial));
}

}  // namespace

std::vector<std::string> deviceListing(const std::string& named, const link::FtdiCalls& ftdi,
                                       const link::SerialCalls& serial) {
  std::vector<std::string> lines;
  link::SerialOptions options;
  if (!named.empty()) {
    std::string why;
    if (named.rfind("serial:", 0) != 0 ||
        !link::parseSerialOptions(named.substr(7), options, why) || options.port.empty()) {
      return {"kb4471: --list-devices takes serial:PORT, not '" + link::traceText(named) + "'" +
              (why.empty() ? "" : ": " + link::traceText(why))};
    }
  }
  std::vector<link::SerialPort> ports;
  std::string error;
  const bool listed = serial.list(ports, error);
  if (!named.empty()) {
    listNamed(options, serial, ports, lines);
    return lines;
  }
  listFtdi(ftdi, lines);
  if (!listed) lines.push_back("serial  cannot list the serial ports: " + link::traceText(error));
  for (const link::SerialPort& p : ports) {
    if (p.usb)
      lines.push_back(line("serial", p.name, p.vendor, p.product, p.description, p.serial));
  }
  if (lines.empty()) {
    lines.push_back(
        "No controller found: no USB bridge for libftdi and no USB serial port (a port that is "
        "not on USB, or a pseudo-terminal, is checked with --list-devices serial:PORT)");
  }
  return lines;
}

int runListDevices(const std::string& named, std::ostream& out, std::ostream& err) {
  const std::vector<std::string> lines =
      deviceListing(named, link::libftdiCalls(), link::posixSerialCalls());
  if (lines.size() == 1 && lines[0].rfind("kb4471: ", 0) == 0) {
    err << lines[0] << '\n';
    return 2;
  }
  for (const std::string& l : lines) out << l << '\n';
  return 0;
}

}  // namespace kb::app
