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
  // Set while the address selector is being shown the current board's address: the selector's
  // click is then no operator choice.
  bool syncingAddress = false;

  // "80".."89" for boards 1..10; slot 10 empty.
  void setAddressDefaults();
  // Every flag 0 except WRCFG, which is 1 for boards 0..9.
  void setBroadcastDefaults();
  bool broadcast(BroadcastCommand command, int board) const;
  bool broadcast(BroadcastCommand command) const { return broadcast(command, CurrentBoard); }
  int& flag(BroadcastCommand command, int board);
  const std::string& address(int board) const;
  const std::string& address() const { return address(CurrentBoard); }
};

// Texts of the board set.
// Board button i (0..9): "BRD# 1    0x80" .. "BRD#10   0x89".
std::string boardButtonCaption(int board, const std::string& address);
// Header of board numbers for boards 0..last: "BOARD#   1      2 ..." (7 characters apart).
std::string boardNumbersHeader(int last);
// Header of addresses for boards 0..last: "ADDRESS 80    81 ...".
std::string addressesHeader(const std::array<std::string, kBoardSlots>& addresses, int last);
// Position 0..15 of an address "80".."8F" in the address selector, -1 for any other text.
int addressPosition(const std::string& address);

}  // namespace kb::startup
