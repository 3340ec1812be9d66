#pragma once
// Check codes the simulated chips verify and produce.
#include <cstdint>
#include <span>

namespace kb::sim {

// Monitor packet error code: CRC-8, polynomial 0x07, start 0x41, MSB first, no final xor.
std::uint8_t pec8(std::span<const std::uint8_t> bytes);
std::uint8_t pec8(std::uint8_t byte);

// Balancer word check: CRC-4 (x^4 + x + 1, start 0) over data bits 15..4 MSB first, then
// complemented; the result belongs in bits 3..0.
std::uint8_t crc4(std::uint16_t word);

// The word with its low four bits replaced by the check code.
std::uint16_t withCrc4(std::uint16_t word);

// True when bits 3..0 hold the check code of bits 15..4.
bool crc4Valid(std::uint16_t word);

// Balancer command bytes have even parity over all eight bits.
bool evenParity(std::uint8_t byte);

}  // namespace kb::sim
