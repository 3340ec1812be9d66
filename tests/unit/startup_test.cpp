#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeDriver.h"
#include "common/Clock.h"
#include "startup/Startup.h"
#include "ui/main/MainWindow.h"

namespace kb::startup {
namespace {

struct RecordingDialogs final : form::Dialogs {
  std::vector<std::string> shown;
  void msgBox(const std::string& text, const std::string& title) override {
    shown.push_back(title + ": " + text);
  }
};

// The reply of a read frame: four echo bytes, then the given data and PEC bytes.
std::string readReply(const std::string& dataAndPec) {
  return "FFFFFFFF" + dataAndPec;
}

struct Harness {
  test::FakeDriver driver;
  link::ControllerLink link{driver};
  ManualClock clock;
  RecordingDialogs dialogs;
  ui::MainWindow window{ui::Services{link, clock, dialogs, nullptr}};
  ui::Context& ctx() { return window.context(); }
};

TEST(Startup, UnrecognisedOrMissingControllerEndsWithTheMessage) {
  for (const char* answer : {"", "QXM7150-2 other", "qxm7140-2"}) {
    Harness h;
    h.driver.answers.push_back(answer);
    EXPECT_FALSE(h.window.load()) << answer;
    ASSERT_EQ(h.dialogs.shown.size(), 1u);
    EXPECT_EQ(h.dialogs.shown[0],
              "KB4471: QXB5520-1/QXM71X0 board not detected. Make sure board is connected and "
              "restart program.");
    EXPECT_TRUE(h.window.ended());
    EXPECT_EQ(h.ctx().exitStatus, 1);
    EXPECT_EQ(h.driver.writes, std::vector<std::string>{"IZ"});  // nothing else is sent
  }
}

TEST(Startup, RecognisedControllerReadsTheConfigurationOfBoardOne) {
  for (const std::string& id : std::vector<std::string>{"QXM7140-2", "QXM7140-4", "QXB5520-1"}) {
    Harness h;
    h.driver.answers.push_back(id + " and more text");
    for (int i = 0; i < 3; ++i) h.driver.answers.push_back(readReply("E00000000000FE"));
    ASSERT_TRUE(h.window.load()) << id;
    // The board-count change for one board reads board 1 twice, then start-up once more.
    const std::string rdcfg = "MSXxT80T49T02TCERRRRRRRX";
    EXPECT_EQ(h.driver.writes, (std::vector<std::string>{"IZ", rdcfg, rdcfg, rdcfg}));
    EXPECT_EQ(h.ctx().c.Label_ID->caption(), id);
    EXPECT_TRUE(h.ctx().c.Timer1->enabled);
    EXPECT_TRUE(h.window.statusForm().visible);
    EXPECT_EQ(h.ctx().reads.pecState[0], monitor::kPecMatch);
    EXPECT_EQ(h.ctx().boards.BoardAddress[9], "89");
    EXPECT_EQ(h.ctx().c.Label_AUTOstatus->caption(), "DISPLAY ALL DATA TRANSFERS!");
  }
}

TEST(Startup, SilentBoardIsAMismatchEvenWithPecMatchOnlyTicked) {
  Harness h;
  h.driver.answers.push_back("QXM7140-2");
  for (int i = 0; i < 3; ++i) h.driver.answers.push_back(std::string(22, 'F'));
  ASSERT_TRUE(h.window.load());
  EXPECT_EQ(h.ctx().reads.pecState[0], monitor::kPecMismatch);
  EXPECT_EQ(h.ctx().reads.records[0][0].errorText, "PEC_RDCFG ERROR! 0xFF != 0x17");

  // A button read is shown even with "PEC Match Only" ticked; the box is re-applied after it.
  h.window.form().operatorClick(*h.ctx().c.Check_AUTO);
  EXPECT_EQ(h.ctx().c.Label_AUTOstatus->caption(), "DISPLAY ONLY VALID DATA TRANSFERS!");
  h.ctx().reads.pecState[0] = monitor::kPecNoData;
  h.driver.answers.push_back(std::string(22, 'F'));
  h.window.form().operatorClick(h.ctx().c.Command1[6]);
  EXPECT_EQ(h.ctx().reads.pecState[0], monitor::kPecMismatch);
  EXPECT_EQ(h.ctx().c.Label_AUTOstatus->caption(), "DISPLAY ONLY VALID DATA TRANSFERS!");
}

TEST(Dispatch, ChipSelectIsReleasedOnceAfterAPoll) {
  for (const int poll : {0, 1}) {
    Harness h;
    h.driver.answers.push_back("QXM7140-2");
    ASSERT_TRUE(h.window.load());
    h.driver.writes.clear();
    h.window.form().operatorClick(h.ctx().c.Command1[poll]);
    h.window.form().operatorClick(h.ctx().c.Command1[6]);
    h.window.form().operatorClick(h.ctx().c.Command1[6]);
    const std::string pollFrame = poll == 0 ? "MSxS80S49S40S07" : "MSxS80S49S50S77";
    EXPECT_EQ(h.driver.writes,
              (std::vector<std::string>{pollFrame, "MSX", "MSXxT80T49T02TCERRRRRRRX",
                                        "MSXxT80T49T02TCERRRRRRRX"}));
  }
}

TEST(Dispatch, PollFollowsTheBoardsBroadcastChoiceAndAddress) {
  Harness h;
  h.driver.answers.push_back("QXM7140-2");
  ASSERT_TRUE(h.window.load());
  h.ctx().boards.BroadcastFlags[static_cast<int>(BroadcastCommand::PLADC)][0] = 1;
  h.driver.writes.clear();
  Command1_Click(h.ctx(), 0);
  h.ctx().boards.BoardAddress[0] = "8A";
  Command1_Click(h.ctx(), 1);
  EXPECT_EQ(h.driver.writes, (std::vector<std::string>{"MSxS40S07", "MSX", "MSxS8AS7FS50S77"}));
}

TEST(Reminders, ArmNarrowsTheButtonAndReleaseRestoresIt) {
  Harness h;
  h.driver.answers.push_back("QXM7140-2");
  ASSERT_TRUE(h.window.load());
  ui::Context& ctx = h.ctx();
  ctx.startup.reminders.state[1] = kReminderArmed;
  // READCELLVOLT arms every board when a conversion-start broadcast is chosen at arming time.
  ctx.boards.BroadcastFlags[static_cast<int>(BroadcastCommand::STOWDC)][0] = 1;
  ctx.boards.LastBoardIndex = 2;
  refreshReminders(ctx);
  EXPECT_EQ(ctx.c.Command1[7].caption(), "READCELL");
  EXPECT_EQ(ctx.c.Command1[7].width, 1215);
  EXPECT_EQ(ctx.c.Command1[7].left, 11280);
  EXPECT_TRUE(ctx.c.ReminderMark[1].visible);
  EXPECT_EQ(ctx.startup.reminders.needsReading[1][2], 1);  // broadcast: every board
  EXPECT_EQ(ctx.startup.reminders.needsReading[1][3], 0);

  suspendReminders(ctx);
  EXPECT_EQ(ctx.startup.reminders.state[1], kReminderSuspended);
  refreshReminders(ctx);  // a suspended reminder is left alone
  EXPECT_EQ(ctx.c.Command1[7].width, 1215);
  resumeReminders(ctx);
  EXPECT_EQ(ctx.startup.reminders.state[1], kReminderArmed);

  ctx.startup.reminders.state[1] = kReminderRelease;
  refreshReminders(ctx);
  EXPECT_EQ(ctx.c.Command1[7].caption(), "READCELLVOLT");
  EXPECT_EQ(ctx.c.Command1[7].width, 1455);
  EXPECT_EQ(ctx.c.Command1[7].left, 11160);
  EXPECT_FALSE(ctx.c.ReminderMark[1].visible);
  EXPECT_EQ(ctx.startup.reminders.state[1], kReminderIdle);
  EXPECT_EQ(ctx.startup.reminders.needsReading[1][0], 0);  // current board read
  EXPECT_EQ(ctx.startup.reminders.needsReading[1][2], 1);
}

TEST(Startup, TabsSwitchPanelsAndExitEndsTheProgram) {
  Harness h;
  h.driver.answers.push_back("QXM7140-2");
  ASSERT_TRUE(h.window.load());
  form::Form& f = h.window.form();
  auto& c = h.ctx().c;
  EXPECT_TRUE(c.Frame10->visible);
  EXPECT_FALSE(c.Frame13->visible);
  f.operatorSelect(*c.TabStrip1, 1);
  EXPECT_FALSE(c.Frame10->visible);
  EXPECT_TRUE(c.Frame13->visible);
  EXPECT_FALSE(h.window.ended());
  EXPECT_TRUE(f.runMenu("Exit"));
  EXPECT_TRUE(h.window.ended());
}

}  // namespace
}  // namespace kb::startup
