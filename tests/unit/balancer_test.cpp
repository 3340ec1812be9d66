// The balancer command word and its editing: CRC-4, command byte, reply parsing, the strings SEND
// writes, and the panel's edits of the per-chip tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeDriver.h"
#include "balancer/Balancer.h"
#include "balancer/CommandWord.h"
#include "common/Clock.h"
#include "common/NumberText.h"
#include "ui/main/MainWindow.h"

namespace kb::balancer {
namespace {

// ---- Protocol pieces --------------------------------------------------------------------------

TEST(BalancerWord, CheckBitsOfTheKnownWords) {
  struct Case {
    std::uint16_t data;  // bits 15..4, check bits zero
    const char* hi;
    const char* lo;
  };
  const Case cases[] = {
      {0x0000, "00", "0F"},  // all none
      {0xC000, "C0", "07"},  // cell 1 charge
      {0x8000, "80", "0E"},  // cell 1 discharge
      {0x0020, "00", "29"},  // cell 6 discharge
      {0xAAA0, "AA", "AA"},  // all discharge
      {0xFFF0, "FF", "F1"},  // all charge
  };
  for (const Case& c : cases) {
    const std::uint16_t word = withCheck(c.data);
    EXPECT_EQ(hiText(word), c.hi) << std::hex << c.data;
    EXPECT_EQ(loText(word), c.lo) << std::hex << c.data;
    EXPECT_TRUE(checkOk(word));
    for (int bit = 0; bit < 16; ++bit) {
      EXPECT_FALSE(checkOk(static_cast<std::uint16_t>(word ^ (1u << bit))))
          << "one flipped bit is seen: " << std::hex << word << " bit " << std::dec << bit;
    }
  }
}

TEST(BalancerWord, AWordIsTakenWhenItsFirstCharacterIsAHexDigit) {
  struct Case {
    const char* reply;
    bool top;
    const char* bottom;  // "" when not taken
    const char* topWord;
  };
  const Case cases[] = {
      {"C007000F", true, "C007", "000F"},
      {"C007000F", false, "C007", ""},
      {"C007", true, "C007", ""},  // the top chip did not answer
      {"", true, "", ""},          // silent controller
      {"C0", true, "C0  ", ""},    // a word cut short: taken, and fails its check
      {"C0G7000F", true, "C0G7", "000F"},
      {":007000F", true, "", ""},  // ':' sorts between '9' and 'A' but is no digit
      {"c007000F", true, "", ""},  // the controller answers in upper case
      {"@0070F0F", true, "", ""},
      {"FFFFFFFF", true, "FFFF", "FFFF"},  // nobody driving: taken, and fails its check
  };
  for (const Case& c : cases) {
    const ReplyWords w = parseReply(c.reply, c.top);
    EXPECT_EQ(w.bottom ? w.bottom->hi + w.bottom->lo : "", c.bottom) << c.reply;
    EXPECT_EQ(w.top ? w.top->hi + w.top->lo : "", c.topWord) << c.reply;
  }
  EXPECT_TRUE(wordTextOk("C0", "07"));
  EXPECT_FALSE(wordTextOk("C0", "  "));
  EXPECT_FALSE(wordTextOk("C0", "G7"));
}

TEST(BalancerWord, NumericValueOfBoxTexts) {
  EXPECT_EQ(leadingNumber("1"), 1.0);
  EXPECT_EQ(leadingNumber(" 01"), 1.0);
  EXPECT_EQ(leadingNumber("71"), 71.0);
  EXPECT_EQ(leadingNumber("1x"), 1.0);
  EXPECT_EQ(leadingNumber("-"), 0.0);
  EXPECT_EQ(leadingNumber(""), 0.0);
  EXPECT_EQ(leadingNumber("2.5"), 2.5);
}

// ---- The panel over a scripted controller -----------------------------------------------------

struct SilentDialogs final : form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

constexpr const char* kReadConfig = "MSXxT80T49T02TCERRRRRRRX";
// The balancer path of board 1: GPIO1 driven low before the transfer, high again after it.
constexpr const char* kOpenPath = "MSXxT80S49S01SC7SC0S00S00S00S00S00SC5X";
constexpr const char* kClosePath = "MSXxT80S49S01SC7SE0S00S00S00S00S00SFEX";

struct Panel {
  Panel() {
    driver.answers.push_back("QXM7140-2");
    driver.answers.push_back("");
    loaded = window.load();
    driver.writes.clear();
    driver.calls.clear();
  }
  ui::Context& ctx() { return window.context(); }
  ui::MainControls& c() { return window.context().c; }
  BalancerState& b() { return window.context().balancer; }
  form::Form& f() { return window.form(); }

  void click(form::Control& control) { f().operatorClick(control); }
  void send(Mode mode) {
    click(c().Option_1[static_cast<int>(mode)]);
    click(*c().Command_1);
  }
  // SEND of a read whose controller answers reply (then the READ CONFIG that closes the path).
  void read(Mode mode, const std::string& reply) {
    driver.answers.push_back(reply);
    driver.answers.push_back("");
    send(mode);
  }
  std::string bits(const form::Array& boxes) {
    std::string s;
    for (int bit = 15; bit >= 0; --bit) {
      s += boxes[bit].text();
      if (bit % 4 == 0 && bit > 0) s += ' ';
    }
    return s;
  }
  std::vector<std::uint32_t> readCounts() const {
    std::vector<std::uint32_t> counts;
    for (const auto& call : driver.calls) {
      if (call.what == "read") counts.push_back(call.a);
    }
    return counts;
  }
  // Shows board b of a chain of the given size, as board selection does.
  void show(int boards, int board) {
    BalancerBoardCountChange(ctx(), boards);
    ctx().boards.LastBoardIndex = boards - 1;
    ctx().boards.CurrentBoard = board;
    c().Label21->setCaption(std::to_string(board + 1));
    ShowBoardBalancer(ctx());
  }

  test::FakeDriver driver;
  link::ControllerLink link{driver};
  ManualClock clock;
  SilentDialogs dialogs;
  ui::MainWindow window{ui::Services{link, clock, dialogs, nullptr}};
  bool loaded = false;
};

TEST(BalancerPanel, StartUpShowsTheDefaultByteAndAllNoneWords) {
  Panel p;
  ASSERT_TRUE(p.loaded);
  EXPECT_EQ(p.b().SPICommand, "A9");
  EXPECT_EQ(p.b().BalancerBoardCount, 1);
  EXPECT_EQ(p.b().ChipCount, 2);
  for (int chip = 0; chip < kChipsUsed; ++chip) {
    EXPECT_EQ(p.b().CommandDataHi[static_cast<std::size_t>(chip)] +
                  p.b().CommandDataLo[static_cast<std::size_t>(chip)],
              "000F");
  }
  EXPECT_EQ(p.bits(p.c().Text_2), "0000 0000 0000 1111");
  EXPECT_EQ(p.bits(p.c().Text_5), "0000 0000 0000 1111");
  EXPECT_EQ(p.c().Label_21[1].caption(), "1");
  EXPECT_EQ(p.c().Label_21[2].caption(), "2");
  EXPECT_FALSE(p.c().Check_5->visible) << "one board: no broadcast execute";
  EXPECT_TRUE(p.c().Check_1[3].visible) << "board 1 is the top of a one-board stack";
}

TEST(BalancerPanel, ModeChoiceSetsModeBitsAndParity) {
  struct Step {
    Mode mode;
    const char* byte;
  };
  const Step steps[] = {
      {Mode::kReadStatus, "AC"}, {Mode::kSuspend, "AD"},    {Mode::kReadCommand, "AA"},
      {Mode::kExecute, "AF"},    {Mode::kSuspend, "AE"},    {Mode::kWrite, "A9"},
      {Mode::kSuspend, "A8"},    {Mode::kReadStatus, "AC"},
  };
  Panel p;
  for (const Step& s : steps) {
    p.click(p.c().Option_1[static_cast<int>(s.mode)]);
    SetSPICommand(p.ctx());
    EXPECT_EQ(p.b().SPICommand, s.byte) << static_cast<int>(s.mode);
  }
}

TEST(BalancerPanel, BitBoxEdits) {
  Panel p;
  auto& bits = p.c().Text_1;
  // A stray digit in an address bit brings back that position's default digit.
  p.f().operatorType(bits[3], "7");
  EXPECT_EQ(bits[3].text(), "1");
  p.f().operatorType(bits[4], "7");
  EXPECT_EQ(bits[4].text(), "0");
  p.f().operatorKey(bits[7], 8);  // emptied
  EXPECT_EQ(bits[7].text(), "1");
  // A typed 0 or 1 replaces the bit; the parity stays until the next mode choice.
  p.f().operatorType(bits[3], "0");
  EXPECT_EQ(bits[3].text(), "0");
  SetSPICommand(p.ctx());
  EXPECT_EQ(p.b().SPICommand, "A1");
  p.click(p.c().Option_1[0]);  // already chosen: no new parity
  SetSPICommand(p.ctx());
  EXPECT_EQ(p.b().SPICommand, "A1");
  p.click(p.c().Option_1[2]);
  SetSPICommand(p.ctx());
  EXPECT_EQ(p.b().SPICommand, "A5");
  // The parity box takes whatever is typed.
  p.f().operatorType(bits[0], "7");
  EXPECT_EQ(bits[0].text(), "71");
  SetSPICommand(p.ctx());
  EXPECT_EQ(p.b().SPICommand, "A4");
}

TEST(BalancerPanel, SendWritesTheStringOfEachModeAndClosesThePath) {
  Panel p;
  p.send(Mode::kWrite);
  p.read(Mode::kReadStatus, "");
  p.send(Mode::kExecute);
  p.send(Mode::kSuspend);
  // Each mode through the path of board 1; the EXECUTE started the polling, so the SUSPEND sends
  // the keep-alive first, through the path of every board.
  const auto through = [](const char* body) {
    return std::vector<std::string>{kOpenPath, body, kClosePath, kReadConfig};
  };
  const std::vector<std::string> keepAlive{"MSXxT01SC7SC0S00S00S00S00S00SC5Xx", "XSAAx",
                                           "MSXxT01SC7SE0S00S00S00S00S00SFEX", kReadConfig};
  std::vector<std::string> expected;
  for (const auto& part : {through("xXSA9S00S0FS00S0FxX"), through("xXSACRRRRxX"),
                           through("xXSAFxX"), keepAlive, through("xXSAExX")}) {
    expected.insert(expected.end(), part.begin(), part.end());
  }
  EXPECT_EQ(p.driver.writes, expected);
  EXPECT_EQ(p.readCounts(), (std::vector<std::uint32_t>{22, 8, 22, 22, 22, 22}))
      << "two words of four characters; READ CONFIG after each";
  EXPECT_FALSE(p.b().pathOpen);
  EXPECT_FALSE(p.b().pathGlobal);
}

TEST(BalancerPanel, WithoutTheTopChipOnlyTheBottomWordGoes) {
  Panel p;
  p.click(p.c().Check_1[2]);  // "TOS" cleared
  EXPECT_EQ(p.c().Check_1[3].value(), 0);
  EXPECT_EQ(p.c().Label_21[2].caption(), "-");
  EXPECT_FALSE(p.c().Option4[0].enabled);
  EXPECT_EQ(p.b().ChipCount, 1);
  p.send(Mode::kWrite);
  p.read(Mode::kReadCommand, "C007");
  EXPECT_EQ(p.driver.writes,
            (std::vector<std::string>{kOpenPath, "xXSA9S00S0FxX", kClosePath, kReadConfig,
                                      kOpenPath, "xXSAARRxX", kClosePath, kReadConfig}));
  EXPECT_EQ(p.readCounts(), (std::vector<std::uint32_t>{22, 4, 22}));
  EXPECT_EQ(p.c().Label1[5].caption(), "OK");
  EXPECT_EQ(p.c().Label1[3].caption(), "-");

  p.click(p.c().Check_1[3]);  // ticked again
  EXPECT_EQ(p.c().Check_1[2].value(), 1);
  EXPECT_EQ(p.c().Label_21[2].caption(), "2");
  EXPECT_EQ(p.b().ChipCount, 2);
  EXPECT_TRUE(p.c().Option4[0].enabled);
}

TEST(BalancerPanel, ReadBackIsStoredCheckedAndShown) {
  Panel p;
  p.read(Mode::kReadCommand, "C007000E");
  EXPECT_EQ(p.b().ReadbackDataHi[0] + p.b().ReadbackDataLo[0], "C007");
  EXPECT_EQ(p.b().ReadbackDataHi[1] + p.b().ReadbackDataLo[1], "000E");
  EXPECT_EQ(p.b().ReadbackCheck[0], "OK");
  EXPECT_EQ(p.b().ReadbackCheck[1], "ERROR");
  EXPECT_EQ(p.c().Label1[5].caption(), "OK");
  EXPECT_EQ(p.c().Label1[3].caption(), "ERROR");
  EXPECT_EQ(p.bits(p.c().Text_3), "1100 0000 0000 0111");
  EXPECT_EQ(p.bits(p.c().Text_6), "0000 0000 0000 1110");

  // A silent controller leaves the words; their checks are made again from them.
  p.read(Mode::kReadCommand, "");
  EXPECT_EQ(p.b().ReadbackDataHi[0] + p.b().ReadbackDataLo[0], "C007");
  EXPECT_EQ(p.b().ReadbackCheck[0], "OK");
  EXPECT_EQ(p.b().ReadbackCheck[1], "ERROR");

  // A reply cut short after a good one is an error, not the old word's "OK"; a blank reply then
  // leaves that word.
  p.read(Mode::kReadCommand, "C0");
  EXPECT_EQ(p.b().ReadbackDataHi[0] + p.b().ReadbackDataLo[0], "C0  ");
  EXPECT_EQ(p.b().ReadbackCheck[0], "ERROR");
  EXPECT_EQ(p.c().Label1[5].caption(), "ERROR");
  p.read(Mode::kReadCommand, "");
  EXPECT_EQ(p.b().ReadbackDataHi[0] + p.b().ReadbackDataLo[0], "C0  ");

  // A status read never read before: "0000" fails its check.
  p.read(Mode::kReadStatus, "   ");
  EXPECT_EQ(p.b().StatusCheck[0], "ERROR");
  p.read(Mode::kReadStatus, "FC87BC8E");
  EXPECT_EQ(p.b().StatusCheck[0], "OK");
  EXPECT_EQ(p.bits(p.c().Text_4), "1111 1100 1000 0111");
  EXPECT_EQ(p.c().Label1[6].caption(), "OK");

  // A write makes the read-backs unknown; EXECUTE and SUSPEND the statuses.
  p.send(Mode::kWrite);
  EXPECT_EQ(p.b().ReadbackCheck[0], "-");
  EXPECT_EQ(p.c().Label1[3].caption(), "-");
  EXPECT_EQ(p.b().StatusCheck[0], "OK");
  p.send(Mode::kExecute);
  EXPECT_EQ(p.b().StatusCheck[0], "-");
  EXPECT_EQ(p.c().Label1[6].caption(), "-");
}

TEST(BalancerPanel, ExecuteAndSuspendKeepTheBalancingFlags) {
  Panel p;
  p.click(p.c().Option_2[3]);  // cell 1 charge
  p.send(Mode::kWrite);
  EXPECT_TRUE(p.b().CommandWritten);
  p.send(Mode::kExecute);
  EXPECT_TRUE(p.b().ExecutingBoard1);
  EXPECT_FALSE(p.b().ExecutingOtherBoards);
  EXPECT_TRUE(p.b().BalancerPolling);
  EXPECT_TRUE(p.b().AnyActionSet);
  EXPECT_FALSE(p.b().CommandWritten);
  p.send(Mode::kSuspend);
  EXPECT_FALSE(p.b().ExecutingBoard1);
  EXPECT_FALSE(p.b().BalancerPolling);

  // All none written: the next EXECUTE sets no action.
  p.click(p.c().Option_2[0]);
  p.send(Mode::kWrite);
  p.send(Mode::kExecute);
  EXPECT_FALSE(p.b().AnyActionSet);
  EXPECT_FALSE(p.b().BalancerBusy);
}

TEST(BalancerPanel, BroadcastExecuteOpensEveryBoardsPath) {
  Panel p;
  p.show(2, 1);
  p.c().Check_5->visible = true;
  p.c().Check_5->setValue(1);
  // Out of standby, and an action written, so that the keep-alive before the SUSPEND keeps the
  // polling.
  p.click(p.c().Command0[1]);
  p.click(p.c().Option_2[3]);
  p.send(Mode::kWrite);
  p.send(Mode::kExecute);
  EXPECT_TRUE(p.b().pathGlobal);
  EXPECT_TRUE(p.b().ExecutingBoard1);
  EXPECT_TRUE(p.b().ExecutingOtherBoards);
  p.c().Check_5->setValue(0);
  p.send(Mode::kSuspend);
  EXPECT_FALSE(p.b().pathGlobal);
  EXPECT_TRUE(p.b().ExecutingBoard1) << "board 2 shown: only the other boards stop";
  EXPECT_FALSE(p.b().ExecutingOtherBoards);
  EXPECT_TRUE(p.b().BalancerPolling);
}

TEST(BalancerPanel, ActionOptionsStoreTheWordOfTheShownChip) {
  Panel p;
  p.click(p.c().Option_2[3]);
  EXPECT_EQ(p.b().CommandDataHi[0], "C0");
  EXPECT_EQ(p.b().CommandDataLo[0], "07");
  EXPECT_EQ(p.bits(p.c().Text_2), "1100 0000 0000 0111");
  p.click(p.c().Option4[4 * 5 + 2]);  // top chip, cell 6 discharge
  EXPECT_EQ(p.b().CommandDataHi[1] + p.b().CommandDataLo[1], "0029");
  p.click(p.c().Option4[1]);  // cell 1 code 01
  EXPECT_EQ(p.bits(p.c().Text_5), "0100 0000 0010 0000");

  // Board 2's chips are 2 and 3; the first board's words are kept.
  p.show(2, 1);
  p.click(p.c().Option_2[4 * 1 + 3]);  // cell 2 charge
  EXPECT_EQ(p.b().CommandDataHi[2], "30");
  EXPECT_EQ(p.c().Label_21[1].caption(), "3");
  EXPECT_EQ(p.c().Label_21[2].caption(), "4");
  EXPECT_EQ(p.b().CommandDataHi[0] + p.b().CommandDataLo[0], "000F")
      << "a board-count change set every word to none";
  p.click(p.c().Option_2[3]);
  p.show(2, 0);
  EXPECT_EQ(p.c().Option_2[0].value(), 1);
  p.show(2, 1);
  EXPECT_EQ(p.c().Option_2[3].value(), 1) << "the view is rebuilt from the tables";
  EXPECT_EQ(p.c().Option_2[7].value(), 1);
}

TEST(BalancerPanel, FewerCellsForceTheFirstCellsToNone) {
  Panel p;
  auto& b = p.b();
  p.click(p.c().Option_2[3]);      // cell 1 charge
  p.click(p.c().Option_2[4 + 2]);  // cell 2 discharge
  p.click(p.c().Option_2[8 + 2]);  // cell 3 discharge
  b.BalanceTime[0] = 12;
  b.BalanceTime[1] = 30;
  p.c().Text9[0].setText("12");
  p.f().operatorSelect(*p.c().Combo_3, 2);  // "4"
  EXPECT_EQ(b.CellsPerChip[0], "4");
  for (int i = 0; i < 24; ++i) EXPECT_EQ(p.c().Option_2[i].enabled, i >= 8) << i;
  EXPECT_EQ(p.c().Option_2[0].value(), 1);
  EXPECT_EQ(p.c().Option_2[4].value(), 1);
  EXPECT_EQ(b.BalanceTime[0], 0.0);
  EXPECT_EQ(b.BalanceTime[1], 0.0);
  EXPECT_EQ(p.c().Text9[0].text(), "0");
  EXPECT_EQ(b.CommandDataHi[0], "08") << "only cell 3 discharges";

  p.f().operatorSelect(*p.c().Combo_3, 0);  // "6" again
  for (int i = 0; i < 24; ++i) EXPECT_TRUE(p.c().Option_2[i].enabled) << i;
  EXPECT_EQ(b.CommandDataHi[0], "08");
}

TEST(BalancerPanel, TopOfStackBoxOnTwoBoards) {
  Panel p;
  p.show(2, 0);
  EXPECT_FALSE(p.c().Check_1[3].visible) << "board 1 is not the top of the stack";
  p.show(2, 1);
  EXPECT_TRUE(p.c().Check_1[3].visible);
  p.click(p.c().Check_1[3]);
  EXPECT_EQ(p.b().ChipCount, 3);
  EXPECT_FALSE(p.b().TopChipPresent[1]);
  EXPECT_EQ(p.c().Label_21[2].caption(), "-");
  p.send(Mode::kWrite);
  ASSERT_GE(p.driver.writes.size(), 2u);
  EXPECT_EQ(p.driver.writes[0], "MSXxT81S4ES01SC7SC0S00S00S00S00S00SC5X") << "board 2's path";
  EXPECT_EQ(p.driver.writes[1], "xXSA9S00S0FxX");

  // Looking at board 1 (with its top chip) keeps the count of the stack.
  p.show(2, 0);
  EXPECT_EQ(p.c().Label_21[2].caption(), "2");
  EXPECT_EQ(p.b().ChipCount, 3);
  p.show(2, 1);
  EXPECT_EQ(p.c().Label_21[2].caption(), "-");
  EXPECT_EQ(p.c().Check_1[3].value(), 0);
}

TEST(BalancerPanel, BoardCountChangeResetsTheChain) {
  Panel p;
  p.click(p.c().Option_2[3]);
  p.f().operatorSelect(*p.c().Combo_2, 3);
  p.read(Mode::kReadCommand, "C007000F");
  p.b().BalanceTime[5] = 7;
  BalancerBoardCountChange(p.ctx(), 3);
  EXPECT_EQ(p.b().BalancerBoardCount, 3);
  EXPECT_EQ(p.b().ChipCount, 6);
  for (std::size_t k = 0; k < static_cast<std::size_t>(kChipsUsed); ++k) {
    EXPECT_EQ(p.b().CommandDataHi[k] + p.b().CommandDataLo[k], "000F") << k;
    EXPECT_EQ(p.b().ReadbackCheck[k], "-");
    EXPECT_EQ(p.b().StatusCheck[k], "-");
    EXPECT_EQ(p.b().CellsPerChip[k], "6");
  }
  EXPECT_EQ(p.b().BalanceTime[5], 0.0);
  EXPECT_EQ(p.bits(p.c().Text_2), "0000 0000 0000 1111");
  EXPECT_EQ(p.c().Combo_2->text(), "6");
  EXPECT_TRUE(p.c().Option4[0].enabled);
  EXPECT_FALSE(p.c().Check_1[2].visible);

  Check_5_FollowBoardCount(p.ctx(), 2);
  EXPECT_TRUE(p.c().Check_5->visible);
  EXPECT_EQ(p.c().Check_5->value(), 1);
  Check_5_FollowBoardCount(p.ctx(), 1);
  EXPECT_FALSE(p.c().Check_5->visible);
  EXPECT_EQ(p.c().Check_5->value(), 0);
}

TEST(BalancerPanel, HandEditOfTheTopChipsCrcBits) {
  Panel p;
  p.f().operatorType(p.c().Text_5[0], "0");
  EXPECT_EQ(p.b().CommandDataLo[1], "0E");
  p.f().operatorType(p.c().Text_5[3], "x");
  EXPECT_EQ(p.c().Text_5[3].text(), "0");
  EXPECT_EQ(p.b().CommandDataLo[1], "06");
  p.f().operatorType(p.c().Text_2[0], "0");
  EXPECT_EQ(p.b().CommandDataLo[0], "0F") << "the bottom chip's CRC is not edited by hand";
  // The next action edit computes the CRC again.
  p.click(p.c().Option4[3]);
  EXPECT_EQ(p.b().CommandDataHi[1] + p.b().CommandDataLo[1], "C007");
}

}  // namespace
}  // namespace kb::balancer

namespace kb::balancer {
namespace {

TEST(BalancerPanel, BroadcastExecuteOpensEveryBoardsPathAndRestoresTheScope) {
  Panel p;
  p.f().operatorSelect(*p.c().Combo1, 1);  // two boards: "Broadcast Execute/Suspend" ticked
  ASSERT_EQ(p.c().Check_5->value(), 1);
  p.click(p.c().Option3[0]);  // CUSTOM scope before the transfer
  p.driver.writes.clear();
  p.send(Mode::kExecute);
  ASSERT_GE(p.driver.writes.size(), 3u);
  EXPECT_EQ(p.driver.writes[0], "MSXxT01SC7SC0S00S00S00S00S00SC5X") << "GPIO1 low on every board";
  EXPECT_EQ(p.driver.writes[1], "xXSAFxX");
  EXPECT_EQ(p.driver.writes[2], "MSXxT01SC7SE0S00S00S00S00S00SFEX");
  EXPECT_EQ(p.c().Option3[0].value(), 1) << "the scope chosen before the SEND again";
  EXPECT_EQ(p.c().Check0[5].value(), 1);
  EXPECT_TRUE(p.b().ExecutingBoard1);
  EXPECT_TRUE(p.b().ExecutingOtherBoards);
}

}  // namespace
}  // namespace kb::balancer
