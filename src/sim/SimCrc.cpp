#include "sim/SimCrc.h"

#include <bit>

namespace kb::sim {

std::uint8_t pec8(std::span<const std::uint8_t> bytes) {
  std::uint8_t pec = 0x41;
  for (const std::uint8_t b : bytes) {
    pec ^= b;
    for (int i = 0; i < 8; ++i) {
      pec = static_cast<std::uint8_t>((pec & 0x80) != 0 ? (pec << 1) ^ 0x07 : pec << 1);
    }
  }
  return pec;
}

std::uint8_t pec8(std::uint8_t byte) {
  return pec8(std::span<const std::uint8_t>(&byte, 1));
}

std::uint8_t crc4(std::uint16_t word) {
  // Long division of the twelve data bits followed by four zero bits.
  unsigned reg = 0;
  for (int bit = 15; bit >= 4; --bit) {
    const unsigned in = (word >> bit) & 1u;
    const unsigned top = (reg >> 3) & 1u;
    reg = (reg << 1) & 0xFu;
    if ((top ^ in) != 0) reg ^= 0x3u;  // x^4 = x + 1
  }
  return static_cast<std::uint8_t>(~reg & 0xFu);
}

std::uint16_t withCrc4(std::uint16_t word) {
  return static_cast<std::uint16_t>((word & 0xFFF0u) | crc4(word));
}

bool crc4Valid(std::uint16_t word) {
  return (word & 0xFu) == crc4(word);
}

bool evenParity(std::uint8_t byte) {
  return std::popcount(byte) % 2 == 0;
}

}  // namespace kb::sim
