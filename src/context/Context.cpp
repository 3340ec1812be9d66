#include "context/Context.h"

namespace kb::ui {

Context::Context(Services services_)
    : services(services_),
      main(std::make_unique<form::Form>("frmMain", kMainCaption)),
      status(std::make_unique<form::Form>("frmStatus", kStatusCaption)) {
  layoutMainWindow(*main, c);
  layoutStatusWindow(*status, this->s);
}

bool Context::pecMatchOnly() const {
  return c.Check_AUTO->value() == 1 && !startup.displayAllOverride;
}

readings::Reading Context::reading(readings::Kind kind, int board, std::string command) const {
  readings::Reading r;
  r.timeMicros = services.clock.elapsedMicros();
  r.kind = kind;
  r.board = board;
  r.command = std::move(command);
  if (balancer.BalancerBusy) {
    r.origin = readings::Origin::Balancer;
  } else if (cycle.ContinuousReadOn == 1) {
    r.origin = readings::Origin::Cycle;
  }
  return r;
}

}  // namespace kb::ui
