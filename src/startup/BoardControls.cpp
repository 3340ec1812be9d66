#include "startup/BoardControls.h"

#include <string>

#include "common/HexText.h"
#include "config/ConfigEditor.h"
#include "context/Context.h"
#include "monitor/Measurements.h"
#include "monitor/SelfTest.h"
#include "monitor/TransferLog.h"
#include "startup/ButtonCommands.h"
#include "startup/Startup.h"
#include "views/BoardSelection.h"
#include "views/CellGrid.h"
#include "views/Selection.h"

namespace kb::startup {

using form::Control;
using form::Event;

namespace {

// The text of board n (1..10) as it follows "#": " 1" .. " 9", "10".
std::string paddedNumber(int n) {
  return n < 10 ? " " + std::to_string(n) : std::to_string(n);
}

// Every text that names the current board (n = 1..10); the balancer panel's board number follows
// with the panel (the last step of the selection).
void labelBoard(ui::Context& ctx, int n) {
  auto& c = ctx.c;
  const std::string num = paddedNumber(n);
  c.Label13[0].setCaption("CUSTOM  BOARD #" + num);
  c.Option3[0].setCaption("CUSTOM BRD#" + num);
  c.Label14->setCaption(n < 10 ? "SET/ DISPLAY BOARD #" + num + " AT HEX ADDRESS"
                               : "SET/ DISPLAY BOARD#10 AT HEX ADDRESS");
  for (int k = 0; k < 4; ++k) c.Label18[k].setCaption("BOARD#" + num + " ONLY");
  const std::string brd = "BRD#" + std::to_string(n);
  for (int k = 0; k <= 5; ++k) c.Label19[k].setCaption(brd);
  for (int k = 1; k <= 2; ++k) c.Label20[k].setCaption(brd);
  const std::string readOnly = "READ ONLY BRD#" + std::to_string(n);
  c.Command5[3].toolTip = readOnly + " CELLS FOR SELFTEST IN HEX.";
  c.Command5[4].toolTip = readOnly + " TEMPS FOR SELFTEST IN HEX.";
}

// Wide and "BROADCAST" while ticked; narrowed to "B'CAST" with the board label beside it.
void showBroadcastChoice(Control& box, Control& label, int& flag) {
  if (box.value() == 1) {
    flag = 1;
    label.visible = false;
    box.width = ui::kBroadcastWideWidth;
    box.setCaption("BROADCAST");
  } else {
    flag = 0;
    box.width = ui::kBroadcastNarrowWidth;
    box.setCaption("B'CAST");
    label.visible = true;
  }
}

// The four conversion-start boxes (STCVAD, STOWAD, STCVDC, STOWDC) always agree.
void coupleConversionStarts(ui::Context& ctx, int value) {
  auto& c = ctx.c;
  c.Check5[2].setValue(value);
  c.Check5[3].setValue(value);
  c.Check8[0].setValue(value);
  c.Check8[1].setValue(value);
}

void showFlag(Control& box, int flag) {
  if (flag == 1) {
    box.setValue(1);
    box.setCaption("BROADCAST");
  } else {
    box.setValue(0);
    box.width = ui::kBroadcastNarrowWidth;
    box.setCaption("B'CAST");
  }
}

// Clears a flag when the scope ends, also when a procedure fails inside it.
struct FlagScope {
  explicit FlagScope(bool& f) : flag(f) { flag = true; }
  ~FlagScope() { flag = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;
  bool& flag;
};

}  // namespace

void Combo1_Click(ui::Context& ctx) {
  boardCountChange(ctx, ctx.c.Combo1->listIndex());
}

void Combo2_Click(ui::Context& ctx) {
  if (ctx.boards.syncingAddress) return;
  const int p = ctx.c.Combo2->listIndex();
  if (p >= 0 && p <= 15) {
    ctx.boards.BoardAddress.at(static_cast<std::size_t>(ctx.boards.CurrentBoard)) =
        std::string("8") + hexDigit(p);
  }
  refreshBoardButtonCaptions(ctx);
  boardCountChange(ctx, ctx.c.Combo1->listIndex());
}

void boardCountChange(ui::Context& ctx, int position) {
  auto& c = ctx.c;
  auto& bs = ctx.boards;
  if (position >= 0 && position < kMaxBoards) {
    bs.LastBoardIndex = position;
    c.Label12->setCaption(boardNumbersHeader(position));
    c.Label15->setCaption(addressesHeader(bs.BoardAddress, position));
    run(ctx.startup.upper.boardCountChosen, ctx);
  }
  const int p = bs.LastBoardIndex;
  c.Label9[1].left = ui::kSummaryTitleLeft + ui::kSummaryPitch * p;
  for (int b = 0; b < kMaxBoards; ++b) {
    const bool shown = b <= p;
    c.Command4[b].visible = shown;
    for (int cell = 0; cell < 12; ++cell) c.Shape1[12 * b + cell].visible = shown;
    c.Shape12[b].visible = shown;
  }
  c.Shape15->top = ui::boardColumnY(532 - 40 * p) - ui::kBoardFrameMargin;
  c.Shape15->height = ui::boardColumnLength(41 + 40 * p) + 2 * ui::kBoardFrameMargin;
  if (bs.CurrentBoard > p) Command4_Click(ctx, p);

  config::copyConfigToAll(ctx);
  config::applyCdcEdits(ctx);
  views::redrawSelection(ctx);

  suspendReminders(ctx);
  const int current = bs.CurrentBoard;
  for (int b = 0; b <= p; ++b) {
    bs.CurrentBoard = b;
    readConfig(ctx);
  }
  bs.CurrentBoard = current;
  readConfig(ctx);
  resumeReminders(ctx);

  run(ctx.startup.upper.boardCountChanged, ctx);
}

void Check5_Click(ui::Context& ctx, int index) {
  auto& c = ctx.c;
  Control& box = c.Check5[index];
  showBroadcastChoice(
      box, c.Label19[index],
      ctx.boards.flag(static_cast<BroadcastCommand>(index), ctx.boards.CurrentBoard));
  const int value = box.value() == 1 ? 1 : 0;
  if (index == 2 || index == 3) {
    coupleConversionStarts(ctx, value);
    views::followCellStartBroadcast(ctx, value == 1);
  }
  if (index == 5) {
    c.Option1[value].setValue(1);
    c.Option3[value].setValue(1);
  }
}

void Check8_Click(ui::Context& ctx, int index) {
  auto& c = ctx.c;
  Control& box = c.Check8[index];
  const auto table = index == 0 ? BroadcastCommand::STCVDC : BroadcastCommand::STOWDC;
  showBroadcastChoice(box, c.Label20[index + 1], ctx.boards.flag(table, ctx.boards.CurrentBoard));
  coupleConversionStarts(ctx, box.value() == 1 ? 1 : 0);
}

void refreshBroadcastBoxes(ui::Context& ctx) {
  auto& c = ctx.c;
  const int b = ctx.boards.CurrentBoard;
  for (int k = 0; k <= 5; ++k) {
    showFlag(c.Check5[k], ctx.boards.flag(static_cast<BroadcastCommand>(k), b));
  }
  showFlag(c.Check8[0], ctx.boards.flag(BroadcastCommand::STCVDC, b));
  showFlag(c.Check8[1], ctx.boards.flag(BroadcastCommand::STOWDC, b));
}

void broadcastDefaults(ui::Context& ctx) {
  ctx.boards.setBroadcastDefaults();
  ctx.c.Check5[5].setValue(1);  // selects GLOBAL on both option pairs
  refreshBroadcastBoxes(ctx);
}

void refreshBoardButtonCaptions(ui::Context& ctx) {
  for (int b = 0; b < kMaxBoards; ++b) {
    ctx.c.Command4[b].setCaption(
        boardButtonCaption(b, ctx.boards.BoardAddress[static_cast<std::size_t>(b)]));
  }
}

void Command4_Click(ui::Context& ctx, int index) {
  if (index >= 0 && index < kMaxBoards) {
    labelBoard(ctx, index + 1);
    ctx.boards.CurrentBoard = index;
  }
  views::moveBoardMarker(ctx, ctx.boards.CurrentBoard);
  // The refresh, in its order.
  views::highlightBoard(ctx);
  followBoardReminders(ctx);
  views::showBoardCells(ctx);
  monitor::compareCellsOfNewBoard(ctx);
  // The boxes as they stand become the new board's broadcast choices.
  for (int k = 0; k <= 5; ++k) Check5_Click(ctx, k);
  views::redrawSelection(ctx);
  config::loadEditor(ctx);  // bit, discharge and mask boxes, limits, CDC and pending marks
  monitor::ShowFlags(ctx);
  views::showBoardTemperatures(ctx);
  monitor::compareTemperaturesOfNewBoard(ctx);
  monitor::rewriteLog(ctx);
  // A SEND in progress selects boards on its own; the grid is drawn when it is done. Balancing
  // halted by a UV/OV flag leaves the grid as the flags showed it.
  if (!ctx.balancer.BalancerBusy && !ctx.timed.FlagAlarm) views::drawCellStatus(ctx);
  syncAddressSelector(ctx);
  run(ctx.startup.upper.boardShown, ctx);
}

void Command4_GotFocus(ui::Context& ctx, int index) {
  Command4_Click(ctx, index);
}

void syncAddressSelector(ui::Context& ctx) {
  const int p = addressPosition(ctx.boards.address());
  if (p < 0) return;
  const FlagScope syncing(ctx.boards.syncingAddress);
  ctx.c.Combo2->setListIndex(p);
}

void wireBoardSet(ui::Context& ctx) {
  form::Form& f = ctx.form();
  ui::Context* c = &ctx;
  f.on(Event::Click, ctx.c.Combo1, [c](int) { Combo1_Click(*c); });
  f.on(Event::Click, ctx.c.Combo2, [c](int) { Combo2_Click(*c); });
  f.on(Event::Click, ctx.c.Check5, [c](int i) { Check5_Click(*c, i); });
  f.on(Event::Click, ctx.c.Check8, [c](int i) { Check8_Click(*c, i); });
  f.on(Event::Click, ctx.c.Command4, [c](int i) { Command4_Click(*c, i); });
  f.on(Event::GotFocus, ctx.c.Command4, [c](int i) { Command4_GotFocus(*c, i); });
}

}  // namespace kb::startup
