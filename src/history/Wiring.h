#pragma once
// The history's place in the main window: it subscribes to the readings, answers the runner's
// "print TrendPoints B C" and opens the trend window from "View > Trends".
namespace kb::ui {
struct Context;
}

namespace kb::history {

void wire(ui::Context& ctx);
void mnuTrends_Click(ui::Context& ctx);

}  // namespace kb::history
