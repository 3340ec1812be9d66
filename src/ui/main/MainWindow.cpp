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
  registerVariables();
}

void MainWindow::wire() {
  form::Form& f = *ctx_.main;
  f.on(Event::Click, "Command1", [this](int i) { startup::Command1_Click(ctx_, i); });
  f.on(Event::Click, "Check_AUTO", [this](int) { startup::Check_AUTO_Click(ctx_); });
  f.on(Event::Click, "TabStrip1", [this](int) { startup::TabStrip1_Click(ctx_); });
  f.onMenu("mnuExit", [this] { ctx_.programEnded = true; });
}

bool MainWindow::load() {
  return startup::Form_Load(ctx_);
}

std::optional<std::string> MainWindow::stateVariable(std::string_view name, int index) const {
  const auto it = variables_.find(name);
  if (it == variables_.end()) return std::nullopt;
  return it->second(index);
}

void MainWindow::registerVariables() {
  const auto boardSlot = [](int i) { return i >= 0 && i < startup::kBoardSlots; };
  const auto number = [](int v) { return std::optional<std::string>(std::to_string(v)); };
  const auto truth = [](bool v) { return std::optional<std::string>(v ? "True" : "False"); };
  auto& v = variables_;
  const Context& c = ctx_;
  v["CurrentBoard"] = [&c, number](int) { return number(c.boards.CurrentBoard); };
  v["LastBoardIndex"] = [&c, number](int) { return number(c.boards.LastBoardIndex); };
  v["BoardAddress"] = [&c, boardSlot](int i) -> std::optional<std::string> {
    if (!boardSlot(i)) return std::nullopt;
    return c.boards.BoardAddress[static_cast<std::size_t>(i)];
  };
  v["GlobalConfigMode"] = [&c, number](int) { return number(c.boards.GlobalConfigMode); };
  v["CopyConfigToAll"] = [&c, number](int) { return number(c.boards.CopyConfigToAll); };
  v["ContinuousReadOn"] = [&c, number](int) { return number(c.cycle.ContinuousReadOn); };
  v["CycleBoard"] = [&c, number](int) { return number(c.cycle.CycleBoard); };
  v["CycleStep"] = [&c, number](int) { return number(c.cycle.CycleStep); };
  v["LowCurrentStandby"] = [&c, number](int) { return number(c.startup.LowCurrentStandby); };
  v["SelfTestVariant"] = [&c](int) {
    return std::optional<std::string>(c.startup.SelfTestVariant);
  };
  v["BalancerPolling"] = [&c, truth](int) { return truth(c.balancer.BalancerPolling); };
  v["ControllerDetected"] = [&c, truth](int) { return truth(c.startup.controllerDetected); };
  v["ChipSelectLeftLow"] = [&c, truth](int) { return truth(c.startup.chipSelectLeftLow); };
  v["PecState"] = [&c, boardSlot, number](int i) -> std::optional<std::string> {
    if (!boardSlot(i)) return std::nullopt;
    return number(c.reads.pecState[static_cast<std::size_t>(i)]);
  };
  v["PecError"] = [&c, boardSlot](int i) -> std::optional<std::string> {
    if (!boardSlot(i)) return std::nullopt;
    for (const auto& rec : c.reads.records[static_cast<std::size_t>(i)]) {
      if (!rec.errorText.empty()) return rec.errorText;
    }
    return std::string();
  };
}

}  // namespace kb::ui
