#pragma once
// Packet error code of the monitor chip: CRC-8, polynomial 0x07, start value 0x41, MSB first.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kb::monitor {

inline constexpr std::uint8_t kPecSeed = 0x41;

class PecTable {
 public:
  PecTable();  // builds the 256 entries
  std::uint8_t operator[](std::uint8_t i) const { return table_[i]; }

  // PEC of one byte given as two hex digits, returned as two hex digits ("01" -> "C7").
  std::string CalcPec(std::string_view byteText) const;
  // PEC of a data group; the empty group gives the seed 0x41.
  std::uint8_t CalcDataPec(std::span<const std::uint8_t> bytes) const;

 private:
  std::array<std::uint8_t, 256> table_{};
};

// The table built once for the whole program.
const PecTable& pecTable();

}  // namespace kb::monitor
