#include "startup/BoardSet.h"

#include "common/HexText.h"

namespace kb::startup {

void BoardSet::setAddressDefaults() {
  for (int i = 0; i < 10; ++i) BoardAddress[static_cast<std::size_t>(i)] = hexByte(0x80 + i);
  BoardAddress[10].clear();
}

void BoardSet::setBroadcastDefaults() {
  for (auto& table : BroadcastFlags) table.fill(0);
  for (int b = 0; b < 10; ++b) {
    BroadcastFlags[static_cast<std::size_t>(BroadcastCommand::WRCFG)][static_cast<std::size_t>(b)] =
        1;
  }
}

bool BoardSet::broadcast(BroadcastCommand command, int board) const {
  if (board < 0 || board >= kBoardSlots) return false;
  return BroadcastFlags[static_cast<std::size_t>(command)][static_cast<std::size_t>(board)] == 1;
}

const std::string& BoardSet::address(int board) const {
  static const std::string kNone;
  if (board < 0 || board >= kBoardSlots) return kNone;
  return BoardAddress[static_cast<std::size_t>(board)];
}

}  // namespace kb::startup
