// Single-cell and single-temperature selection: the select digits the conversion starts carry,
// ReadOnlyMode with the conversion-start broadcast boxes, and the greying of what is left out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainWindowRig.h"

namespace kb::views {
namespace {

using test::MainWindowRig;

// Cells 1..12 whose summary mark in a board's row is solid.
std::vector<int> solidMarks(MainWindowRig& rig, int board) {
  std::vector<int> cells;
  for (int c = 0; c < 12; ++c) {
    if (rig.c().Shape1[12 * board + c].fillStyle == form::kFillSolid) cells.push_back(c + 1);
  }
  return cells;
}

const std::vector<int> kAllCells{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

TEST(Selection, ReadOnlyCell10GreysTheOthersAndSelectsItsDigit) {
  MainWindowRig rig("boards=3");
  auto& c = rig.c();
  rig.select(*c.Combo1, 2);
  rig.click(c.Check6[9]);
  EXPECT_EQ(rig.ctx().selection.ReadOnlyMode, 1);
  EXPECT_EQ(rig.ctx().startup.cellSelectDigit, "A");
  for (int cell = 0; cell < 12; ++cell) {
    const bool chosen = cell == 9;
    const std::int32_t text = chosen ? kBlack : kGrey;
    EXPECT_EQ(c.Check6[cell].enabled, chosen) << cell;
    EXPECT_EQ(c.Check6[cell].foreColor, text) << cell;
    EXPECT_EQ(c.Frame1[cell].foreColor, text) << cell;
    EXPECT_EQ(c.Text1[cell].backColor, chosen ? kWindowBackground : kGrey) << cell;
  }
  // The gauge of a left-out cell is a grey outline; the chosen cell's stays solid and black.
  for (const int cell : {0, 9}) {
    const bool chosen = cell == 9;
    for (form::Array* shape : {&c.Shape2, &c.Shape4, &c.Shape5}) {
      EXPECT_EQ((*shape)[cell].fillStyle, chosen ? form::kFillSolid : form::kFillTransparent);
      EXPECT_EQ((*shape)[cell].borderColor, chosen ? kBlack : kGrey);
    }
    for (form::Array* line : {&c.Line7, &c.Line9, &c.Line10}) {
      EXPECT_EQ((*line)[cell].borderColor, chosen ? kBlack : kGrey);
    }
  }
  // Discharge and mask boxes of cell 10 (Check2(1), Check3(5)) and of cell 1 (Check1(0),
  // Check2(4)).
  EXPECT_EQ(c.Check2[1].foreColor, kBlack);
  EXPECT_EQ(c.Check3[5].foreColor, kBlack);
  EXPECT_EQ(c.Check1[0].foreColor, kGrey);
  EXPECT_EQ(c.Check2[4].foreColor, kGrey);
  // Addressed: only the current board's row goes hollow; cell 10 stays solid in every row.
  EXPECT_EQ(solidMarks(rig, 0), std::vector<int>{10});
  EXPECT_EQ(solidMarks(rig, 1), kAllCells);
  EXPECT_EQ(solidMarks(rig, 2), kAllCells);

  rig.sent();
  rig.click(c.Command1[2]);
  EXPECT_EQ(rig.sent(), std::vector<std::string>{"MSxS80S49S1AS86X"});

  // Clearing restores every cell and converts all of them again.
  rig.click(c.Check6[9]);
  EXPECT_EQ(rig.ctx().selection.ReadOnlyMode, 0);
  for (int cell = 0; cell < 12; ++cell) {
    EXPECT_TRUE(c.Check6[cell].enabled);
    EXPECT_EQ(c.Frame1[cell].foreColor, kBlack);
    EXPECT_NE(c.Text1[cell].backColor, kGrey);
    EXPECT_EQ(c.Shape4[cell].fillStyle, form::kFillSolid);
    EXPECT_EQ(c.Line9[cell].borderColor, kBlack);
  }
  for (int b = 0; b < 3; ++b) EXPECT_EQ(solidMarks(rig, b), kAllCells);
  rig.click(c.Command1[2]);
  EXPECT_EQ(rig.sent(), std::vector<std::string>{"MSxS80S49S10SB0X"});
}

TEST(Selection, TheConversionStartBroadcastSwitchesTheMode) {
  MainWindowRig rig("boards=2");
  auto& c = rig.c();
  rig.select(*c.Combo1, 1);

  // Ticked while STCVAD goes out as a broadcast: every row hollow but for cell 1.
  rig.click(c.Check5[2]);
  rig.click(c.Check6[0]);
  EXPECT_EQ(rig.ctx().selection.ReadOnlyMode, 2);
  EXPECT_EQ(solidMarks(rig, 0), std::vector<int>{1});
  EXPECT_EQ(solidMarks(rig, 1), std::vector<int>{1});

  // Clearing the broadcast box: addressed colouring, the other board's row solid again.
  rig.click(c.Check5[2]);
  EXPECT_EQ(rig.ctx().selection.ReadOnlyMode, 1);
  EXPECT_EQ(solidMarks(rig, 0), std::vector<int>{1});
  EXPECT_EQ(solidMarks(rig, 1), kAllCells);
  EXPECT_EQ(rig.ctx().startup.cellSelectDigit, "1");

  // Any of the four coupled boxes switches it back (STCVDC here).
  rig.click(c.Check8[0]);
  EXPECT_EQ(rig.ctx().selection.ReadOnlyMode, 2);
  EXPECT_EQ(solidMarks(rig, 1), std::vector<int>{1});
  rig.sent();
  rig.click(c.Command3[0]);
  EXPECT_EQ(rig.sent(), std::vector<std::string>{"MSxS61SE0X"});
}

TEST(Selection, BoardSelectionAndCountRedrawTheSelection) {
  MainWindowRig rig("boards=3");
  auto& c = rig.c();
  rig.select(*c.Combo1, 1);
  rig.click(c.Check6[11]);  // addressed, board 1 current
  EXPECT_EQ(solidMarks(rig, 0), std::vector<int>{12});

  rig.click(c.Command4[1]);
  EXPECT_EQ(solidMarks(rig, 0), kAllCells);
  EXPECT_EQ(solidMarks(rig, 1), std::vector<int>{12});
  EXPECT_FALSE(c.Check6[0].enabled) << "the selection persists across boards";
  EXPECT_EQ(rig.ctx().startup.cellSelectDigit, "C");

  // Broadcast, then a third board: its row is drawn hollow too.
  rig.click(c.Check5[3]);
  rig.select(*c.Combo1, 2);
  EXPECT_EQ(rig.ctx().selection.ReadOnlyMode, 2);
  for (int b = 0; b < 3; ++b) EXPECT_EQ(solidMarks(rig, b), std::vector<int>{12}) << b;
}

TEST(Selection, OnlyOneTemperatureInput) {
  MainWindowRig rig;
  auto& c = rig.c();
  struct Case {
    int box;
    const char* digit;
    const char* frame;
  };
  for (const Case& k : {Case{0, "3", "MSxS80S49S33S59X"}, Case{1, "1", "MSxS80S49S31S57X"},
                        Case{2, "2", "MSxS80S49S32S5EX"}}) {
    rig.click(c.Check7[k.box]);
    EXPECT_EQ(rig.ctx().startup.tempSelectDigit, k.digit);
    for (int i = 0; i < 3; ++i) {
      const bool chosen = i == k.box;
      EXPECT_EQ(c.Check7[i].enabled, chosen) << k.box << " " << i;
      EXPECT_EQ(c.Check7[i].foreColor, chosen ? kBlack : kGrey);
      EXPECT_EQ(c.Label_TMP[i].foreColor, chosen ? kBlack : kGrey);
      EXPECT_EQ(c.Text6[i].backColor == kGrey, !chosen);
      EXPECT_EQ(c.Shape_TMP[i].borderColor, chosen ? kBlack : kGrey);
      EXPECT_EQ(c.Shape_TMP[i].fillStyle, chosen ? form::kFillSolid : form::kFillTransparent);
    }
    rig.sent();
    rig.click(c.Command1[4]);
    EXPECT_EQ(rig.sent(), std::vector<std::string>{k.frame});

    rig.click(c.Check7[k.box]);
    EXPECT_EQ(rig.ctx().startup.tempSelectDigit, "0");
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(c.Check7[i].enabled);
      EXPECT_NE(c.Text6[i].backColor, kGrey);
      EXPECT_EQ(c.Shape_TMP[i].borderColor, kBlack);
      EXPECT_EQ(c.Shape_TMP[i].fillStyle, form::kFillSolid);
    }
  }
}

TEST(Selection, ASelfTestMarkOutlivesTheGreying) {
  MainWindowRig rig("fault=selftest:1:3");
  auto& c = rig.c();
  rig.click(c.Command0[1]);
  rig.click(c.Command1[5]);
  rig.clock.advance(0.2);
  rig.click(c.Command5[0]);
  rig.clock.advance(0.2);
  rig.click(c.Command5[3]);
  ASSERT_EQ(c.Text1[2].backColor, kRed);
  rig.click(c.Check6[2]);
  EXPECT_EQ(c.Text1[2].backColor, kRed) << "the selected cell keeps its mark";
  EXPECT_EQ(c.Text1[3].backColor, kGrey);
  rig.click(c.Check6[2]);
  EXPECT_EQ(c.Text1[2].backColor, kRed);
  EXPECT_EQ(c.Text1[3].backColor, kWhite);
  // Greyed while another cell is selected, the mark comes back with the cell.
  rig.click(c.Check6[7]);
  EXPECT_EQ(c.Text1[2].backColor, kGrey);
  rig.click(c.Check6[7]);
  EXPECT_EQ(c.Text1[2].backColor, kRed);
}

}  // namespace
}  // namespace kb::views
