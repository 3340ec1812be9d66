#pragma once
// The configuration registers CFGR0..CFGR5 of every board: what is being edited, what was last
// written and what was last read back, each byte as two upper-case hex digits.
#include <array>
#include <string>

#include "common/Boards.h"

namespace kb::config {

inline constexpr int kConfigRegisters = 6;
using ConfigRecord = std::array<std::string, kConfigRegisters>;

struct ConfigState {
  std::array<ConfigRecord, kBoardSlots> edit{};     // what the next WRCFG sends
  std::array<ConfigRecord, kBoardSlots> written{};  // copied from edit after each WRCFG
  std::array<ConfigRecord, kBoardSlots> read{};     // the last RDCFG
  // 1 when bit 3 (10CELLS) of the selected board's written CFGR0 is set: RDCV reads ten cells.
  int tenCellFlag = 0;
};

}  // namespace kb::config
