#pragma once
// One balancer transfer of a board's chips, in the parts that SEND (SpiControl.cpp) puts
// together: the transaction over the controller link alone (the request goes out, a read's words
// come back), and the update of the tables from it. The panel's refresh and the balancer path
// around it are SEND's.
#include <string>

#include "balancer/BalancerState.h"
#include "balancer/CommandWord.h"
#include "link/ControllerLink.h"

namespace kb::balancer {

struct TransferRequest {
  Mode mode = Mode::Write;
  std::string command;  // the command byte, two hex digits
  bool topChip = true;  // the board carries its top chip
  ReplyWord top;        // the words a WRITE sends: the top chip's goes out first
  ReplyWord bottom;
};

// The request of board's chips in a mode, with the command byte and the words of the tables.
TransferRequest transferRequest(const BalancerState& b, Mode mode, int board);

struct TransferReply {
  std::string text;  // a read's reply as the link returned it; empty for the other modes
  ReplyWords words;  // the words taken from it (parseReply)
};

// The transfer over the link: a WRITE sends the words, EXECUTE and SUSPEND the command byte alone,
// a read asks four characters for every chip it clocks out and returns its reply with the words
// taken from it.
TransferReply transact(link::ControllerLink& link, const TransferRequest& request);

// The tables after a transfer of board's chips: a WRITE makes their read-backs unknown ("-") and
// notes the write; EXECUTE and SUSPEND make their statuses unknown; a read stores the words it took
// (a chip whose word was not taken keeps the one it had) and checks both chips' words again.
void storeTransfer(BalancerState& b, Mode mode, int board, const ReplyWords& words);

// "OK" or "ERROR" for the read-back (status: the status) words of board's chips.
void checkWords(BalancerState& b, int board, bool status);

}  // namespace kb::balancer
