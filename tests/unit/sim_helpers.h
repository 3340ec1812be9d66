#pragma once
// Frame building and reply decoding for the simulated-stack tests.
#include <cstdint>
#include <string>
#include <vector>

#include "TestCrc.h"
#include "common/Clock.h"
#include "common/HexText.h"
#include "link/ControllerLink.h"
#include "sim/SimStack.h"

namespace kb::sim::test {

using kb::test::crc8;

inline std::string h(int byte) {
  return hexByte(byte);
}

// "MSXxT01SC7S..": configuration write, broadcast when address is 0.
inline std::string writeConfig(int address, const std::vector<std::uint8_t>& config,
                               bool keepSelectLow = false) {
  std::string s = "MSXxT";
  if (address != 0) {
    s += h(address) + "S" + h(crc8({static_cast<std::uint8_t>(address)})) + "S01SC7";
  } else {
    s += "01SC7";
  }
  for (const std::uint8_t b : config) s += "S" + h(b);
  s += "S" + h(crc8(config)) + "X";
  if (keepSelectLow) s += "x";
  return s;
}

// Addressed read frame: "MSxT" + address + PEC + command + PEC + n x "R" + "X".
inline std::string readFrame(int address, int command, int reads, const char* prefix = "MSxT") {
  std::string s = prefix + h(address) + "T" + h(crc8({static_cast<std::uint8_t>(address)})) + "T" +
                  h(command) + "T" + h(crc8({static_cast<std::uint8_t>(command)}));
  s += std::string(static_cast<std::size_t>(reads), 'R');
  return s + "X";
}

// Start or poll command, broadcast when address is 0.
inline std::string startFrame(int address, int command, bool closeSelect = true) {
  std::string s = "MSx";
  if (address != 0) s += "S" + h(address) + "S" + h(crc8({static_cast<std::uint8_t>(address)}));
  s += "S" + h(command) + "S" + h(crc8({static_cast<std::uint8_t>(command)}));
  return closeSelect ? s + "X" : s;
}

// The data bytes and the PEC of a read reply (after the 8 characters of the frame bytes).
struct Reply {
  std::vector<std::uint8_t> data;
  std::uint8_t pec = 0;
  bool pecMatches() const { return crc8(data) == pec; }
};

inline Reply parseReply(const std::string& reply, int dataBytes) {
  Reply r;
  for (int k = 0; k < dataBytes; ++k) {
    r.data.push_back(static_cast<std::uint8_t>(hexValue(mid(reply, 9 + 2 * k, 2))));
  }
  r.pec = static_cast<std::uint8_t>(hexValue(mid(reply, 9 + 2 * dataBytes, 2)));
  return r;
}

// Unpacks 12-bit codes, two per three bytes.
inline std::vector<int> unpackCodes(const std::vector<std::uint8_t>& d, int count) {
  std::vector<int> codes;
  for (int g = 0; 2 * g < count; ++g) {
    const auto b0 = d[static_cast<std::size_t>(3 * g)];
    const auto b1 = d[static_cast<std::size_t>(3 * g + 1)];
    const auto b2 = d[static_cast<std::size_t>(3 * g + 2)];
    codes.push_back(b0 | ((b1 & 0x0F) << 8));
    codes.push_back((b1 >> 4) | (b2 << 4));
  }
  return codes;
}

// A simulated stack behind the program's controller link, on a hand-moved clock.
struct Rig {
  explicit Rig(SimOptions options = {}) : stack(std::move(options), clock), link(stack) {}

  ManualClock clock;  // first: the stack reads it when built
  SimStack stack;
  link::ControllerLink link;

  std::string send(const std::string& s, int replyChars) {
    return link.SendAndReceive(s, static_cast<std::uint16_t>(replyChars))
        .substr(0, static_cast<std::size_t>(replyChars));
  }
  Reply read(int address, int command, int dataBytes) {
    return parseReply(send(readFrame(address, command, dataBytes + 1), 10 + 2 * dataBytes),
                      dataBytes);
  }
  std::vector<int> readCells(int address, int count = 12) {
    return unpackCodes(read(address, 0x04, count * 3 / 2).data, count);
  }
  void command(const std::string& s) { link.SendCommand(s); }
  // Conversion start, one empty transaction, as the continuous cycle does before reading.
  void convert(int address, int command) {
    link.SendCommand(startFrame(address, command));
    link.SendCommand("");
  }
};

inline std::vector<std::uint8_t> measureConfig(std::uint8_t cfgr0 = 0xE1) {
  return {cfgr0, 0x00, 0x00, 0x00, 0x00, 0x00};
}

}  // namespace kb::sim::test
