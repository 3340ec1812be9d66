#include "app/core/CommandLine.h"

#include <charconv>
#include <set>

#include "link/ControllerLink.h"
#include "link/TraceText.h"
#include "sim/SimOptions.h"

namespace kb::app {

namespace {

constexpr int kMaxSimBoards = 10;

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) : args_(args) {}

  ParseResult run() {
    for (i_ = 0; i_ < args_.size() && r_.error.empty(); ++i_) one(args_[i_]);
    if (r_.error.empty()) checkCombinations();
    return r_;
  }

 private:
  void fail(const std::string& why) {
    if (r_.error.empty()) r_.error = "kb4471: " + link::traceText(why);
  }

  // "--flag VALUE" or "--flag=VALUE"; an empty value is refused.
  bool value(const std::string& flag, std::string& out) {
    const std::string& a = args_[i_];
    if (a.size() > flag.size() && a[flag.size()] == '=') {
      out = a.substr(flag.size() + 1);
    } else if (i_ + 1 < args_.size()) {
      out = args_[++i_];
    } else {
      fail("option " + flag + " needs a value");
      return false;
    }
    if (out.empty()) {
      fail("option " + flag + " needs a value, not an empty one");
      return false;
    }
    return true;
  }

  bool once(const std::string& flag) {
    if (seen_.insert(flag).second) return true;
    fail("option " + flag + " given twice");
    return false;
  }

  static bool is(const std::string& arg, const std::string& flag) {
    return arg == flag || arg.rfind(flag + "=", 0) == 0;
  }

  void one(const std::string& a) {
    Options& o = r_.options;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (is(a, "--list-devices")) {
      if (!once("--list-devices")) return;
      o.listDevices = true;
      // An optional value: the port to ask ("--list-devices serial:/dev/pts/3").
      if (a.size() > 14) {
        value("--list-devices", o.listDevice);
      } else if (i_ + 1 < args_.size() && args_[i_ + 1].rfind("--", 0) != 0) {
        o.listDevice = args_[++i_];
      }
    } else if (a == "--headless") {
      if (once("--headless")) o.headless = true;
    } else if (a == "--simulate") {
      if (once("--simulate")) o.device = "sim";
    } else if (a.rfind("--simulate=", 0) == 0) {
      if (!once("--simulate")) return;
      const std::string boards = a.substr(11);
      int n = 0;
      const char* end = boards.data() + boards.size();
      const auto [p, ec] = std::from_chars(boards.data(), end, n);
      if (boards.empty() || ec != std::errc() || p != end || n < 1 || n > kMaxSimBoards) {
        fail("--simulate=" + boards + ": the number of boards must be 1 to 10");
        return;
      }
      o.device = "sim:boards=" + std::to_string(n);
    } else if (is(a, "--device")) {
      if (once("--device")) value("--device", o.device);
    } else if (is(a, "--trace")) {
      if (once("--trace")) value("--trace", o.traceFile);
    } else if (is(a, "--script")) {
      if (once("--script")) value("--script", o.scriptFile);
    } else if (is(a, "--screenshot")) {
      if (once("--screenshot")) value("--screenshot", o.screenshotDir);
    } else if (is(a, "--link")) {
      link::LinkMode mode{};
      if (once("--link") && value("--link", o.link) && !link::parseLinkMode(o.link, mode)) {
        fail("--link " + o.link + ": use transaction or held");
      }
    } else if (is(a, "--export-dir")) {
      if (once("--export-dir")) value("--export-dir", o.exportDir);
    } else if (is(a, "--record")) {
      if (once("--record")) value("--record", o.recordFile);
    } else if (is(a, "--export-recording")) {
      if (once("--export-recording")) value("--export-recording", o.exportRecording);
    } else if (is(a, "--csv")) {
      if (once("--csv")) value("--csv", o.csvFile);
    } else if (is(a, "--xlsx")) {
      if (once("--xlsx")) value("--xlsx", o.xlsxFile);
    } else if (is(a, "--publish")) {
      if (once("--publish")) value("--publish", publishUrl_);
    } else if (is(a, "--publish-ca")) {
      if (once("--publish-ca")) value("--publish-ca", o.publish.caFile);
    } else if (is(a, "--publish-password-file")) {
      if (once("--publish-password-file")) value("--publish-password-file", o.publish.passwordFile);
    } else if (is(a, "--publish-client-id")) {
      if (once("--publish-client-id")) value("--publish-client-id", o.publish.clientId);
    } else if (is(a, "--publish-keepalive")) {
      std::string text;
      if (!once("--publish-keepalive") || !value("--publish-keepalive", text)) return;
      const char* end = text.data() + text.size();
      const auto [p, ec] = std::from_chars(text.data(), end, o.publish.keepAlive);
      if (ec != std::errc() || p != end) fail("--publish-keepalive " + text + ": not a number");
    } else {
      fail("unknown option '" + a + "' (see --help)");
    }
  }

  void checkCombinations() {
    const Options& o = r_.options;
    if (o.help || o.version || o.listDevices) return;
    const bool exporting = !o.exportRecording.empty();
    if (exporting && o.csvFile.empty() == o.xlsxFile.empty()) {
      fail("--export-recording needs one of --csv FILE or --xlsx FILE");
    } else if (!exporting && (!o.csvFile.empty() || !o.xlsxFile.empty())) {
      fail(std::string(o.csvFile.empty() ? "--xlsx" : "--csv") + " needs --export-recording FILE");
    } else if (exporting && seen_.size() > 2) {
      fail("--export-recording takes only --csv FILE or --xlsx FILE");
    } else if (seen_.count("--simulate") != 0 && seen_.count("--device") != 0) {
      fail("--simulate and --device both choose the device; give one of them");
    } else if (o.headless && !o.screenshotDir.empty()) {
      fail("--headless and --screenshot exclude each other");
    } else if (o.headless && o.scriptFile.empty()) {
      fail("--headless needs --script FILE");
    } else if (!o.scriptFile.empty() && !o.headless && o.screenshotDir.empty()) {
      fail("--script needs --headless or --screenshot DIR");
    } else {
      checkPublish();
    }
  }

  void checkPublish() {
    Options& o = r_.options;
    for (const char* flag : {"--publish-ca", "--publish-password-file", "--publish-client-id",
                             "--publish-keepalive"}) {
      if (seen_.count(flag) != 0 && publishUrl_.empty()) {
        fail(std::string(flag) + " needs --publish URL");
        return;
      }
    }
    if (publishUrl_.empty()) return;
    std::string why;
    if (!telemetry::parsePublishUrl(publishUrl_, o.publish, why)) {
      fail(why);
    } else if (!o.publish.tls && !o.publish.caFile.empty()) {
      fail("--publish-ca is for TLS: use an mqtts:// URL");
    } else if (!telemetry::checkSettings(o.publish, why)) {
      fail("--publish: " + why);
    } else {
      o.publishing = true;
    }
  }

  const std::vector<std::string>& args_;
  std::size_t i_ = 0;
  std::set<std::string> seen_;
  std::string publishUrl_;
  ParseResult r_;
};

}  // namespace

ParseResult parseCommandLine(const std::vector<std::string>& args) {
  return Parser(args).run();
}

std::string usageText() {
  std::string text =
      "Usage: kb4471 [--device DEVICE | --simulate[=BOARDS]] [--trace FILE]\n"
      "              [--headless --script FILE | --screenshot DIR [--script FILE]]\n"
      "              [--export-dir DIR] [--link MODE] [--record FILE]\n"
      "              [--publish URL]\n"
      "              [--publish-ca FILE] [--publish-password-file FILE]\n"
      "              [--publish-client-id ID] [--publish-keepalive SECONDS]\n"
      "       kb4471 --list-devices [serial:PORT]\n"
      "       kb4471 --export-recording FILE --csv OUT | --xlsx OUT\n"
      "\n"
      "Desktop control program of the KB4471 battery-management evaluation system.\n"
      "\n"
      "  --device DEVICE      controller backend:\n"
      "                         ftdi              the KB771U controller over USB (default)\n"
      "                         serial[:PORT][,baud=N]\n"
      "                                           the controller on a serial port: the one\n"
      "                                           with its USB description, or PORT (a tty,\n"
      "                                           a /dev/serial/by-id/ link, a pseudo-terminal)\n"
      "                         sim[:OPTIONS]     the built-in simulated battery stack\n"
      "  --simulate[=BOARDS]  short for --device sim[:boards=BOARDS], BOARDS 1 to 10\n"
      "  --trace FILE         write every controller transaction to FILE\n"
      "                       ('> ' characters written, '< ' characters received,\n"
      "                       '! open failed (status N)' when the controller did not open)\n"
      "  --headless           run without windows, driven by --script\n"
      "  --script FILE        operator actions, one per line\n"
      "  --screenshot DIR     start up (and run --script), save DIR/main.png and\n"
      "                       DIR/status.png (trends.png, alarms.png when open),\n"
      "                       then exit\n"
      "  --export-dir DIR     folder of the exported workbook (default: see Files)\n"
      "  --record FILE        record every reading and alarm of the session into FILE,\n"
      "                       a new SQLite database (an existing file is refused)\n"
      "  --export-recording FILE\n"
      "                       export the recording FILE and exit: --csv OUT writes the\n"
      "                       cell voltages as CSV, --xlsx OUT a workbook of cell\n"
      "                       voltages, temperatures and alarms\n"
      "  --publish URL        publish readings and alarms to an MQTT broker:\n"
      "                       mqtt://[USER@]HOST[:PORT]/PREFIX, or mqtts://... for TLS\n"
      "  --publish-ca FILE    TLS: the CA certificate the broker's certificate is\n"
      "                       checked against (needed with mqtts://)\n"
      "  --publish-password-file FILE\n"
      "                       USER's password: the first line of FILE\n"
      "  --publish-client-id ID\n"
      "                       MQTT client id (default kb4471-HOST-PID)\n"
      "  --publish-keepalive SECONDS\n"
      "                       keep-alive, 5 to 3600 (default 30); the broker marks the\n"
      "                       program offline within 1.5 times this when it goes away\n"
      "  --list-devices [serial:PORT]\n"
      "                       list the USB bridges and serial ports that could be the\n"
      "                       controller; with serial:PORT, ask that port for its identity\n"
      "  --link MODE          transaction: open and close the controller around every\n"
      "                       transaction (default); held: open it once and keep it\n"
      "                       open, latency timer 1 ms (also Options > Held link)\n"
      "  --help               print this help and exit\n"
      "  --version            print the version and exit\n"
      "\n"
      "Simulator options:\n"
      "  The OPTIONS of --device sim:OPTIONS, separated by commas:\n" +
      sim::simOptionsHelp();
  if (text.back() != '\n') text += '\n';
  text +=
      "\n"
      "Exit status:\n"
      "  0                    normal end; headless: the script ran to its end\n"
      "  1                    start-up ended the program (no controller detected)\n"
      "  2                    bad command line or script line, or output that could\n"
      "                       not be written\n"
      "  3                    a fault of the program (headless and screenshot runs)\n"
      "\n"
      "Files:\n"
      "  exported workbook    written to --export-dir DIR; without it, in an interactive\n"
      "                       run, to the folder last given with --export-dir while it\n"
      "                       can be written; else to the program's own folder, or,\n"
      "                       when that cannot be written or is a system folder such\n"
      "                       as /usr/bin, to the user's documents folder\n"
      "                       (XDG_DOCUMENTS_DIR, else ~/Documents, else the home\n"
      "                       folder), and a message box names it\n"
      "  $XDG_CONFIG_HOME/kb4471/kb4471.conf\n"
      "                       the last export folder given and the window positions\n"
      "                       (default ~/.config/kb4471/kb4471.conf); only interactive\n"
      "                       runs read and write it, never --headless or --screenshot\n";
  return text;
}

std::string versionText() {
  return std::string("kb4471 ") + KB_VERSION;
}

}  // namespace kb::app
