#include "views/Views.h"

#include "context/Context.h"
#include "views/CellGrid.h"

namespace kb::views {

void wire(ui::Context& ctx) {
  ui::Context* c = &ctx;
  ctx.readings.subscribe([c](const readings::Reading& r) { followReading(*c, r); });
  using ui::StateVariables;
  ctx.variables.addTable("CellStatus", kCellStatusSlots, [c](int i) {
    return StateVariables::number(c->views.CellStatus[static_cast<std::size_t>(i)]);
  });
  ctx.variables.addTable("CellDataValid", kBoardSlots, [c](int i) {
    return StateVariables::number(c->views.CellDataValid[static_cast<std::size_t>(i)]);
  });
  ctx.variables.addTable("FlagDataValid", kBoardSlots, [c](int i) {
    return StateVariables::number(c->views.FlagDataValid[static_cast<std::size_t>(i)]);
  });
}

}  // namespace kb::views
