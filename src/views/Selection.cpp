#include "views/Selection.h"

#include <array>
#include <cstddef>
#include <string>

#include "common/HexText.h"
#include "config/ConfigRegisters.h"
#include "context/Context.h"
#include "monitor/SelfTest.h"

namespace kb::views {

namespace {

using form::Control;
using form::Event;

// Greyed elements, and the text of restored ones.
constexpr std::int32_t kGreyed = kGrey;  // #808080
constexpr std::int32_t kNormalText = kBlack;

// A value box greyed, or given back its background when it was greyed: white, or red while a
// self-test comparison marks it, so the mark outlives the greying.
void paintValueBox(Control& box, bool inUse, std::int32_t background) {
  if (!inUse) {
    box.backColor = kGreyed;
  } else if (box.backColor == kGreyed) {
    box.backColor = background;
  }
}

// Select digits of the temperature inputs, by box: ITMP "3", ETMP1 "1", ETMP2 "2".
constexpr std::array<const char*, 3> kTemperatureDigits{"3", "1", "2"};

Control& dischargeBox(ui::Context& ctx, int cell) {
  const config::BoxRef r = config::dischargeBox(cell + 1);
  return r.array == 1 ? ctx.c.Check1[r.index] : ctx.c.Check2[r.index];
}

Control& maskBox(ui::Context& ctx, int cell) {
  const config::BoxRef r = config::maskBox(cell + 1);
  return r.array == 2 ? ctx.c.Check2[r.index] : ctx.c.Check3[r.index];
}

// The summary mark of a cell in one board's row.
void setSummaryMark(ui::Context& ctx, int board, int cell, bool solid) {
  ctx.c.Shape1[board * kCellsPerBoard + cell].fillStyle =
      solid ? form::kFillSolid : form::kFillTransparent;
}

int lastShownBoard(const ui::Context& ctx) {
  return ctx.boards.LastBoardIndex < kMaxBoards ? ctx.boards.LastBoardIndex : kMaxBoards - 1;
}

// The panel elements of one cell drawn as in use or as left out.
void paintCell(ui::Context& ctx, int cell, bool inUse) {
  auto& c = ctx.c;
  const std::int32_t text = inUse ? kNormalText : kGreyed;
  c.Frame1[cell].foreColor = text;
  paintValueBox(c.Text1[cell], inUse, monitor::cellBoxBackground(ctx, cell));
  c.Check6[cell].foreColor = text;
  c.Check6[cell].enabled = inUse;
  dischargeBox(ctx, cell).foreColor = text;
  maskBox(ctx, cell).foreColor = text;
  for (form::Array* line : {&c.Line7, &c.Line9, &c.Line10}) (*line)[cell].borderColor = text;
  for (form::Array* shape : {&c.Shape2, &c.Shape4, &c.Shape5}) {
    Control& s = (*shape)[cell];
    s.borderColor = text;
    s.fillStyle = inUse ? form::kFillSolid : form::kFillTransparent;
  }
}

// Restores a cell: its mark solid in every shown row.
void restoreCell(ui::Context& ctx, int cell) {
  paintCell(ctx, cell, true);
  for (int b = 0; b <= lastShownBoard(ctx); ++b) setSummaryMark(ctx, b, cell, true);
}

// Greys the unselected cells and restores the selected one, whose number becomes the select
// digit. An unselected cell's mark goes hollow in every shown row, or only the current board's.
void selectionColouring(ui::Context& ctx, bool everyRow) {
  for (int cell = 0; cell < kCellsPerBoard; ++cell) {
    const int value = ctx.c.Check6[cell].value();
    if (value == 0) {
      paintCell(ctx, cell, false);
      if (everyRow) {
        for (int b = 0; b <= lastShownBoard(ctx); ++b) setSummaryMark(ctx, b, cell, false);
      } else {
        setSummaryMark(ctx, ctx.boards.CurrentBoard, cell, false);
      }
    } else if (value == 1) {
      restoreCell(ctx, cell);
      ctx.startup.cellSelectDigit = std::string(1, hexDigit(cell + 1));
    }
  }
}

void paintTemperature(ui::Context& ctx, int k, bool inUse) {
  auto& c = ctx.c;
  const std::int32_t text = inUse ? kNormalText : kGreyed;
  c.Label_TMP[k].foreColor = text;
  paintValueBox(c.Text6[k], inUse, monitor::temperatureBoxBackground(ctx, k));
  c.Check7[k].foreColor = text;
  c.Check7[k].enabled = inUse;
  c.Shape_TMP[k].borderColor = text;
  c.Shape_TMP[k].fillStyle = inUse ? form::kFillSolid : form::kFillTransparent;
}

// Ticked: the chosen input drawn normally with its select digit, the others greyed and disabled.
void temperatureColouring(ui::Context& ctx) {
  for (int k = 0; k < monitor::kTemperatures; ++k) {
    const bool chosen = ctx.c.Check7[k].value() == 1;
    paintTemperature(ctx, k, chosen);
    if (chosen) ctx.startup.tempSelectDigit = kTemperatureDigits[static_cast<std::size_t>(k)];
  }
}

// Cleared: every disabled box restored, all inputs selected.
void temperatureReset(ui::Context& ctx) {
  for (int k = 0; k < monitor::kTemperatures; ++k) {
    if (!ctx.c.Check7[k].enabled) paintTemperature(ctx, k, true);
  }
  ctx.startup.tempSelectDigit = "0";
}

}  // namespace

void addressedColouring(ui::Context& ctx) {
  selectionColouring(ctx, false);
}

void broadcastColouring(ui::Context& ctx) {
  selectionColouring(ctx, true);
}

void resetColouring(ui::Context& ctx) {
  for (int cell = 0; cell < kCellsPerBoard; ++cell) {
    if (!ctx.c.Check6[cell].enabled) restoreCell(ctx, cell);
  }
  ctx.startup.cellSelectDigit = "0";
}

void redrawSelection(ui::Context& ctx) {
  switch (ctx.selection.ReadOnlyMode) {
    case kCellSelectedAddressed:
      resetColouring(ctx);
      addressedColouring(ctx);
      break;
    case kCellSelectedBroadcast:
      broadcastColouring(ctx);
      break;
    default:
      break;
  }
}

void followCellStartBroadcast(ui::Context& ctx, bool broadcast) {
  int& mode = ctx.selection.ReadOnlyMode;
  if (broadcast && mode == kCellSelectedAddressed) {
    mode = kCellSelectedBroadcast;
    broadcastColouring(ctx);
  } else if (!broadcast && mode == kCellSelectedBroadcast) {
    mode = kCellSelectedAddressed;
    resetColouring(ctx);
    addressedColouring(ctx);
  }
}

void Check6_Click(ui::Context& ctx, int cell) {
  const int value = ctx.c.Check6[cell].value();
  if (value == 1) {
    if (ctx.boards.broadcast(startup::BroadcastCommand::STCVAD)) {
      broadcastColouring(ctx);
      ctx.selection.ReadOnlyMode = kCellSelectedBroadcast;
    } else {
      addressedColouring(ctx);
      ctx.selection.ReadOnlyMode = kCellSelectedAddressed;
    }
  } else if (value == 0) {
    resetColouring(ctx);
    ctx.selection.ReadOnlyMode = kNoCellSelected;
  }
}

void Check7_Click(ui::Context& ctx, int k) {
  if (ctx.c.Check7[k].value() == 1) {
    temperatureColouring(ctx);
  } else {
    temperatureReset(ctx);
  }
}

void wireSelection(ui::Context& ctx) {
  form::Form& f = ctx.form();
  ui::Context* c = &ctx;
  f.on(Event::Click, ctx.c.Check6, [c](int i) { Check6_Click(*c, i); });
  f.on(Event::Click, ctx.c.Check7, [c](int i) { Check7_Click(*c, i); });
  ctx.variables.add("ReadOnlyMode",
                    [c] { return ui::StateVariables::number(c->selection.ReadOnlyMode); });
  ctx.variables.add("CellSelectDigit", [c] { return c->startup.cellSelectDigit; });
  ctx.variables.add("TempSelectDigit", [c] { return c->startup.tempSelectDigit; });
}

}  // namespace kb::views
