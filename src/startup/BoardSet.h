#pragma once
// The set of boards: how many, the address each answers to, the current one, and per board and
// per command whether a command goes out addressed or as a broadcast.
#include <array>

#include <string>
#include "common/Boards.h"

namespace kb::startup {

using kb::kBoardSlots;

// The eight broadcast tables, in the order of their check boxes.
enum class BroadcastCommand { PLADC = 0, PLINT, STCVAD, STOWAD, STTMPAD, WRCFG, STCVDC, STOWDC };
inline constexpr int kBroadcastTables = 8;

struct BoardSet {
  int CurrentBoard = 0;
  int LastBoardIndex = 0;
  std::array<std::string, kBoardSlots> BoardAddress{};
  std::array<std::array<int, kBoardSlots>, kBroadcastTables> BroadcastFlags{};
  int GlobalConfigMode = 0;
  int CopyConfigToAll = 0;

  // "80".."89" for boards 1..10; slot 10 empty.
  void setAddressDefaults();
  // Every flag 0 except WRCFG, which is 1 for boards 0..9.
  void setBroadcastDefaults();
  bool broadcast(BroadcastCommand command, int board) const;
  bool broadcast(BroadcastCommand command) const { return broadcast(command, CurrentBoard); }
  const std::string& address(int board) const;
  const std::string& address() const { return address(CurrentBoard); }
};

}  // namespace kb::startup
