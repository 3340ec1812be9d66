// Fast scan: every board's cells, temperatures and flags in every tick, and the "Options" menu.
#include "continuous/FastScan.h"

#include <algorithm>
#include <string>
#include <vector>

#include "context/Context.h"
#include "monitor/Commands.h"
#include "monitor/Conversions.h"
#include "monitor/Measurements.h"
#include "monitor/SelfTest.h"
#include "views/BoardSelection.h"
#include "views/CellGrid.h"

namespace kb::continuous {

namespace {

constexpr int kCellsTwelve = 12;
constexpr int kCellsTen = 10;
constexpr int kTemperatureBytes = 5;
constexpr int kFlagBytes = 3;

int lastBoard(const ui::Context& ctx) {
  return std::min(ctx.boards.LastBoardIndex, kMaxBoards - 1);
}

// The frame a read procedure sends for a board, and what it returns.
link::BatchFrame readFrame(const ui::Context& ctx, int board, const char* code, int dataBytes) {
  return {monitor::readFrame("MSxT", ctx.boards.address(board), code, dataBytes),
          static_cast<std::uint16_t>(monitor::readReplyLength(dataBytes))};
}

// The temperature start as StartTemperatureConversion sends it.
link::BatchFrame temperatureStartFrame(const ui::Context& ctx) {
  const bool broadcast = ctx.boards.broadcast(startup::BroadcastCommand::STTMPAD);
  return {monitor::startFrame(ctx.boards.address(), broadcast, "3" + ctx.startup.tempSelectDigit),
          0};
}

void syncMenu(ui::Context& ctx) {
  if (form::MenuItem* item = ctx.form().findMenuItem("Held link")) {
    item->checked = ctx.link().mode() == link::LinkMode::Held;
  }
  if (form::MenuItem* item = ctx.form().findMenuItem("Fast scan")) {
    item->checked = ctx.fastScan.chosen;
  }
}

}  // namespace

void wireSpeedOptions(ui::Context& ctx) {
  ui::Context* c = &ctx;
  ctx.form().onMenu("mnuHeldLink", [c] {
    const bool held = c->link().mode() == link::LinkMode::Held;
    c->link().setMode(held ? link::LinkMode::Transaction : link::LinkMode::Held);
    syncMenu(*c);
  });
  ctx.form().onMenu("mnuFastScan", [c] {
    c->fastScan.chosen = !c->fastScan.chosen;
    syncMenu(*c);
  });
  syncMenu(ctx);
  using ui::StateVariables;
  ctx.variables.add("FastScan", [c] { return StateVariables::truth(c->fastScan.chosen); });
  ctx.variables.add(
      "HeldLink", [c] { return StateVariables::truth(c->link().mode() == link::LinkMode::Held); });
}

void startFastScan(ui::Context& ctx) {
  ctx.fastScan.running = ctx.fastScan.chosen;
}

void stopFastScan(ui::Context& ctx) {
  ctx.fastScan.running = false;
}

void runFastScan(ui::Context& ctx) {
  auto& s = ctx.cycle;
  const int last = lastBoard(ctx);
  const int cells = ctx.config.tenCellFlag == 1 ? kCellsTen : kCellsTwelve;

  // Cells of every board: the cycle holds the starts at broadcast.
  monitor::StartConversion(ctx, monitor::kStartSTCVAD, ctx.startup.cellSelectDigit);
  views::forgetCellReadings(ctx);
  monitor::leaveCellHexView(ctx);

  std::vector<link::BatchFrame> frames;
  for (int b = 0; b <= last; ++b) frames.push_back(readFrame(ctx, b, "04", cells * 3 / 2));
  frames.push_back(temperatureStartFrame(ctx));
  ctx.link().sendBatch(frames);
  for (int b = 0; b <= last; ++b) {
    s.CycleBoard = b;
    monitor::ReadCellVoltages(ctx, ctx.config.tenCellFlag);  // the grid follows the reading
  }
  monitor::StartTemperatureConversion(ctx, ctx.startup.tempSelectDigit);
  monitor::leaveTemperatureHexView(ctx);

  frames.clear();
  for (int b = 0; b <= last; ++b) {
    frames.push_back(readFrame(ctx, b, "0E", kTemperatureBytes));
    frames.push_back(readFrame(ctx, b, "0C", kFlagBytes));
  }
  ctx.link().sendBatch(frames);
  for (int b = 0; b <= last; ++b) {
    s.CycleBoard = b;
    monitor::ReadTemperatures(ctx);
    monitor::ReadFlags(ctx);  // the grid follows the reading
  }
  monitor::showTemperatures(ctx);
  views::followThermalShutdown(ctx);

  // Every board was read: every summary row, and the marker over the board shown.
  s.CycleBoard = 0;
  views::drawAllCellStatus(ctx);
  views::moveBoardMarker(ctx, ctx.boards.CurrentBoard);
}

}  // namespace kb::continuous
