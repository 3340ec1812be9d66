#pragma once
// Byte text: every byte sent to or read from the hardware travels as two upper-case hex digits.
#include <cstdint>
#include <string>
#include <string_view>

namespace kb {

// Two upper-case hex digits, leading "0" below 16 (value is taken modulo 256).
std::string hexByte(int value);

// Upper-case hex without leading zeros ("5", "1F").
std::string hexPlain(unsigned value);

// One upper-case hex digit of value & 0xF.
char hexDigit(int value);
// Value of one hex digit (either case), or -1.
int hexDigitValue(char c);

// Value of the leading hex digits of text after leading blanks; 0 when there are none.
// Filler taken from a reply therefore parses as 0.
unsigned hexValue(std::string_view text);

// Characters [pos, pos + len) of text by 1-based position; positions past the end read as blanks.
std::string mid(std::string_view text, int pos, int len);

}  // namespace kb
