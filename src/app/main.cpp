// kb4471: the desktop control program. Parses the command line and runs the GUI, the screenshot
// mode or the headless script runner.
#include <iostream>
#include <string>
#include <vector>

#include "app/core/CommandLine.h"
#include "app/core/DeviceList.h"
#include "app/core/RecordingExport.h"
#include "app/core/ScriptRunner.h"
#include "app/gui/GuiRun.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const kb::app::ParseResult parsed = kb::app::parseCommandLine(args);
  if (!parsed.error.empty()) {
    std::cerr << parsed.error << '\n';
    return 2;
  }
  const kb::app::Options& options = parsed.options;
  if (options.help) {
    std::cout << kb::app::usageText();
    return 0;
  }
  if (options.version) {
    std::cout << kb::app::versionText() << '\n';
    return 0;
  }
  if (options.listDevices) return kb::app::runListDevices(options.listDevice, std::cout, std::cerr);
  if (!options.exportRecording.empty()) return kb::app::runExport(options, std::cerr);
  if (options.headless) return kb::app::runHeadless(options, std::cout, std::cerr);
  if (!options.screenshotDir.empty()) return kb::app::runScreenshot(argc, argv, options);
  if (kb::app::displayMissing()) {
    std::cerr << "kb4471: no display found; run it under a display server, for example: "
                 "xvfb-run -a kb4471 --simulate\n";
    return 2;
  }
  return kb::app::runGui(argc, argv, options);
}
