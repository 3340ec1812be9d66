#include "views/CellGrid.h"

#include "common/HexText.h"
#include "context/Context.h"
#include "monitor/Measurements.h"
#include "views/StatusCodes.h"

namespace kb::views {

namespace {

bool bit(unsigned value, int n) {
  return ((value >> n) & 1U) != 0;
}

bool validBoard(int board) {
  return board >= 0 && board < kMaxBoards;
}

std::size_t slot(int board) {
  return static_cast<std::size_t>(board);
}

int lastShownBoard(const ui::Context& ctx) {
  return ctx.boards.LastBoardIndex < kMaxBoards ? ctx.boards.LastBoardIndex : kMaxBoards - 1;
}

}  // namespace

// ---- Rules ------------------------------------------------------------------------------------

int configStatus(bool discharge, bool mask, int flagDataValid, int cellDataValid) {
  int s = kStatusNoReading;
  if (discharge && mask) {
    s = kStatusMaskedDischarge;
  } else if (discharge) {
    s = kStatusDischarge;
  } else if (mask) {
    s = kStatusMasked;
  }
  if (flagDataValid != 1) return flagDataValid == 0 ? kStatusNoReading : s;
  if (s != kStatusNoReading) return s;
  if (cellDataValid == 1) return kStatusGood;
  return kStatusNoReading;
}

int flagStatus(int status, bool underVoltage, bool overVoltage, int flagDataValid) {
  int s = status;
  if (flagDataValid == 1 && s >= 0 && s < kStatusCodes) {
    if (s == kStatusUnderVoltage || s == kStatusOverVoltage) s = kStatusNoReading;
    if (s == kStatusNoReading || s == kStatusGood) {
      if (underVoltage) s = kStatusUnderVoltage;
      if (overVoltage) s = kStatusOverVoltage;
      if (s != kStatusUnderVoltage && s != kStatusOverVoltage) s = kStatusGood;
    }
  }
  if (flagDataValid == 0) s = kStatusNoReading;
  return s;
}

bool underVoltageBit(const FlagBytes& flags, int cell) {
  return bit(flags.at(static_cast<std::size_t>(cell / 4)), 2 * (cell % 4));
}

bool overVoltageBit(const FlagBytes& flags, int cell) {
  return bit(flags.at(static_cast<std::size_t>(cell / 4)), 2 * (cell % 4) + 1);
}

// ---- Operations -------------------------------------------------------------------------------

void clearAllCellStatus(ui::Context& ctx) {
  for (int b = 0; b <= lastShownBoard(ctx); ++b) ctx.views.setBoardStatus(b, kStatusNoReading);
}

void clearCurrentCellStatus(ui::Context& ctx) {
  ctx.views.setBoardStatus(ctx.boards.CurrentBoard, kStatusNoReading);
}

void deriveFromConfig(ui::Context& ctx, int board) {
  if (!validBoard(board)) return;
  auto& v = ctx.views;
  const config::ConfigRecord& written = ctx.config.written[slot(board)];
  const unsigned cfgr1 = hexValue(written[1]);
  const unsigned cfgr2 = hexValue(written[2]);
  const unsigned cfgr3 = hexValue(written[3]);
  auto& discharge = v.CellDischargeBits[slot(board)];
  auto& mask = v.CellMaskBits[slot(board)];
  for (int n = 0; n < 8; ++n) discharge[static_cast<std::size_t>(n)] = bit(cfgr1, n);
  for (int n = 0; n < 4; ++n) {
    discharge[static_cast<std::size_t>(8 + n)] = bit(cfgr2, n);
    mask[static_cast<std::size_t>(n)] = bit(cfgr2, 4 + n);
  }
  for (int n = 0; n < 8; ++n) mask[static_cast<std::size_t>(4 + n)] = bit(cfgr3, n);
  for (int c = 0; c < kCellsPerBoard; ++c) {
    const auto i = static_cast<std::size_t>(c);
    v.status(board, c) = configStatus(discharge[i], mask[i], v.FlagDataValid[slot(board)],
                                      v.CellDataValid[slot(board)]);
  }
}

void deriveFromConfigAll(ui::Context& ctx) {
  for (int b = 0; b <= lastShownBoard(ctx); ++b) deriveFromConfig(ctx, b);
}

void deriveFromFlags(ui::Context& ctx, int board) {
  if (!validBoard(board)) return;
  auto& v = ctx.views;
  const int valid = v.FlagDataValid[slot(board)];
  const monitor::ReadRecord& rec = ctx.reads.record(board, monitor::ReadKind::RDFLG);
  if (valid == 1 && rec.receivedPec != rec.calculatedPec) return;
  FlagBytes flags{};
  for (std::size_t k = 0; k < flags.size() && k < rec.data.size(); ++k) flags[k] = rec.data[k];
  for (int c = 0; c < kCellsPerBoard; ++c) {
    v.status(board, c) =
        flagStatus(v.status(board, c), underVoltageBit(flags, c), overVoltageBit(flags, c), valid);
  }
}

void followReading(ui::Context& ctx, const readings::Reading& reading) {
  auto& v = ctx.views;
  const bool intact = reading.check == readings::Check::Match && validBoard(reading.board);
  switch (reading.kind) {
    case readings::Kind::Cells:
      if (intact) v.CellDataValid[slot(reading.board)] = 1;
      deriveFromConfig(ctx, reading.board);
      drawCellStatus(ctx);
      break;
    case readings::Kind::Flags:
      if (intact) v.FlagDataValid[slot(reading.board)] = 1;
      deriveFromFlags(ctx, reading.board);
      drawCellStatus(ctx);
      break;
    case readings::Kind::ConfigWrite:
      if (reading.board < 0) {  // broadcast: every shown board
        deriveFromConfigAll(ctx);
        drawAllCellStatus(ctx);
      } else {
        deriveFromConfig(ctx, reading.board);
        drawCellStatus(ctx);
      }
      break;
    default:
      break;
  }
}

void followThermalShutdown(ui::Context& ctx) {
  const auto found = monitor::CheckThermalShutdown(ctx);
  for (int b = 0; b < kMaxBoards; ++b) {
    const monitor::ThermalFinding f = found[slot(b)];
    if (f == monitor::ThermalFinding::None) continue;
    ctx.views.setBoardStatus(
        b, f == monitor::ThermalFinding::InShutdown ? kStatusThermalShutdown : kStatusNoReading);
    drawBoardRow(ctx, b);
    drawCellPanels(ctx);
  }
}

void clearOnNextCommand(ui::Context& ctx) {
  ctx.views.clearOnNextCommand = true;
}

void clearIfRequested(ui::Context& ctx) {
  if (!ctx.views.clearOnNextCommand) return;
  ctx.views.clearOnNextCommand = false;
  clearAllCellStatus(ctx);
  drawAllCellStatus(ctx);
}

void forgetCellReadings(ui::Context& ctx) {
  for (int b = 0; b <= lastShownBoard(ctx); ++b) ctx.views.CellDataValid[slot(b)] = 0;
}

void drawBoardRow(ui::Context& ctx, int board) {
  if (!validBoard(board)) return;
  for (int c = 0; c < kCellsPerBoard; ++c) {
    const StatusLook* look = statusLook(ctx.views.status(board, c));
    if (look != nullptr) ctx.c.Shape1[board * kCellsPerBoard + c].fillColor = look->colour;
  }
}

void drawCellPanels(ui::Context& ctx) {
  const int board = ctx.boards.CurrentBoard;
  if (!validBoard(board)) return;
  for (int c = 0; c < kCellsPerBoard; ++c) {
    const StatusLook* look = statusLook(ctx.views.status(board, c));
    if (look == nullptr) continue;
    form::Control& mark = ctx.c.Shape2[c];
    mark.top = look->markTop;
    mark.height = look->markHeight;
    mark.fillColor = look->colour;
    ctx.c.Shape4[c].fillColor = look->background;
  }
}

void drawCellStatus(ui::Context& ctx) {
  drawBoardRow(ctx, ctx.boardInUse());
  drawCellPanels(ctx);
}

void drawAllCellStatus(ui::Context& ctx) {
  for (int b = 0; b <= lastShownBoard(ctx); ++b) drawBoardRow(ctx, b);
  drawCellPanels(ctx);
}

void clearDischargeBits(ui::Context& ctx) {
  for (auto& board : ctx.views.CellDischargeBits) board.fill(false);
}

}  // namespace kb::views
