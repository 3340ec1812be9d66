#include "config/ConfigRegisters.h"

#include <array>
#include <charconv>
#include <cmath>

#include "common/HexText.h"

namespace kb::config {

int registerValue(std::string_view text) {
  return static_cast<int>(hexValue(text) & 0xFF);
}

std::string registerText(int value) {
  return hexByte(value);
}

namespace {
constexpr std::array<CdcDescription, 8> kCdc{{
    {"|     Comparator Off     |                 Yes                |                   N/A        "
     "          | ",
     "|default StandbyMode |          VREF is OFF!         |             ADC is OFF!           | "},
    {"|     Comparator Off    |                 No                  |                   13mS       "
     "          | ",
     "|                                  |                                       |           (Cell "
     "Voltage)            | "},
    {"|              13mS            |                 No                  |                   "
     "13mS                | ",
     "|                                   |                                       |           "
     "(Cell Voltage)           |"},
    {"|             130mS           |                 No                  |                   13mS "
     "               | ",
     "|                                   |                                       |           "
     "(Cell Voltage)           |  "},
    {"|              500mS          |                 No                  |                   13mS "
     "               | ",
     "|                                   |                                       |           "
     "(Cell Voltage)           |  "},
    {"|              130mS          |                Yes                 |                   21mS  "
     "             | ",
     "|                                   |     8mS output settling    |  8mS VREF + 13mS Cell V "
     "| "},
    {"|              500mS          |                Yes                 |                   21mS  "
     "             | ",
     "|                                   |     8mS output settling    |  8mS VREF + 13mS Cell V "
     "| "},
    {"|            2000mS          |                Yes                 |                   21mS   "
     "            | ",
     "|                                   |     8mS output settling    |  8mS VREF + 13mS Cell V "
     "| "},
}};
}  // namespace

const CdcDescription& cdcDescription(int cdc) {
  return kCdc[static_cast<std::size_t>(cdc & 7)];
}

double minVolts(Limit limit) {
  return limit == Limit::VUV ? -0.744 : -0.768;
}

double maxVolts(Limit limit) {
  return limit == Limit::VUV ? 5.376 : 5.352;
}

const char* rangeMessage(Limit limit) {
  return limit == Limit::VUV ? "Only Enter Values Between -0.744V and 5.376V."
                             : "Only Enter Values Between  -0.768V and 5.352V.";
}

float unroundedCode(Limit limit, double volts) {
  const double offset = limit == Limit::VUV ? 31.0 : 32.0;
  return static_cast<float>(volts / kLimitStep + offset);
}

int roundCode(float code) {
  // The default rounding mode rounds halves to the even neighbour.
  const float r = std::nearbyint(code);
  if (!(r >= 0.0F)) return 0;  // also a NaN
  if (r > 255.0F) return 255;
  return static_cast<int>(r);
}

double codeToVolts(Limit limit, int code) {
  const int offset = limit == Limit::VUV ? 31 : 32;
  return (code - offset) * kLimitStep;
}

std::string formatVolts(double volts) {
  // Locale-free: the GUI's locale must not turn the point into a comma.
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, volts, std::chars_format::fixed, 3);
  std::string s(buf, r.ptr);
  if (s == "-0.000") s = "0.000";
  return s + "V ";
}

std::string trimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

int filterLimitKey(std::string_view text, int caret, int key) {
  if (key == kKeyBackspace || key == kKeyEnter) return key;
  if (key == '.') return text.find('.') == std::string_view::npos ? key : 0;
  if (key == '-') return caret == 0 && text.find('-') == std::string_view::npos ? key : 0;
  return key >= '0' && key <= '9' ? key : 0;
}

BoxRef dischargeBox(int cell) {
  return cell <= 8 ? BoxRef{1, cell - 1} : BoxRef{2, cell - 9};
}

BoxRef maskBox(int cell) {
  return cell <= 4 ? BoxRef{2, cell + 3} : BoxRef{3, cell - 5};
}

}  // namespace kb::config
