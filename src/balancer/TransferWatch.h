#pragma once
// The balancer's warning line: while its transfers do not reach the chips (the controller does not
// open, a read brings nothing back, or a chip's word comes back blank or all ones, as from a chip
// that does not drive the line) the balancer tab names the board and the reason, and the board's
// count of failed transfers goes up, until they answer again. The transfers themselves go on as
// before: the statuses stay unacted on.
#include <string_view>

namespace kb::ui {
struct Context;
}

namespace kb::balancer {

// Watches the link's transactions while the balancer works (a SEND, polling, a timed run).
void watchTransfers(ui::Context& ctx);

// After a balancer read of board (0-based) whose reply is reply: notes the chips that did not
// answer, or that every chip read did.
void noteChipReplies(ui::Context& ctx, int board, std::string_view reply, bool hasTop);

}  // namespace kb::balancer
