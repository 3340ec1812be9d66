#pragma once
// The cell and board views.
namespace kb::ui {
struct Context;
}

namespace kb::views {

// Registers the grid's place in the readings stream and the state variables of the views.
void wire(ui::Context& ctx);

}  // namespace kb::views
