#pragma once
// The main window: owns the context (forms, services, state) and wires the event procedures of
// its controls to the subsystems. The Qt layer and the headless runner both drive this class.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "ui/main/Context.h"

namespace kb::ui {

class MainWindow {
 public:
  explicit MainWindow(Services services);

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
  std::optional<std::string> stateVariable(std::string_view name, int index) const;

 private:
  void wire();
  // State variables the runner can print, by name; each subsystem adds its own.
  void registerVariables();

  Context ctx_;
  std::map<std::string, std::function<std::optional<std::string>(int)>, std::less<>> variables_;
};

}  // namespace kb::ui
