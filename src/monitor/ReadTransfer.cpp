#include "monitor/ReadTransfer.h"

#include "common/HexText.h"
#include "monitor/Commands.h"
#include "monitor/Pec.h"

namespace kb::monitor {

ReadReply parseReadReply(std::string reply, int dataBytes) {
  ReadReply r;
  r.data.reserve(static_cast<std::size_t>(dataBytes));
  for (int k = 0; k < dataBytes; ++k) {
    r.data.push_back(static_cast<std::uint8_t>(hexValue(mid(reply, dataBytePosition(k), 2))));
  }
  r.receivedPec = hexByte(static_cast<int>(hexValue(mid(reply, dataBytePosition(dataBytes), 2))));
  r.calculatedPec = hexByte(pecTable().CalcDataPec(r.data));
  r.reply = std::move(reply);
  return r;
}

ReadReply readTransfer(link::ControllerLink& link, std::string_view prefix,
                       std::string_view address, std::string_view code, int dataBytes) {
  const std::string frame = readFrame(prefix, address, code, dataBytes);
  std::string reply =
      link.SendAndReceive(frame, static_cast<std::uint16_t>(readReplyLength(dataBytes)));
  return parseReadReply(std::move(reply), dataBytes);
}

}  // namespace kb::monitor
