#include "history/Wiring.h"

#include "context/Context.h"

namespace kb::history {

void wire(ui::Context& ctx) {
  History* history = &ctx.history;
  ctx.readings.subscribe([history](const readings::Reading& r) { history->add(r); });
  // Boards and cells counted from 1, as the operator counts them.
  ctx.variables.addGrid("TrendPoints", {1, kMaxBoards}, {1, kCells}, [history](int b, int c) {
    return ui::StateVariables::number(static_cast<long>(history->cells(b - 1).count(c - 1)));
  });
  ui::Context* c = &ctx;
  ctx.main->onMenu("mnuTrends", [c] { mnuTrends_Click(*c); });
}

void mnuTrends_Click(ui::Context& ctx) {
  ctx.trendWindow.open = true;
}

}  // namespace kb::history
