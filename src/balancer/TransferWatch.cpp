#include "balancer/TransferWatch.h"

#include <string>

#include "context/Context.h"

namespace kb::balancer {

namespace {

bool balancerWorking(const ui::Context& ctx) {
  return ctx.balancer.BalancerBusy || ctx.balancer.BalancerPolling;
}

std::string boardName(int board) {
  return "BOARD " + std::to_string(board + 1) + ": ";
}

void showWarning(ui::Context& ctx, const std::string& text) {
  auto& b = ctx.balancer;
  b.transferWarning = text;
  form::Control& line = *ctx.c.Label_BalancerLink;
  line.setCaption(text);
  line.visible = !text.empty();
}

std::string linkReason(const link::LinkEvent& e) {
  switch (e.outcome) {
    case link::Outcome::OpenFailed:
      return "the controller does not open";
    case link::Outcome::WriteFailed:
      return "the write to the controller failed" + (e.message.empty() ? "" : ": " + e.message);
    case link::Outcome::ReadFailed:
      return "the read from the controller failed" + (e.message.empty() ? "" : ": " + e.message);
    default:
      return "no reply from the controller";
  }
}

// A chip's four characters of the reply: blank (nothing came) or all ones (nobody drove the line).
bool silent(std::string_view reply, std::size_t at) {
  const std::string_view word = reply.substr(std::min(at, reply.size()), 4);
  return word.size() < 4 || word == "    " || word == "FFFF";
}

}  // namespace

void watchTransfers(ui::Context& ctx) {
  ctx.link().addWatcher([&ctx](const link::LinkEvent& e) {
    auto& b = ctx.balancer;
    if (!balancerWorking(ctx)) return;
    const int board = ctx.boards.CurrentBoard;
    if (!e.answered()) {
      ++b.failedTransfers[static_cast<std::size_t>(board)];
      b.transferFailureIsOpen = e.outcome == link::Outcome::OpenFailed;
      b.transferWarningIsLink = true;
      showWarning(ctx, boardName(board) + "balancer transfers fail - " + linkReason(e));
      return;
    }
    // A write alone shows only that the controller opens again.
    if (b.transferWarningIsLink && (e.requested > 0 || b.transferFailureIsOpen)) {
      b.transferWarningIsLink = false;
      showWarning(ctx, {});
    }
  });
}

void noteChipReplies(ui::Context& ctx, int board, std::string_view reply, bool hasTop) {
  auto& b = ctx.balancer;
  if (!ctx.link().lastEvent().answered()) return;  // the link's warning says it
  const bool bottomSilent = silent(reply, 0);
  const bool topSilent = hasTop && silent(reply, 4);
  if (!bottomSilent && !topSilent) {
    if (!b.transferWarningIsLink) showWarning(ctx, {});
    return;
  }
  ++b.failedTransfers[static_cast<std::size_t>(board)];
  b.transferWarningIsLink = false;
  const char* which = bottomSilent && topSilent ? "neither balancer chip answers"
                      : bottomSilent            ? "the bottom balancer chip does not answer"
                                                : "the top balancer chip does not answer";
  showWarning(ctx, boardName(board) + which);
}

}  // namespace kb::balancer
