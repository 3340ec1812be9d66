#include "startup/Startup.h"
#include "ui/main/Context.h"

namespace kb::startup {

using form::Event;
using ui::StateVariables;

void wire(ui::Context& ctx) {
  form::Form& f = ctx.form();
  ui::Context* c = &ctx;
  f.on(Event::Click, "Command1", [c](int i) { Command1_Click(*c, i); });
  f.on(Event::Click, "Check_AUTO", [c](int) { Check_AUTO_Click(*c); });
  f.on(Event::Click, "TabStrip1", [c](int) { TabStrip1_Click(*c); });
  f.onMenu("mnuExit", [c] { c->programEnded = true; });

  StateVariables& v = ctx.variables;
  const auto boardSlot = [](int i) { return i >= 0 && i < kBoardSlots; };
  v.add("CurrentBoard", [c](int) { return StateVariables::number(c->boards.CurrentBoard); });
  v.add("LastBoardIndex", [c](int) { return StateVariables::number(c->boards.LastBoardIndex); });
  v.add("BoardAddress", [c, boardSlot](int i) -> std::optional<std::string> {
    if (!boardSlot(i)) return std::nullopt;
    return c->boards.BoardAddress[static_cast<std::size_t>(i)];
  });
  v.add("GlobalConfigMode",
        [c](int) { return StateVariables::number(c->boards.GlobalConfigMode); });
  v.add("CopyConfigToAll", [c](int) { return StateVariables::number(c->boards.CopyConfigToAll); });
  v.add("ContinuousReadOn", [c](int) { return StateVariables::number(c->cycle.ContinuousReadOn); });
  v.add("CycleBoard", [c](int) { return StateVariables::number(c->cycle.CycleBoard); });
  v.add("CycleStep", [c](int) { return StateVariables::number(c->cycle.CycleStep); });
  v.add("LowCurrentStandby",
        [c](int) { return StateVariables::number(c->startup.LowCurrentStandby); });
  v.add("SelfTestVariant",
        [c](int) { return std::optional<std::string>(c->startup.SelfTestVariant); });
  v.add("BalancerPolling", [c](int) { return StateVariables::truth(c->balancer.BalancerPolling); });
  v.add("ControllerDetected",
        [c](int) { return StateVariables::truth(c->startup.controllerDetected); });
  v.add("ChipSelectLeftLow",
        [c](int) { return StateVariables::truth(c->startup.chipSelectLeftLow); });
}

}  // namespace kb::startup
