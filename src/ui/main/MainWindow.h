#pragma once
// The main window: owns the context (forms, controls, services, state) and wires the event
// procedures of its controls to the subsystems. The Qt layer and the headless runner both drive
// this class.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "context/Context.h"

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

  // Faults of procedures in either window go here (see form::Form's fault policy).
  void setFaultReporter(const form::Form::FaultReporter& reporter);

  // Start-up. Returns false when the program ends (controller not detected, or a fault).
  bool load();
  // The operator closed the main window: its unload takes the status window with it and ends the
  // program.
  void unload();
  // The operator closed the status window: it is unloaded until it is used again.
  void closeStatusWindow();
  // One tick of Timer1 (when it is enabled).
  void tick() { ctx_.main->tick(*ctx_.c.Timer1); }
  // A tick that comes while a message box of the program is open: the watchdog keep-alive alone
  // (continuous::Timer1_KeepAliveOnly).
  void keepAliveTick();
  bool ended() const { return ctx_.programEnded; }

  // A state variable by its name, for the runner's print ("CurrentBoard", "BoardAddress" 3);
  // index -1: none. On a refusal, error says why.
  bool hasStateVariable(std::string_view name) const { return ctx_.variables.has(name); }
  std::optional<std::string> stateVariable(std::string_view name, int index,
                                           std::string* error = nullptr) const {
    return ctx_.variables.get(name, index, error);
  }
  std::optional<std::string> stateVariable(std::string_view name, const std::vector<int>& indexes,
                                           std::string* error = nullptr) const {
    return ctx_.variables.get(name, indexes, error);
  }
  // How many indexes a state variable takes (0..2); -1: no such variable.
  int stateVariableIndexes(std::string_view name) const { return ctx_.variables.indexCount(name); }

 private:
  Context ctx_;
};

}  // namespace kb::ui
