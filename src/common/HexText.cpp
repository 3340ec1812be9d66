#include "common/HexText.h"

namespace kb {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}  // namespace

std::string hexByte(int value) {
  const unsigned v = static_cast<unsigned>(value) & 0xFFu;
  return {kDigits[v >> 4], kDigits[v & 0xF]};
}

std::string hexPlain(unsigned value) {
  std::string out;
  do {
    out.insert(out.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return out;
}

char hexDigit(int value) {
  return kDigits[static_cast<unsigned>(value) & 0xF];
}

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

unsigned hexValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  unsigned v = 0;
  for (; i < text.size(); ++i) {
    const int d = hexDigitValue(text[i]);
    if (d < 0) break;
    v = (v << 4) | static_cast<unsigned>(d);
  }
  return v;
}

std::string mid(std::string_view text, int pos, int len) {
  std::string out(static_cast<std::size_t>(len > 0 ? len : 0), ' ');
  for (int k = 0; k < len; ++k) {
    const long at = static_cast<long>(pos) - 1 + k;
    if (at >= 0 && at < static_cast<long>(text.size()))
      out[static_cast<std::size_t>(k)] = text[static_cast<std::size_t>(at)];
  }
  return out;
}

}  // namespace kb
