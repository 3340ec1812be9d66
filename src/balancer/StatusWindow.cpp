// The status window's procedures: loading, the rows shown for the stack, and the drawing of every
// chip's read-back actions, gate marks, over-voltage and temperature mark and raw bytes.
#include "balancer/StatusWindow.h"

#include <algorithm>
#include <array>

#include "balancer/CommandWord.h"
#include "common/HexText.h"
#include "context/Context.h"

namespace kb::balancer {

using form::Event;
using ui::kStatusCells;
using ui::kStatusRows;

namespace {

enum class Shade { None, Code01, Discharge, Charge, Invalid };
enum class StatusRead { Ok, Failed, NotRead };

// What one chip's row shows, decoded from the tables.
struct ChipRow {
  std::array<Shade, kStatusCells> cells{};
  StatusRead status = StatusRead::NotRead;
  std::array<bool, kStatusCells> gate{};  // gate OK of cells 1..6, from a status that checked OK
  bool balancing = false;
  int pattern = form::kFillTransparent;
  bool tempError = false;
};

std::size_t at(int index) {
  return static_cast<std::size_t>(index);
}

ChipRow decodeChip(const BalancerState& b, int chip) {
  ChipRow row;
  const std::string& readback = b.ReadbackCheck[at(chip)];
  if (readback == "OK") {
    const unsigned hi = hexValue(b.ReadbackDataHi[at(chip)]) & 0xFFu;
    const unsigned lo = hexValue(b.ReadbackDataLo[at(chip)]) & 0xFFu;
    const auto word = static_cast<std::uint16_t>((hi << 8) | lo);
    for (int cell = 0; cell < kStatusCells; ++cell) {
      row.cells[at(cell)] = static_cast<Shade>(actionOf(word, cell));
    }
    // Cells 1..4 count only on a board that executes; cells 5 and 6 whenever the keep-alive runs.
    const bool boardExecuting = chip < 2 ? b.ExecutingBoard1 : b.ExecutingOtherBoards;
    row.balancing = b.BalancerPolling && ((hi != 0 && boardExecuting) || (lo & 0xF0u) != 0);
  } else if (readback == "ERROR") {
    row.cells.fill(Shade::Invalid);
  }

  const std::string& status = b.StatusCheck[at(chip)];
  if (status == "OK") {
    row.status = StatusRead::Ok;
    const std::uint16_t word = wordOf(b.StatusDataHi[at(chip)], b.StatusDataLo[at(chip)]);
    for (int cell = 0; cell < kStatusCells; ++cell) {
      row.gate[at(cell)] = ((word >> (15 - cell)) & 1u) != 0;
    }
    const bool cellsOv = (word & 0x0200u) != 0;  // bit 9 " Cells OV"
    const bool stackOv = (word & 0x0100u) != 0;  // bit 8 " Stack OV"
    const bool tempOk = (word & 0x0080u) != 0;   // bit 7 " Temp OK"
    if (cellsOv && !stackOv) {
      row.pattern = form::kFillDownwardDiagonal;  // the legend's "Cell OV"
    } else if (stackOv && !cellsOv) {
      row.pattern = form::kFillUpwardDiagonal;  // the legend's "Stack OV"
    } else if (!cellsOv && !stackOv && row.balancing) {
      row.pattern = form::kFillDiagonalCross;
    }
    row.tempError = !tempOk && row.balancing;
  } else if (status == "ERROR") {
    row.status = StatusRead::Failed;
  }
  return row;
}

std::int32_t shadeColour(Shade shade) {
  switch (shade) {
    case Shade::None:
      return ui::kStatusNoAction;
    case Shade::Code01:
      return ui::kStatusCode01;
    case Shade::Discharge:
      return ui::kStatusDischarge;
    case Shade::Charge:
      return ui::kStatusCharge;
    case Shade::Invalid:
      break;
  }
  return ui::kStatusCrcError;
}

// A gate mark: "+" shown for a gate that is OK; "-" hidden for one that is not and for a status
// not read since the last EXECUTE or SUSPEND; "-" shown for a status that failed its check.
bool gateShown(const ChipRow& row, int cell) {
  switch (row.status) {
    case StatusRead::Ok:
      return row.gate[at(cell)];
    case StatusRead::Failed:
      return true;
    case StatusRead::NotRead:
      break;
  }
  return false;
}

int chipsInStack(const ui::Context& ctx) {
  return std::clamp(ctx.balancer.ChipCount, 0, kStatusRows);
}

int rowsShown(const ui::Context& ctx) {
  int rows = 0;
  while (rows < kStatusRows && ctx.s.Label12[rows + 1].visible) ++rows;
  return rows;
}

// The raw bytes below the rows shown, wrapped to the window's width; the window ends below them.
void placeBytes(ui::Context& ctx, int rows) {
  auto& s = ctx.s;
  form::Form& f = *ctx.status;
  const int width = std::max(f.width - 2 * ui::kStatusMargin, ui::kStatusCellWidth);
  const int chips = std::max(chipsInStack(ctx), 1);
  const int lines = (chips * ui::kStatusBytesPerChipWidth + width - 1) / width;
  int top = ui::statusRowTop(rows) + 60;
  for (int i = 0; i < 2; ++i) {
    s.BytesHead[i].top = top;
    top += ui::kStatusHeadHeight;
    s.Label3[i].place(ui::kStatusMargin, top, width, lines * ui::kStatusTextLine + 45);
    top += s.Label3[i].height + 60;
  }
  f.height = top + ui::kStatusMargin - 60;
}

void layoutRows(ui::Context& ctx) {
  auto& s = ctx.s;
  const int chips = chipsInStack(ctx);
  for (int row = 0; row < kStatusRows; ++row) {
    const bool shown = row < chips;
    const ChipRow chip = decodeChip(ctx.balancer, row);
    s.Label12[row + 1].visible = shown;
    for (int cell = 0; cell < kStatusCells; ++cell) {
      s.Shape1[kStatusCells * row + cell].visible = shown;
      // A mark shows only what the chip's status says, so a row shown again shows no stale mark.
      s.Label2[kStatusCells * row + cell].visible = shown && gateShown(chip, cell);
    }
    s.TempMark[row].visible = shown;
    s.ChipMark[row].visible = shown;
  }
  placeBytes(ctx, chips);
}

void drawRows(ui::Context& ctx) {
  auto& s = ctx.s;
  const BalancerState& b = ctx.balancer;
  std::string commandBytes;
  std::string statusBytes;
  for (int k = 0; k < chipsInStack(ctx); ++k) {
    commandBytes += " | " + b.ReadbackDataHi[at(k)] + " | " + b.ReadbackDataLo[at(k)] + " | ";
    statusBytes += " | " + b.StatusDataHi[at(k)] + " | " + b.StatusDataLo[at(k)] + " | ";
    const ChipRow row = decodeChip(b, k);
    const bool rowShown = s.Label12[k + 1].visible;
    for (int cell = 0; cell < kStatusCells; ++cell) {
      form::Control& field = s.Shape1[kStatusCells * k + cell];
      form::Control& gate = s.Label2[kStatusCells * k + cell];
      field.backColor = shadeColour(row.cells[at(cell)]);
      if (row.status == StatusRead::Ok) {
        gate.setCaption(row.gate[at(cell)] ? "+" : "-");
      } else {
        field.fillStyle = form::kFillTransparent;
        gate.setCaption("-");
      }
      gate.visible = rowShown && gateShown(row, cell);
    }
    s.ChipMark[k].fillStyle = row.pattern;
    s.TempMark[k].opaque = row.tempError;
  }
  s.Label3[0].setCaption(commandBytes);
  s.Label3[1].setCaption(statusBytes);
}

}  // namespace

void wireStatusWindow(ui::Context& ctx) {
  ui::Context* c = &ctx;
  ctx.form().on(Event::Click, ctx.c.Command5520, [c](int) { Command5520_Click(*c); });
  const StatusWindowState* w = &ctx.statusWindow;
  ctx.variables.add("StatusWindowLoaded", [w] { return ui::StateVariables::truth(w->loaded); });
}

void loadStatusWindow(ui::Context& ctx) {
  if (ctx.statusWindow.loaded) return;
  ctx.statusWindow.loaded = true;
  layoutRows(ctx);
  drawRows(ctx);
}

void showStatusWindow(ui::Context& ctx) {
  loadStatusWindow(ctx);
  ctx.status->visible = true;
}

void unloadStatusWindow(ui::Context& ctx) {
  ctx.statusWindow.loaded = false;
  ctx.status->visible = false;
}

void Command5520_Click(ui::Context& ctx) {
  loadStatusWindow(ctx);
  Display5520Status(ctx);
  DISPLAY_CELLstatus(ctx);
  ctx.status->show();  // brought to the front also when it is open behind the main window
}

void Display5520Status(ui::Context& ctx) {
  loadStatusWindow(ctx);
  layoutRows(ctx);
}

void DISPLAY_CELLstatus(ui::Context& ctx) {
  loadStatusWindow(ctx);
  drawRows(ctx);
}

int statusWindowWidth(int lastBoardIndex) {
  return ui::kStatusBaseWidth + ui::kStatusWidthPerBoard * std::clamp(lastBoardIndex, 0, 9);
}

void statusWindowBoardCountChange(ui::Context& ctx, int lastBoardIndex) {
  loadStatusWindow(ctx);
  ctx.status->width = statusWindowWidth(lastBoardIndex);
  if (ctx.balancer.executing()) {
    // The rows stay as they are; the bytes follow the new width.
    placeBytes(ctx, rowsShown(ctx));
    return;
  }
  Display5520Status(ctx);
  DISPLAY_CELLstatus(ctx);
}

}  // namespace kb::balancer
