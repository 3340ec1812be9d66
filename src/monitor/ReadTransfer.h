#pragma once
// One read-back transaction: send a read frame, take the data bytes and the received PEC from
// their character positions, and calculate the PEC over the data.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/ControllerLink.h"

namespace kb::monitor {

struct ReadReply {
  std::string reply;               // the 512-character reply text
  std::vector<std::uint8_t> data;  // data bytes, filler parsed as 0
  std::string receivedPec;         // two hex digits
  std::string calculatedPec;       // two hex digits
  bool match() const { return receivedPec == calculatedPec; }
};

// Takes dataBytes data bytes and the PEC after them from a read reply.
ReadReply parseReadReply(std::string reply, int dataBytes);

ReadReply readTransfer(link::ControllerLink& link, std::string_view prefix,
                       std::string_view address, std::string_view code, int dataBytes);

}  // namespace kb::monitor
