#pragma once
// The simulated USB-to-SPI controller: runs the controller's token language over an SPI bus.
//
//   "MI"       low-current mode: chip select and data lines forced high; until the next "MS" no
//              byte reaches the bus ("x" is ignored, "T" and "R" read FF)
//   "MS"       SPI mode
//   "X" / "x"  chip select high / low; the level persists between transactions
//   "S"hh      clock out one byte, nothing returned
//   "T"hh      clock out one byte, return the byte clocked in as two upper-case hex digits
//   "R"        clock out FF, return the byte clocked in
//   "IZ"       identity query: returns the identity text
// Anything else (including an "S" or "T" without two hex digits) is skipped one character at a
// time.
#include <string>
#include <string_view>

#include "sim/SpiBus.h"

namespace kb::sim {

class SimController {
 public:
  SimController(SpiBus& bus, std::string identity) : bus_(bus), identity_(std::move(identity)) {}

  // Runs one written string and returns the characters it produced.
  std::string run(std::string_view text);
  // How much of text a controller reading it as a stream can run now: all but a token cut short
  // at its end ("M", "I", "S" or "T" with fewer than two hex digits after it), which may go on in
  // the characters still to come.
  static std::size_t completeLength(std::string_view text);

  bool lowCurrentMode() const { return lowCurrent_; }
  const std::string& identity() const { return identity_; }

 private:
  void clock(std::uint8_t mosi, std::string* out);

  // A device cut the reply short: nothing more of this string's answer reaches the PC.
  bool replyCut_ = false;

  SpiBus& bus_;
  std::string identity_;
  bool lowCurrent_ = false;
};

}  // namespace kb::sim
