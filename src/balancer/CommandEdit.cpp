// The two chip frames of the balancer tab: action options, cells in use, the top-of-stack box,
// the hand edit of the top chip's CRC bits, and the view rewritten from the tables.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "balancer/Balancer.h"
#include "balancer/ChipView.h"
#include "balancer/FlagScope.h"
#include "balancer/StatusWindow.h"
#include "balancer/TimedBalance.h"
#include "common/HexText.h"
#include "common/NumberText.h"

namespace kb::balancer {

namespace {

constexpr int kOptions = 4 * kCellsPerChip;

std::size_t at(int index) {
  return static_cast<std::size_t>(index);
}

// Rebuilds the chip's word from its options: the bits of cells 1..6 always, the CRC bits and
// the stored word unless the view is being refreshed.
void actionChanged(ui::Context& ctx, const ChipView& v) {
  auto& b = ctx.balancer;
  FlagScope busy(b.OptionBusy);
  unsigned data = 0;
  for (int cell = 0; cell < kCellsPerChip; ++cell) {
    int action = 3;
    for (int e = 0; e < 3; ++e) {
      if (v.options[4 * cell + e].value() != 0) {
        action = e;
        break;
      }
    }
    const int high = 15 - 2 * cell;
    v.word[high].setText(bitText(static_cast<unsigned>(action), 1));
    v.word[high - 1].setText(bitText(static_cast<unsigned>(action), 0));
    data |= static_cast<unsigned>(action) << (10 - 2 * cell);
  }
  if (b.RefreshingView) return;
  const auto crc = static_cast<unsigned>(checkBits(data));
  for (int bit = 3; bit >= 0; --bit) v.word[bit].setText(bitText(crc, bit));
  const int chip = v.chip();
  if (chip < 0) return;
  const auto word = static_cast<std::uint16_t>((data << 4) | crc);
  b.CommandDataHi[at(chip)] = hiText(word);
  b.CommandDataLo[at(chip)] = loText(word);
}

int cellsChosen(const ChipView& v) {
  return std::clamp(static_cast<int>(leadingNumber(v.cellsInUse->text())), 0, kCellsPerChip);
}

// Options of the cells not in use (cell 1 first) disabled, the others enabled.
void enableForCells(const ChipView& v, int cells) {
  for (int i = 0; i < kOptions; ++i) v.options[i].enabled = i >= kOptions - 4 * cells;
}

// Cells in use changed: the cells given up are forced to none with a time of 0.
void cellsChanged(ui::Context& ctx, const ChipView& v) {
  auto& b = ctx.balancer;
  const int chip = v.chip();
  if (chip >= 0) b.CellsPerChip[at(chip)] = v.cellsInUse->text();
  const int cells = cellsChosen(v);
  enableForCells(v, cells);
  for (int cell = 0; cell < kCellsPerChip - cells; ++cell) {
    v.options[4 * cell].setValue(1);
    v.times[cell].setText("0");
    if (chip >= 0) b.BalanceTime[at(kCellsPerChip * chip + cell)] = 0.0;
  }
  // The times shown follow the cells given up.
  CalcBalanceTime(ctx);
}

void enableChip(const ChipView& v, bool on) {
  for (int i = 0; i < kOptions; ++i) v.options[i].enabled = on;
  for (int bit = 0; bit < 16; ++bit) {
    v.word[bit].enabled = on;
    v.readback[bit].enabled = on;
    v.status[bit].enabled = on;
  }
  for (int cell = 0; cell < kCellsPerChip; ++cell) v.times[cell].enabled = on;
  v.cellsInUse->enabled = on;
}

void showChip(ui::Context& ctx, const ChipView& v, int chip) {
  auto& b = ctx.balancer;
  const std::uint16_t word = wordOf(b.CommandDataHi[at(chip)], b.CommandDataLo[at(chip)]);
  for (int cell = 0; cell < kCellsPerChip; ++cell) {
    v.options[4 * cell + actionOf(word, cell)].setValue(1);
  }
  const std::uint16_t readback = wordOf(b.ReadbackDataHi[at(chip)], b.ReadbackDataLo[at(chip)]);
  const std::uint16_t status = wordOf(b.StatusDataHi[at(chip)], b.StatusDataLo[at(chip)]);
  for (int bit = 15; bit >= 0; --bit) {
    v.word[bit].setText(bitText(word, bit));
    v.readback[bit].setText(bitText(readback, bit));
    v.status[bit].setText(bitText(status, bit));
  }
  for (int cell = 0; cell < kCellsPerChip; ++cell) {
    v.times[cell].setText(balanceTimeText(b.BalanceTime[at(kCellsPerChip * chip + cell)]));
  }
}

// An edit restarts the keep-alive count, unless the timer's balancing check is the one editing.
void restartBalanceCheck(ui::Context& ctx) {
  if (!ctx.cycle.BalanceCheckBusy) ctx.cycle.BalanceCheckCount = 0;
}

}  // namespace

void Option_2_Click(ui::Context& ctx, int) {
  restartBalanceCheck(ctx);
  actionChanged(ctx, bottomView(ctx));
}

void Option4_Click(ui::Context& ctx, int) {
  restartBalanceCheck(ctx);
  actionChanged(ctx, topView(ctx));
}

void Combo_3_Click(ui::Context& ctx) {
  cellsChanged(ctx, bottomView(ctx));
}

void Combo_2_Click(ui::Context& ctx) {
  cellsChanged(ctx, topView(ctx));
}

namespace {

// Chips in the stack: two per board, one less when the top board has no top chip.
void recountChips(BalancerState& b) {
  const int boards = b.BalancerBoardCount;
  const bool topMissing = boards > 0 && !b.TopChipPresent[at(boards - 1)];
  b.ChipCount = 2 * boards - (topMissing ? 1 : 0);
}

}  // namespace

void Check_1_Click(ui::Context& ctx, int index) {
  auto& b = ctx.balancer;
  auto& c = ctx.c;
  const int other = index == 2 ? 3 : 2;
  const int board = ctx.boards.CurrentBoard;
  const ChipView top = topView(ctx);
  if (c.Check_1[index].value() == 1) {
    c.Check_1[other].setValue(1);
    b.TopChipPresent[at(board)] = true;
    recountChips(b);
    top.number.setCaption(std::to_string(2 * board + 2));
    enableChip(top, true);
    top.cellsInUse->setText("6");
  } else {
    c.Check_1[other].setValue(0);
    b.TopChipPresent[at(board)] = false;
    recountChips(b);
    top.number.setCaption("-");
    top.readbackResult.setCaption("-");
    top.statusResult.setCaption("-");
    enableChip(top, false);
  }
  Display5520Status(ctx);
}

void Text_5_Change(ui::Context& ctx, int index) {
  auto& b = ctx.balancer;
  if (index > 3 || b.OptionBusy || b.RefreshingView) return;
  form::Control& box = ctx.c.Text_5[index];
  if (box.text() != "0" && box.text() != "1") {
    box.setText("0");  // its own change stores the edit
    return;
  }
  const int chip = topView(ctx).chip();
  if (chip < 0) return;
  unsigned crc = 0;
  for (int bit = 3; bit >= 0; --bit) {
    if (ctx.c.Text_5[bit].text() == "1") crc |= 1u << bit;
  }
  const unsigned lo = hexValue(b.CommandDataLo[at(chip)]) & 0xF0u;
  b.CommandDataLo[at(chip)] = hexByte(static_cast<int>(lo | crc));
}

void UpdateCommandData(ui::Context& ctx, int board) {
  auto& b = ctx.balancer;
  if (board < 0 || 2 * board + 1 >= kChipsUsed) return;
  FlagScope refreshing(b.RefreshingView);
  const ChipView top = topView(ctx);
  if (top.number.caption() != "-") showChip(ctx, top, 2 * board + 1);
  showChip(ctx, bottomView(ctx), 2 * board);
}

void ShowBoardBalancer(ui::Context& ctx) {
  auto& b = ctx.balancer;
  auto& c = ctx.c;
  const int board = ctx.boards.CurrentBoard;
  const auto bottomChip = at(2 * board);
  const auto topChip = bottomChip + 1;
  const ChipView top = topView(ctx);
  const ChipView bottom = bottomView(ctx);
  b.TopChipIndex = 2 * board + 1;
  bottom.number.setCaption(std::to_string(2 * board + 1));
  top.readbackResult.setCaption(b.ReadbackCheck[topChip]);
  top.statusResult.setCaption(b.StatusCheck[topChip]);
  bottom.readbackResult.setCaption(b.ReadbackCheck[bottomChip]);
  bottom.statusResult.setCaption(b.StatusCheck[bottomChip]);

  // The "TOS" box first: its own click shows "6" cells; the chip's stored count follows it.
  if (b.TopChipPresent[at(board)]) {
    top.number.setCaption(std::to_string(2 * board + 2));
    c.Check_1[3].setValue(1);
    top.cellsInUse->setText(b.CellsPerChip[topChip]);
    enableChip(top, true);
    enableForCells(top, cellsChosen(top));
  } else {
    top.number.setCaption("-");
    c.Check_1[3].setValue(0);
    top.cellsInUse->setText(b.CellsPerChip[topChip]);
    enableChip(top, false);
  }
  bottom.cellsInUse->setText(b.CellsPerChip[bottomChip]);
  enableForCells(bottom, cellsChosen(bottom));

  const bool topOfStack = board >= b.BalancerBoardCount - 1;
  c.Check_1[2].visible = topOfStack;
  c.Check_1[3].visible = topOfStack;
  UpdateCommandData(ctx, board);
  applyTimedLock(ctx);
}

void enableChipOptions(ui::Context& ctx) {
  const ChipView top = topView(ctx);
  const ChipView bottom = bottomView(ctx);
  if (ctx.balancer.TopChipPresent[at(ctx.boards.CurrentBoard)]) {
    enableChip(top, true);
    enableForCells(top, cellsChosen(top));
  } else {
    enableChip(top, false);
  }
  enableChip(bottom, true);
  enableForCells(bottom, cellsChosen(bottom));
}

void SetupBalancerChain(ui::Context& ctx, int boardCount) {
  auto& b = ctx.balancer;
  auto& c = ctx.c;
  FlagScope refreshing(b.RefreshingView);
  b.BalancerBoardCount = boardCount;
  b.ChipCount = 2 * boardCount;
  b.LastCellIndex = 12 * boardCount - 1;

  const int board = ctx.boards.CurrentBoard;
  c.Label_21[1].setCaption("1");
  if (board >= boardCount - 1) {
    c.Check_1[2].visible = true;
    c.Check_1[3].visible = true;
    if (c.Check_1[3].value() == 1) {
      c.Label_21[2].setCaption("2");
      b.TopChipPresent[at(board)] = true;
    } else {
      b.TopChipPresent[at(board)] = false;
      c.Label_21[2].setCaption("-");
    }
  } else {
    c.Check_1[2].visible = false;
    c.Check_1[3].visible = false;
  }
  for (std::size_t k = 0; k < static_cast<std::size_t>(kChipsUsed); ++k) {
    b.ReadbackCheck[k] = "-";
    b.StatusCheck[k] = "-";
    b.CellsPerChip[k] = "6";
  }
  InitializeCommandData(ctx);
  InitializeBalTime(ctx);
}

void InitializeBalTime(ui::Context& ctx) {
  auto& c = ctx.c;
  ctx.balancer.BalanceTime.fill(0.0);
  for (int cell = 0; cell < kCellsPerChip; ++cell) {
    c.Text_8[cell].setText("0");
    c.Text9[cell].setText("0");
  }
  // A run in progress is paused first (its click suspends the chips), then ends here.
  const bool wasRunning = c.Check_4->caption() != "START";
  c.Check_4->setValue(0);
  c.Check_4->setCaption("START");
  ctx.timed.TotalTime = 0.0;
  c.Label_2[1].setCaption("0");
  c.Label_2[7].setCaption("0");
  if (wasRunning) releaseTimedLock(ctx);
}

void Check_5_FollowBoardCount(ui::Context& ctx, int boardCount) {
  form::Control& box = *ctx.c.Check_5;
  if (boardCount == 1) {
    box.visible = false;
    box.setValue(0);
  } else if (boardCount >= 2 && !box.visible) {
    box.visible = true;
    box.setValue(1);
  }
}

void BalancerBoardCountChange(ui::Context& ctx, int boardCount) {
  if (boardCount == ctx.balancer.BalancerBoardCount) return;
  SetupBalancerChain(ctx, boardCount);
  ShowBoardBalancer(ctx);
}

}  // namespace kb::balancer
