#pragma once
// Feeds link health from the link's transaction outcomes and the readings stream, and registers
// its state variables for the runner: "LinkHealth" (the status line) and "BoardHealth B" (board B,
// counted from 1). The alarms hear when the controller stops or starts answering.
#include <string>

namespace kb::ui {
struct Context;
}

namespace kb::health {

// controller: how the status line names the backend ("sim", "serial /dev/ttyUSB0", ...).
void wire(ui::Context& ctx, const std::string& controller);

// The backend's name on the status line, from the device string.
std::string controllerName(const std::string& device);

}  // namespace kb::health
