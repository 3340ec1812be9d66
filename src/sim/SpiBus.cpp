#include "sim/SpiBus.h"

namespace kb::sim {

void SpiBus::setChipSelect(bool high) {
  if (high == chipSelectHigh_) return;
  chipSelectHigh_ = high;
  for (SpiDevice* device : devices_) {
    if (high) {
      device->chipSelectRose();
    } else {
      device->chipSelectFell();
    }
  }
}

std::uint8_t SpiBus::exchange(std::uint8_t mosi) {
  std::uint8_t line = 0xFF;
  for (SpiDevice* device : devices_) {
    line &= device->exchange(mosi, chipSelectHigh_);
    if (device->cutsReply()) replyCut_ = true;
  }
  return line;
}

bool SpiBus::takeReplyCut() {
  const bool cut = replyCut_;
  replyCut_ = false;
  return cut;
}

}  // namespace kb::sim
