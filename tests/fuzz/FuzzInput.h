#pragma once
// Reads a fuzzer's input as a stream of choices: bytes, bounded numbers and texts. Past the end
// every read gives zero or an empty text, so a harness never has to check the length.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kb::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return pos_ >= size_; }
  std::uint8_t byte() { return empty() ? 0 : data_[pos_++]; }
  bool flag() { return (byte() & 1) != 0; }
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
    return v;
  }
  // Uniform enough in [lo, hi].
  int in(int lo, int hi) {
    const std::uint32_t span = static_cast<std::uint32_t>(hi - lo) + 1;
    return lo + static_cast<int>((span <= 256 ? byte() : u32()) % span);
  }
  // A text of up to maxLength bytes: a length byte, then the bytes.
  std::string text(std::size_t maxLength) {
    const std::size_t n = std::min<std::size_t>(byte(), maxLength);
    const std::size_t have = std::min(n, size_ - std::min(pos_, size_));
    std::string out(reinterpret_cast<const char*>(data_ + pos_), have);
    pos_ += have;
    return out;
  }
  std::string rest() {
    const std::size_t at = std::min(pos_, size_);
    pos_ = size_;
    return std::string(reinterpret_cast<const char*>(data_ + at), size_ - at);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Aborts with a message: a broken promise of the code under test.
[[noreturn]] void fail(const std::string& what);

// One line of printable ASCII: what every error message of the program must be.
bool printableLine(std::string_view text);

}  // namespace kb::fuzz
