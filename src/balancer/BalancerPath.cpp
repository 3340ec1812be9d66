#include "balancer/BalancerPath.h"

#include "context/Context.h"
#include "startup/Startup.h"

namespace kb::balancer {

// The scope choice, GPIO1 through Check0(5) and WRITE CONFIG join these two when the
// configuration editor lands (see HACKING.md, calls still to wire).

void openBalancerPath(ui::Context& ctx, bool global) {
  ctx.balancer.pathOpen = true;
  ctx.balancer.pathGlobal = global;
}

void closeBalancerPath(ui::Context& ctx) {
  startup::Command1_Click(ctx, 6);
  ctx.balancer.pathOpen = false;
}

}  // namespace kb::balancer
