// The device string and the command line: "--device sim:..." as parseSimOptions and makeBackend
// read it, and argument lists as parseCommandLine reads them. Input: the device text, then after a
// NUL byte the arguments, separated by NUL bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "app/core/CommandLine.h"
#include "app/core/Session.h"
#include "common/Clock.h"
#include "link/ControllerLink.h"
#include "sim/SimOptions.h"
#include "sim/SimStack.h"

namespace {

using kb::fuzz::fail;
using kb::fuzz::printableLine;

void checkOptions(const kb::sim::SimOptions& o) {
  const auto board = [&](int b) { return b >= 1 && b <= o.boards; };
  if (o.boards < 1 || o.boards > 10) fail("boards out of range");
  if (!(o.pecFaultRate >= 0.0 && o.pecFaultRate <= 1.0)) fail("PEC fault rate out of range");
  for (const auto& c : o.cells) {
    if (!board(c.board) || c.cell < 1 || c.cell > 12 || !(c.volts >= 0.0 && c.volts <= 5.0)) {
      fail("cell start out of range");
    }
  }
  for (const int b : o.missingBoards) {
    if (!board(b)) fail("missing board out of range");
  }
  for (const auto& t : o.thermal) {
    if (!board(t.board) || (t.recoverAfter && !(*t.recoverAfter >= 0.0))) fail("thermal fault");
  }
  for (const auto& w : o.openWires) {
    if (!board(w.board) || w.cell < 1 || w.cell > 12) fail("open wire out of range");
  }
}

void device(const std::string& text) {
  kb::sim::SimOptions options;
  std::string why;
  if (kb::sim::parseSimOptions(text, options, why)) {
    checkOptions(options);
  } else if (why.empty()) {
    fail("a refused option without a reason");
  }

  kb::ManualClock clock;
  std::string error;
  const auto backend = kb::app::makeBackend(text, clock, error);
  if (!backend) {
    if (error.empty() || !printableLine(error)) fail("device error is not one printable line");
    return;
  }
  if (!error.empty()) fail("a backend and an error");
  // A simulated stack built from the options answers its identity and a read.
  if (auto* stack = dynamic_cast<kb::sim::SimStack*>(backend.get())) {
    stack->setWallWait([](kb::sim::SimMicros) {});  // "realtime" counted, not slept
    kb::link::ControllerLink link(*stack);
    link.QueryControllerId();
    link.SendAndReceive("MSXxT80T49T02TCERRRRRRRX", 22);
    clock.advance(3.0);
    link.SendAndReceive("MSxT81T40T0ETEARRRRRRX", 20);
  }
}

void commandLine(const std::string& text) {
  std::vector<std::string> args;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\0', start);
    args.push_back(text.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  const kb::app::ParseResult r = kb::app::parseCommandLine(args);
  if (!r.error.empty() && !printableLine(r.error)) fail("command-line error is not printable");
  if (r.error.empty() && r.options.headless && r.options.scriptFile.empty() && !r.options.help &&
      !r.options.version) {
    fail("--headless accepted without a script");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  device(input.substr(0, split));
  if (split != std::string::npos) commandLine(input.substr(split + 1));
  return 0;
}
