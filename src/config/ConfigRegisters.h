#pragma once
// Pure rules of the configuration editor: register texts and bits, the CDC descriptions, the
// voltage-limit conversions and the key filter of the limit boxes, the cell-to-box mapping of
// the discharge and mask bits.
#include <string>
#include <string_view>

namespace kb::config {

// Register text (two upper-case hex digits) to its value; an empty or garbled text reads 0.
int registerValue(std::string_view text);
// Value (taken modulo 256) to its register text.
std::string registerText(int value);

// CDC 0..7: the values row and the remark row that Text3 shows (every blank is part of them).
struct CdcDescription {
  const char* values;
  const char* remark;
};
const CdcDescription& cdcDescription(int cdc);

// Voltage limits. VUV is CFGR4, VOV is CFGR5; both in steps of 24 mV.
enum class Limit { VUV = 0, VOV = 1 };
inline constexpr double kLimitStep = 0.024;
double minVolts(Limit limit);
double maxVolts(Limit limit);
// The message shown when a volt entry is outside its range.
const char* rangeMessage(Limit limit);
inline constexpr const char* kCrossedMessage = "VUV must be less than VOV";
// volts / 0.024 + 31 (VUV) or + 32 (VOV), in single precision and not yet rounded.
float unroundedCode(Limit limit, double volts);
// The stored code: nearest integer, halves to the even neighbour, held within 0..255.
int roundCode(float code);
double codeToVolts(Limit limit, int code);
// "0.000" followed by "V ".
std::string formatVolts(double volts);

std::string trimBlanks(std::string_view text);

// Key filter of the limit boxes over the already trimmed text and the caret in it: returns the
// key to insert, or 0 to drop it. Backspace (8) and Enter (13) pass.
int filterLimitKey(std::string_view text, int caret, int key);

inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyEnter = 13;

// The discharge (DCC) and mask (MCI) boxes of cell 1..12: array 1, 2 or 3 (Check1..Check3) and
// the index in it, which is also the bit in CFGR1..CFGR3.
struct BoxRef {
  int array;
  int index;
};
BoxRef dischargeBox(int cell);
BoxRef maskBox(int cell);

}  // namespace kb::config
