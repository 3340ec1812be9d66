// kb4471-simdevice: the simulated stack as a device on a pseudo-terminal, for trying the program's
// serial path without hardware. Prints the terminal's path on its first line, then serves it until
// SIGINT or SIGTERM, or for --exit-after SECONDS.
#include <charconv>
#include <cmath>
#include <csignal>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "app/simdevice/SimDevice.h"
#include "common/Clock.h"
#include "link/TraceText.h"
#include "sim/SimOptions.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

void onSignal(int) {
  gStop = 1;
}

const char* const kUsage =
    "Usage: kb4471-simdevice [--device sim[:OPTIONS]] [--link PATH] [--exit-after SECONDS]\n"
    "\n"
    "Runs the simulated battery stack behind a pseudo-terminal and prints the terminal's path on\n"
    "its first line; run the program on it with: kb4471 --device serial:PATH\n"
    "\n"
    "  --device sim[:OPTIONS]  the simulated stack, options as for kb4471 (default: sim)\n"
    "  --link PATH             also make PATH a symbolic link to the terminal; it is removed\n"
    "                          while the controller is unplugged (fault=unplug:T1[:T2])\n"
    "  --exit-after SECONDS    end after that many seconds (default: at SIGINT or SIGTERM)\n"
    "\n"
    "Simulator options (comma-separated after 'sim:'):\n";

int bad(const std::string& why) {
  std::cerr << "kb4471-simdevice: " << kb::link::traceText(why) << '\n';
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string device = "sim";
  kb::simdevice::DeviceOptions options;
  double exitAfter = -1.0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::cout << kUsage << kb::sim::simOptionsHelp();
      return 0;
    }
    if (a != "--device" && a != "--link" && a != "--exit-after") {
      return bad("unknown option '" + a + "' (see --help)");
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) return bad("option " + a + " needs a value");
    const std::string& value = args[++i];
    if (a == "--device") {
      device = value;
    } else if (a == "--link") {
      options.link = value;
    } else {
      const auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), exitAfter);
      if (ec != std::errc() || p != value.data() + value.size() || !std::isfinite(exitAfter) ||
          exitAfter < 0.0) {
        return bad("--exit-after " + value + ": seconds must be a number of 0 or more");
      }
    }
  }
  if (device != "sim" && device.rfind("sim:", 0) != 0) {
    return bad("--device " + device +
               ": the device serves the simulated stack only (sim[:OPTIONS])");
  }
  std::string error;
  if (!kb::sim::parseSimOptions(device.size() > 4 ? device.substr(4) : std::string(), options.sim,
                                error)) {
    return bad("bad simulator option: " + error);
  }

  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  kb::SystemClock clock;
  kb::simdevice::SimDevice simulated(options, clock);
  if (!simulated.start(error)) return bad(error);
  std::cout << simulated.path() << std::endl;
  const std::int64_t until = exitAfter < 0.0 ? std::numeric_limits<std::int64_t>::max()
                                             : clock.elapsedMicros() + kb::sim::microsOf(exitAfter);
  simulated.run([] { return gStop != 0; }, until);
  return 0;
}
