#pragma once
// The program's command line.
#include <string>
#include <vector>

#include "telemetry/PublishSettings.h"

namespace kb::app {

struct Options {
  std::string device = "ftdi";  // "ftdi", "serial[:PORT[,baud=N]]", "sim[:OPTION,...]"
  std::string traceFile;
  bool headless = false;
  std::string scriptFile;
  std::string screenshotDir;
  std::string exportDir;  // where the export writes; empty: the executable's folder
  bool listDevices = false;
  std::string listDevice;       // --list-devices serial:PORT: the port to ask as well
  std::string recordFile;       // --record: the new recording of this session
  std::string exportRecording;  // --export-recording: the recording to export, then exit
  std::string csvFile;          // its CSV output
  std::string xlsxFile;         // its workbook output
  // --publish URL and its companions, checked.
  bool publishing = false;
  telemetry::PublishSettings publish;
  std::string link = "transaction";  // "transaction" (open and close each time) or "held"
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
