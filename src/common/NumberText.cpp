#include "common/NumberText.h"

#include <charconv>
#include <limits>

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
  const auto read = std::from_chars(number.data(), number.data() + number.size(), value);
  if (read.ec == std::errc::result_out_of_range) {
    // Too many digits for a double: an integer part beyond the largest double is infinite (so
    // every range check refuses it), a fraction too small for one is 0.
    const bool negative = number.front() == '-';
    const std::string_view digits = number.substr(negative ? 1 : 0);
    const std::size_t point = digits.find('.');
    const bool large = digits.substr(0, point).find_first_not_of('0') != std::string_view::npos;
    value = large ? std::numeric_limits<double>::infinity() : 0.0;
    if (negative) value = -value;
  }
  return value;
}

bool startsWithNumber(std::string_view text) {
  bool hasDigits = false;
  numberLength(text, skipBlanks(text), hasDigits);
  return hasDigits;
}

}  // namespace kb
