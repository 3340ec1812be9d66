#include "startup/Startup.h"

#include <array>

#include "balancer/Balancer.h"
#include "balancer/StatusWindow.h"
#include "config/ConfigEditor.h"
#include "context/Context.h"
#include "continuous/Cycle.h"
#include "monitor/Conversions.h"
#include "monitor/MonitorCommands.h"
#include "monitor/Pec.h"
#include "startup/BoardControls.h"
#include "startup/ConfigActions.h"
#include "startup/MeasureButtons.h"

namespace kb::startup {

namespace {

// Start-up reset of the board data.
void initialise(ui::Context& ctx) {
  (void)monitor::pecTable();  // built once, here
  ctx.config.setDefaults();
  config::loadBitBoxes(ctx);
  ctx.cycle.ContinuousReadOn = 0;
  ctx.boards.CurrentBoard = 0;
  ctx.boards.LastBoardIndex = 0;
  ctx.boards.CopyConfigToAll = 1;
  ctx.boards.GlobalConfigMode = 1;
  ctx.c.Combo1->setListIndex(0);  // one board: the board-count change runs
  ctx.reads.clear();
  ctx.measure = monitor::MeasureState{};
  ctx.views = views::ViewState{};
  monitor::clearConfigReadBack(ctx);
  for (int r = 0; r < kReminders; ++r) resetReminder(ctx, r);
}

}  // namespace

bool recognisedControllerId(const std::string& id) {
  return id == "QXM7140-2" || id == "QXM7140-4" || id == "QXB5520-1";
}

bool Form_Load(ui::Context& ctx) {
  auto& c = ctx.c;
  ctx.startup.controllerId = ctx.link().QueryControllerId();
  c.Label_ID->setCaption(ctx.startup.controllerId);
  ctx.startup.controllerDetected = recognisedControllerId(ctx.startup.controllerId);
  if (!ctx.startup.controllerDetected) {
    std::string message = kNotDetectedMessage;
    if (!ctx.services.notDetectedHint.empty()) message += "\n" + ctx.services.notDetectedHint;
    ctx.services.dialogs.msgBox(message, form::kAppTitle);
    ctx.programEnded = true;
    ctx.exitStatus = 1;
    return false;
  }

  c.Timer1->enabled = true;
  c.Check_AUTO->setValue(0);
  Check_AUTO_Click(ctx);

  ctx.startup.displayAllOverride = false;
  ctx.startup.displayAllLog = false;
  ctx.boards.setAddressDefaults();
  c.Combo2->setText("0");
  broadcastDefaults(ctx);
  refreshBoardButtonCaptions(ctx);

  initialise(ctx);
  Command1_Click(ctx, 6);

  ctx.startup.cellSelectDigit = "0";
  ctx.startup.tempSelectDigit = "0";
  ctx.startup.SelfTestVariant = "E";
  balancer::Balancer_Load(ctx);

  balancer::ShowStatusWindow(ctx);
  ctx.main->visible = true;
  c.TabStrip1->setValue(0);
  return true;
}

void beginButtonCommand(ui::Context& ctx) {
  ctx.startup.LowCurrentStandby = 0;
  continuous::beforeButtonCommand(ctx);
  if (ctx.startup.chipSelectLeftLow) {
    ctx.link().SendModeString("MSX");
    ctx.startup.chipSelectLeftLow = false;
  }
}

void Command1_Click(ui::Context& ctx, int index) {
  beginButtonCommand(ctx);
  switch (index) {
    case 0:
    case 1:
      continuous::StopContinuousRead(ctx);
      monitor::SendPoll(ctx, index);
      ctx.startup.chipSelectLeftLow = true;
      break;
    case 2:
    case 3:
      startCellConversionButton(ctx, index == 2 ? monitor::kStartSTCVAD : monitor::kStartSTOWAD);
      break;
    case 4:
      startTemperatureButton(ctx);
      break;
    case 5:
      writeConfig(ctx);
      if (ctx.cycle.ContinuousReadOn == 0) continuous::WatchdogArmCheck(ctx);
      break;
    case 6:
      ctx.startup.displayAllOverride = true;
      monitor::ReadBackConfig(ctx);
      ctx.startup.displayAllOverride = false;
      Check_AUTO_Click(ctx);
      ctx.startup.reminders.state[static_cast<std::size_t>(Reminder::ReadConfig)] =
          kReminderRelease;
      break;
    case 7:
      readCellVoltagesButton(ctx);
      break;
    case 8:
      readFlagsButton(ctx);
      break;
    case 9:
      readTemperaturesButton(ctx);
      break;
    case 10:
      continuous::ToggleContinuousRead(ctx);
      break;
    case 14:
      lowCurrentStandby(ctx);
      ctx.startup.LowCurrentStandby = 1;
      break;
    default:
      // Indexes 11 to 13 are not used.
      break;
  }
  refreshReminders(ctx);
}

void Check_AUTO_Click(ui::Context& ctx) {
  auto& c = ctx.c;
  c.Label_AUTOstatus->setCaption(c.Check_AUTO->value() == 1 ? "DISPLAY ONLY VALID DATA TRANSFERS!"
                                                            : "DISPLAY ALL DATA TRANSFERS!");
}

void TabStrip1_Click(ui::Context& ctx) {
  auto& c = ctx.c;
  const bool monitorTab = c.TabStrip1->value() == 0;
  // Leaving the monitor tab for the balancer restarts the keep-alive count.
  if (!monitorTab && c.Frame10->visible) ctx.cycle.BalanceCheckCount = 0;
  c.Frame10->visible = monitorTab;
  c.Frame13->visible = !monitorTab;
}

void Form_Unload(ui::Context& ctx) {
  balancer::UnloadStatusWindow(ctx);
  ctx.main->visible = false;
  ctx.programEnded = true;
}

// Reminder buttons and their marker shapes.
namespace {
constexpr std::array<int, kReminders> kReminderButton{6, 7, 9};

// READCELLVOLT follows four kinds of conversion start: it counts as broadcast when any of them
// goes out as a broadcast from the current board.
bool anyCellStartBroadcast(const BoardSet& boards) {
  return boards.broadcast(BroadcastCommand::STCVAD) || boards.broadcast(BroadcastCommand::STOWAD) ||
         boards.broadcast(BroadcastCommand::STCVDC) || boards.broadcast(BroadcastCommand::STOWDC);
}
}  // namespace

void armReminder(ui::Context& ctx, int r) {
  auto& rem = ctx.startup.reminders;
  const auto ri = static_cast<std::size_t>(r);
  const bool broadcast = r == static_cast<int>(Reminder::ReadCells)
                             ? anyCellStartBroadcast(ctx.boards)
                             : rem.armedByBroadcast[ri];
  if (broadcast) {
    for (int b = 0; b <= ctx.boards.LastBoardIndex; ++b)
      rem.needsReading[ri][static_cast<std::size_t>(b)] = 1;
  } else {
    rem.needsReading[ri][static_cast<std::size_t>(ctx.boards.CurrentBoard)] = 1;
  }
  showReminderArmed(ctx, r);
}

void showReminderArmed(ui::Context& ctx, int r) {
  form::Control& button = ctx.c.Command1[kReminderButton[static_cast<std::size_t>(r)]];
  button.width = ui::kButtonWidthNarrow;
  button.left = ui::kButtonLeftNarrow;
  ctx.c.ReminderMark[r].visible = true;
  if (r == static_cast<int>(Reminder::ReadCells)) button.setCaption("READCELL");
}

void releaseReminder(ui::Context& ctx, int r) {
  auto& rem = ctx.startup.reminders;
  const auto ri = static_cast<std::size_t>(r);
  form::Control& button = ctx.c.Command1[kReminderButton[ri]];
  button.width = ui::kButtonWidth;
  button.left = ui::kButtonLeft;
  ctx.c.ReminderMark[r].visible = false;
  if (r == static_cast<int>(Reminder::ReadCells)) button.setCaption("READCELLVOLT");
  rem.state[ri] = kReminderIdle;
  rem.needsReading[ri][static_cast<std::size_t>(ctx.boards.CurrentBoard)] = 0;
}

void refreshReminders(ui::Context& ctx) {
  for (int r = 0; r < kReminders; ++r) {
    const int s = ctx.startup.reminders.state[static_cast<std::size_t>(r)];
    if (s == kReminderArmed) armReminder(ctx, r);
    if (s == kReminderRelease) releaseReminder(ctx, r);
  }
}

void followBoardReminders(ui::Context& ctx) {
  const auto b = static_cast<std::size_t>(ctx.boards.CurrentBoard);
  for (int r = 0; r < kReminders; ++r) {
    // Only shown: arming would mark boards again that were read meanwhile.
    if (ctx.startup.reminders.needsReading[static_cast<std::size_t>(r)].at(b) == 1) {
      showReminderArmed(ctx, r);
    } else {
      releaseReminder(ctx, r);
    }
  }
}

void resetReminder(ui::Context& ctx, int r) {
  auto& rem = ctx.startup.reminders;
  rem.needsReading[static_cast<std::size_t>(r)].fill(0);
  releaseReminder(ctx, r);
}

void suspendReminders(ui::Context& ctx) {
  for (int& s : ctx.startup.reminders.state) {
    if (s == kReminderArmed) s = kReminderSuspended;
  }
}

void resumeReminders(ui::Context& ctx) {
  for (int& s : ctx.startup.reminders.state) {
    if (s == kReminderSuspended) s = kReminderArmed;
  }
}

}  // namespace kb::startup
