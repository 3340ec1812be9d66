#pragma once
// `kb4471 --list-devices [serial:PORT]`: one line per candidate for the controller, so a user who
// sees "not detected" can tell what is attached. Bridges on the USB bus (libftdi) and USB serial
// ports (libserialport), each with its vendor:product id, product string, serial number and
// whether its product string is the controller's description; a port named on the command line is
// also asked for its identity ("IZ").
#include <ostream>
#include <string>
#include <vector>

#include "link/FtdiCalls.h"
#include "link/SerialCalls.h"

namespace kb::app {

// The lines to print. named: "" or "serial:PORT[,baud=N]"; a bad one gives one line saying why.
std::vector<std::string> deviceListing(const std::string& named, const link::FtdiCalls& ftdi,
                                       const link::SerialCalls& serial);

// Prints the listing; exit status 0 (also when nothing was found), 2 for a bad device string.
int runListDevices(const std::string& named, std::ostream& out, std::ostream& err);

}  // namespace kb::app
