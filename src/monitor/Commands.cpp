#include "monitor/Commands.h"

#include "common/HexText.h"
#include "monitor/Pec.h"

namespace kb::monitor {

namespace {
// Address byte and its PEC, then the command byte and its PEC, each after a token.
std::string header(std::string_view first, std::string_view address, bool broadcast,
                   std::string_view code, char token) {
  const PecTable& pec = pecTable();
  std::string s(first);
  if (!broadcast) {
    s += address;
    s += token;
    s += pec.CalcPec(address);
    s += token;
  }
  s += code;
  s += token;
  s += pec.CalcPec(code);
  return s;
}
}  // namespace

std::string writeFrame(std::string_view address, bool broadcast, std::string_view code,
                       std::span<const std::uint8_t> data) {
  std::string s = header("MSXxT", address, broadcast, code, 'S');
  for (const std::uint8_t b : data) s += "S" + hexByte(b);
  s += "S" + hexByte(pecTable().CalcDataPec(data));
  s += "X";
  return s;
}

std::string readFrame(std::string_view prefix, std::string_view address, std::string_view code,
                      int dataBytes) {
  std::string s = header(prefix, address, false, code, 'T');
  s.append(static_cast<std::size_t>(dataBytes + 1), 'R');
  s += "X";
  return s;
}

std::string startFrame(std::string_view address, bool broadcast, std::string_view code) {
  return pollFrame(address, broadcast, code) + "X";
}

std::string pollFrame(std::string_view address, bool broadcast, std::string_view code) {
  return header("MSxS", address, broadcast, code, 'S');
}

std::string broadcastPladcFrame() {
  return "MSxS40S07X";
}

}  // namespace kb::monitor
