#include "health/LinkHealth.h"

#include <cstdio>

namespace kb::health {

const char* readKindName(ReadKind kind) {
  switch (kind) {
    case ReadKind::Cells:
      return "cells";
    case ReadKind::Temperatures:
      return "temperatures";
    case ReadKind::Flags:
      return "flags";
    case ReadKind::Config:
      return "configuration";
    case ReadKind::BalancerWords:
      return "balancer words";
    case ReadKind::BalancerStatus:
      return "balancer status";
  }
  return "?";
}

std::string timeOfDay(const DateTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
  return text;
}

void LinkHealth::onTransaction(const link::LinkEvent& event, std::int64_t micros,
                               const DateTime& at) {
  ++transactions_;
  switch (event.outcome) {
    case link::Outcome::OpenFailed:
      ++failedOpens_;
      break;
    case link::Outcome::WriteFailed:
    case link::Outcome::ReadFailed:
      ++failedCalls_;
      break;
    case link::Outcome::ShortRead:
      ++shortReads_;
      break;
    case link::Outcome::Ok:
      break;
  }
  if (event.answered()) {
    // A write alone proves only that the controller opened again; a silent controller stays
    // silent until a read brings something back.
    if (event.requested > 0 || failedToOpen_) setAnswering(true, micros, at);
    return;
  }
  lastFailure_ = std::string(link::outcomeName(event.outcome));
  if (event.outcome == link::Outcome::ShortRead) {
    lastFailure_ = "no reply";
  } else if (!event.message.empty()) {
    lastFailure_ += ": " + event.message;
  }
  failedToOpen_ = event.outcome == link::Outcome::OpenFailed;
  setAnswering(false, micros, at);
}

void LinkHealth::onRead(int board, ReadKind kind, bool good, std::int64_t micros,
                        const DateTime& at) {
  if (board < 0 || board >= kBoardSlots) return;
  BoardHealth& h = boards_[static_cast<std::size_t>(board)];
  if (!good) {
    (kind == ReadKind::BalancerWords || kind == ReadKind::BalancerStatus ? h.balancerErrors
                                                                         : h.pecMismatches)++;
    return;
  }
  const auto k = static_cast<std::size_t>(kind);
  h.lastGoodMicros[k] = micros;
  h.lastGood[k] = at;
}

void LinkHealth::setAnswering(bool answering, std::int64_t micros, const DateTime& at) {
  if (answering == answering_) return;
  answering_ = answering;
  sinceMicros_ = answering ? -1 : micros;
  since_ = at;
  if (answering) failedToOpen_ = false;
  for (const AnsweringChanged& fn : answeringChanged_) fn(answering, micros);
}

std::string LinkHealth::statusText() const {
  std::string text = answering_ ? "connected" : "not answering since " + timeOfDay(since_);
  if (!answering_ && !lastFailure_.empty()) text += " (" + lastFailure_ + ")";
  text += " - " + std::to_string(transactions_) + " transactions, " + std::to_string(failedOpens_) +
          " failed opens, " + std::to_string(shortReads_) + " short reads";
  if (failedCalls_ > 0) text += ", " + std::to_string(failedCalls_) + " failed calls";
  return text;
}

std::string LinkHealth::statusLine() const {
  return "Controller: " + controller_ + " - " + statusText();
}

std::string LinkHealth::boardText(int b, int balancerTransfersFailed) const {
  const BoardHealth& h = board(b);
  std::string text = "board " + std::to_string(b + 1) + ": " + std::to_string(h.pecMismatches) +
                     " PEC mismatches, " + std::to_string(h.balancerErrors) +
                     " balancer words in error, " + std::to_string(balancerTransfersFailed) +
                     " balancer transfers failed; last good";
  for (int k = 0; k < kReadKinds; ++k) {
    const auto i = static_cast<std::size_t>(k);
    text += std::string(k == 0 ? " " : ", ") + readKindName(static_cast<ReadKind>(k)) + " " +
            (h.lastGoodMicros[i] < 0 ? "-" : timeOfDay(h.lastGood[i]));
  }
  return text;
}

}  // namespace kb::health
