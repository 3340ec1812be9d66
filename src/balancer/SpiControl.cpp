// The "SPI CONTROL" frame: the command byte, the command mode and SEND with its reply parsing and
// checks.
#include "balancer/Balancer.h"
#include "balancer/BalancerPath.h"
#include "balancer/ChipView.h"
#include "balancer/FlagScope.h"
#include "balancer/StatusWindow.h"
#include "balancer/TimedBalance.h"
#include "balancer/TransferWatch.h"
#include "common/HexText.h"
#include "common/NumberText.h"
#include "continuous/Cycle.h"
#include "startup/BoardControls.h"

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
  for (const int i : {10, 2, 7, 8}) ctx.c.Command1[i].enabled = on;
}

std::string checkText(const std::string& hi, const std::string& lo) {
  return wordTextOk(hi, lo) ? "OK" : "ERROR";
}

// Checks the words of the shown board's chips in one pair of tables.
void checkReadback(ui::Context& ctx, const ChipTexts& hi, const ChipTexts& lo, ChipTexts& result,
                   bool status) {
  auto& b = ctx.balancer;
  const int board = ctx.boards.CurrentBoard;
  const auto bottom = static_cast<std::size_t>(2 * board);
  const auto top = bottom + 1;
  result[bottom] = checkText(hi[bottom], lo[bottom]);
  const ChipView bv = bottomView(ctx);
  (status ? bv.statusResult : bv.readbackResult).setCaption(result[bottom]);
  if (!b.TopChipPresent[static_cast<std::size_t>(board)]) return;
  result[top] = checkText(hi[top], lo[top]);
  const ChipView tv = topView(ctx);
  (status ? tv.statusResult : tv.readbackResult).setCaption(result[top]);
}

// The words of a board's chips as read back, with their checks, for the readings stream.
void publishWords(ui::Context& ctx, Mode mode, int board, bool hasTop) {
  const auto& b = ctx.balancer;
  const bool status = mode == Mode::kReadStatus;
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

void storeReply(const ReplyWords& words, std::size_t bottom, ChipTexts& hi, ChipTexts& lo) {
  if (words.bottom) {
    hi[bottom] = words.bottom->hi;
    lo[bottom] = words.bottom->lo;
  }
  if (words.top) {
    hi[bottom + 1] = words.top->hi;
    lo[bottom + 1] = words.top->lo;
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
  bits[0].setText(std::string(1, parityDigit(ones, index == static_cast<int>(Mode::kSuspend))));
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

void CheckCommandReadback(ui::Context& ctx) {
  auto& b = ctx.balancer;
  checkReadback(ctx, b.ReadbackDataHi, b.ReadbackDataLo, b.ReadbackCheck, false);
}

void CheckStatusReadback(ui::Context& ctx) {
  auto& b = ctx.balancer;
  checkReadback(ctx, b.StatusDataHi, b.StatusDataLo, b.StatusCheck, true);
}

void Command_1_Click(ui::Context& ctx) {
  auto& b = ctx.balancer;
  auto& c = ctx.c;
  const int chosen = chosenMode(ctx);
  if (chosen < 0) return;
  const auto mode = static_cast<Mode>(chosen);
  const bool broadcast = c.Check_5->value() == 1;
  const bool boardOneShown = leadingNumber(c.Label21->caption()) == 1.0;
  ctx.cycle.BalanceCheckCount = 0;
  if (b.BalancerPolling) BalancerKeepAlive(ctx);
  {
    FlagScope busy(b.BalancerBusy);
    if (mode == Mode::kSuspend) {
      if (broadcast) {
        b.ExecutingBoard1 = false;
        b.ExecutingOtherBoards = false;
      } else if (boardOneShown) {
        b.ExecutingBoard1 = false;
      } else {
        b.ExecutingOtherBoards = false;
      }
      if (!b.executing()) {
        b.BalancerPolling = false;
        c.Label_3->visible = false;
        enableMeasureButtons(ctx, true);
      }
    }

    const bool executeOrSuspend = mode == Mode::kExecute || mode == Mode::kSuspend;
    startup::Command4_GotFocus(ctx, ctx.boards.CurrentBoard);
    openBalancerPath(ctx, (executeOrSuspend && broadcast) || b.ForceGlobalScope);
    SetSPICommand(ctx);
    const int board = ctx.boards.CurrentBoard;
    const auto bottom = static_cast<std::size_t>(2 * board);
    const auto top = bottom + 1;
    const bool hasTop = b.TopChipPresent[static_cast<std::size_t>(board)];
    const ChipView bv = bottomView(ctx);
    const ChipView tv = topView(ctx);

    switch (mode) {
      case Mode::kWrite: {
        std::string body;
        if (hasTop) {
          body += wordTokens(b.CommandDataHi[top], b.CommandDataLo[top]);
          b.ReadbackCheck[top] = "-";
          tv.readbackResult.setCaption("-");
        }
        body += wordTokens(b.CommandDataHi[bottom], b.CommandDataLo[bottom]);
        b.ReadbackCheck[bottom] = "-";
        bv.readbackResult.setCaption("-");
        ctx.link().SendCommand(frame(b.SPICommand, body));
        b.CommandWritten = true;
        readings::Reading reading = ctx.reading(readings::Kind::BalancerCommand, board, "WRITE");
        reading.words.push_back(
            {static_cast<int>(bottom), b.CommandDataHi[bottom], b.CommandDataLo[bottom], "-"});
        if (hasTop) {
          reading.words.push_back(
              {static_cast<int>(top), b.CommandDataHi[top], b.CommandDataLo[top], "-"});
        }
        ctx.readings.publish(reading);
        break;
      }
      case Mode::kExecute:
      case Mode::kSuspend:
        ctx.link().SendCommand(frame(b.SPICommand));
        ctx.readings.publish(ctx.reading(readings::Kind::BalancerCommand, b.pathGlobal ? -1 : board,
                                         mode == Mode::kExecute ? "EXECUTE" : "SUSPEND"));
        if (hasTop) {
          b.StatusCheck[top] = "-";
          tv.statusResult.setCaption("-");
        }
        b.StatusCheck[bottom] = "-";
        bv.statusResult.setCaption("-");
        break;
      case Mode::kReadCommand:
      case Mode::kReadStatus: {
        // Four characters for each word clocked out: one or two chips.
        const int chips = hasTop ? 2 : 1;
        const std::string reply = ctx.link().SendAndReceive(frame(b.SPICommand, readTokens(chips)),
                                                            static_cast<std::uint16_t>(4 * chips));
        const ReplyWords words = parseReply(reply, hasTop);
        noteChipReplies(ctx, board, reply, hasTop);
        if (mode == Mode::kReadCommand) {
          storeReply(words, bottom, b.ReadbackDataHi, b.ReadbackDataLo);
          CheckCommandReadback(ctx);
        } else {
          storeReply(words, bottom, b.StatusDataHi, b.StatusDataLo);
          CheckStatusReadback(ctx);
        }
        publishWords(ctx, mode, board, hasTop);
        UpdateCommandData(ctx, board);
        DISPLAY_CELLstatus(ctx);
        break;
      }
    }
    closeBalancerPath(ctx);
  }
  if (b.BalancerPolling) BalancerKeepAlive(ctx);

  if (mode != Mode::kExecute) return;
  if (broadcast) {
    b.ExecutingBoard1 = true;
    b.ExecutingOtherBoards = true;
  } else if (boardOneShown) {
    b.ExecutingBoard1 = true;
  } else {
    b.ExecutingOtherBoards = true;
  }
  b.BalancerPolling = true;
  ctx.timed.FlagAlarm = false;
  ctx.cycle.BalanceCheckCount = 0;
  continuous::StopContinuousRead(ctx);
  enableMeasureButtons(ctx, false);
  if (b.CommandWritten) {
    b.AnyActionSet = false;
    for (std::size_t k = 0; k < static_cast<std::size_t>(b.ChipCount); ++k) {
      if (b.CommandDataHi[k] != "00" || b.CommandDataLo[k] != "0F") b.AnyActionSet = true;
    }
    b.CommandWritten = false;
  }
}

void Check_3_Click(ui::Context& ctx) {
  auto& b = ctx.balancer;
  ctx.timed.FlagAlarm = false;
  if (ctx.c.Check_3->value() == 1) {
    b.BalancerPolling = true;
    ctx.cycle.BalanceCheckCount = 0;
    continuous::StopContinuousRead(ctx);
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
