#include "ui/main/MainWindow.h"

#include "startup/Startup.h"
#include "ui/main/MainLayout.h"

namespace kb::ui {

using form::Event;

bool Context::pecMatchOnly() const {
  return main->get("Check_AUTO").value == 1 && !startup.displayAllOverride;
}

MainWindow::MainWindow(Services services) : ctx_(services, makeMainForm(), makeStatusForm()) {
  wire();
}

void MainWindow::wire() {
  form::Form& f = *ctx_.main;
  f.on(Event::Click, "Command1", [this](int i) { startup::Command1_Click(ctx_, i); });
  f.on(Event::Click, "Check_AUTO", [this](int) { startup::Check_AUTO_Click(ctx_); });
  f.on(Event::Click, "TabStrip1", [this](int) { startup::TabStrip1_Click(ctx_); });
  f.onMenu("mnuExit", [this] { ctx_.programEnded = true; });
}

bool MainWindow::load() { return startup::Form_Load(ctx_); }

std::optional<std::string> MainWindow::stateVariable(std::string_view name, int index) const {
  const auto& b = ctx_.boards;
  const auto inBoards = [&](int i) { return i >= 0 && i < startup::kBoardSlots; };
  if (name == "CurrentBoard") return std::to_string(b.CurrentBoard);
  if (name == "LastBoardIndex") return std::to_string(b.LastBoardIndex);
  if (name == "BoardAddress" && inBoards(index)) return b.BoardAddress[static_cast<std::size_t>(index)];
  if (name == "ContinuousReadOn") return std::to_string(ctx_.cycle.ContinuousReadOn);
  if (name == "CycleBoard") return std::to_string(ctx_.cycle.CycleBoard);
  if (name == "LowCurrentStandby") return std::to_string(ctx_.startup.LowCurrentStandby);
  if (name == "SelfTestVariant") return ctx_.startup.SelfTestVariant;
  if (name == "BalancerPolling") return ctx_.balancer.BalancerPolling ? "True" : "False";
  if (name == "PecState" && inBoards(index)) {
    return std::to_string(ctx_.reads.pecState[static_cast<std::size_t>(index)]);
  }
  if (name == "PecError" && inBoards(index)) {
    return ctx_.reads.records[static_cast<std::size_t>(index)][0].errorText;
  }
  if (name == "ControllerDetected") return ctx_.startup.controllerDetected ? "True" : "False";
  return std::nullopt;
}

}  // namespace kb::ui
