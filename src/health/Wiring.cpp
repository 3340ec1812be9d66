#include "health/Wiring.h"

#include <optional>

#include "context/Context.h"
#include "link/SerialDriver.h"

namespace kb::health {

namespace {

std::optional<ReadKind> readKind(readings::Kind kind) {
  switch (kind) {
    case readings::Kind::Cells:
      return ReadKind::Cells;
    case readings::Kind::Temperatures:
      return ReadKind::Temperatures;
    case readings::Kind::Flags:
      return ReadKind::Flags;
    case readings::Kind::ConfigRead:
      return ReadKind::Config;
    case readings::Kind::BalancerWords:
      return ReadKind::BalancerWords;
    case readings::Kind::BalancerStatus:
      return ReadKind::BalancerStatus;
    default:
      return std::nullopt;  // writes and balance-run events carry no answer
  }
}

}  // namespace

std::string controllerName(const std::string& device) {
  if (device == "sim" || device.rfind("sim:", 0) == 0) return "simulated stack";
  if (device.rfind("serial:", 0) == 0) {
    link::SerialOptions options;
    std::string error;
    if (link::parseSerialOptions(device.substr(7), options, error) && !options.port.empty()) {
      return "serial " + options.port;
    }
  }
  return device;
}

void wire(ui::Context& ctx, const std::string& controller) {
  LinkHealth& health = ctx.linkHealth;
  health.setController(controller);
  const Clock& clock = ctx.services.clock;
  ctx.link().addWatcher([&health, &clock](const link::LinkEvent& event) {
    health.onTransaction(event, clock.elapsedMicros(), clock.dateTime());
  });
  const link::ControllerLink& link = ctx.link();
  ctx.readings.subscribe([&health, &clock, &link](const readings::Reading& r) {
    const std::optional<ReadKind> kind = readKind(r.kind);
    if (!kind || r.board < 0 || r.check == readings::Check::None) return;
    // A read whose transaction brought nothing back is counted as that (a failed open, no
    // reply), neither as a good read nor as a mismatch of the board: its blank words may even
    // pass their check.
    if (!link.lastEvent().answered()) return;
    health.onRead(r.board, *kind, r.check == readings::Check::Match, r.timeMicros,
                  clock.dateTime());
  });
  alarms::Engine& alarms = ctx.alarmEngine;
  health.onAnsweringChanged([&alarms](bool answering, std::int64_t micros) {
    alarms.setControllerAnswering(answering, micros);
  });
  ui::StateVariables& v = ctx.variables;
  v.add("LinkHealth", [&health] { return health.statusLine(); });
  const balancer::BalancerState& b = ctx.balancer;
  v.addTable("BoardHealth", kMaxBoards + 1, [&health, &b](int board) {
    if (board < 1) return std::string("boards are counted from 1");
    return health.boardText(board - 1, b.failedTransfers[static_cast<std::size_t>(board - 1)]);
  });
}

}  // namespace kb::health
