// The board set over the simulated stack: start-up defaults, board count and address changes,
// broadcast boxes and their coupling, LOW CURRENT STBY.
#include <gtest/gtest.h>

#include "MainWindowRig.h"
#include "common/Colors.h"

namespace kb::test {
namespace {

using Strings = std::vector<std::string>;
const std::string kBroadcastDefaultWrite = "MSXxT01SC7SE0S00S00S00S00S00SFEX";

TEST(BoardSet, StartUpDefaults) {
  MainWindowRig r("boards=2");
  ASSERT_TRUE(r.loaded);
  auto& c = r.c();
  EXPECT_EQ(c.Command4[0].caption(), "BRD# 1    0x80");
  EXPECT_EQ(c.Command4[4].caption(), "BRD# 5    0x84");
  EXPECT_EQ(c.Command4[9].caption(), "BRD#10   0x89");
  for (int b = 0; b < 10; ++b) {
    EXPECT_EQ(c.Command4[b].visible, b == 0);
    EXPECT_EQ(c.Shape12[b].visible, b == 0);
    EXPECT_EQ(c.Shape1[12 * b + 11].visible, b == 0);
  }
  EXPECT_EQ(c.Label12->caption(), "BOARD#   1");
  EXPECT_EQ(c.Label15->caption(), "ADDRESS 80");
  EXPECT_EQ(c.Combo1->text(), "1");
  EXPECT_EQ(c.Combo2->text(), "0");
  // Only WRCFG goes out as a broadcast; it selected GLOBAL on both option pairs.
  for (int k = 0; k <= 5; ++k) {
    EXPECT_EQ(c.Check5[k].value(), k == 5 ? 1 : 0) << k;
    EXPECT_EQ(c.Check5[k].caption(), k == 5 ? "BROADCAST" : "B'CAST") << k;
    EXPECT_EQ(c.Check5[k].width, k == 5 ? 1695 : 855) << k;
    EXPECT_EQ(c.Label19[k].visible, k != 5) << k;
  }
  EXPECT_EQ(c.Option1[1].value(), 1);
  EXPECT_EQ(c.Option3[1].value(), 1);
  EXPECT_EQ(r.ctx().boards.GlobalConfigMode, 1);
  EXPECT_EQ(r.ctx().boards.CopyConfigToAll, 1);

  r.click(c.Command1[0]);  // POLL ADC, addressed
  r.click(c.Command1[5]);
  EXPECT_EQ(r.sent(), (Strings{"MSxS80S49S40S07", "MSX", kBroadcastDefaultWrite}));
  EXPECT_EQ(c.Text8->text(), "  C7  |  FE  |");
  // READ CONFIG is reminded after the write, and released by it.
  EXPECT_EQ(c.Command1[6].width, 1215);
  EXPECT_TRUE(c.ReminderMark[0].visible);
  r.click(c.Command1[6]);
  EXPECT_EQ(c.Command1[6].width, 1455);
  EXPECT_FALSE(c.ReminderMark[0].visible);
}

TEST(BoardSet, ChoosingTwoBoardsReadsEveryBoardThenTheCurrentOne) {
  MainWindowRig r("boards=2");
  auto& c = r.c();
  r.select(*c.Combo1, 1);
  EXPECT_EQ(r.sent(), (Strings{rdcfg("80"), rdcfg("81"), rdcfg("80")}));
  EXPECT_EQ(r.ctx().boards.LastBoardIndex, 1);
  EXPECT_EQ(c.Label12->caption(), "BOARD#   1      2");
  EXPECT_EQ(c.Label15->caption(), "ADDRESS 80    81");
  for (int b = 0; b < 10; ++b) {
    EXPECT_EQ(c.Command4[b].visible, b <= 1) << b;
    EXPECT_EQ(c.Shape12[b].visible, b <= 1) << b;
    for (int cell = 0; cell < 12; ++cell) EXPECT_EQ(c.Shape1[12 * b + cell].visible, b <= 1);
  }
  EXPECT_EQ(c.Label9[1].left, 7590);
  // The frame spans both buttons: column units 492..573.
  EXPECT_EQ(c.Shape15->top, ui::boardColumnY(492) - ui::kBoardFrameMargin);
  EXPECT_EQ(c.Shape15->height, ui::boardColumnLength(81) + 2 * ui::kBoardFrameMargin);
  EXPECT_EQ(r.window->statusForm().width, 7075);
  EXPECT_EQ(r.ctx().reads.pecState[1], monitor::kPecMatch);
  EXPECT_EQ(c.Shape12[1].fillColor, kGreen);
}

TEST(BoardSet, FewerBoardsThanTheCurrentOneSelectsTheLastRemaining) {
  MainWindowRig r("boards=4");
  auto& c = r.c();
  r.select(*c.Combo1, 3);
  r.click(c.Command4[3]);
  r.sent();
  r.select(*c.Combo1, 1);
  EXPECT_EQ(r.ctx().boards.CurrentBoard, 1);
  EXPECT_EQ(c.Label18[0].caption(), "BOARD# 2 ONLY");
  EXPECT_EQ(r.sent(), (Strings{rdcfg("80"), rdcfg("81"), rdcfg("81")}));

  // A position outside the list keeps the count but rebuilds and reads again.
  r.select(*c.Combo1, -1);
  EXPECT_EQ(r.ctx().boards.LastBoardIndex, 1);
  EXPECT_EQ(r.sent(), (Strings{rdcfg("80"), rdcfg("81"), rdcfg("81")}));
}

TEST(BoardSet, SelectingABoardRelabelsAndSyncsTheAddressWithoutCommands) {
  MainWindowRig r("boards=10");
  auto& c = r.c();
  r.select(*c.Combo1, 9);
  r.sent();
  r.click(c.Command4[9]);
  EXPECT_TRUE(r.sent().empty());
  EXPECT_EQ(r.ctx().boards.CurrentBoard, 9);
  EXPECT_EQ(c.Label14->caption(), "SET/ DISPLAY BOARD#10 AT HEX ADDRESS");
  EXPECT_EQ(c.Label18[3].caption(), "BOARD#10 ONLY");
  EXPECT_EQ(c.Label13[0].caption(), "CUSTOM  BOARD #10");
  EXPECT_EQ(c.Option3[0].caption(), "CUSTOM BRD#10");
  EXPECT_EQ(c.Label19[0].caption(), "BRD#10");
  EXPECT_EQ(c.Label20[2].caption(), "BRD#10");
  EXPECT_EQ(c.Combo2->listIndex(), 9);
  r.click(c.Command4[1]);
  EXPECT_EQ(c.Label14->caption(), "SET/ DISPLAY BOARD # 2 AT HEX ADDRESS");
  EXPECT_EQ(c.Label13[0].caption(), "CUSTOM  BOARD # 2");
}

TEST(BoardSet, AnAddressNobodyAnswersShowsRed) {
  MainWindowRig r("boards=3");
  auto& c = r.c();
  r.select(*c.Combo1, 2);
  r.click(c.Command4[2]);
  r.sent();
  r.select(*c.Combo2, 10);
  EXPECT_EQ(r.ctx().boards.BoardAddress[2], "8A");
  EXPECT_EQ(c.Command4[2].caption(), "BRD# 3    0x8A");
  EXPECT_EQ(c.Label15->caption(), "ADDRESS 80    81    8A");
  EXPECT_EQ(r.sent(), (Strings{rdcfg("80"), rdcfg("81"), rdcfg("8A"), rdcfg("8A")}));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(c.Text_ReadCfg[i].backColor, kRed) << i;
  EXPECT_EQ(c.Shape12[2].fillColor, kRed);
  EXPECT_EQ(c.Shape12[1].fillColor, kGreen);
}

TEST(BoardSet, ConversionStartBoxesAllFollowOne) {
  MainWindowRig r;
  auto& c = r.c();
  auto& flags = r.ctx().boards.BroadcastFlags;
  r.click(c.Check5[3]);  // STOWAD
  for (form::Control* box : {&c.Check5[2], &c.Check5[3], &c.Check8[0], &c.Check8[1]}) {
    EXPECT_EQ(box->value(), 1) << box->displayName();
    EXPECT_EQ(box->caption(), "BROADCAST");
    EXPECT_EQ(box->width, 1695);
  }
  for (int t = 2; t <= 7; ++t) EXPECT_EQ(flags[static_cast<std::size_t>(t)][0], t == 4 ? 0 : 1);
  EXPECT_FALSE(c.Label20[1].visible);
  r.click(c.Check8[1]);  // clearing any one clears all four
  for (form::Control* box : {&c.Check5[2], &c.Check5[3], &c.Check8[0], &c.Check8[1]}) {
    EXPECT_EQ(box->value(), 0) << box->displayName();
    EXPECT_EQ(box->width, 855);
  }
  EXPECT_TRUE(c.Label20[2].visible);
}

TEST(BoardSet, TheWriteBoxFollowsAndSetsTheConfigurationMode) {
  MainWindowRig r;
  auto& c = r.c();
  r.click(c.Check5[5]);
  EXPECT_EQ(c.Option1[0].value(), 1);
  EXPECT_EQ(c.Option3[0].value(), 1);
  EXPECT_EQ(r.ctx().boards.GlobalConfigMode, 0);
  EXPECT_EQ(r.ctx().boards.CopyConfigToAll, 0);
  r.click(c.Command1[5]);
  EXPECT_EQ(r.sent(), Strings{"MSXxT80S49S01SC7SE0S00S00S00S00S00SFEX"});

  r.click(c.Option3[1]);  // "GLOBAL CFGR0"
  EXPECT_EQ(c.Check5[5].value(), 1);
  EXPECT_EQ(c.Option1[1].value(), 1);
  EXPECT_EQ(r.ctx().boards.CopyConfigToAll, 1);
  r.click(c.Option1[0]);  // the twin pair switches both back
  EXPECT_EQ(c.Check5[5].value(), 0);
  EXPECT_EQ(c.Option3[0].value(), 1);
}

TEST(BoardSet, BroadcastChoicesCarryOverToTheSelectedBoard) {
  MainWindowRig r("boards=2");
  auto& c = r.c();
  r.select(*c.Combo1, 1);
  r.click(c.Check5[0]);
  r.click(c.Command4[1]);
  auto& flags = r.ctx().boards.BroadcastFlags;
  EXPECT_EQ(flags[0][1], 1);  // PLADC carried over
  EXPECT_EQ(flags[5][1], 1);
  EXPECT_EQ(flags[6][1], 0);  // the discharge-held starts keep their own
  r.sent();
  r.click(c.Command1[0]);
  EXPECT_EQ(r.sent(), Strings{"MSxS40S07"});
}

TEST(BoardSet, BroadcastExecuteSuspendComesWithEveryStackOfTwoOrMore) {
  for (const int boards : {3, 10}) {
    MainWindowRig r("boards=" + std::to_string(boards));
    form::Control& box = *r.c().Check_5;
    EXPECT_FALSE(box.visible);
    r.select(*r.c().Combo1, boards - 1);
    EXPECT_TRUE(box.visible) << boards;
    EXPECT_EQ(box.value(), 1) << boards;
  }
}

TEST(BoardSet, LowCurrentStandbyWritesDefaultsReadsEveryBoardAndForcesTheLinesHigh) {
  MainWindowRig r("boards=2");
  auto& c = r.c();
  r.select(*c.Combo1, 1);
  // An edited configuration and limits are replaced by the defaults.
  r.click(c.Command0[1]);
  r.click(c.Text2[1]);
  r.type(c.Text2[1], "4.2");
  r.click(c.Command0[1]);
  r.sent();
  r.click(c.Command1[14]);
  EXPECT_EQ(r.sent(),
            (Strings{kBroadcastDefaultWrite, rdcfg("80"), rdcfg("81"), rdcfg("80"), "MI"}));
  EXPECT_EQ(r.window->stateVariable("LowCurrentStandby", -1), "1");
  EXPECT_EQ(r.ctx().config.cdc[0], 0);
  EXPECT_EQ(c.Text2[1].text(), "-0.768V ");
  for (const int i : {10, 2, 7, 4, 9, 8}) EXPECT_FALSE(c.Command1[i].enabled) << i;
  r.click(c.Command1[6]);
  EXPECT_EQ(r.window->stateVariable("LowCurrentStandby", -1), "0");
}

}  // namespace
}  // namespace kb::test
