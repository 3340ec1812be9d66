#pragma once
// The balancer SPI path of the boards: the chips hear the bus only while their board monitor's
// GPIO1 output is driven low. Every SEND (and the keep-alive) opens it before its transfer and
// closes it after.
namespace kb::ui {
struct Context;
}

namespace kb::balancer {

// Opening: the scope is every board when global, else the current board; GPIO1 is driven low
// through WRITE CONFIG.
void openBalancerPath(ui::Context& ctx, bool global);
// Closing: GPIO1 high through WRITE CONFIG, then READ CONFIG; the scope and, with reselectBoard,
// the board shown before the transfer are selected again.
void closeBalancerPath(ui::Context& ctx, bool reselectBoard = true);

}  // namespace kb::balancer
