// Cell, flag and temperature read-backs, conversion starts and polls, against hand-made replies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeDriver.h"
#include "common/Clock.h"
#include "monitor/Conversions.h"
#include "monitor/Measurements.h"
#include "startup/MeasureButtons.h"
#include "startup/Startup.h"
#include "ui/main/MainWindow.h"

namespace kb::monitor {
namespace {

using startup::BroadcastCommand;

struct SilentDialogs final : form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

// Twelve cells 0x311, 0x422, .. 0xECC (steps of 0x111) and their PEC.
constexpr const char* kTwelveCells = "1123423345645567867789A899ABCABBCDEC";
constexpr const char* kTwelveCellsPec = "4D";
// Ten cells 0x9C4 .. 0x9CD.
constexpr const char* kTenCells = "C4599CC6799CC8999CCAB99CCCD99C";
constexpr const char* kTenCellsPec = "31";

// Four echoed frame bytes, then data and PEC.
std::string reply(const std::string& dataAndPec) {
  return "FFFFFFFF" + dataAndPec;
}

struct Harness {
  Harness() {
    driver.answers.push_back("QXM7140-2");
    driver.answers.push_back(reply("E00000000000FE"));
    EXPECT_TRUE(window.load());
    driver.writes.clear();
  }
  ui::Context& ctx() { return window.context(); }
  void click(form::Control& c) { window.form().operatorClick(c); }
  void setBroadcast(BroadcastCommand table, int board = 0) {
    ctx().boards.BroadcastFlags[static_cast<std::size_t>(table)][static_cast<std::size_t>(board)] =
        1;
  }
  std::string focused() {
    const form::Control* f = window.form().focused();
    return f == nullptr ? "" : f->displayName();
  }

  test::FakeDriver driver;
  link::ControllerLink link{driver};
  ManualClock clock;
  SilentDialogs dialogs;
  ui::MainWindow window{ui::Services{link, clock, dialogs, nullptr}};
};

TEST(MeasureDecode, CellCodesComeFromTheirCharacterPositions) {
  const struct {
    std::string reply;
    int cells;
    std::vector<int> codes;
  } cases[] = {
      {reply(std::string(kTwelveCells) + kTwelveCellsPec),
       12,
       {0x311, 0x422, 0x533, 0x644, 0x755, 0x866, 0x977, 0xA88, 0xB99, 0xCAA, 0xDBB, 0xECC}},
      {reply(std::string(kTenCells) + kTenCellsPec),
       10,
       {0x9C4, 0x9C5, 0x9C6, 0x9C7, 0x9C8, 0x9C9, 0x9CA, 0x9CB, 0x9CC, 0x9CD}},
      // One pair answered, the rest filler: filler parses as 0.
      {reply("000220"), 12, {0x200, 0x200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {reply("ffF7a0"), 2, {0x7FF, 0xA0F}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(decodeCellCodes(c.reply, c.cells), c.codes) << c.reply;
  }
}

TEST(MeasureDecode, TemperaturesAndTheShutdownBit) {
  const struct {
    std::string data;
    std::array<int, 3> codes;  // ETMP1, ETMP2, ITMP
    int shutdown;
  } cases[] = {
      {"34A25B781F", {0x234, 0x5BA, 0xF78}, 1}, {"34A25B780F", {0x234, 0x5BA, 0xF78}, 0},
      {"0000000020", {0x000, 0x000, 0x000}, 0},  // bit 1 of the nibble is not the shutdown bit
      {"0000000030", {0x000, 0x000, 0x000}, 1}, {"", {0, 0, 0}, 0},
  };
  for (const auto& c : cases) {
    const TemperatureReading t = decodeTemperatures(reply(c.data));
    EXPECT_EQ(t.code, c.codes) << c.data;
    EXPECT_EQ(t.shutdown, c.shutdown) << c.data;
  }
}

TEST(MeasureDecode, VoltsAndTheirTexts) {
  const struct {
    int code;
    const char* code3;
    const char* cell;
    const char* temperature;
  } cases[] = {
      {0x200, "200", " 0.0000V  ", "0.0000V  "},  {0xFFF, "FFF", " 5.3745V  ", "5.3745V  "},
      {0x000, "000", "-0.7680V  ", "-0.7680V  "}, {0x00A, "00A", "-0.7530V  ", "-0.7530V  "},
      {0x9C4, "9C4", " 2.9820V  ", "2.9820V  "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(codeText(c.code), c.code3);
    EXPECT_EQ(cellVoltsText(codeToVolts(c.code)), c.cell);
    EXPECT_EQ(temperatureText(codeToVolts(c.code)), c.temperature);
  }
}

TEST(MeasureStarts, FramesFollowTheBoardsBroadcastChoiceAndSelectDigit) {
  const struct {
    const char* what;
    bool command3;
    int index;
    int broadcastTable;  // -1: addressed
    const char* cellDigit;
    const char* tempDigit;
    std::vector<std::string> frames;
  } cases[] = {
      {"STCVAD addressed", false, 2, -1, "0", "0", {"MSxS80S49S10SB0X"}},
      {"STCVAD broadcast", false, 2, 2, "0", "0", {"MSxS10SB0X"}},
      {"STCVAD cell 10", false, 2, -1, "A", "0", {"MSxS80S49S1AS86X"}},
      {"STOWAD addressed", false, 3, -1, "0", "0", {"MSxS80S49S20S20X"}},
      {"STTMPAD broadcast", false, 4, 4, "0", "0", {"MSxS30S50X"}},
      {"STTMPAD ITMP", false, 4, -1, "0", "3", {"MSxS80S49S33S59X"}},
      {"STCVDC addressed", true, 0, -1, "0", "0", {"MSxS80S49S60SE7X"}},
      {"STOWDC broadcast", true, 1, 7, "0", "0", {"MSxS70S97X"}},
      {"PLADC addressed", false, 0, -1, "0", "0", {"MSxS80S49S40S07"}},
      {"PLINT broadcast", false, 1, 1, "0", "0", {"MSxS50S77"}},
  };
  for (const auto& c : cases) {
    Harness h;
    if (c.broadcastTable >= 0) h.setBroadcast(static_cast<BroadcastCommand>(c.broadcastTable));
    h.ctx().startup.cellSelectDigit = c.cellDigit;
    h.ctx().startup.tempSelectDigit = c.tempDigit;
    h.click(c.command3 ? h.ctx().c.Command3[c.index] : h.ctx().c.Command1[c.index]);
    EXPECT_EQ(h.driver.writes, c.frames) << c.what;
  }
  Harness h;
  SendBroadcastPladc(h.ctx());
  EXPECT_EQ(h.driver.writes, std::vector<std::string>{"MSxS40S07X"});
  h.ctx().startup.cellSelectDigit = "";
  EXPECT_THROW(StartConversion(h.ctx(), kStartSTCVAD, h.ctx().startup.cellSelectDigit),
               std::invalid_argument);
}

TEST(MeasureStarts, CellStartBlanksTheBoardsItReachedAndArmsReadCellVolt) {
  Harness h;
  ui::Context& ctx = h.ctx();
  ctx.boards.LastBoardIndex = 2;
  ctx.boards.CurrentBoard = 1;
  ctx.views.CellStatus.fill(4);
  ctx.views.CellDataValid.fill(1);
  h.click(ctx.c.Command1[2]);
  EXPECT_EQ(h.driver.writes, std::vector<std::string>{"MSxS81S4ES10SB0X"});
  EXPECT_EQ(ctx.c.Text1[0].text(), " 0.0000V  ");
  EXPECT_EQ(ctx.c.Text1[11].text(), " 0.0000V  ");
  EXPECT_EQ(ctx.views.CellStatus[11], 4);  // board 0 untouched
  EXPECT_EQ(ctx.views.CellStatus[12], 0);
  EXPECT_EQ(ctx.views.CellStatus[23], 0);
  EXPECT_EQ(ctx.views.CellStatus[24], 4);
  EXPECT_EQ(ctx.views.CellDataValid,
            (std::array<int, kBoardSlots>{0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(ctx.c.Command1[7].caption(), "READCELL");
  EXPECT_EQ(ctx.startup.reminders.needsReading[1][0], 0);
  EXPECT_EQ(ctx.startup.reminders.needsReading[1][1], 1);
  EXPECT_EQ(h.focused(), "Command1(7)");

  // STCVDC as a broadcast reaches every board, and arms READCELLVOLT for all of them; while the
  // balancer polls the focus stays where it is.
  h.setBroadcast(BroadcastCommand::STCVDC, 1);
  ctx.balancer.BalancerPolling = true;
  ctx.c.Command1[6].setFocus();
  ctx.views.CellStatus.fill(4);
  h.click(ctx.c.Command3[0]);
  EXPECT_EQ(h.driver.writes.back(), "MSxS60SE7X");
  EXPECT_EQ(ctx.views.CellStatus[0], 0);
  EXPECT_EQ(ctx.views.CellStatus[35], 0);
  EXPECT_EQ(ctx.views.CellStatus[36], 4);  // board 3 is not in the set
  EXPECT_EQ(ctx.startup.reminders.needsReading[1][0], 1);
  EXPECT_EQ(ctx.startup.reminders.needsReading[1][2], 1);
  EXPECT_EQ(h.focused(), "Command3(0)");
}

TEST(MeasureStarts, TemperatureStartResetsTheTemperaturesAndArmsReadTemp) {
  Harness h;
  ui::Context& ctx = h.ctx();
  ctx.boards.LastBoardIndex = 1;
  h.setBroadcast(BroadcastCommand::STTMPAD);
  h.click(ctx.c.Command1[4]);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(ctx.c.Text6[k].text(), " 0.0000V ");
  EXPECT_TRUE(ctx.c.ReminderMark[2].visible);
  EXPECT_EQ(ctx.startup.reminders.needsReading[2][1], 1);  // broadcast: every board
  EXPECT_EQ(h.focused(), "Command1(9)");
}

TEST(MeasureStarts, ChipSelectIsReleasedBeforeAHoldDccStart) {
  Harness h;
  h.click(h.ctx().c.Command1[0]);
  h.click(h.ctx().c.Command3[1]);
  h.click(h.ctx().c.Command3[1]);
  EXPECT_EQ(h.driver.writes, (std::vector<std::string>{"MSxS80S49S40S07", "MSX", "MSxS80S49S70S97X",
                                                       "MSxS80S49S70S97X"}));
}

TEST(MeasureReads, CellVoltagesInTwelveAndTenCellMode) {
  Harness h;
  ui::Context& ctx = h.ctx();
  h.click(ctx.c.Command1[2]);
  h.driver.answers.push_back(reply(std::string(kTwelveCells) + kTwelveCellsPec));
  h.click(ctx.c.Command1[7]);
  EXPECT_EQ(h.driver.writes.back(), "MSxT80T49T04TDCRRRRRRRRRRRRRRRRRRRX");
  EXPECT_EQ(h.driver.calls[h.driver.calls.size() - 2].a, 46u);  // characters read
  EXPECT_EQ(ctx.measure.code[1], "311");
  EXPECT_EQ(ctx.measure.code[12], "ECC");
  EXPECT_EQ(ctx.c.Text1[0].text(), " 0.4095V  ");
  EXPECT_EQ(ctx.c.Text1[11].text(), " 4.9140V  ");
  EXPECT_EQ(ctx.views.CellDataValid[0], 1);
  EXPECT_EQ(ctx.reads.pecState[0], kPecNoData);  // CDC 0: standby
  EXPECT_EQ(ctx.c.Command1[7].caption(), "READCELLVOLT");
  EXPECT_EQ(h.focused(), "Command1(8)");

  ctx.config.tenCellFlag = 1;
  h.driver.answers.push_back(reply(std::string(kTenCells) + kTenCellsPec));
  h.click(ctx.c.Command1[7]);
  EXPECT_EQ(h.driver.writes.back(), "MSxT80T49T04TDCRRRRRRRRRRRRRRRRX");
  EXPECT_EQ(h.driver.calls[h.driver.calls.size() - 2].a, 40u);
  EXPECT_EQ(ctx.c.Text1[0].text(), " 2.9820V  ");
  EXPECT_EQ(ctx.c.Text1[9].text(), " 2.9955V  ");
  EXPECT_EQ(ctx.c.Text1[10].text(), " 4.5045V  ");  // cells 11 and 12 keep their values
  EXPECT_EQ(ctx.measure.code[12], "ECC");
}

TEST(MeasureReads, AMismatchStillStoresTheValues) {
  Harness h;
  ui::Context& ctx = h.ctx();
  h.click(*ctx.c.Check_AUTO);  // "PEC Match Only": a button read shows the transfer anyway
  h.driver.answers.push_back(reply(std::string(kTwelveCells) + "00"));
  h.click(ctx.c.Command1[7]);
  EXPECT_EQ(ctx.reads.pecState[0], kPecMismatch);
  EXPECT_EQ(ctx.reads.record(0, ReadKind::RDCV).errorText, "PEC_RDCV ERROR! 0x00 != 0x4D");
  EXPECT_EQ(ctx.c.Text1[1].text(), " 0.8190V  ");
  EXPECT_EQ(ctx.views.CellDataValid[0], 0);
  EXPECT_EQ(ctx.c.Label_AUTOstatus->caption(), "DISPLAY ONLY VALID DATA TRANSFERS!");

  // The continuous cycle reads CycleBoard and is filtered: the mismatch is not recorded, the
  // values are stored.
  ctx.boards.LastBoardIndex = 1;
  ctx.cycle.ContinuousReadOn = 1;
  ctx.cycle.CycleBoard = 1;
  ctx.reads.pecState[1] = kPecMatch;
  h.driver.answers.push_back(reply("000220" + std::string(30, '0') + "00"));
  ReadCellVoltages(ctx, 0);
  EXPECT_EQ(h.driver.writes.back(), "MSxT81T4ET04TDCRRRRRRRRRRRRRRRRRRRX");
  EXPECT_EQ(ctx.reads.pecState[1], kPecMatch);
  EXPECT_EQ(ctx.reads.record(1, ReadKind::RDCV).errorText, "");
  EXPECT_EQ(ctx.measure.code[13], "200");
  EXPECT_EQ(ctx.measure.code[14], "200");
  EXPECT_EQ(ctx.c.Text1[1].text(), " 0.8190V  ");  // the panels keep showing CurrentBoard
}

TEST(MeasureReads, FlagsOfTheCurrentBoard) {
  Harness h;
  ui::Context& ctx = h.ctx();
  h.driver.answers.push_back(reply("0A0040AD"));
  h.click(ctx.c.Command1[8]);
  EXPECT_EQ(h.driver.writes.back(), "MSxT80T49T0CTE4RRRRX");
  EXPECT_EQ(ctx.c.Text_FLG[0].text(), "  0A   ");
  EXPECT_EQ(ctx.c.Text_FLG[1].text(), "  00   ");
  EXPECT_EQ(ctx.c.Text_FLG[2].text(), "  40   ");
  EXPECT_EQ(ctx.views.FlagDataValid[0], 1);
  EXPECT_EQ(h.focused(), "Command1(2)");
}

TEST(MeasureReads, TemperaturesOfBoardTenAndItsThermalShutdown) {
  Harness h;
  ui::Context& ctx = h.ctx();
  ctx.boards.LastBoardIndex = 9;
  ctx.boards.CurrentBoard = 9;
  h.driver.answers.push_back(reply("34A25B781F3F"));
  h.click(ctx.c.Command1[9]);
  EXPECT_EQ(h.driver.writes.back(), "MSxT89T76T0ETEARRRRRRX");
  EXPECT_EQ(ctx.measure.code[148], "234");  // ETMP1
  EXPECT_EQ(ctx.measure.code[149], "5BA");  // ETMP2
  EXPECT_EQ(ctx.measure.code[150], "F78");  // ITMP
  EXPECT_EQ(ctx.c.Text6[0].text(), "5.1720V  ");
  EXPECT_EQ(ctx.c.Text6[1].text(), "0.0780V  ");
  EXPECT_EQ(ctx.c.Text6[2].text(), "1.4310V  ");
  EXPECT_EQ(ctx.reads.thermalShutdown[9], 1);
  EXPECT_EQ(ctx.views.CellStatus[107], 0);
  EXPECT_EQ(ctx.views.CellStatus[108], 7);
  EXPECT_EQ(ctx.views.CellStatus[119], 7);
  EXPECT_EQ(ctx.c.Shape12[9].fillColor, kOrange);
  EXPECT_EQ(h.focused(), "Command1(4)");
}

TEST(MeasureReads, ThermalShutdownFollowsOnlyIntactRepliesAndItsRecoveryReadsTheConfiguration) {
  Harness h;
  ui::Context& ctx = h.ctx();
  const struct {
    const char* tail;  // fifth byte and PEC
    int flag;
    int status;
    bool recovery;
  } steps[] = {
      {"1F3F", 1, 7, false},
      {"0F00", 1, 7, false},  // mismatch: the flag keeps its value
      {"0F4F", 0, 0, true},
      {"1F00", 0, 0, true},  // mismatch
  };
  for (const auto& s : steps) {
    h.driver.answers.push_back(reply(std::string("34A25B78") + s.tail));
    h.click(ctx.c.Command1[9]);
    EXPECT_EQ(ctx.reads.thermalShutdown[0], s.flag) << s.tail;
    EXPECT_EQ(ctx.views.CellStatus[5], s.status) << s.tail;
    EXPECT_EQ(ctx.reads.thermalRecoveryPending, s.recovery) << s.tail;
  }
  EXPECT_EQ(ctx.reads.thermalState[0], 1);

  h.driver.writes.clear();
  h.click(*ctx.c.Check_AUTO);
  startup::thermalRecoveryAfterWrite(ctx);
  EXPECT_EQ(h.driver.writes, std::vector<std::string>{"MSXxT80T49T02TCERRRRRRRX"});
  EXPECT_EQ(ctx.reads.pecState[0], kPecMismatch);  // shown despite "PEC Match Only"
  EXPECT_EQ(ctx.reads.thermalState[0], 0);
  EXPECT_FALSE(ctx.reads.thermalRecoveryPending);
  startup::thermalRecoveryAfterWrite(ctx);
  EXPECT_EQ(h.driver.writes.size(), 1u);  // nothing pending: nothing sent
}

}  // namespace
}  // namespace kb::monitor

namespace kb::monitor {
namespace {

TEST(MeasureLog, StartsAndReadsWriteTheirRows) {
  Harness h;
  ui::Context& ctx = h.ctx();
  auto& c = ctx.c;
  h.click(c.Command1[2]);
  EXPECT_EQ(c.Label8[1].caption(), "Command = 0x10 STCVAD");
  EXPECT_EQ(c.Text8->text(), "   49  |  B0  | ");
  h.setBroadcast(BroadcastCommand::STTMPAD);
  h.click(c.Command1[4]);
  EXPECT_EQ(c.Label8[1].caption(), "Command = 0x30 STTMPAD");
  EXPECT_EQ(c.Label8[3].caption(), "BROADCAST to all BRDS");
  h.click(c.Command3[1]);
  EXPECT_EQ(c.Label8[1].caption(), "Command = 0x70 STOWDC");

  h.driver.answers.push_back(reply(std::string(kTwelveCells) + "00"));
  h.click(c.Command1[7]);
  EXPECT_EQ(c.Label8[1].caption(), "Command = 0x04 RDCV");
  EXPECT_EQ(c.Text8->text(), "   49  |  DC  |  00  !=  4D");
  EXPECT_EQ(c.Text8->backColor, kRed);

  // The keep-alive and a flag read of another board than the current one leave the row alone.
  SendBroadcastPladc(ctx);
  ctx.boards.LastBoardIndex = 1;
  ctx.cycle.ContinuousReadOn = 1;
  ctx.cycle.CycleBoard = 1;
  h.driver.answers.push_back(reply("000000ED"));
  ReadFlags(ctx);
  EXPECT_EQ(c.Label8[1].caption(), "Command = 0x04 RDCV");
  ctx.cycle.CycleBoard = 0;
  h.driver.answers.push_back(reply("34A25B780F4F"));
  ReadTemperatures(ctx);
  EXPECT_EQ(c.Label8[1].caption(), "Command = 0x0E RDTMP");
  EXPECT_EQ(c.Text8->text(), "   49  |  EA  | 4F ==  4F");
}

}  // namespace
}  // namespace kb::monitor
