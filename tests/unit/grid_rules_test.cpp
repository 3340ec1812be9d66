// Cell status rules: (configuration bits, flags, validity) -> code.
#include <gtest/gtest.h>

#include "views/CellGrid.h"

namespace kb::views {
namespace {

TEST(CellStatusRules, FromTheConfiguration) {
  const struct {
    bool discharge, mask;
    int flagValid, cellValid, code;
  } cases[] = {
      {false, false, 0, 0, 0}, {false, false, 0, 1, 0},  // voltages alone give no reading
      {true, false, 0, 1, 0},  {true, true, 0, 1, 0},    // nor does a discharge or mask bit
      {false, false, 1, 0, 0}, {false, false, 1, 1, 1}, {true, false, 1, 0, 2},
      {false, true, 1, 1, 5},  {true, true, 1, 1, 6},   {true, true, 1, 0, 6},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(configStatus(c.discharge, c.mask, c.flagValid, c.cellValid), c.code)
        << c.discharge << c.mask << c.flagValid << c.cellValid;
  }
}

TEST(CellStatusRules, FromTheFlags) {
  const struct {
    int status;
    bool uv, ov;
    int flagValid, code;
  } cases[] = {
      {0, false, false, 1, 1}, {1, true, false, 1, 3},  {1, false, true, 1, 4},
      {0, true, true, 1, 4},                            // both flags: over-voltage wins
      {3, false, false, 1, 1}, {4, true, false, 1, 3},  // UV/OV are re-judged
      {2, true, false, 1, 2},  {5, false, true, 1, 5},  {6, true, false, 1, 6},  // flags hidden
      {7, true, true, 1, 7},   {4, false, false, 0, 0}, {6, false, false, 0, 0},
      {9, true, false, 1, 9},  {9, false, false, 0, 0},  // unknown codes stay, until invalid
  };
  for (const auto& c : cases) {
    EXPECT_EQ(flagStatus(c.status, c.uv, c.ov, c.flagValid), c.code)
        << c.status << c.uv << c.ov << c.flagValid;
  }
}

}  // namespace
}  // namespace kb::views
