#include "startup/BoardSet.h"

#include "common/HexText.h"

namespace kb::startup {

void BoardSet::setAddressDefaults() {
  for (int i = 0; i < kMaxBoards; ++i)
    BoardAddress[static_cast<std::size_t>(i)] = hexByte(0x80 + i);
  BoardAddress[10].clear();
}

void BoardSet::setBroadcastDefaults() {
  for (auto& table : BroadcastFlags) table.fill(0);
  for (int b = 0; b < kMaxBoards; ++b) flag(BroadcastCommand::WRCFG, b) = 1;
}

bool BoardSet::broadcast(BroadcastCommand command, int board) const {
  if (board < 0 || board >= kBoardSlots) return false;
  return BroadcastFlags[static_cast<std::size_t>(command)][static_cast<std::size_t>(board)] == 1;
}

int& BoardSet::flag(BroadcastCommand command, int board) {
  return BroadcastFlags.at(static_cast<std::size_t>(command)).at(static_cast<std::size_t>(board));
}

const std::string& BoardSet::address(int board) const {
  static const std::string kNone;
  if (board < 0 || board >= kBoardSlots) return kNone;
  return BoardAddress[static_cast<std::size_t>(board)];
}

std::string boardButtonCaption(int board, const std::string& address) {
  const int n = board + 1;
  return (n < 10 ? "BRD# " + std::to_string(n) + "    0x" : "BRD#10   0x") + address;
}

std::string boardNumbersHeader(int last) {
  std::string s = "BOARD#   1";
  for (int n = 2; n <= last + 1 && n <= kMaxBoards; ++n) {
    s += n < 10 ? "      " + std::to_string(n) : "     10";
  }
  return s;
}

std::string addressesHeader(const std::array<std::string, kBoardSlots>& addresses, int last) {
  std::string s = "ADDRESS " + addresses[0];
  for (int i = 1; i <= last && i < kMaxBoards; ++i) {
    s += "    " + addresses[static_cast<std::size_t>(i)];
  }
  return s;
}

int addressPosition(const std::string& address) {
  if (address.size() != 2 || address[0] != '8') return -1;
  const char d = address[1];
  if (d >= '0' && d <= '9') return d - '0';
  if (d >= 'A' && d <= 'F') return d - 'A' + 10;
  return -1;
}

}  // namespace kb::startup
