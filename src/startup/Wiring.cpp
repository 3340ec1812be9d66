#include "context/Context.h"
#include "startup/BoardControls.h"
#include "startup/ButtonCommands.h"
#include "startup/MeasureButtons.h"
#include "startup/Startup.h"

namespace kb::startup {

using form::Event;
using ui::StateVariables;

void wire(ui::Context& ctx) {
  form::Form& f = ctx.form();
  ui::Context* c = &ctx;
  f.on(Event::Click, ctx.c.Command1, [c](int i) { Command1_Click(*c, i); });
  f.on(Event::Click, ctx.c.Command3, [c](int i) { Command3_Click(*c, i); });
  f.on(Event::GotFocus, ctx.c.Check0, [c](int i) { Check0_GotFocus(*c, i); });
  f.on(Event::Click, ctx.c.TabStrip1, [c](int) { TabStrip1_Click(*c); });
  wireBoardSet(ctx);

  StateVariables& v = ctx.variables;
  v.add("CurrentBoard", [c] { return StateVariables::number(c->boards.CurrentBoard); });
  v.add("LastBoardIndex", [c] { return StateVariables::number(c->boards.LastBoardIndex); });
  v.addTable("BoardAddress", kBoardSlots,
             [c](int i) { return c->boards.BoardAddress[static_cast<std::size_t>(i)]; });
  v.add("GlobalConfigMode", [c] { return StateVariables::number(c->boards.GlobalConfigMode); });
  v.add("CopyConfigToAll", [c] { return StateVariables::number(c->boards.CopyConfigToAll); });
  v.add("ContinuousReadOn", [c] { return StateVariables::number(c->cycle.ContinuousReadOn); });
  v.add("CycleBoard", [c] { return StateVariables::number(c->cycle.CycleBoard); });
  v.add("CycleStep", [c] { return StateVariables::number(c->cycle.CycleStep); });
  v.add("LowCurrentStandby", [c] { return StateVariables::number(c->startup.LowCurrentStandby); });
  v.add("SelfTestVariant", [c] { return c->startup.SelfTestVariant; });
  v.add("BalancerPolling", [c] { return StateVariables::truth(c->balancer.BalancerPolling); });
  v.add("ControllerDetected", [c] { return StateVariables::truth(c->startup.controllerDetected); });
  v.add("ChipSelectLeftLow", [c] { return StateVariables::truth(c->startup.chipSelectLeftLow); });
}

}  // namespace kb::startup
