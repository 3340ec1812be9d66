// The status window: rows for the stack, what each chip's row shows for its tables, the raw
// bytes, its life with the main window, and its drawing after SEND over the simulated chips.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "MainWindowRig.h"
#include "balancer/Balancer.h"
#include "balancer/CommandWord.h"
#include "balancer/StatusWindow.h"
#include "sim_helpers.h"
#include "ui/main/MainWindow.h"

namespace kb::balancer {
namespace {

constexpr std::int32_t kWhiteField = 16777215;
constexpr std::int32_t kCyanField = 16777088;  // (128, 255, 255)
constexpr std::int32_t kBlueField = 16744576;  // (128, 128, 255)
constexpr std::int32_t kGreenField = 8454016;  // (128, 255, 128)
constexpr std::int32_t kGreyField = 12632256;  // (192, 192, 192)
constexpr int kTransparent = 1, kUpward = 4, kDownward = 5, kCross = 7;

struct Rig : test::MainWindowRig {
  explicit Rig(sim::SimOptions options = {}) : MainWindowRig(std::move(options)) {}
  ui::StatusControls& s() { return ctx().s; }
  BalancerState& b() { return ctx().balancer; }
  void send(Mode mode) {
    click(ctx().c.Option_1[static_cast<int>(mode)]);
    click(*ctx().c.Command_1);
  }
  // GPIO1 of board 1 low: its balancer chips hear the bus.
  void openPath() { link.SendCommand(sim::test::writeConfig(0x80, {0xC0, 0, 0, 0, 0, 0})); }
  int rowsShown() {
    int rows = 0;
    for (int r = 0; r < 30; ++r) rows += s().Label12[r + 1].visible ? 1 : 0;
    return rows;
  }
  std::vector<std::int32_t> fields(int chip) {
    std::vector<std::int32_t> out;
    for (int c = 0; c < 6; ++c) out.push_back(s().Shape1[6 * chip + c].backColor);
    return out;
  }
  std::string gates(int chip) {  // caption per cell, "." for a hidden mark
    std::string out;
    for (int c = 0; c < 6; ++c) {
      const form::Control& g = s().Label2[6 * chip + c];
      out += g.visible ? g.caption() : ".";
    }
    return out;
  }
};

TEST(StatusWindow, RowsFollowTheChipsOfTheStack) {
  Rig r;
  ASSERT_TRUE(r.loaded);
  EXPECT_TRUE(r.window->statusForm().visible);
  EXPECT_EQ(r.rowsShown(), 2);
  EXPECT_TRUE(r.s().Shape1[11].visible);
  EXPECT_FALSE(r.s().Shape1[12].visible);
  EXPECT_TRUE(r.s().ChipMark[1].visible);

  r.click(r.ctx().c.Check_1[3]);  // "TOS" cleared: no top chip on the top board
  EXPECT_EQ(r.b().ChipCount, 1);
  EXPECT_EQ(r.rowsShown(), 1);
  EXPECT_FALSE(r.s().Shape1[6].visible);
  EXPECT_FALSE(r.s().ChipMark[1].visible);
  EXPECT_FALSE(r.s().TempMark[1].visible);

  // Shown again, the row's gate marks show only what its status says: not read, none.
  r.click(r.ctx().c.Check_1[3]);
  EXPECT_EQ(r.rowsShown(), 2);
  EXPECT_EQ(r.gates(1), "......");

  balancerBoardCountChange(r.ctx(), 3);
  Display5520Status(r.ctx());
  EXPECT_EQ(r.rowsShown(), 6);
  EXPECT_EQ(r.s().Label12[6].caption(), "6");
}

TEST(StatusWindow, CellFieldsShowTheActionsReadBack) {
  struct Case {
    const char* check;
    const char* hi;
    const char* lo;
    std::vector<std::int32_t> fields;  // cells 1..6
  };
  const std::vector<Case> cases = {
      {"OK",
       "C0",
       "07",
       {kGreenField, kWhiteField, kWhiteField, kWhiteField, kWhiteField, kWhiteField}},
      {"OK",
       "1B",
       "E0",
       {kWhiteField, kCyanField, kBlueField, kGreenField, kGreenField, kBlueField}},
      {"ERROR", "C0", "07", std::vector<std::int32_t>(6, kGreyField)},
      {"-", "C0", "07", std::vector<std::int32_t>(6, kWhiteField)},
  };
  Rig r;
  for (const Case& c : cases) {
    r.b().ReadbackCheck[1] = c.check;
    r.b().ReadbackDataHi[1] = c.hi;
    r.b().ReadbackDataLo[1] = c.lo;
    DISPLAY_CELLstatus(r.ctx());
    EXPECT_EQ(r.fields(1), c.fields) << c.check << " " << c.hi << " " << c.lo;
    EXPECT_EQ(r.fields(0), std::vector<std::int32_t>(6, kWhiteField));
  }
}

TEST(StatusWindow, GateMarksShowTheStatusOrItsFailure) {
  struct Case {
    const char* check;
    const char* hi;
    const char* lo;
    const char* gates;
  };
  const std::vector<Case> cases = {
      {"OK", "A4", "80", "+.+..+"},  // gates of cells 1, 3 and 6 OK
      {"OK", "FC", "87", "++++++"},
      {"ERROR", "FC", "87", "------"},
      {"-", "FC", "87", "......"},
  };
  Rig r;
  for (const Case& c : cases) {
    r.b().StatusCheck[0] = c.check;
    r.b().StatusDataHi[0] = c.hi;
    r.b().StatusDataLo[0] = c.lo;
    DISPLAY_CELLstatus(r.ctx());
    EXPECT_EQ(r.gates(0), c.gates) << c.check << " " << c.hi;
  }
}

TEST(StatusWindow, ChipMarkShowsOverVoltageBalancingAndTemperature) {
  struct Case {
    const char* name;
    int chip;
    const char* readbackHi;
    const char* readbackLo;
    bool polling, board1, others;
    const char* statusHi;
    const char* statusLo;
    int pattern;
    bool tempError;
  };
  const std::vector<Case> cases = {
      {"cells OV alone", 0, "00", "0F", false, false, false, "FE", "80", kDownward, false},
      {"stack OV alone", 0, "00", "0F", false, false, false, "FD", "80", kUpward, false},
      {"both OV", 0, "C0", "07", true, true, false, "FF", "80", kTransparent, false},
      {"balancing board 1", 0, "C0", "07", true, true, false, "FC", "80", kCross, false},
      {"not polling", 0, "C0", "07", false, true, false, "FC", "80", kTransparent, false},
      {"board 1 executing, chip of board 2", 2, "C0", "07", true, true, false, "FC", "00",
       kTransparent, false},
      {"other boards executing", 2, "C0", "07", true, false, true, "FC", "00", kCross, true},
      {"cells 5 and 6 count while polling", 0, "00", "C0", true, false, false, "FC", "00", kCross,
       true},
      {"hot but idle", 0, "00", "0F", true, true, false, "FC", "00", kTransparent, false},
  };
  for (const Case& c : cases) {
    Rig r;
    balancerBoardCountChange(r.ctx(), 2);
    Display5520Status(r.ctx());
    auto& b = r.b();
    const auto k = static_cast<std::size_t>(c.chip);
    b.ReadbackCheck[k] = "OK";
    b.ReadbackDataHi[k] = c.readbackHi;
    b.ReadbackDataLo[k] = c.readbackLo;
    b.StatusCheck[k] = "OK";
    b.StatusDataHi[k] = c.statusHi;
    b.StatusDataLo[k] = c.statusLo;
    b.BalancerPolling = c.polling;
    b.ExecutingBoard1 = c.board1;
    b.ExecutingOtherBoards = c.others;
    DISPLAY_CELLstatus(r.ctx());
    EXPECT_EQ(r.s().ChipMark[c.chip].fillStyle, c.pattern) << c.name;
    EXPECT_EQ(r.s().TempMark[c.chip].opaque, c.tempError) << c.name;
    // A status that failed its check marks nothing.
    b.StatusCheck[k] = "ERROR";
    DISPLAY_CELLstatus(r.ctx());
    EXPECT_EQ(r.s().ChipMark[c.chip].fillStyle, kTransparent) << c.name;
    EXPECT_FALSE(r.s().TempMark[c.chip].opaque) << c.name;
  }
}

TEST(StatusWindow, RawBytesOfEveryChip) {
  Rig r;
  for (std::size_t k : {0u, 1u}) {
    r.b().ReadbackDataHi[k] = "00";
    r.b().ReadbackDataLo[k] = "0F";
    r.b().StatusDataHi[k] = "FC";
    r.b().StatusDataLo[k] = "87";
  }
  DISPLAY_CELLstatus(r.ctx());
  EXPECT_EQ(r.s().Label3[0].caption(), " | 00 | 0F |  | 00 | 0F | ");
  EXPECT_EQ(r.s().Label3[1].caption(), " | FC | 87 |  | FC | 87 | ");
  r.click(r.ctx().c.Check_1[3]);
  DISPLAY_CELLstatus(r.ctx());
  EXPECT_EQ(r.s().Label3[0].caption(), " | 00 | 0F | ");
}

TEST(StatusWindow, BoardCountSetsWidthAndRowsAndTheBytesStayInside) {
  for (const auto& [p, width] :
       std::vector<std::pair<int, int>>{{0, 6600}, {1, 7075}, {9, 10875}}) {
    Rig r;
    r.window->form().operatorSelect(*r.ctx().c.Combo1, p);  // p + 1 boards
    const form::Form& f = r.window->statusForm();
    EXPECT_EQ(f.width, width);
    EXPECT_EQ(r.rowsShown(), 2 * (p + 1));
    const int rowsBottom = r.s().Shape1[6 * (2 * p + 1)].top + r.s().Shape1[0].height;
    for (int i = 0; i < 2; ++i) {
      const form::Control& bytes = r.s().Label3[i];
      EXPECT_GT(r.s().BytesHead[i].top, rowsBottom) << p;
      EXPECT_LE(bytes.left + bytes.width, f.width) << p;
      EXPECT_LE(bytes.top + bytes.height, f.height) << p;
    }
  }
}

TEST(StatusWindow, ABoardCountChangeWhileBalancingKeepsTheRows) {
  Rig r;
  r.b().ExecutingBoard1 = true;
  r.window->form().operatorSelect(*r.ctx().c.Combo1, 1);
  EXPECT_EQ(r.window->statusForm().width, 7075);
  EXPECT_EQ(r.rowsShown(), 2);
  r.b().ExecutingBoard1 = false;
  statusWindowBoardCountChange(r.ctx(), 1);
  EXPECT_EQ(r.rowsShown(), 4);
}

TEST(StatusWindow, LoadedOnUseShownByItsButtonGoneWithTheMainWindow) {
  Rig r;
  auto loaded = [&] { return *r.window->stateVariable("StatusWindowLoaded", -1); };
  EXPECT_EQ(loaded(), "True");
  r.window->closeStatusWindow();
  EXPECT_FALSE(r.window->statusForm().visible);
  EXPECT_EQ(loaded(), "False");

  // A read-back draws it again without showing it.
  r.b().ReadbackCheck[0] = "OK";
  r.b().ReadbackDataHi[0] = "C0";
  r.b().ReadbackDataLo[0] = "07";
  r.send(Mode::ReadStatus);  // nothing answers: the tables keep what they hold
  EXPECT_EQ(loaded(), "True");
  EXPECT_FALSE(r.window->statusForm().visible);
  EXPECT_EQ(r.s().Shape1[0].backColor, kGreenField);

  r.click(*r.ctx().c.Command5520);
  EXPECT_TRUE(r.window->statusForm().visible);

  r.window->unload();
  EXPECT_FALSE(r.window->statusForm().visible);
  EXPECT_EQ(loaded(), "False");
  EXPECT_TRUE(r.window->ended());
}

TEST(StatusWindow, SendDrawsWhatTheChipsReport) {
  Rig r;
  r.openPath();
  // Out of standby: with every CDC 0 the write that opens the path ends the balancing.
  r.click(r.ctx().c.Command0[1]);
  r.click(r.ctx().c.Option_2[3]);         // bottom chip: cell 1 charge
  r.click(r.ctx().c.Option4[4 * 5 + 2]);  // top chip: cell 6 discharge
  r.send(Mode::Write);
  r.send(Mode::ReadCommand);
  EXPECT_EQ(r.s().Label3[0].caption(), " | C0 | 07 |  | 00 | 29 | ");
  EXPECT_EQ(r.fields(0), (std::vector<std::int32_t>{kGreenField, kWhiteField, kWhiteField,
                                                    kWhiteField, kWhiteField, kWhiteField}));
  EXPECT_EQ(r.fields(1), (std::vector<std::int32_t>{kWhiteField, kWhiteField, kWhiteField,
                                                    kWhiteField, kWhiteField, kBlueField}));
  EXPECT_EQ(r.gates(0), "......");  // no status read yet

  r.send(Mode::Execute);
  r.send(Mode::ReadStatus);
  EXPECT_EQ(r.gates(0), "++++++");
  EXPECT_EQ(r.s().ChipMark[0].fillStyle, kCross);
  EXPECT_EQ(r.s().ChipMark[1].fillStyle, kCross) << "cell 6 counts on its own";
  EXPECT_FALSE(r.s().TempMark[0].opaque);
}

TEST(StatusWindow, CorruptedRepliesShowGreyFieldsAndFailedGates) {
  sim::SimOptions o;
  o.balancerCrcFaults.push_back(1);
  Rig r(o);
  r.openPath();
  r.send(Mode::Write);
  r.send(Mode::ReadCommand);
  r.send(Mode::ReadStatus);
  EXPECT_EQ(r.fields(0), std::vector<std::int32_t>(6, kGreyField));
  EXPECT_EQ(r.fields(1), std::vector<std::int32_t>(6, kGreyField));
  EXPECT_EQ(r.gates(0), "------");
  EXPECT_EQ(r.s().ChipMark[0].fillStyle, kTransparent);
}

}  // namespace
}  // namespace kb::balancer
