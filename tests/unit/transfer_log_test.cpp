// The transfer log rows as the operator reads them.
#include <gtest/gtest.h>

#include <string>

#include "FakeDriver.h"
#include "MainWindowRig.h"
#include "common/Clock.h"
#include "monitor/MonitorCommands.h"
#include "startup/Startup.h"
#include "startup/TransferLog.h"
#include "ui/main/MainWindow.h"

namespace kb::startup {
namespace {

struct NoDialogs final : form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

struct Harness {
  Harness() {
    driver.answers.push_back("QXM7140-2");
    // READ CONFIG twice in the board-count change and once more at start-up: a match each time.
    for (int i = 0; i < 3; ++i) driver.answers.push_back("FFFFFFFFE00000000000FE");
    EXPECT_TRUE(window.load());
  }
  struct Row {
    std::string dir, desc, head1, head2, data, address;
    std::int32_t back;
  };
  Row row() {
    auto& c = window.context().c;
    return {c.Label7->caption(),   c.Label8[1].caption(), c.Label8[2].caption(),
            c.Label8[0].caption(), c.Text8->text(),       c.Label8[3].caption(),
            c.Text8->backColor};
  }
  ui::Context& ctx() { return window.context(); }

  test::FakeDriver driver;
  link::ControllerLink link{driver};
  ManualClock clock;
  NoDialogs dialogs;
  ui::MainWindow window{ui::Services{link, clock, dialogs, nullptr}};
};

TEST(TransferLog, ReadConfigAtStartUpShowsTheMatchingRow) {
  Harness h;
  const auto r = h.row();
  EXPECT_EQ(r.dir, "R D");
  EXPECT_EQ(r.desc, "Command = 0x02 RDCFG");
  EXPECT_EQ(r.head1, "| SENT  | SENT | REC'D |  GUI    |");
  EXPECT_EQ(r.head2, "| ADDR |  Cmd  | 7140  |  CALC |");
  EXPECT_EQ(r.data, "   49  |  CE  | FE ==  FE");
  EXPECT_EQ(r.address, " Address = 0x80 BRD# 1");
  EXPECT_EQ(r.back, kWhite);
}

TEST(TransferLog, PollRowsAddressedAndBroadcast) {
  Harness h;
  h.window.form().operatorClick(h.ctx().c.Command1[0]);
  auto r = h.row();
  EXPECT_EQ(r.dir, "W R");
  EXPECT_EQ(r.desc, "Command = 0x40 PLADC");
  EXPECT_EQ(r.head1, "| SENT  | SENT |");
  EXPECT_EQ(r.head2, "| ADDR |  Cmd  |");
  EXPECT_EQ(r.data, "   49  |  07  | ");
  EXPECT_EQ(r.address, " Address = 0x80 BRD# 1");

  h.ctx().boards.BroadcastFlags[static_cast<int>(BroadcastCommand::PLINT)][0] = 1;
  h.window.form().operatorClick(h.ctx().c.Command1[1]);
  r = h.row();
  EXPECT_EQ(r.desc, "Command = 0x50 PLINT");
  EXPECT_EQ(r.head1, "| SENT | ");
  EXPECT_EQ(r.head2, "|  Cmd  | ");
  EXPECT_EQ(r.data, "   77  | ");
  EXPECT_EQ(r.address, "BROADCAST to all BRDS");
  // Command rows leave the remembered read-back kind alone.
  EXPECT_EQ(h.ctx().startup.transferLog.lastKind, kLogReadConfig);
}

TEST(TransferLog, WriteConfigRowShowsTheDataPecWithoutALeadingZero) {
  Harness h;
  auto& written = h.ctx().config.written[0];
  written = {"E0", "00", "00", "00", "00", "25"};  // data PEC 0x05
  LogWriteConfig(h.ctx());
  auto r = h.row();
  EXPECT_EQ(r.desc, "Command = 0x01 WRCFG");
  EXPECT_EQ(r.head1, "| SENT | SENT  |");
  EXPECT_EQ(r.head2, "|  Cmd  | DATA | ");
  EXPECT_EQ(r.data, "  C7  |  5  |");
  EXPECT_EQ(r.address, "BROADCAST to all BRDS");
  h.ctx().boards.BroadcastFlags[static_cast<int>(BroadcastCommand::WRCFG)][0] = 0;
  written = {"E0", "00", "00", "00", "00", "00"};
  LogWriteConfig(h.ctx());
  r = h.row();
  EXPECT_EQ(r.head1, "| SENT  | SENT | SENT  |");
  EXPECT_EQ(r.head2, "| ADDR |  Cmd  | DATA |");
  EXPECT_EQ(r.data, "   49  |  C7  |  FE  |");
  EXPECT_EQ(h.ctx().startup.transferLog.lastKind, kLogWriteConfig);
}

TEST(TransferLog, AFailingReadIsRedUnlessPecMatchOnlyFiltersIt) {
  Harness h;
  // A button read shows the red row even with "PEC Match Only" ticked.
  h.window.form().operatorClick(*h.ctx().c.Check_AUTO);
  h.driver.answers.push_back("FFFFFFFFE0000000000017");
  h.window.form().operatorClick(h.ctx().c.Command1[6]);
  auto r = h.row();
  EXPECT_EQ(r.data, "   49  |  CE  | 17  !=  FE");
  EXPECT_EQ(r.back, kRed);
  // A read the operator did not start (the continuous cycle) is filtered: the row stays.
  h.driver.answers.push_back("FFFFFFFFE0000000000011");
  monitor::ReadBackConfig(h.ctx());
  EXPECT_EQ(h.row().data, "   49  |  CE  | 17  !=  FE");
  // Unticked, the same read replaces it.
  h.window.form().operatorClick(*h.ctx().c.Check_AUTO);
  h.driver.answers.push_back("FFFFFFFFE0000000000011");
  monitor::ReadBackConfig(h.ctx());
  EXPECT_EQ(h.row().data, "   49  |  CE  | 11  !=  FE");
}

TEST(TransferLog, BoardSelectionRewritesTheRememberedRowForTheNewBoard) {
  Harness h;
  auto& rec = h.ctx().reads.records[1][static_cast<int>(monitor::ReadKind::RDCV)];
  rec.receivedPec = "3A";
  rec.calculatedPec = "3A";
  LogReadBack(h.ctx(), monitor::ReadKind::RDCV, 0, 1);
  EXPECT_EQ(h.ctx().startup.transferLog.lastKind, kLogReadCells + 1);
  h.ctx().boards.CurrentBoard = 1;
  RewriteLog(h.ctx());
  auto r = h.row();
  EXPECT_EQ(r.desc, "Command = 0x04 RDCV");
  EXPECT_EQ(r.data, "   4E  |  DC  | 3A ==  3A");
  EXPECT_EQ(r.address, " Address = 0x81 BRD# 2");
  // Nothing remembered: the log is cleared and the indicators return to the system colour.
  forgetLog(h.ctx());
  RewriteLog(h.ctx());
  EXPECT_EQ(h.row().desc, "");
  EXPECT_EQ(h.row().data, "");
  EXPECT_EQ(h.ctx().c.Shape12[0].fillColor, kWindowBackground);
}

TEST(TransferLog, ABoardNeverReadWithTheRememberedCommandShowsNoRow) {
  test::MainWindowRig r("boards=2");
  auto& c = r.c();
  r.select(*c.Combo1, 1);
  r.click(c.Command1[7]);  // READCELLVOLT of board 1 only
  r.click(c.Command4[1]);
  EXPECT_EQ(c.Label8[1].caption(), "");
  EXPECT_EQ(c.Text8->text(), "");
  EXPECT_NE(c.Shape12[1].fillColor, kWindowBackground) << "the indicators stay";
  r.click(c.Command4[0]);
  EXPECT_EQ(c.Label8[1].caption(), "Command = 0x04 RDCV");
}

}  // namespace
}  // namespace kb::startup
