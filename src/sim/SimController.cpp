#include "sim/SimController.h"

#include "common/HexText.h"

namespace kb::sim {

namespace {

// Value of the two hex digits at text[i], or -1.
int byteAt(std::string_view text, std::size_t i) {
  if (i + 1 >= text.size()) return -1;
  const int hi = hexDigitValue(text[i]);
  const int lo = hexDigitValue(text[i + 1]);
  return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

}  // namespace

void SimController::clock(std::uint8_t mosi, std::string* out) {
  const std::uint8_t in = lowCurrent_ ? std::uint8_t{0xFF} : bus_.exchange(mosi);
  if (out != nullptr && !replyCut_) *out += hexByte(in);
  if (bus_.takeReplyCut()) replyCut_ = true;
}

std::size_t SimController::completeLength(std::string_view text) {
  // The tokens as run() reads them, stopping at one that the end of the text cuts short.
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const char c = text[i];
    if (c == 'M' || c == 'I') {
      if (i + 1 == n) return i;
      const char next = text[i + 1];
      i += (c == 'M' && (next == 'I' || next == 'S')) || (c == 'I' && next == 'Z') ? 2 : 1;
    } else if (c == 'S' || c == 'T') {
      if (byteAt(text, i + 1) >= 0) {
        i += 3;
        continue;
      }
      const bool cut = i + 1 == n || (i + 2 == n && hexDigitValue(text[i + 1]) >= 0);
      if (cut) return i;
      ++i;
    } else {
      ++i;
    }
  }
  return n;
}

std::string SimController::run(std::string_view text) {
  std::string out;
  replyCut_ = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == 'M' && next == 'I') {
      lowCurrent_ = true;
      bus_.setChipSelect(true);
      i += 2;
    } else if (c == 'M' && next == 'S') {
      lowCurrent_ = false;
      i += 2;
    } else if (c == 'I' && next == 'Z') {
      out += identity_;
      i += 2;
    } else if (c == 'X') {
      bus_.setChipSelect(true);
      ++i;
    } else if (c == 'x') {
      if (!lowCurrent_) bus_.setChipSelect(false);
      ++i;
    } else if ((c == 'S' || c == 'T') && byteAt(text, i + 1) >= 0) {
      clock(static_cast<std::uint8_t>(byteAt(text, i + 1)), c == 'T' ? &out : nullptr);
      i += 3;
    } else if (c == 'R') {
      clock(0xFF, &out);
      ++i;
    } else {
      ++i;
    }
  }
  return out;
}

}  // namespace kb::sim
