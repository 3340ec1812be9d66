// The "SPI CONTROL" frame: the command byte, the command mode and SEND, which opens the balancer
// path, runs one transfer (Transfer.h), shows it and closes the path again.
#include "balancer/Balancer.h"
#include "balancer/BalancerPath.h"
#include "balancer/ChipView.h"
#include "balancer/FlagScope.h"
#include "balancer/StatusWindow.h"
#include "balancer/TimedBalance.h"
#include "balancer/Transfer.h"
#include "balancer/TransferWatch.h"
#include "common/HexText.h"
#include "common/NumberText.h"
#include "startup/BoardControls.h"
#include "startup/Startup.h"

namespace kb::balancer {

namespace {

bool isOne(const form::Control& box) {
  return leadingNumber(box.text()) == 1.0;
}

// The chosen command mode, or -1 when no option is selected.
int chosenMode(ui::Context& ctx) {
  for (int i = 0; i < kModes; ++i) {
    if (ctx.c.Option_1[i].value() != 0) return i;
  }
  return -1;
}

// The monitor buttons that balancing blocks.
void enableMeasureButtons(ui::Context& ctx, bool on) {
  for (const int i : ui::kBalancingBlockedButtons) ctx.c.Command1[i].enabled = on;
}

// The result labels of board's chips from their check texts: the status checks or the read-back
// checks.
void showChecks(ui::Context& ctx, int board, bool status) {
  const auto& b = ctx.balancer;
  const auto bottom = static_cast<std::size_t>(2 * board);
  const ChipView bv = bottomView(ctx);
  const ChipView tv = topView(ctx);
  const ChipTexts& result = status ? b.StatusCheck : b.ReadbackCheck;
  (status ? bv.statusResult : bv.readbackResult).setCaption(result[bottom]);
  if (b.TopChipPresent[static_cast<std::size_t>(board)]) {
    (status ? tv.statusResult : tv.readbackResult).setCaption(result[bottom + 1]);
  }
}

// The words of a board's chips as read back, with their checks, for the readings stream.
void publishWords(ui::Context& ctx, Mode mode, int board, bool hasTop) {
  const auto& b = ctx.balancer;
  const bool status = mode == Mode::ReadStatus;
  readings::Reading reading =
      ctx.reading(status ? readings::Kind::BalancerStatus : readings::Kind::BalancerWords, board,
                  status ? "READ STATUS" : "READ COMMAND");
  reading.check = readings::Check::Match;
  for (int k = 0; k < (hasTop ? 2 : 1); ++k) {
    const auto chip = static_cast<std::size_t>(2 * board + k);
    const std::string& result = status ? b.StatusCheck[chip] : b.ReadbackCheck[chip];
    reading.words.push_back({static_cast<int>(chip),
                             status ? b.StatusDataHi[chip] : b.ReadbackDataHi[chip],
                             status ? b.StatusDataLo[chip] : b.ReadbackDataLo[chip], result});
    if (result == "ERROR") reading.check = readings::Check::Mismatch;
  }
  ctx.readings.publish(reading);
}

// What a transfer of board's chips tells the readings stream.
void publishTransfer(ui::Context& ctx, Mode mode, int board) {
  const auto& b = ctx.balancer;
  const auto bottom = static_cast<std::size_t>(2 * board);
  const bool hasTop = b.TopChipPresent[static_cast<std::size_t>(board)];
  switch (mode) {
    case Mode::Write: {
      readings::Reading reading = ctx.reading(readings::Kind::BalancerCommand, board, "WRITE");
      reading.words.push_back(
          {static_cast<int>(bottom), b.CommandDataHi[bottom], b.CommandDataLo[bottom], "-"});
      if (hasTop) {
        reading.words.push_back({static_cast<int>(bottom + 1), b.CommandDataHi[bottom + 1],
                                 b.CommandDataLo[bottom + 1], "-"});
      }
      ctx.readings.publish(reading);
      break;
    }
    case Mode::Execute:
    case Mode::Suspend:
      ctx.readings.publish(ctx.reading(readings::Kind::BalancerCommand, b.pathGlobal ? -1 : board,
                                       mode == Mode::Execute ? "EXECUTE" : "SUSPEND"));
      break;
    case Mode::ReadCommand:
    case Mode::ReadStatus:
      publishWords(ctx, mode, board, hasTop);
      break;
  }
}

// The panel after a transfer of board's chips: the result labels; after a read the word bits
// and the status window too.
void showTransfer(ui::Context& ctx, Mode mode, int board) {
  switch (mode) {
    case Mode::Write:
      showChecks(ctx, board, false);
      break;
    case Mode::Execute:
    case Mode::Suspend:
      showChecks(ctx, board, true);
      break;
    case Mode::ReadCommand:
    case Mode::ReadStatus:
      showChecks(ctx, board, mode == Mode::ReadStatus);
      UpdateCommandData(ctx, board);
      DISPLAY_CELLstatus(ctx);
      break;
  }
}

// The balancing flags of the boards an EXECUTE or SUSPEND reaches: every board's with "Broadcast
// Execute/Suspend", else board 1's or the other boards'.
void setExecuting(BalancerState& b, bool broadcast, bool boardOneShown, bool on) {
  if (broadcast || boardOneShown) b.ExecutingBoard1 = on;
  if (broadcast || !boardOneShown) b.ExecutingOtherBoards = on;
}

// SUSPEND first ends the balancing flags of the boards it reaches; with none left executing, the
// keep-alive stops and the measurement buttons come back.
void suspendFlags(ui::Context& ctx, bool broadcast, bool boardOneShown) {
  auto& b = ctx.balancer;
  setExecuting(b, broadcast, boardOneShown, false);
  if (!b.executing()) {
    b.BalancerPolling = false;
    ctx.c.Label_3->visible = false;
    enableMeasureButtons(ctx, true);
  }
}

// After an EXECUTE: the boards it reached balance, the keep-alive runs, the cycle stops and the
// measurement buttons are blocked; a WRITE before it tells whether any action was set.
void executeFlags(ui::Context& ctx, bool broadcast, bool boardOneShown) {
  auto& b = ctx.balancer;
  setExecuting(b, broadcast, boardOneShown, true);
  b.BalancerPolling = true;
  ctx.timed.FlagAlarm = false;
  ctx.cycle.BalanceCheckCount = 0;
  startup::stopContinuousRead(ctx);
  enableMeasureButtons(ctx, false);
  if (b.CommandWritten) {
    b.AnyActionSet = false;
    for (std::size_t k = 0; k < static_cast<std::size_t>(b.ChipCount); ++k) {
      if (b.CommandDataHi[k] != "00" || b.CommandDataLo[k] != "0F") b.AnyActionSet = true;
    }
    b.CommandWritten = false;
  }
}

}  // namespace

void SetSPICommand(ui::Context& ctx) {
  int byte = 0;
  for (int i = 0; i < 8; ++i) {
    if (isOne(ctx.c.Text_1[i])) byte |= 1 << i;
  }
  ctx.balancer.SPICommand = hexByte(byte);
}

void Option_1_Click(ui::Context& ctx, int index) {
  auto& bits = ctx.c.Text_1;
  if (index >= 0 && index < 4) {
    bits[2].setText(index >= 2 ? "1" : "0");
    bits[1].setText(index % 2 == 1 ? "1" : "0");
  }
  int ones = 0;
  for (int i = 1; i < 8; ++i) {
    if (isOne(bits[i])) ++ones;
  }
  bits[0].setText(std::string(1, parityDigit(ones, index == static_cast<int>(Mode::Suspend))));
}

void Text_1_Change(ui::Context& ctx, int index) {
  if (index < 3) return;
  form::Control& box = ctx.c.Text_1[index];
  if (box.text() != "0" && box.text() != "1") box.setText(index % 2 == 1 ? "1" : "0");
}

void InitializeCommandData(ui::Context& ctx) {
  auto& b = ctx.balancer;
  for (std::size_t k = 0; k < static_cast<std::size_t>(kChipsUsed); ++k) {
    b.CommandDataHi[k] = "00";
    b.CommandDataLo[k] = "0F";
    b.ReadbackDataHi[k] = "00";
    b.ReadbackDataLo[k] = "00";
    b.StatusDataHi[k] = "00";
    b.StatusDataLo[k] = "00";
  }
  for (std::size_t board = 0; board < static_cast<std::size_t>(kTopChipBoards); ++board) {
    b.TopChipPresent[board] = true;
  }
}

void Command_1_Click(ui::Context& ctx) {
  auto& b = ctx.balancer;
  const int chosen = chosenMode(ctx);
  if (chosen < 0) return;
  const auto mode = static_cast<Mode>(chosen);
  const bool broadcast = ctx.c.Check_5->value() == 1;
  const bool boardOneShown = b.shownBoard == 0;
  ctx.cycle.BalanceCheckCount = 0;
  if (b.BalancerPolling) BalancerKeepAlive(ctx);
  {
    FlagScope busy(b.BalancerBusy);
    if (mode == Mode::Suspend) suspendFlags(ctx, broadcast, boardOneShown);
    const bool executeOrSuspend = mode == Mode::Execute || mode == Mode::Suspend;
    startup::Command4_GotFocus(ctx, ctx.boards.CurrentBoard);
    openBalancerPath(ctx, (executeOrSuspend && broadcast) || b.ForceGlobalScope);
    SetSPICommand(ctx);
    const int board = ctx.boards.CurrentBoard;
    const TransferReply reply = transact(ctx.link(), transferRequest(b, mode, board));
    if (mode == Mode::ReadCommand || mode == Mode::ReadStatus) {
      noteChipReplies(ctx, board, reply.text, b.TopChipPresent[static_cast<std::size_t>(board)]);
    }
    storeTransfer(b, mode, board, reply.words);
    publishTransfer(ctx, mode, board);
    showTransfer(ctx, mode, board);
    closeBalancerPath(ctx);
  }
  if (b.BalancerPolling) BalancerKeepAlive(ctx);
  if (mode == Mode::Execute) executeFlags(ctx, broadcast, boardOneShown);
}

void Check_3_Click(ui::Context& ctx) {
  auto& b = ctx.balancer;
  ctx.timed.FlagAlarm = false;
  if (ctx.c.Check_3->value() == 1) {
    b.BalancerPolling = true;
    ctx.cycle.BalanceCheckCount = 0;
    startup::stopContinuousRead(ctx);
    enableMeasureButtons(ctx, false);
  } else {
    b.BalancerPolling = false;
    b.ExecutingBoard1 = false;
    b.ExecutingOtherBoards = false;
    ctx.c.Label_3->visible = false;
    enableMeasureButtons(ctx, true);
  }
}

}  // namespace kb::balancer
