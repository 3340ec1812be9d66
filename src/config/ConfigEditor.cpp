#include "config/ConfigEditor.h"

#include <string>
#include <string_view>

#include "common/Colors.h"
#include "config/ConfigRegisters.h"
#include "config/VoltageLimits.h"
#include "context/Context.h"
#include "startup/Startup.h"
#include "views/CellGrid.h"

namespace kb::config {

namespace {

constexpr const char* kStandbyHint =
    "CDC=0-STANDBY MODE. CLICK UP/DOWN BUTTON TO SET CDC>0 THEN WRITE CONFIG FOR MEASURE MODE";

std::size_t slot(int board) {
  return static_cast<std::size_t>(board);
}

ConfigRecord& editOf(ui::Context& ctx, int board) {
  return ctx.config.edit.at(slot(board));
}

form::Array& boxesOf(ui::Context& ctx, int reg) {
  switch (reg) {
    case 0:
      return ctx.c.Check0;
    case 1:
      return ctx.c.Check1;
    case 2:
      return ctx.c.Check2;
    default:
      return ctx.c.Check3;
  }
}

int boxesValue(ui::Context& ctx, int reg) {
  form::Array& boxes = boxesOf(ctx, reg);
  int value = 0;
  for (int i = 0; i < 8; ++i) {
    if (boxes[i].value() == 1) value |= 1 << i;
  }
  return value;
}

// Olive on light grey while edited and written differ, else window text on white.
void markPending(form::Control& box, bool pending) {
  box.foreColor = pending ? kOlive : kWindowText;
  box.backColor = pending ? kLightGrey : kWhite;
}

// Ten cells: bit 3 of CFGR0 on every board, cells 11 and 12 hidden.
void applyCellCount(ui::Context& ctx) {
  auto& c = ctx.c;
  const bool ten = c.Check0[3].value() == 1;
  const int last = ten ? ctx.boards.LastBoardIndex : kMaxBoards - 1;
  for (int b = 0; b <= last; ++b) {
    const int v = registerValue(editOf(ctx, b)[0]);
    editOf(ctx, b)[0] = registerText(ten ? (v | 0x08) : (v & ~0x08));
  }
  for (int cell = 10; cell < 12; ++cell) {
    c.Frame1[cell].visible = !ten;
    if (!ten) c.Frame1[cell].setCaption("CELL" + std::to_string(cell + 1));
  }
  views::showCells11And12(ctx, !ten);
}

// Standby marker and hint while the CDC is 0.
void showStandby(ui::Context& ctx, int cdc) {
  auto& c = ctx.c;
  form::Control& status = c.Label_KA[1];
  if (cdc != 0) {
    c.Shape_STBY->visible = false;
    // While the watchdog service runs the line shows it.
    if (ctx.cycle.WdtServiceActive != 1) status.visible = false;
    return;
  }
  c.Shape_STBY->visible = true;
  status.visible = true;
  status.setCaption(kStandbyHint);
  status.fontSize = 9;
  status.backColor = kPaleYellow;
}

// Description and number of the selected board's edited CDC, without touching the bit boxes.
void showCdc(ui::Context& ctx) {
  auto& c = ctx.c;
  const int cdc = ctx.config.cdc.at(slot(ctx.boards.CurrentBoard));
  const CdcDescription& d = cdcDescription(cdc);
  c.Text3->setText(std::string(d.values) + d.remark);
  c.Text3->rowBreak = static_cast<int>(std::string_view(d.values).size());  // values, then remark
  c.Text15->setText(std::to_string(cdc));
  showStandby(ctx, cdc);
}

void optionClick(ui::Context& ctx, int index, bool limitsPair) {
  auto& c = ctx.c;
  int& mode = limitsPair ? ctx.boards.CopyConfigToAll : ctx.boards.GlobalConfigMode;
  form::Array& other = limitsPair ? c.Option3 : c.Option1;
  if (index == 1) {
    mode = 1;
    copyConfigToAll(ctx);
    applyEdits(ctx);
    c.Check5[5].setValue(1);  // WRITE CONFIG to all boards at once
    other[1].setValue(1);
  } else {
    mode = 0;
    c.Check5[5].setValue(0);
    other[1].setValue(0);
  }
}

}  // namespace

void Check0_Click(ui::Context& ctx, int) {
  editOf(ctx, ctx.boards.CurrentBoard)[0] = registerText(boxesValue(ctx, 0));
  applyCellCount(ctx);
  refreshConfigView(ctx);
}

void Check0_GotFocus(ui::Context& ctx, int index) {
  Check0_Click(ctx, index);
  startup::Command1_Click(ctx, 5);
  startup::Command1_Click(ctx, 6);
}

void Command0_Click(ui::Context& ctx, int index) {
  int& cdc = ctx.config.cdc.at(slot(ctx.boards.CurrentBoard));
  if (index == 0) {
    cdc = cdc <= 0 ? 7 : cdc - 1;
  } else {
    cdc = cdc >= 7 ? 0 : cdc + 1;
  }
  cdcView(ctx);
  copyConfigToAll(ctx);
  applyEdits(ctx);
  ctx.timed.FlagAlarm = false;
}

void Option1_Click(ui::Context& ctx, int index) {
  optionClick(ctx, index, true);
}

void Option3_Click(ui::Context& ctx, int index) {
  optionClick(ctx, index, false);
}

void DischargeMask_Click(ui::Context& ctx, int reg) {
  editOf(ctx, ctx.boards.CurrentBoard)[static_cast<std::size_t>(reg)] =
      registerText(boxesValue(ctx, reg));
  refreshConfigView(ctx);
}

void copyConfigToAll(ui::Context& ctx) {
  if (ctx.boards.CopyConfigToAll != 1) return;
  const ConfigRecord source = editOf(ctx, ctx.boards.CurrentBoard);
  for (int b = 0; b <= ctx.boards.LastBoardIndex; ++b) editOf(ctx, b) = source;
}

void applyEdits(ui::Context& ctx) {
  applyLimitEdits(ctx);
  applyCdcEdits(ctx);
}

void applyCdcEdits(ui::Context& ctx) {
  const int cdc = registerValue(editOf(ctx, ctx.boards.CurrentBoard)[0]) & 0x07;
  if (ctx.boards.CopyConfigToAll == 1) {
    for (int b = 0; b <= ctx.boards.LastBoardIndex; ++b) ctx.config.cdc.at(slot(b)) = cdc;
  } else {
    ctx.config.cdc.at(slot(ctx.boards.CurrentBoard)) = cdc;
  }
  cdcView(ctx);
}

void cdcView(ui::Context& ctx) {
  auto& c = ctx.c;
  const int cdc = ctx.config.cdc.at(slot(ctx.boards.CurrentBoard));
  for (int bit = 2; bit >= 0; --bit) c.Check0[bit].setValue((cdc >> bit) & 1);
  showCdc(ctx);
  refreshConfigView(ctx);  // colours Text3 and Text15 as pending or not
}

void refreshConfigView(ui::Context& ctx) {
  // With GLOBAL, an edit of the selected board is every board's edit before anything shows it.
  copyConfigToAll(ctx);
  auto& c = ctx.c;
  const int b = ctx.boards.CurrentBoard;
  const ConfigRecord& edit = editOf(ctx, b);
  const ConfigRecord& written = ctx.config.written.at(slot(b));
  ctx.config.ConfigPending = edit == written ? 0 : 1;
  const bool pending = ctx.config.ConfigPending == 1;
  for (int i = 0; i < kConfigRegisters; ++i) {
    markPending(c.Text4[i], pending);
    c.Text4[i].setText("   " + edit[static_cast<std::size_t>(i)] + "   ");
  }
  const bool cdcPending = (registerValue(edit[0]) & 0x07) != (registerValue(written[0]) & 0x07);
  markPending(*c.Text3, cdcPending);
  markPending(*c.Text15, cdcPending);
  markPending(c.Text2[0], edit[4] != written[4]);
  markPending(c.Text2[1], edit[5] != written[5]);

  form::Control& write = c.Command1[5];
  write.setCaption(pending ? "WRITECONFIG" : "WRITE CONFIG");
  write.left = pending ? ui::kButtonLeftNarrow : ui::kButtonLeft;
  write.width = pending ? ui::kButtonWidthNarrow : ui::kButtonWidth;
  c.WriteConfigMark->visible = pending;
}

void showReadConfigEmphasis(ui::Context& ctx) {
  form::Control& read = ctx.c.Command1[6];
  const bool pending = ctx.config.ConfigPending == 1;
  read.left = pending ? ui::kButtonLeft : ui::kButtonLeftNarrow;
  read.width = pending ? ui::kButtonWidth : ui::kButtonWidthNarrow;
  ctx.c.ReminderMark[0].visible = !pending;
}

void loadBoxes(ui::Context& ctx, int reg) {
  form::Array& boxes = boxesOf(ctx, reg);
  const int value =
      registerValue(editOf(ctx, ctx.boards.CurrentBoard)[static_cast<std::size_t>(reg)]);
  for (int i = 0; i < 8; ++i) boxes[i].setValue((value >> i) & 1);
}

void loadBitBoxes(ui::Context& ctx) {
  for (int reg = 0; reg <= 3; ++reg) loadBoxes(ctx, reg);
}

void loadEditor(ui::Context& ctx) {
  loadBitBoxes(ctx);
  refreshLimits(ctx);
  showCdc(ctx);
  refreshConfigView(ctx);
}

}  // namespace kb::config
