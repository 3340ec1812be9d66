#pragma once
// The numeric value of a text as the program's boxes and labels hold it: its leading decimal
// number (blanks, sign, digits, one point, digits); what follows is ignored, and a text without
// one reads 0. Read without the locale. A number too large for a double reads as infinity (with
// its sign), one too small as 0.
#include <string_view>

namespace kb {

double leadingNumber(std::string_view text);
// True when the text (after leading blanks) starts with a number.
bool startsWithNumber(std::string_view text);

}  // namespace kb
