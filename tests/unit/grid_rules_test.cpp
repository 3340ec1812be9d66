// Cell status rules: (configuration bits, flags, validity) -> code, the flag bit of each cell, and
// how each code is drawn in the summary row, the cell panel and the legend.
#include <gtest/gtest.h>

#include "FakeDriver.h"
#include "common/Clock.h"
#include "context/Context.h"
#include "ui/main/MainWindow.h"
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

TEST(CellStatusRules, FlagBitsOfEachCell) {
  const FlagBytes flags{0x39, 0x00, 0x80};
  const struct {
    int cell;
    bool uv, ov;
  } cases[] = {{0, true, false},  {1, false, true},  {2, true, true},  {3, false, false},
               {4, false, false}, {8, false, false}, {11, false, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(underVoltageBit(flags, c.cell), c.uv) << c.cell;
    EXPECT_EQ(overVoltageBit(flags, c.cell), c.ov) << c.cell;
  }
}

struct SilentDialogs final : form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

struct Window {
  Window() {
    driver.answers.push_back("QXM7140-2");
    EXPECT_TRUE(window.load());
  }
  test::FakeDriver driver;
  link::ControllerLink link{driver};
  ManualClock clock;
  SilentDialogs dialogs;
  ui::MainWindow window{ui::Services{link, clock, dialogs, nullptr}};
};

TEST(CellStatusDraw, EachCodeInTheSummaryRowAndThePanel) {
  Window w;
  ui::Context& ctx = w.window.context();
  const struct {
    int top, height;
    std::int32_t fill, background;
  } looks[] = {
      {600, 255, 16777215, 16777215}, {600, 255, 65280, 14737632}, {720, 135, 16744576, 14737632},
      {720, 135, 65535, 14737632},    {480, 375, 255, 14737632},   {360, 495, 14737632, 14737632},
      {720, 135, 8421504, 14737632},  {360, 495, 33023, 14737632},
  };
  for (int code = 0; code < 8; ++code) ctx.views.status(0, code) = code;
  ctx.views.status(0, 8) = 4;
  drawCellPanels(ctx);
  ctx.views.status(0, 8) = 9;  // outside 0..7: both shapes stay as they were
  drawCellStatus(ctx);
  for (int code = 0; code < 8; ++code) {
    EXPECT_EQ(ctx.c.Shape1[code].fillColor, looks[code].fill) << code;
    EXPECT_EQ(ctx.c.Shape2[code].top, looks[code].top) << code;
    EXPECT_EQ(ctx.c.Shape2[code].height, looks[code].height) << code;
    EXPECT_EQ(ctx.c.Shape2[code].fillColor, looks[code].fill) << code;
    EXPECT_EQ(ctx.c.Shape4[code].fillColor, looks[code].background) << code;
  }
  EXPECT_EQ(ctx.c.Shape2[8].fillColor, 255);
  EXPECT_EQ(ctx.c.Shape2[8].top, 480);
  EXPECT_EQ(ctx.c.Shape1[8].fillColor, 16777215);
}

TEST(CellStatusDraw, LegendRowsTopToBottom) {
  Window w;
  const ui::MainControls& c = w.window.context().c;
  const struct {
    const char *tag, *description;
    std::int32_t tagColour, sample;
  } rows[] = {
      {" THERMAL SD!", "Thermal Shutdown!", 33023, 33023},
      {" DANGER!", "Flag Over Voltage ", 255, 255},
      {" GOOD", "Voltage In Range", 65280, 65280},
      {" CLEAR", "No Voltage Reading", 16777215, 16777215},
      {" MASKED", "Mask Cell Interrupt", 12632256, 14737632},
      {" MASKDCC", "Mask Cell Int w/ DCC", 12632256, 8421504},
      {" DISCHARGE", "DisCharge Cell", 16744576, 16744576},
      {" CAUTION!", "Flag  Under Voltage ", 65535, 65535},
  };
  EXPECT_EQ(c.Frame8->caption(), "LEGEND");
  for (int r = 0; r < 8; ++r) {
    EXPECT_EQ(c.Label10[r].caption(), rows[r].tag) << r;
    EXPECT_EQ(c.Label10[r].foreColor, rows[r].tagColour) << r;
    EXPECT_EQ(c.Label11[r].caption(), rows[r].description) << r;
    EXPECT_EQ(c.Shape9[r].fillColor, rows[r].sample) << r;
    EXPECT_EQ(c.Shape10[r].fillColor, rows[r].sample) << r;
  }
}

}  // namespace
}  // namespace kb::views
