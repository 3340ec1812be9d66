#pragma once
// The main window: owns the context (forms, services, state) and wires the event procedures of
// its controls to the subsystems. The Qt layer and the headless runner both drive this class.
#include <optional>
#include <string>
#include <string_view>

#include "ui/main/Context.h"

namespace kb::ui {

class MainWindow {
 public:
  explicit MainWindow(Services services);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  Context& context() { return ctx_; }
  const Context& context() const { return ctx_; }
  form::Form& form() { return *ctx_.main; }
  form::Form& statusForm() { return *ctx_.status; }

  // Start-up. Returns false when the program ends (controller not detected).
  bool load();
  // One tick of Timer1 (when it is enabled).
  void tick() { ctx_.main->tick("Timer1"); }
  bool ended() const { return ctx_.programEnded; }

  // A state variable by its name, for the runner's print ("CurrentBoard", "BoardAddress" 3).
  std::optional<std::string> stateVariable(std::string_view name, int index) const {
    return ctx_.variables.get(name, index);
  }

 private:
  Context ctx_;
};

}  // namespace kb::ui
