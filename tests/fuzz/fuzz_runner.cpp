// The headless runner's script lines over a session on the simulated stack. Input: the simulator
// options on the first line, then script lines. The work per input is bounded (lines, ticks), so
// that no input takes long; a refused line must say why and leave everything as it was (no
// transaction, no output), and no event procedure may throw. Workbooks go to a temporary folder,
// emptied after every input.
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>

#include "FuzzInput.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"
#include "common/Clock.h"
#include "sim/SimStack.h"

namespace {

using kb::fuzz::fail;

constexpr int kMaxLines = 48;
constexpr int kMaxTicks = 120;  // per input, all lines together

// The tick count a line asks for, or -1 when it is no tick line.
int ticksOf(const std::string& line) {
  std::istringstream words(line);
  std::string verb, count;
  words >> verb >> count;
  if (verb != "tick") return -1;
  if (count.empty() || count[0] == '#') return 1;
  int n = 0;
  for (const char c : count) {
    if (c < '0' || c > '9') return 0;  // refused by the runner anyway
    n = n * 10 + (c - '0');
    if (n > 1'000'000) return n;
  }
  return n;
}

// A folder of its own for the exported workbooks, made once per run.
const std::string& exportFolder() {
  static const std::string folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kb4471-fuzz-export-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) fail("no temporary export folder");
    return pattern;
  }();
  return folder;
}

void emptyExportFolder() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(exportFolder(), ec)) {
    std::filesystem::remove_all(entry.path(), ec);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
  std::string first;
  std::getline(input, first);

  kb::app::Options options;
  options.device = "sim:" + first;
  options.exportDir = exportFolder();
  kb::ManualClock clock;
  std::ostringstream out;
  kb::app::PrintingDialogs dialogs(out);
  auto session = std::make_unique<kb::app::Session>(options, clock, dialogs);
  if (!session->error().empty()) {
    options.device = "sim";
    session = std::make_unique<kb::app::Session>(options, clock, dialogs);
  }
  if (!session->error().empty()) fail("the plain simulator failed: " + session->error());
  // "realtime" would sleep each transaction's cost: the harness only counts it.
  if (auto* stack = dynamic_cast<kb::sim::SimStack*>(&session->driver())) {
    stack->setWallWait([](kb::sim::SimMicros) {});
  }
  std::ostringstream trace;
  session->link().setTrace(&trace);
  // A procedure that throws is a fault of the program: a finding.
  session->window().setFaultReporter([](const kb::form::Fault& f) { fail(kb::app::faultLine(f)); });
  if (!session->window().load()) return 0;

  kb::app::ScriptRunner runner(session->window(), out, clock);
  int lines = 0;
  int ticks = 0;
  for (std::string line; lines < kMaxLines && std::getline(input, line); ++lines) {
    const int n = ticksOf(line);
    if (n > 0 && (ticks += n) > kMaxTicks) continue;
    const std::uint64_t transactions = session->link().transactionCount();
    const std::size_t printed = out.str().size();
    if (!runner.runLine(line)) {
      if (runner.error().empty()) fail("a refused line without a reason");
      if (session->link().transactionCount() != transactions) fail("a refused line acted");
      if (out.str().size() != printed) fail("a refused line printed");
    }
    if (session->window().ended()) break;
  }
  emptyExportFolder();
  return 0;
}
