#pragma once
// The main window over the simulated stack, with every string sent recorded and message boxes
// collected, for scenario tests of the board set and the configuration editor.
#include <memory>
#include <string>
#include <vector>

#include "common/Clock.h"
#include "context/Context.h"
#include "link/ControllerLink.h"
#include "sim/SimOptions.h"
#include "sim/SimStack.h"
#include "ui/main/MainWindow.h"

namespace kb::test {

// Passes every call to the simulated stack and keeps the strings written.
class RecordingDriver final : public link::FtDriver {
 public:
  explicit RecordingDriver(link::FtDriver& inner) : inner_(inner) {}
  std::vector<std::string> writes;

  link::FtStatus FT_OpenEx(const char* d, std::uint32_t f, link::FtHandle* h) override {
    return inner_.FT_OpenEx(d, f, h);
  }
  link::FtStatus FT_SetTimeouts(link::FtHandle h, std::uint32_t r, std::uint32_t w) override {
    return inner_.FT_SetTimeouts(h, r, w);
  }
  link::FtStatus FT_Write(link::FtHandle h, const void* b, std::uint32_t n,
                          std::uint32_t* written) override {
    writes.emplace_back(static_cast<const char*>(b), n);
    return inner_.FT_Write(h, b, n, written);
  }
  link::FtStatus FT_Read(link::FtHandle h, void* b, std::uint32_t n,
                         std::uint32_t* returned) override {
    return inner_.FT_Read(h, b, n, returned);
  }
  link::FtStatus FT_Close(link::FtHandle h) override { return inner_.FT_Close(h); }
  link::FtStatus FT_SetLatencyTimer(link::FtHandle h, std::uint8_t ms) override {
    return inner_.FT_SetLatencyTimer(h, ms);
  }
  link::FtStatus FT_Purge(link::FtHandle h, std::uint32_t mask) override {
    return inner_.FT_Purge(h, mask);
  }
  std::int64_t linkMicros() override { return inner_.linkMicros(); }
  void waitUntilMicros(std::int64_t t) override { inner_.waitUntilMicros(t); }

 private:
  link::FtDriver& inner_;
};

struct CollectingDialogs final : form::Dialogs {
  std::vector<std::string> shown;
  void msgBox(const std::string& text, const std::string&) override { shown.push_back(text); }
};

inline sim::SimOptions simOptions(const std::string& text) {
  sim::SimOptions o;
  std::string error;
  if (!sim::parseSimOptions(text, o, error)) throw std::invalid_argument(error);
  return o;
}

struct MainWindowRig {
  explicit MainWindowRig(const std::string& options = "") : MainWindowRig(simOptions(options)) {}
  explicit MainWindowRig(sim::SimOptions options)
      : stack(std::move(options), clock), driver(stack), link(driver) {
    window = std::make_unique<ui::MainWindow>(ui::Services{link, clock, dialogs, nullptr});
    loaded = window->load();
    driver.writes.clear();
  }

  ui::Context& ctx() { return window->context(); }
  ui::MainControls& c() { return window->context().c; }
  form::Form& form() { return window->form(); }
  // Operator actions.
  void click(form::Control& control) { form().operatorClick(control); }
  void select(form::Control& combo, int position) { form().operatorSelect(combo, position); }
  void type(form::Control& box, const std::string& text) { form().operatorType(box, text); }
  void key(form::Control& box, int code) { form().operatorKey(box, code); }
  // Strings sent since the last call.
  std::vector<std::string> sent() {
    std::vector<std::string> out;
    out.swap(driver.writes);
    return out;
  }

  ManualClock clock;  // first: the stack reads it when built
  sim::SimStack stack;
  RecordingDriver driver;
  link::ControllerLink link;
  CollectingDialogs dialogs;
  std::unique_ptr<ui::MainWindow> window;
  bool loaded = false;
};

// Read frames of RDCFG for an address.
inline std::string rdcfg(const std::string& address) {
  static const std::vector<std::pair<std::string, std::string>> kPec{
      {"80", "49"}, {"81", "4E"}, {"8A", "7F"}};
  for (const auto& [a, pec] : kPec) {
    if (a == address) return "MSXxT" + a + "T" + pec + "T02TCERRRRRRRX";
  }
  throw std::invalid_argument("no PEC for address " + address);
}

}  // namespace kb::test
