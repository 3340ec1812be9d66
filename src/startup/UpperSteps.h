#pragma once
// The steps that start-up, the dispatcher and the board set leave to the folders above startup/:
// the continuous cycle and the balancer register them in their wire(), and the sequences here run
// them where the sequences give them, without naming those folders. A step nobody registered does
// nothing.
namespace kb::ui {
struct Context;
}

namespace kb::startup {

struct UpperSteps {
  using Step = void (*)(ui::Context&);
  // The continuous cycle.
  Step toggleContinuousRead = nullptr;  // the continuous-read button
  Step stopContinuousRead = nullptr;    // a poll, the low-current standby, an EXECUTE, "Poll"
  Step watchdogArmCheck = nullptr;      // after WRITE CONFIG while the cycle is off
  // The balancer and its status window.
  Step balancerLoad = nullptr;       // start-up: command data, balance times, status window
  Step balancerUnload = nullptr;     // the main window closes: the status window with it
  Step boardCountChosen = nullptr;   // a new count: "Broadcast Execute/Suspend" follows it
  Step boardCountChanged = nullptr;  // after the count's reads: the chain and status window
  Step boardShown = nullptr;         // last step of a board selection: the balancer panel
};

inline void run(UpperSteps::Step step, ui::Context& ctx) {
  if (step != nullptr) step(ctx);
}

}  // namespace kb::startup
