#include "FuzzInput.h"

#include <cstdio>
#include <cstdlib>

namespace kb::fuzz {

void fail(const std::string& what) {
  std::fprintf(stderr, "fuzz: %s\n", what.c_str());
  std::abort();
}

bool printableLine(std::string_view text) {
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c >= 0x7F) return false;
  }
  return true;
}

}  // namespace kb::fuzz
