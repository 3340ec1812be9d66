// The configuration editor over the simulated stack: CDC, CFGR0 bits, pending marks, voltage
// limits, discharge and mask bits, write and read-back.
#include <gtest/gtest.h>

#include "FakeDriver.h"
#include "MainWindowRig.h"
#include "common/Colors.h"
#include "config/ConfigEditor.h"
#include "monitor/MonitorCommands.h"

namespace kb::test {
namespace {

using Strings = std::vector<std::string>;

std::string edit(MainWindowRig& r, int board) {
  return *r.window->stateVariable("EditConfig", board);
}

TEST(ConfigEditor, CdcWrapsAroundAndSetsItsBits) {
  MainWindowRig r;
  auto& c = r.c();
  r.click(c.Command0[0]);  // 0 down
  EXPECT_EQ(r.ctx().config.cdc[0], 7);
  EXPECT_EQ(edit(r, 0), "E7 00 00 00 00 00");
  for (int bit = 0; bit <= 2; ++bit) EXPECT_EQ(c.Check0[bit].value(), 1);
  EXPECT_EQ(c.Text15->text(), "7");
  EXPECT_EQ(c.Text3->text().substr(0, 20), "|            2000mS ");
  r.click(c.Command0[1]);  // 7 up
  EXPECT_EQ(r.ctx().config.cdc[0], 0);
  EXPECT_EQ(edit(r, 0), "E0 00 00 00 00 00");
  for (int bit = 0; bit <= 2; ++bit) EXPECT_EQ(c.Check0[bit].value(), 0);
}

TEST(ConfigEditor, StandbyHintWhileCdcIsZero) {
  MainWindowRig r;
  auto& c = r.c();
  form::Control& hint = c.Label_KA[1];
  EXPECT_TRUE(hint.visible);
  EXPECT_EQ(hint.caption(),
            "CDC=0-STANDBY MODE. CLICK UP/DOWN BUTTON TO SET CDC>0 THEN WRITE CONFIG FOR MEASURE "
            "MODE");
  EXPECT_EQ(hint.backColor, kPaleYellow);
  EXPECT_EQ(hint.fontSize, 9);
  EXPECT_TRUE(c.Shape_STBY->visible);
  r.click(c.Command0[1]);
  EXPECT_FALSE(hint.visible);
  EXPECT_FALSE(c.Shape_STBY->visible);
}

TEST(ConfigEditor, GlobalCdcChangeReachesEveryBoardAndIsWrittenByBroadcast) {
  MainWindowRig r("boards=3");
  auto& c = r.c();
  r.select(*c.Combo1, 2);
  r.click(c.Command4[1]);
  r.click(c.Command0[1]);
  r.click(c.Command0[1]);
  for (int b = 0; b < 3; ++b) {
    EXPECT_EQ(r.ctx().config.cdc[static_cast<std::size_t>(b)], 2) << b;
    EXPECT_EQ(edit(r, b), "E2 00 00 00 00 00") << b;
  }
  r.sent();
  r.click(c.Command1[5]);
  EXPECT_EQ(r.sent(), Strings{"MSXxT01SC7SE2S00S00S00S00S00SACX"});
}

TEST(ConfigEditor, GlobalDischargeEditShowsOnEveryBoardAndIsWhatIsWritten) {
  MainWindowRig r("boards=2");
  auto& c = r.c();
  r.select(*c.Combo1, 1);
  r.click(c.Check1[0]);  // DCC of cell 1 on board 1
  r.click(c.Command4[1]);
  EXPECT_EQ(c.Check1[0].value(), 1);
  r.sent();
  r.click(c.Command1[5]);
  EXPECT_EQ(r.sent().front(), "MSXxT01SC7SE0S01S00S00S00S00S9CX");
}

TEST(ConfigEditor, PendingEditsAreMarkedUntilWritten) {
  MainWindowRig r;
  auto& c = r.c();
  // Nothing is written at start-up: pending from the start.
  EXPECT_EQ(r.ctx().config.ConfigPending, 1);
  form::Control& write = c.Command1[5];
  EXPECT_EQ(write.caption(), "WRITECONFIG");
  EXPECT_EQ(write.left, 11280);
  EXPECT_EQ(write.width, 1215);
  EXPECT_TRUE(c.WriteConfigMark->visible);
  EXPECT_EQ(c.Text4[0].foreColor, kOlive);
  EXPECT_EQ(c.Text4[0].backColor, kLightGrey);
  EXPECT_EQ(c.Text4[0].text(), "   E0   ");

  r.click(write);
  EXPECT_EQ(r.ctx().config.ConfigPending, 0);
  EXPECT_EQ(write.caption(), "WRITE CONFIG");
  EXPECT_EQ(write.left, 11160);
  EXPECT_EQ(write.width, 1455);
  EXPECT_FALSE(c.WriteConfigMark->visible);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(c.Text4[i].foreColor, kWindowText);
    EXPECT_EQ(c.Text4[i].backColor, kWhite);
    EXPECT_EQ(c.Text_ReadCfg[i].text(), "") << i;  // emptied until the next read
  }
  EXPECT_EQ(*r.window->stateVariable("WrittenConfig", 9), "E0 00 00 00 00 00");
  r.click(c.Command1[6]);
  EXPECT_EQ(c.Text_ReadCfg[0].text(), "   E0   ");

  // A CDC change marks the CDC boxes, the registers and the button again.
  r.click(c.Command0[1]);
  EXPECT_EQ(write.caption(), "WRITECONFIG");
  EXPECT_EQ(c.Text15->foreColor, kOlive);
  EXPECT_EQ(c.Text3->backColor, kLightGrey);
}

TEST(ConfigEditor, TenCellsSetsBitThreeOnEveryBoardAndHidesCellsElevenAndTwelve) {
  MainWindowRig r("boards=2");
  auto& c = r.c();
  r.select(*c.Combo1, 1);
  r.click(c.Check5[5]);  // CUSTOM: each board keeps its own CFGR0
  r.ctx().config.edit[0][0] = "41";
  r.ctx().config.edit[1][0] = "41";
  r.click(c.Command4[0]);  // the boxes show "41"
  c.Check0[3].setValue(1);
  EXPECT_EQ(r.ctx().config.edit[0][0], "49");
  EXPECT_EQ(r.ctx().config.edit[1][0], "49");
  EXPECT_FALSE(c.Frame1[10].visible);
  EXPECT_FALSE(c.Frame1[11].visible);
  c.Check0[3].setValue(0);
  EXPECT_EQ(r.ctx().config.edit[0][0], "41");
  EXPECT_EQ(r.ctx().config.edit[1][0], "41");
  EXPECT_TRUE(c.Frame1[11].visible);
  EXPECT_EQ(c.Frame1[11].caption(), "CELL12");
}

TEST(ConfigEditor, FocusOnACfgr0BoxWritesAndReadsTheConfiguration) {
  MainWindowRig r;
  auto& c = r.c();
  r.click(c.Check0[4]);  // the focus first writes and reads back, then the box is ticked
  EXPECT_EQ(r.sent(), (Strings{"MSXxT01SC7SE0S00S00S00S00S00SFEX", rdcfg("80")}));
  EXPECT_EQ(edit(r, 0), "F0 00 00 00 00 00");
  EXPECT_EQ(r.ctx().config.ConfigPending, 1);
}

TEST(ConfigEditor, DischargeAndMaskBoxesBuildTheirRegisters) {
  MainWindowRig r;
  auto& c = r.c();
  r.click(c.Check2[1]);  // DCC of cell 10
  r.click(c.Check2[4]);  // Mask of cell 1
  EXPECT_EQ(r.ctx().config.edit[0][2], "12");
  r.click(c.Check3[7]);  // Mask of cell 12
  EXPECT_EQ(r.ctx().config.edit[0][3], "80");
  for (int i = 0; i < 8; ++i) r.click(c.Check1[i]);
  EXPECT_EQ(r.ctx().config.edit[0][1], "FF");
  EXPECT_EQ(c.Check2[5].caption(), "Mask ");
}

TEST(ConfigEditor, SelectingABoardLoadsItsBoxes) {
  MainWindowRig r("boards=2");
  auto& c = r.c();
  r.select(*c.Combo1, 1);
  r.click(c.Check5[5]);  // CUSTOM
  r.ctx().config.edit[1][3] = "A5";
  r.click(c.Command4[1]);
  for (int i = 0; i < 8; ++i) {
    // Masks of cells 5, 7, 10 and 12.
    EXPECT_EQ(c.Check3[i].value(), (0xA5 >> i) & 1) << i;
  }
  EXPECT_EQ(r.ctx().config.edit[1][3], "A5");
  EXPECT_EQ(r.ctx().config.edit[0][3], "00");
}

TEST(ConfigEditor, AReadBackDifferingFromTheEditIsRed) {
  FakeDriver driver;
  link::ControllerLink link(driver);
  ManualClock clock;
  CollectingDialogs dialogs;
  ui::MainWindow window(ui::Services{link, clock, dialogs, nullptr});
  driver.answers.push_back("QXM7140-2");
  ASSERT_TRUE(window.load());
  driver.answers.push_back("FFFFFFFFE10000000000D7");  // CFGR0 0xE1, PEC matches
  window.form().operatorClick(window.context().c.Command1[6]);
  auto& c = window.context().c;
  EXPECT_EQ(c.Text_ReadCfg[0].backColor, kRed);
  EXPECT_EQ(c.Text_ReadCfg[0].text(), "   E1   ");
  for (int i = 1; i < 6; ++i) EXPECT_EQ(c.Text_ReadCfg[i].backColor, kWindowBackground) << i;
  EXPECT_EQ(c.Shape12[0].fillColor, kGreen);
  EXPECT_EQ(window.context().reads.measureMode[0], 1);
}

TEST(ConfigEditor, WriteWhileTheBalancerPathIsPolledLeavesChipSelectLow) {
  MainWindowRig r;
  r.ctx().balancer.BalancerPolling = true;
  monitor::SendConfig(r.ctx());
  EXPECT_EQ(r.sent(), Strings{"MSXxT01SC7SE0S00S00S00S00S00SFEXx"});
}

TEST(ConfigEditor, RaisedCdcTakesTheChipsOutOfStandby) {
  MainWindowRig r("boards=2");
  auto& c = r.c();
  r.select(*c.Combo1, 1);
  r.click(c.Command0[1]);
  r.click(c.Command1[5]);
  EXPECT_EQ(r.stack.monitor(0)->cdc(), 1);
  EXPECT_EQ(r.stack.monitor(1)->cdc(), 1);
  r.click(c.Command1[6]);
  EXPECT_EQ(*r.window->stateVariable("ReadConfig", 0), "E1 00 00 00 00 00");
  EXPECT_EQ(r.ctx().reads.measureMode[0], 1);
}

}  // namespace
}  // namespace kb::test
