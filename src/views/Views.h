#pragma once
// The cell and board views.
namespace kb::ui {
struct Context;
}

namespace kb::views {

// Registers the state variables of the views.
void wire(ui::Context& ctx);

}  // namespace kb::views
