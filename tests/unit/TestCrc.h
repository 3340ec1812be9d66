#pragma once
// Check codes computed bit by bit, independently of the program's tables and of the simulator:
// tests build frames and judge replies with these, never with the code they test.
#include <cstdint>
#include <initializer_list>
#include <span>

namespace kb::test {

// CRC-8, polynomial 0x07, MSB first, no final xor; the monitor's PEC starts at 0x41.
inline std::uint8_t crc8(std::span<const std::uint8_t> bytes, std::uint8_t start = 0x41) {
  unsigned crc = start;
  for (const std::uint8_t b : bytes) {
    crc ^= b;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x80) != 0 ? ((crc << 1) ^ 0x07) & 0xFF : (crc << 1) & 0xFF;
  }
  return static_cast<std::uint8_t>(crc);
}

inline std::uint8_t crc8(std::initializer_list<std::uint8_t> bytes, std::uint8_t start = 0x41) {
  return crc8(std::span<const std::uint8_t>(bytes.begin(), bytes.size()), start);
}

}  // namespace kb::test
