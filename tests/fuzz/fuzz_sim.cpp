// The simulated controller and its chips under any sequence of driver calls, with faults drawn
// from the input. Input: the options, then operations until it runs out: clock steps, raw or
// token-built writes, reads of any count, opens and closes with good and bad arguments, time-outs,
// and whole transactions with correct PECs that reach deep into the chips.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "common/Clock.h"
#include "common/HexText.h"
#include "link/ControllerLink.h"
#include "monitor/Commands.h"
#include "sim/SimStack.h"

namespace {

using kb::fuzz::fail;
using kb::fuzz::FuzzInput;

constexpr int kMaxOperations = 400;

kb::sim::SimOptions optionsFrom(FuzzInput& in) {
  kb::sim::SimOptions o;
  o.boards = in.in(1, 10);
  o.seed = in.u32();
  o.pecFaultRate = in.byte() / 255.0;
  if (in.byte() < 16) o.identity = in.text(60);
  const int faults = in.in(0, 6);
  for (int f = 0; f < faults; ++f) {
    const int board = in.in(1, o.boards);
    switch (in.in(0, 4)) {
      case 0:
        o.missingBoards.push_back(board);
        break;
      case 1: {
        kb::sim::ThermalFault t;
        t.board = board;
        if (in.flag()) t.recoverAfter = in.u32() / 1000.0;
        o.thermal.push_back(t);
        break;
      }
      case 2:
        o.openWires.push_back({board, in.in(1, 12)});
        break;
      case 3:
        o.withoutTopChip.push_back(board);
        break;
      default:
        o.cells.push_back({board, in.in(1, 12), in.byte() / 51.0});
        break;
    }
  }
  o.unplugged = in.byte() == 0xA5;
  return o;
}

// Controller tokens from the input, one per byte, so that the fuzzer writes frames easily.
std::string tokens(FuzzInput& in) {
  static const char* const kTokens[] = {"MS", "MI", "X", "x", "R", "IZ", "MSX", "MSx"};
  std::string s;
  const int n = in.in(0, 80);
  for (int i = 0; i < n; ++i) {
    const std::uint8_t t = in.byte();
    if (t < 8) {
      s += kTokens[t];
    } else if (t < 128) {
      s += (t & 1) != 0 ? 'S' : 'T';
      s += kb::hexByte(in.byte());
    } else {
      s += static_cast<char>(in.byte());
    }
  }
  return s;
}

std::string address(FuzzInput& in) {
  return kb::hexByte(0x80 + in.in(0, 11));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  kb::ManualClock clock;
  kb::sim::SimStack stack(optionsFrom(in), clock);
  kb::link::ControllerLink link(stack);
  kb::link::FtHandle handle = nullptr;
  kb::sim::SimMicros last = stack.now();
  for (int op = 0; op < kMaxOperations && !in.empty(); ++op) {
    switch (in.in(0, 9)) {
      case 0: {  // the clock moves: milliseconds, or a long jump
        const std::int64_t step =
            in.flag() ? std::int64_t{in.byte()} * 1000 : std::int64_t{in.u32()} * 1'000'000;
        if (clock.canAdvanceMicros(step)) clock.advanceMicros(step);
        break;
      }
      case 1: {
        kb::link::FtHandle opened = nullptr;
        const bool right = in.flag();
        if (stack.FT_OpenEx(right ? kb::sim::kControllerDescription : "USB SERIAL", in.in(0, 3),
                            &opened) == kb::link::kFtOk) {
          handle = opened;
        } else if (opened != nullptr) {
          fail("a failed open handed out a handle");
        }
        break;
      }
      case 2:
        stack.FT_Close(in.flag() ? handle : &in);
        break;
      case 3:
        stack.FT_SetTimeouts(handle, in.u32() % 5000, in.u32());
        break;
      case 4:
      case 5: {
        const std::string s = in.flag() ? tokens(in) : in.text(255);
        std::uint32_t written = 0;
        if (stack.FT_Write(handle, s.data(), static_cast<std::uint32_t>(s.size()), &written) ==
                kb::link::kFtOk &&
            written != s.size()) {
          fail("write did not take the whole string");
        }
        break;
      }
      case 6: {
        const std::uint32_t count = in.in(0, 600);
        std::vector<char> buffer(count);
        std::uint32_t got = 0;
        stack.FT_Read(handle, buffer.data(), count, &got);
        if (got > count) fail("read returned more than asked for");
        break;
      }
      case 7: {  // a configuration write with correct PECs, addressed or broadcast
        std::vector<std::uint8_t> config(6);
        for (auto& b : config) b = in.byte();
        link.SendCommand(kb::monitor::writeFrame(address(in), in.flag(), "01", config));
        break;
      }
      case 8: {  // a conversion start or poll with correct PECs
        const std::string code = kb::hexByte(in.byte());
        link.SendCommand(in.flag() ? kb::monitor::startFrame(address(in), in.flag(), code)
                                   : kb::monitor::pollFrame(address(in), in.flag(), code) + "RR");
        break;
      }
      default: {  // a read-back with correct PECs
        static const char* const kReads[] = {"02", "04", "0C", "0E"};
        static const int kBytes[] = {6, 18, 3, 5};
        const int k = in.in(0, 3);
        const auto asked = static_cast<std::size_t>(kb::monitor::readReplyLength(kBytes[k]));
        const std::string reply =
            link.SendAndReceive(kb::monitor::readFrame("MSxT", address(in), kReads[k], kBytes[k]),
                                static_cast<std::uint16_t>(asked));
        // Two hex digits per byte clocked, or blanks where nothing came; nothing beyond.
        if (reply.find_first_not_of("0123456789ABCDEF ") < asked) fail("reply not hex");
        if (reply.find_first_not_of(' ', asked) != std::string::npos) fail("reply too long");
        break;
      }
    }
    if (stack.now() < last) fail("simulated time ran backwards");
    last = stack.now();
  }
  if (handle != nullptr) stack.FT_Close(handle);
  return 0;
}
