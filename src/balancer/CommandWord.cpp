#include "balancer/CommandWord.h"

#include <cctype>
#include <charconv>

#include "common/HexText.h"

namespace kb::balancer {

int checkBits(unsigned dataBits) {
  unsigned rem = 0;
  for (int i = 11; i >= 0; --i) {
    const unsigned in = (dataBits >> i) & 1u;
    const unsigned out = (rem >> 3) & 1u;
    rem = (rem << 1) & 0xFu;
    if ((in ^ out) != 0) rem ^= 0x3u;  // x + 1: the generator below x^4
  }
  return static_cast<int>(~rem & 0xFu);
}

std::uint16_t withCheck(std::uint16_t word) {
  const unsigned data = static_cast<unsigned>(word) >> 4;
  return static_cast<std::uint16_t>((data << 4) | static_cast<unsigned>(checkBits(data)));
}

bool checkOk(std::uint16_t word) {
  return withCheck(word) == word;
}

int actionOf(std::uint16_t word, int cell) {
  return (word >> (14 - 2 * cell)) & 0x3;
}

std::uint16_t withAction(std::uint16_t word, int cell, int action) {
  const int shift = 14 - 2 * cell;
  const unsigned cleared = word & ~(0x3u << shift);
  return static_cast<std::uint16_t>(cleared | ((static_cast<unsigned>(action) & 0x3u) << shift));
}

std::uint16_t wordOf(std::string_view hi, std::string_view lo) {
  return static_cast<std::uint16_t>(((hexValue(hi) & 0xFFu) << 8) | (hexValue(lo) & 0xFFu));
}

std::string hiText(std::uint16_t word) {
  return hexByte(word >> 8);
}

std::string loText(std::uint16_t word) {
  return hexByte(word & 0xFF);
}

char parityDigit(int onesAbove, bool suspend) {
  const bool odd = onesAbove % 2 != 0;
  return odd != suspend ? '1' : '0';
}

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

std::string frame(std::string_view command, std::string_view body) {
  std::string s = "xXS";
  s += command;
  s += body;
  return s + "xX";
}

std::string wordTokens(std::string_view hi, std::string_view lo) {
  std::string s = "S";
  s += hi;
  s += "S";
  s += lo;
  return s;
}

std::string readTokens(int chips) {
  return std::string(2 * static_cast<std::size_t>(chips > 0 ? chips : 0), 'R');
}

namespace {

// The word at 1-based position pos, when its first character is a hex digit.
std::optional<ReplyWord> wordAt(std::string_view reply, int pos) {
  const std::string text = mid(reply, pos, 4);
  if (!isHexDigit(text[0])) return std::nullopt;
  return ReplyWord{text.substr(0, 2), text.substr(2, 2)};
}

}  // namespace

bool wordTextOk(std::string_view hi, std::string_view lo) {
  if (hi.size() != 2 || lo.size() != 2) return false;
  for (const std::string_view part : {hi, lo}) {
    for (const char c : part) {
      if (!isHexDigit(c)) return false;
    }
  }
  return checkOk(wordOf(hi, lo));
}

ReplyWords parseReply(std::string_view reply, bool topChip) {
  ReplyWords out;
  int pos = 1;
  out.bottom = wordAt(reply, pos);
  if (out.bottom) pos = 5;
  if (topChip) out.top = wordAt(reply, pos);
  return out;
}

}  // namespace kb::balancer
