#include "app/core/CommandLine.h"

#include "sim/SimOptions.h"

namespace kb::app {

namespace {
bool takeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& flag,
               std::string& value, std::string& error) {
  const std::string& a = args[i];
  if (a.size() > flag.size() && a.compare(0, flag.size() + 1, flag + "=") == 0) {
    value = a.substr(flag.size() + 1);
    return true;
  }
  if (i + 1 >= args.size()) {
    error = "kb4471: option " + flag + " needs a value";
    return false;
  }
  value = args[++i];
  return true;
}

bool is(const std::string& arg, const std::string& flag) {
  return arg == flag || arg.rfind(flag + "=", 0) == 0;
}
}  // namespace

ParseResult parseCommandLine(const std::vector<std::string>& args) {
  ParseResult r;
  Options& o = r.options;
  for (std::size_t i = 0; i < args.size() && r.error.empty(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--headless") {
      o.headless = true;
    } else if (a == "--simulate") {
      o.device = "sim";
    } else if (a.rfind("--simulate=", 0) == 0) {
      o.device = "sim:boards=" + a.substr(11);
    } else if (is(a, "--device")) {
      takeValue(args, i, "--device", o.device, r.error);
    } else if (is(a, "--trace")) {
      takeValue(args, i, "--trace", o.traceFile, r.error);
    } else if (is(a, "--script")) {
      takeValue(args, i, "--script", o.scriptFile, r.error);
    } else if (is(a, "--screenshot")) {
      takeValue(args, i, "--screenshot", o.screenshotDir, r.error);
    } else if (is(a, "--export-dir")) {
      takeValue(args, i, "--export-dir", o.exportDir, r.error);
    } else {
      r.error = "kb4471: unknown option '" + a + "' (see --help)";
    }
  }
  if (r.error.empty() && o.headless && o.scriptFile.empty() && !o.help && !o.version) {
    r.error = "kb4471: --headless needs --script FILE";
  }
  return r;
}

std::string usageText() {
  std::string text =
      "Usage: kb4471 [--device DEVICE | --simulate[=BOARDS]] [--trace FILE]\n"
      "              [--headless --script FILE] [--screenshot DIR] [--export-dir DIR]\n"
      "\n"
      "Desktop control program of the KB4471 battery-management evaluation system.\n"
      "\n"
      "  --device DEVICE      controller backend:\n"
      "                         ftdi              the KB771U controller over USB (default)\n"
      "                         sim[:OPTIONS]     the built-in simulated battery stack\n"
      "  --simulate[=BOARDS]  short for --device sim[:boards=BOARDS]\n"
      "  --trace FILE         write every controller transaction to FILE\n"
      "                       ('> ' characters written, '< ' characters received)\n"
      "  --headless           run without windows, driven by --script\n"
      "  --script FILE        operator actions, one per line\n"
      "  --screenshot DIR     start up (and run --script), save DIR/main.png and\n"
      "                       DIR/status.png, then exit\n"
      "  --export-dir DIR     folder of the exported workbook (default: the program's\n"
      "                       own folder)\n"
      "  --help, --version\n"
      "\n"
      "Simulator options (comma-separated after 'sim:'):\n" +
      sim::simOptionsHelp();
  if (text.back() != '\n') text += '\n';
  return text;
}

std::string versionText() {
  return std::string("kb4471 ") + KB_VERSION;
}

}  // namespace kb::app
