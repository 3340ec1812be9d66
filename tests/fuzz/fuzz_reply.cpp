// Reply decoding and PEC judging: whatever a controller answers, the read-back takes its fields by
// position, judges the PEC and records the result without reading out of bounds. The same reply
// also comes through the serial backend in pieces, late or cut off by a hang-up: its read ends by
// its time-out. Input: choices
// (data bytes, board, kind, "PEC Match Only", texts for the frame builders), then the reply.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "../unit/FakeCalls.h"
#include "FuzzInput.h"
#include "common/HexText.h"
#include "link/ControllerLink.h"
#include "link/SerialDriver.h"
#include "monitor/Commands.h"
#include "monitor/Pec.h"
#include "monitor/PecJudge.h"
#include "monitor/ReadTransfer.h"

namespace {

using kb::fuzz::fail;

bool hexPair(const std::string& s) {
  return s.size() == 2 && s.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

// A controller that answers every read with the given text.
class Answering final : public kb::link::FtDriver {
 public:
  explicit Answering(std::string answer) : answer_(std::move(answer)) {}
  kb::link::FtStatus FT_OpenEx(const char*, std::uint32_t, kb::link::FtHandle* h) override {
    *h = this;
    return kb::link::kFtOk;
  }
  kb::link::FtStatus FT_SetTimeouts(kb::link::FtHandle, std::uint32_t, std::uint32_t) override {
    return kb::link::kFtOk;
  }
  kb::link::FtStatus FT_Write(kb::link::FtHandle, const void*, std::uint32_t n,
                              std::uint32_t* written) override {
    *written = n;
    return kb::link::kFtOk;
  }
  kb::link::FtStatus FT_Read(kb::link::FtHandle, void* buffer, std::uint32_t count,
                             std::uint32_t* returned) override {
    // Hands back more than was asked for when the answer is long: the link must not trust it.
    const std::size_t n = std::min<std::size_t>(answer_.size(), count);
    answer_.copy(static_cast<char*>(buffer), n);
    *returned = static_cast<std::uint32_t>(answer_.size() > count ? count + 7 : n);
    return kb::link::kFtOk;
  }
  kb::link::FtStatus FT_Close(kb::link::FtHandle) override { return kb::link::kFtOk; }

 private:
  std::string answer_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kb::fuzz::FuzzInput in(data, size);
  const int dataBytes = in.in(0, 40);
  const int board = in.in(-2, 12);
  const auto kind = static_cast<kb::monitor::ReadKind>(in.in(0, 3));
  const bool pecMatchOnly = in.flag();
  const std::string address = in.text(4);
  const std::string code = in.text(4);
  const int pos = static_cast<int>(in.u32());
  const int len = in.in(-8, 600);
  const std::string reply = in.rest();

  // Decoding by position.
  const kb::monitor::ReadReply r = kb::monitor::parseReadReply(reply, dataBytes);
  if (r.data.size() != static_cast<std::size_t>(dataBytes)) fail("wrong number of data bytes");
  if (!hexPair(r.receivedPec) || !hexPair(r.calculatedPec)) fail("PEC not two hex digits");
  if (r.calculatedPec != kb::hexByte(kb::monitor::pecTable().CalcDataPec(r.data))) {
    fail("calculated PEC differs from the table's");
  }

  // Judging, for every board index including ones out of range.
  kb::monitor::MonitorReadState state;
  state.measureMode[static_cast<std::size_t>((board + 11) % 11)] = 1;
  const auto judged =
      kb::monitor::JudgePec(state, board, r.receivedPec, r.calculatedPec, kind, pecMatchOnly);
  if (judged.match != r.match() && board >= 0 && board < kb::kBoardSlots) fail("match differs");
  for (const int pec : state.pecState) {
    if (pec < kb::monitor::kPecNoData || pec > kb::monitor::kPecThermal) fail("PEC state");
  }
  kb::monitor::JudgePec(state, board, reply.substr(0, 3), code, kind, pecMatchOnly);

  // Frame builders over any address and code text, and fields taken anywhere.
  kb::monitor::readFrame("MSxT", address, code, dataBytes);
  kb::monitor::startFrame(address, pecMatchOnly, code);
  const std::vector<std::uint8_t> bytes(reply.begin(),
                                        reply.begin() + std::min<std::size_t>(reply.size(), 6));
  kb::monitor::writeFrame(address, pecMatchOnly, code, bytes);
  if (kb::mid(reply, pos, len).size() != static_cast<std::size_t>(std::max(len, 0))) fail("mid");
  kb::hexValue(reply);

  // The whole read-back through the link against a controller that answers the input.
  Answering controller(reply);
  kb::link::ControllerLink link(controller);
  const kb::monitor::ReadReply t =
      kb::monitor::readTransfer(link, "MSxT", address, code, dataBytes);
  // The reply is what the controller answered, cut to what was asked for, then filler.
  const std::size_t asked =
      std::min<std::size_t>(kb::monitor::readReplyLength(dataBytes), kb::link::kReplySize);
  const std::size_t answered = std::min(reply.size(), asked);
  if (t.reply.compare(0, answered, reply, 0, answered) != 0) fail("reply differs from the answer");
  if (t.reply.find_first_not_of(' ', answered) != std::string::npos) fail("no filler after it");
  // The identity: the answer's first nine characters, blank where it is shorter.
  if (link.QueryControllerId() != (reply + std::string(9, ' ')).substr(0, 9)) fail("identity");

  // Through the serial backend: pieces of 1 to 9 characters, each up to 1.2 s after the one
  // before (sizes and delays from the reply's own bytes); a NUL byte is the port hanging up.
  kb::test::FakeSerial port;
  for (std::size_t i = 0; i < reply.size();) {
    const auto c = static_cast<unsigned char>(reply[i]);
    const std::size_t n = c % 9 + 1;
    port.replies.pieces.push_back(
        c == 0 ? kb::test::Piece{} : kb::test::Piece{reply.substr(i, n), 0, (c % 4) * 400'000});
    i += n;
  }
  const kb::link::SerialCalls calls = port.table();
  kb::link::SerialDriver serial(kb::link::SerialOptions{"/dev/pts/0", 9600}, calls);
  kb::link::ControllerLink overSerial(serial);
  const std::int64_t start = port.now;
  const kb::monitor::ReadReply s =
      kb::monitor::readTransfer(overSerial, "MSxT", address, code, dataBytes);
  if (s.reply.find_first_not_of(' ', asked) != std::string::npos) fail("serial reply overran");
  if (port.now - start > 1'000'000) fail("the serial read ran past its time-out");
  return 0;
}
