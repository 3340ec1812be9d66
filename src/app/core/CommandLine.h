#pragma once
// The program's command line.
#include <string>
#include <vector>

#include "telemetry/PublishSettings.h"

namespace kb::app {

struct Options {
  std::string device = "ftdi";  // "ftdi", "sim", "sim:OPTION,..."
  std::string traceFile;
  bool headless = false;
  std::string scriptFile;
  std::string screenshotDir;
  std::string exportDir;  // where the export writes; empty: the executable's folder
  // --publish URL and its companions, checked.
  bool publishing = false;
  telemetry::PublishSettings publish;
  bool help = false;
  bool version = false;
};

struct ParseResult {
  Options options;
  std::string error;  // one line; empty when the command line was good
};

ParseResult parseCommandLine(const std::vector<std::string>& args);
std::string usageText();
std::string versionText();

}  // namespace kb::app
