// Self tests over the simulated stack: pattern choice, the test starts, the hexadecimal reads and
// their comparison with the pattern, and the hexadecimal view across normal starts and boards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainWindowRig.h"
#include "monitor/SelfTest.h"

namespace kb::monitor {
namespace {

using test::MainWindowRig;

constexpr std::int32_t kLightBlue = 16744576;

// The main window over the simulated stack, its chips out of standby (CDC 1, WRITE CONFIG).
struct Rig : MainWindowRig {
  explicit Rig(const std::string& options = "") : MainWindowRig(options) {
    click(c().Command0[1]);
    click(c().Command1[5]);
    sent();
  }
  // The operator takes a moment between clicks; the conversions finish meanwhile.
  void press(form::Control& control) {
    clock.advance(0.2);
    click(control);
  }
  std::string focused() { return ctx().main->focused()->displayName(); }
};

std::vector<std::string> texts(const form::Array& boxes, int count) {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back(boxes[i].text());
  return out;
}

std::vector<std::int32_t> backColors(const form::Array& boxes, int count) {
  std::vector<std::int32_t> out;
  for (int i = 0; i < count; ++i) out.push_back(boxes[i].backColor);
  return out;
}

TEST(SelfTest, PatternChoiceSetsTheCodesAndToolTipsOfTheFiveStarts) {
  Rig rig;
  auto& c = rig.c();
  EXPECT_EQ(c.Command5[0].toolTip, "0x1E STCVAD SELF TEST ALL") << "start-up tool tip";
  EXPECT_EQ(c.Option2[0].value(), 1);

  struct Case {
    int option;
    const char* variant;
    std::vector<const char*> tips;    // buttons 0, 5, 1, 6, 2
    std::vector<const char*> frames;  // what they send
  };
  const Case cases[] = {
      {1,
       "F",
       {"0x1F STCVAD SELF TEST2 ALL", "0x6F STCVDC SELF TEST2 ALL", "0x2F STOWAD SELF TEST2 ALL",
        "0x7F STOWDC SELF TEST2 ALL", "0x3F STTMPAD SELF TEST2 ALL"},
       {"MSxS80S49S1FS9DX", "MSxS80S49S6FSCAX", "MSxS80S49S2FS0DX", "MSxS80S49S7FSBAX",
        "MSxS80S49S3FS7DX"}},
      {2,
       "D",
       {"0x1D STCVAD CLEAR (FF) ALL", "0x6D STCVDC CLEAR (FF) ALL", "0x2D STOWAD CLEAR (FF) ALL",
        "0x7D STOWDC CLEAR (FF) ALL", "0x3D STTMPAD CLEAR (FF) ALL"},
       {"MSxS80S49S1DS93X", "MSxS80S49S6DSC4X", "MSxS80S49S2DS03X", "MSxS80S49S7DSB4X",
        "MSxS80S49S3DS73X"}},
      {0,
       "E",
       {"0x1E STCVAD SELF TEST1 ALL", "0x6E STCVDC SELF TEST1 ALL", "0x2E STOWAD SELF TEST1 ALL",
        "0x7E STOWDC SELF TEST1 ALL", "0x3E STTMPAD SELF TEST1 ALL"},
       {"MSxS80S49S1ES9AX", "MSxS80S49S6ESCDX", "MSxS80S49S2ES0AX", "MSxS80S49S7ESBDX",
        "MSxS80S49S3ES7AX"}},
  };
  const int buttons[] = {0, 5, 1, 6, 2};
  for (const Case& k : cases) {
    rig.click(c.Option2[k.option]);
    EXPECT_EQ(rig.ctx().startup.SelfTestVariant, k.variant);
    for (std::size_t i = 0; i < 5; ++i) {
      EXPECT_EQ(c.Command5[buttons[i]].toolTip, k.tips[i]);
      rig.press(c.Command5[buttons[i]]);
      EXPECT_EQ(rig.sent(), std::vector<std::string>{k.frames[i]}) << k.tips[i];
    }
  }
  // Code outside the three patterns changes nothing.
  Option2_Click(rig.ctx(), 3);
  EXPECT_EQ(rig.ctx().startup.SelfTestVariant, "E");
}

TEST(SelfTest, AFaultyCellTurnsRedAndASecondReadComparesNothing) {
  Rig rig("fault=selftest:1:4");
  auto& c = rig.c();
  rig.press(c.Command5[0]);
  EXPECT_EQ(rig.sent(), std::vector<std::string>{"MSxS80S49S1ES9AX"});
  EXPECT_EQ(texts(c.Text1, 12), std::vector<std::string>(12, "0x000 "));
  EXPECT_EQ(c.Text1[5].foreColor, kBlack);
  EXPECT_EQ(rig.focused(), "Command5(3)");
  EXPECT_TRUE(rig.ctx().selfTest.CellSelfTestStarted);

  rig.press(c.Command5[3]);
  std::vector<std::string> shown(12, "0x555 ");
  shown[3] = "0x554 ";
  EXPECT_EQ(texts(c.Text1, 12), shown);
  std::vector<std::int32_t> marks(12, kWhite);
  marks[3] = kRed;
  EXPECT_EQ(backColors(c.Text1, 12), marks);
  EXPECT_FALSE(rig.ctx().selfTest.CellSelfTestStarted);
  EXPECT_EQ(rig.focused(), "Command5(0)");

  // Against another pattern every box would differ: the second read shows codes only.
  rig.click(c.Option2[1]);
  rig.press(c.Command5[3]);
  EXPECT_EQ(texts(c.Text1, 12), shown);
  EXPECT_EQ(backColors(c.Text1, 12), marks);
}

TEST(SelfTest, TenCellModeComparesOnlyTheCellsItRead) {
  Rig rig;
  auto& c = rig.c();
  rig.click(c.Check0[3]);  // 10CELLS
  rig.click(c.Command1[5]);
  rig.press(c.Command5[0]);
  rig.press(c.Command5[3]);
  EXPECT_EQ(backColors(c.Text1, 12), std::vector<std::int32_t>(12, kWhite));
  rig.click(c.Check0[3]);  // twelve cells again: nothing marked on cells 11 and 12
  EXPECT_EQ(backColors(c.Text1, 12), std::vector<std::int32_t>(12, kWhite));
}

TEST(SelfTest, ATestAfterAPollReleasesChipSelectFirst) {
  Rig rig;
  rig.press(rig.c().Command1[0]);
  rig.sent();
  rig.press(rig.c().Command5[0]);
  EXPECT_EQ(rig.sent(), (std::vector<std::string>{"MSX", "MSxS80S49S1ES9AX"}));
}

TEST(SelfTest, WhileBalancingTheFocusStays) {
  Rig rig;
  auto& c = rig.c();
  rig.ctx().balancer.BalancerPolling = true;  // the balancer keep-alive runs
  c.Command5[6].setFocus();
  rig.ctx().form().operatorClick(c.Command5[6]);
  EXPECT_EQ(rig.focused(), "Command5(6)");
}

TEST(SelfTest, TemperaturesCompareWithTheirLeadingBlank) {
  Rig rig;
  auto& c = rig.c();
  rig.press(c.Command5[2]);
  EXPECT_EQ(rig.sent(), std::vector<std::string>{"MSxS80S49S3ES7AX"});
  EXPECT_EQ(texts(c.Text6, 3), std::vector<std::string>(3, " 0x000 "));
  EXPECT_EQ(rig.focused(), "Command5(4)");
  rig.press(c.Command5[4]);
  EXPECT_EQ(texts(c.Text6, 3), std::vector<std::string>(3, " 0x555 "));
  EXPECT_EQ(backColors(c.Text6, 3), std::vector<std::int32_t>(3, kWhite));
  EXPECT_EQ(rig.focused(), "Command5(2)");
  EXPECT_FALSE(rig.ctx().selfTest.TempSelfTestStarted);

  // Started as 0x555, compared after choosing 0xAAA: all three differ.
  rig.press(c.Command5[2]);
  rig.click(c.Option2[1]);
  rig.press(c.Command5[4]);
  EXPECT_EQ(backColors(c.Text6, 3), std::vector<std::int32_t>(3, kRed));
}

TEST(SelfTest, DischargeIndicatorShowsTheDischargeHeldStarts) {
  Rig rig;
  auto& c = rig.c();
  const struct {
    int button;
    std::int32_t colour;
  } cases[] = {{5, kLightBlue}, {0, kWhite}, {6, kLightBlue}, {1, kWhite}};
  for (const auto& k : cases) {
    rig.press(c.Command5[k.button]);
    EXPECT_EQ(c.Shape_SelfTestDCC->fillColor, k.colour) << "button " << k.button;
  }
}

TEST(SelfTest, NormalStartsLeaveTheHexadecimalView) {
  Rig rig("fault=selftest:1:1");
  auto& c = rig.c();
  rig.press(c.Command5[0]);
  rig.press(c.Command5[3]);
  rig.press(c.Command5[2]);
  rig.press(c.Command5[4]);
  ASSERT_EQ(c.Text1[0].backColor, kRed);

  rig.press(c.Command1[2]);
  EXPECT_EQ(texts(c.Text1, 12), std::vector<std::string>(12, " 0x000 "));
  EXPECT_EQ(backColors(c.Text1, 12), std::vector<std::int32_t>(12, kWhite));
  rig.press(c.Command1[7]);
  EXPECT_EQ(c.Text1[0].text().substr(c.Text1[0].text().size() - 3), "V  ") << c.Text1[0].text();

  rig.press(c.Command1[4]);
  EXPECT_EQ(texts(c.Text6, 3), std::vector<std::string>(3, " 0x000 "));
  rig.press(c.Command1[4]);
  EXPECT_EQ(texts(c.Text6, 3), std::vector<std::string>(3, " 0.0000V "));
}

TEST(SelfTest, TheContinuousCycleLocksTheTestsAndShowsVolts) {
  Rig rig;
  auto& c = rig.c();
  rig.press(c.Command5[5]);
  rig.press(c.Command5[3]);
  rig.click(c.Check6[2]);
  ASSERT_EQ(rig.ctx().selection.ReadOnlyMode, 1);

  rig.press(c.Command1[10]);
  EXPECT_EQ(rig.ctx().cycle.ContinuousReadOn, 1);
  for (int k = 0; k <= 6; ++k) EXPECT_FALSE(c.Command5[k].enabled) << k;
  EXPECT_EQ(c.Shape_SelfTestDCC->fillColor, kWhite);
  EXPECT_EQ(rig.ctx().selection.ReadOnlyMode, 2) << "the cycle's starts go to every board";

  // The first step converts cell 3 alone and shows the cells in volts again.
  rig.sent();
  rig.clock.advance(0.1);
  rig.form().tick(*c.Timer1);
  EXPECT_EQ(rig.sent().front(), "MSxS13SB9X");
  EXPECT_EQ(rig.ctx().selfTest.cellHexFlag, 0);
  EXPECT_EQ(c.Text1[2].text().back(), ' ');
  EXPECT_NE(c.Text1[2].text().find('V'), std::string::npos) << c.Text1[2].text();

  rig.press(c.Command1[10]);
  for (int k = 0; k <= 6; ++k) EXPECT_TRUE(c.Command5[k].enabled) << k;
}

TEST(SelfTest, BoardChangeComparesTheNewBoardsCodes) {
  Rig rig("boards=2");
  auto& c = rig.c();
  rig.select(*c.Combo1, 1);
  rig.click(c.Check5[2]);  // the test start reaches both boards
  rig.press(c.Command5[0]);
  EXPECT_EQ(rig.sent().back(), "MSxS1ES9AX");
  rig.press(c.Command5[3]);
  EXPECT_EQ(backColors(c.Text1, 12), std::vector<std::int32_t>(12, kWhite));

  // Board 2 was never read: its boxes show no pattern and are marked.
  rig.click(c.Command4[1]);
  EXPECT_EQ(c.Command5[3].toolTip, "READ ONLY BRD#2 CELLS FOR SELFTEST IN HEX.");
  EXPECT_EQ(c.Command5[4].toolTip, "READ ONLY BRD#2 TEMPS FOR SELFTEST IN HEX.");
  EXPECT_EQ(texts(c.Text1, 12), std::vector<std::string>(12, "0x000 "));
  EXPECT_EQ(backColors(c.Text1, 12), std::vector<std::int32_t>(12, kRed));
  // Its read shows the codes without a comparison (no test started since the last one) ...
  rig.press(c.Command5[3]);
  EXPECT_EQ(texts(c.Text1, 12), std::vector<std::string>(12, "0x555 "));
  EXPECT_EQ(c.Text1[0].backColor, kRed);
  // ... and selecting a board compares whatever the start flag holds.
  rig.click(c.Command4[0]);
  rig.click(c.Command4[1]);
  EXPECT_EQ(backColors(c.Text1, 12), std::vector<std::int32_t>(12, kWhite));
}

}  // namespace
}  // namespace kb::monitor
