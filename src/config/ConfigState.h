#pragma once
// The configuration registers CFGR0..CFGR5 of every board: what is being edited, what was last
// written and what was last read back, each byte as two upper-case hex digits; and the editor's
// per-board values that are not registers.
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
  // Edited comparator duty cycle per board. It follows the CDC buttons and the next "apply edits";
  // a click on a CDC bit box changes CFGR0 at once but this value only then.
  std::array<int, kBoardSlots> cdc{};
  // 1 while the edited registers of the selected board differ from its written ones.
  int ConfigPending = 0;
  // 1 when bit 3 (10CELLS) of the selected board's written CFGR0 is set: RDCV reads ten cells.
  int tenCellFlag = 0;
  // Read-back VUV and VOV of each board in volts ("3.000V "), from the last READ CONFIG.
  std::array<std::string, kBoardSlots> readVuvVolts{};
  std::array<std::string, kBoardSlots> readVovVolts{};

  // Every board: CFGR0 "E0", CFGR1..CFGR5 "00", CDC 0.
  void setDefaults() {
    for (int b = 0; b < kMaxBoards; ++b) {
      edit[static_cast<std::size_t>(b)] = {"E0", "00", "00", "00", "00", "00"};
      cdc[static_cast<std::size_t>(b)] = 0;
    }
  }
};

}  // namespace kb::config
