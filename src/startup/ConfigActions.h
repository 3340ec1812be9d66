#pragma once
// The dispatcher's configuration actions: WRITE CONFIG and LOW CURRENT STBY.
namespace kb::ui {
struct Context;
}

namespace kb::startup {

// Button index 5: the edited configuration goes out (WRCFG) and READ CONFIG is reminded.
void writeConfig(ui::Context& ctx);
// Button index 14: every board back to its default configuration, written by broadcast and read
// back, then the controller's SPI lines forced high ("MI").
void lowCurrentStandby(ui::Context& ctx);

}  // namespace kb::startup
