#include "monitor/Pec.h"

#include "common/HexText.h"

namespace kb::monitor {

PecTable::PecTable() {
  for (int i = 0; i < 256; ++i) {
    auto crc = static_cast<std::uint8_t>(i);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x80) != 0 ? static_cast<std::uint8_t>((crc << 1) ^ 0x07)
                              : static_cast<std::uint8_t>(crc << 1);
    }
    table_[static_cast<std::size_t>(i)] = crc;
  }
}

std::string PecTable::CalcPec(std::string_view byteText) const {
  const auto b = static_cast<std::uint8_t>(hexValue(byteText));
  return hexByte(table_[static_cast<std::uint8_t>(kPecSeed ^ b)]);
}

std::uint8_t PecTable::CalcDataPec(std::span<const std::uint8_t> bytes) const {
  std::uint8_t pec = kPecSeed;
  for (const std::uint8_t b : bytes) pec = table_[static_cast<std::uint8_t>(pec ^ b)];
  return pec;
}

const PecTable& pecTable() {
  static const PecTable table;
  return table;
}

}  // namespace kb::monitor
