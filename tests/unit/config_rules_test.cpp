// Pure rules of the configuration editor and the board set: limit conversions, the key filter of
// the limit boxes, the cell-to-box mapping of the discharge and mask bits, the board-set texts.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "common/NumberText.h"
#include "config/ConfigRegisters.h"
#include "startup/BoardSet.h"

namespace kb::config {
namespace {

TEST(LimitConversion, VoltsToCodesRoundHalvesToEven) {
  struct Case {
    Limit limit;
    double volts;
    int code;
  };
  const Case cases[] = {
      {Limit::VUV, 3.0, 156},   {Limit::VOV, 4.2, 207},   {Limit::VUV, -0.744, 0},
      {Limit::VUV, 5.376, 255}, {Limit::VOV, 5.352, 255}, {Limit::VOV, -0.768, 0},
      {Limit::VUV, 0.0, 31},    {Limit::VOV, 0.0, 32},    {Limit::VUV, 0.012, 32},  // 31.5
      {Limit::VUV, 0.036, 32},                                                      // 32.5
      {Limit::VUV, 0.06, 34},                                                       // 33.5
      {Limit::VOV, 1.5, 94},                                                        // 94.5
  };
  for (const Case& c : cases) {
    EXPECT_EQ(roundCode(unroundedCode(c.limit, c.volts)), c.code) << c.volts;
  }
}

TEST(LimitConversion, CodesToVoltTexts) {
  struct Case {
    Limit limit;
    int code;
    const char* text;
  };
  const Case cases[] = {
      {Limit::VUV, 156, "3.000V "}, {Limit::VOV, 207, "4.200V "}, {Limit::VUV, 0, "-0.744V "},
      {Limit::VOV, 0, "-0.768V "},  {Limit::VUV, 31, "0.000V "},  {Limit::VUV, 255, "5.376V "},
      {Limit::VUV, 181, "3.600V "},
  };
  for (const Case& c : cases) EXPECT_EQ(formatVolts(codeToVolts(c.limit, c.code)), c.text);
}

TEST(LimitConversion, CodesOutsideTheByteAreHeld) {
  EXPECT_EQ(roundCode(-3.0F), 0);
  EXPECT_EQ(roundCode(300.0F), 255);
}

TEST(LimitEntry, LeadingNumberIgnoresWhatFollows) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {{"3.000V ", 3.0}, {"  -0.744V", -0.744}, {"", 0.0},
                        {"Set VUV", 0.0}, {".5", 0.5},           {"-", 0.0},
                        {"4.", 4.0},      {"12ab3", 12.0}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value) << c.text;
  EXPECT_FALSE(startsWithNumber("Set VOV  "));
  EXPECT_TRUE(startsWithNumber(" -1"));
}

TEST(LimitEntry, KeyFilter) {
  struct Case {
    const char* text;
    int caret;
    int key;
    int result;
  };
  const Case cases[] = {
      {"3", 1, '5', '5'}, {"3", 1, '.', '.'}, {"3.0", 3, '.', 0}, {"", 0, '-', '-'},
      {"3", 1, '-', 0},   {"3", 0, '-', '-'}, {"-3", 0, '-', 0},  {"3", 1, 'a', 0},
      {"3", 1, ' ', 0},   {"3", 1, 'V', 0},   {"3.0", 3, 8, 8},   {"3.0", 3, 13, 13},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(filterLimitKey(c.text, c.caret, c.key), c.result) << c.text << " " << c.key;
  }
}

TEST(DischargeAndMask, CellsMapToTheirBoxes) {
  struct Case {
    int cell;
    BoxRef dcc;
    BoxRef mask;
  };
  const Case cases[] = {{1, {1, 0}, {2, 4}}, {4, {1, 3}, {2, 7}}, {5, {1, 4}, {3, 0}},
                        {8, {1, 7}, {3, 3}}, {9, {2, 0}, {3, 4}}, {10, {2, 1}, {3, 5}},
                        {12, {2, 3}, {3, 7}}};
  for (const Case& c : cases) {
    EXPECT_EQ(dischargeBox(c.cell).array, c.dcc.array) << c.cell;
    EXPECT_EQ(dischargeBox(c.cell).index, c.dcc.index) << c.cell;
    EXPECT_EQ(maskBox(c.cell).array, c.mask.array) << c.cell;
    EXPECT_EQ(maskBox(c.cell).index, c.mask.index) << c.cell;
  }
}

}  // namespace
}  // namespace kb::config

namespace kb::startup {
namespace {

TEST(BoardSetTexts, ButtonCaptionsAndHeaders) {
  EXPECT_EQ(boardButtonCaption(0, "80"), "BRD# 1    0x80");
  EXPECT_EQ(boardButtonCaption(8, "88"), "BRD# 9    0x88");
  EXPECT_EQ(boardButtonCaption(9, "8F"), "BRD#10   0x8F");
  EXPECT_EQ(boardNumbersHeader(0), "BOARD#   1");
  EXPECT_EQ(boardNumbersHeader(1), "BOARD#   1      2");
  EXPECT_EQ(boardNumbersHeader(9),
            "BOARD#   1      2      3      4      5      6      7      8      9     10");
  BoardSet bs;
  bs.setAddressDefaults();
  EXPECT_EQ(addressesHeader(bs.BoardAddress, 0), "ADDRESS 80");
  EXPECT_EQ(addressesHeader(bs.BoardAddress, 2), "ADDRESS 80    81    82");
}

TEST(BoardSetTexts, AddressPositions) {
  const std::array<std::pair<const char*, int>, 6> cases{
      {{"80", 0}, {"89", 9}, {"8A", 10}, {"8F", 15}, {"90", -1}, {"", -1}}};
  for (const auto& [address, position] : cases) {
    EXPECT_EQ(addressPosition(address), position) << address;
  }
}

}  // namespace
}  // namespace kb::startup
