#include "balancer/Transfer.h"

namespace kb::balancer {

namespace {

std::size_t bottomChip(int board) {
  return static_cast<std::size_t>(2 * board);
}

bool hasTop(const BalancerState& b, int board) {
  return b.TopChipPresent.at(static_cast<std::size_t>(board));
}

std::string checkText(const std::string& hi, const std::string& lo) {
  return wordTextOk(hi, lo) ? "OK" : "ERROR";
}

void storeWords(const ReplyWords& words, std::size_t bottom, ChipTexts& hi, ChipTexts& lo) {
  if (words.bottom) {
    hi[bottom] = words.bottom->hi;
    lo[bottom] = words.bottom->lo;
  }
  if (words.top) {
    hi[bottom + 1] = words.top->hi;
    lo[bottom + 1] = words.top->lo;
  }
}

}  // namespace

TransferRequest transferRequest(const BalancerState& b, Mode mode, int board) {
  const std::size_t bottom = bottomChip(board);
  TransferRequest r;
  r.mode = mode;
  r.command = b.SPICommand;
  r.topChip = hasTop(b, board);
  r.bottom = {b.CommandDataHi[bottom], b.CommandDataLo[bottom]};
  r.top = {b.CommandDataHi[bottom + 1], b.CommandDataLo[bottom + 1]};
  return r;
}

TransferReply transact(link::ControllerLink& link, const TransferRequest& request) {
  switch (request.mode) {
    case Mode::Write: {
      std::string body;
      if (request.topChip) body += wordTokens(request.top.hi, request.top.lo);
      body += wordTokens(request.bottom.hi, request.bottom.lo);
      link.SendCommand(frame(request.command, body));
      return {};
    }
    case Mode::Execute:
    case Mode::Suspend:
      link.SendCommand(frame(request.command));
      return {};
    case Mode::ReadCommand:
    case Mode::ReadStatus: {
      // Four characters for each word clocked out: one or two chips.
      const int chips = request.topChip ? 2 : 1;
      TransferReply reply;
      reply.text = link.SendAndReceive(frame(request.command, readTokens(chips)),
                                       static_cast<std::uint16_t>(4 * chips));
      reply.words = parseReply(reply.text, request.topChip);
      return reply;
    }
  }
  return {};
}

void storeTransfer(BalancerState& b, Mode mode, int board, const ReplyWords& words) {
  const std::size_t bottom = bottomChip(board);
  const bool top = hasTop(b, board);
  switch (mode) {
    case Mode::Write:
      if (top) b.ReadbackCheck[bottom + 1] = "-";
      b.ReadbackCheck[bottom] = "-";
      b.CommandWritten = true;
      break;
    case Mode::Execute:
    case Mode::Suspend:
      if (top) b.StatusCheck[bottom + 1] = "-";
      b.StatusCheck[bottom] = "-";
      break;
    case Mode::ReadCommand:
      storeWords(words, bottom, b.ReadbackDataHi, b.ReadbackDataLo);
      checkWords(b, board, false);
      break;
    case Mode::ReadStatus:
      storeWords(words, bottom, b.StatusDataHi, b.StatusDataLo);
      checkWords(b, board, true);
      break;
  }
}

void checkWords(BalancerState& b, int board, bool status) {
  const std::size_t bottom = bottomChip(board);
  const ChipTexts& hi = status ? b.StatusDataHi : b.ReadbackDataHi;
  const ChipTexts& lo = status ? b.StatusDataLo : b.ReadbackDataLo;
  ChipTexts& result = status ? b.StatusCheck : b.ReadbackCheck;
  result[bottom] = checkText(hi[bottom], lo[bottom]);
  if (hasTop(b, board)) result[bottom + 1] = checkText(hi[bottom + 1], lo[bottom + 1]);
}

}  // namespace kb::balancer
