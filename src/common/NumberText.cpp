#include "common/NumberText.h"

#include <charconv>

namespace kb {

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::size_t skipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  return i;
}

// Length of the leading number of text from pos (sign, digits, one point, digits).
std::size_t numberLength(std::string_view text, std::size_t pos, bool& hasDigits) {
  std::size_t i = pos;
  hasDigits = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  while (i < text.size() && isDigit(text[i])) {
    ++i;
    hasDigits = true;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) {
      ++i;
      hasDigits = true;
    }
  }
  return i - pos;
}

}  // namespace

double leadingNumber(std::string_view text) {
  const std::size_t start = skipBlanks(text);
  bool hasDigits = false;
  const std::size_t n = numberLength(text, start, hasDigits);
  if (!hasDigits) return 0.0;
  std::string_view number = text.substr(start, n);
  if (number.front() == '+') number.remove_prefix(1);
  if (number.back() == '.') number.remove_suffix(1);  // "3." reads 3
  double value = 0.0;
  std::from_chars(number.data(), number.data() + number.size(), value);
  return value;
}

bool startsWithNumber(std::string_view text) {
  bool hasDigits = false;
  numberLength(text, skipBlanks(text), hasDigits);
  return hasDigits;
}

}  // namespace kb
