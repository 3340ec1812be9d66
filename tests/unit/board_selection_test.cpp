// Selecting a board: the texts that name it, the marker and highlighting, and the refresh of the
// views for the board selected.
#include <gtest/gtest.h>

#include "MainWindowRig.h"
#include "startup/BoardControls.h"

namespace kb::test {
namespace {

TEST(BoardSelection, RelabelsForTheBoardAndMovesTheMarker) {
  const struct {
    int index;
    const char *number, *header, *option, *address, *only, *brd;
    int marker;
  } cases[] = {
      {0, "1", "CUSTOM  BOARD # 1", "CUSTOM BRD# 1", "SET/ DISPLAY BOARD # 1 AT HEX ADDRESS",
       "BOARD# 1 ONLY", "BRD#1", 6720},
      {8, "9", "CUSTOM  BOARD # 9", "CUSTOM BRD# 9", "SET/ DISPLAY BOARD # 9 AT HEX ADDRESS",
       "BOARD# 9 ONLY", "BRD#9", 9600},
      {9, "10", "CUSTOM  BOARD #10", "CUSTOM BRD#10", "SET/ DISPLAY BOARD#10 AT HEX ADDRESS",
       "BOARD#10 ONLY", "BRD#10", 9960},
  };
  MainWindowRig r("boards=10");
  auto& c = r.c();
  r.select(*c.Combo1, 9);
  for (const auto& t : cases) {
    r.click(c.Command4[t.index == 0 ? 5 : 0]);  // from another board
    r.click(c.Command4[t.index]);
    EXPECT_EQ(c.Label21->caption(), t.number);
    EXPECT_EQ(c.Label13[0].caption(), t.header);
    EXPECT_EQ(c.Option3[0].caption(), t.option);
    EXPECT_EQ(c.Label14->caption(), t.address);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(c.Label18[k].caption(), t.only) << k;
    for (int k = 0; k < 6; ++k) EXPECT_EQ(c.Label19[k].caption(), t.brd) << k;
    EXPECT_EQ(c.Label20[1].caption(), t.brd);
    EXPECT_EQ(c.Label20[2].caption(), t.brd);
    EXPECT_EQ(c.Image1->left, t.marker);
  }
}

TEST(BoardSelection, HighlightsTheSelectedButtonAndSummaryColumn) {
  MainWindowRig r("boards=3");
  auto& c = r.c();
  r.select(*c.Combo1, 2);
  r.click(c.Command4[2]);
  // Column units are 7 twips, unit 172 at 3450: board 3 selected at 457, 30 high.
  EXPECT_EQ(c.Command4[2].top, 5445);
  EXPECT_EQ(c.Command4[2].height, 210);
  EXPECT_EQ(c.Command4[0].top, 5970);
  EXPECT_EQ(c.Command4[0].height, 287);
  EXPECT_EQ(c.Command4[9].top, 3450);
  for (const int s : {24, 35}) {
    EXPECT_EQ(c.Shape1[s].borderColor, kBlack);
    EXPECT_EQ(c.Shape1[s].borderWidth, 2);
  }
  EXPECT_EQ(c.Shape12[2].borderWidth, 2);
  EXPECT_EQ(c.Shape1[0].borderColor, kLightGrey);
  EXPECT_EQ(c.Shape1[0].borderWidth, 1);
  EXPECT_EQ(c.Shape12[0].borderColor, kLightGrey);
}

TEST(BoardSelection, TheNewBoardsCellsAndReminderFollow) {
  MainWindowRig r("boards=2");
  auto& c = r.c();
  r.select(*c.Combo1, 1);
  r.click(c.Command0[1]);
  r.click(c.Command1[5]);
  r.click(c.Check5[2]);
  r.click(c.Command4[1]);
  r.click(c.Command1[2]);
  r.click(c.Command1[7]);
  r.click(c.Command1[8]);
  r.click(c.Command4[0]);
  // A broadcast start, then only board 1 read: board 2 still shows its old values elsewhere.
  r.click(c.Command1[2]);
  r.click(c.Command1[7]);
  r.click(c.Command1[8]);
  const std::string board1Cell1 = c.Text1[0].text();
  EXPECT_EQ(c.Command1[7].caption(), "READCELLVOLT");

  r.click(c.Command4[1]);
  EXPECT_EQ(c.Command1[7].caption(), "READCELL");
  EXPECT_TRUE(c.ReminderMark[1].visible);
  for (int cell = 0; cell < 12; ++cell) {
    EXPECT_EQ(c.Text1[cell].text(), " 0.0000V  ") << cell;
    EXPECT_EQ(c.Shape2[cell].fillColor, kWhite) << cell;
  }

  // Back on board 1, which was read: nothing to remind, its own values.
  r.click(c.Command4[0]);
  EXPECT_EQ(c.Command1[7].caption(), "READCELLVOLT");
  EXPECT_FALSE(c.ReminderMark[1].visible);
  EXPECT_EQ(c.Text1[0].text(), board1Cell1);
  EXPECT_EQ(c.Shape2[0].fillColor, kGreen);
}

TEST(BoardSelection, AnIndexOutsideTheBoardsRefreshesTheCurrentOne) {
  MainWindowRig r("boards=2");
  ui::Context& ctx = r.ctx();
  r.select(*ctx.c.Combo1, 1);
  r.click(ctx.c.Command4[1]);
  ctx.views.status(1, 3) = 4;
  startup::Command4_Click(ctx, 10);
  EXPECT_EQ(ctx.boards.CurrentBoard, 1);
  EXPECT_EQ(ctx.c.Label21->caption(), "2");
  EXPECT_EQ(ctx.balancer.shownBoard, 1) << "the label shows the balancer's state";
  EXPECT_EQ(ctx.c.Shape1[15].fillColor, kRed);
  EXPECT_EQ(ctx.c.Shape2[3].fillColor, kRed);

  // A SEND in progress leaves the grid as it stands.
  ctx.views.status(1, 3) = 3;
  ctx.balancer.BalancerBusy = true;
  startup::Command4_Click(ctx, 1);
  EXPECT_EQ(ctx.c.Shape1[15].fillColor, kRed);
}

}  // namespace
}  // namespace kb::test
