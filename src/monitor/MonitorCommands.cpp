#include "monitor/MonitorCommands.h"

#include <cstdio>

#include "common/HexText.h"
#include "config/VoltageLimits.h"
#include "context/Context.h"
#include "monitor/ReadTransfer.h"
#include "startup/TransferLog.h"

namespace kb::monitor {

void wire(ui::Context& ctx) {
  ui::Context* c = &ctx;
  ctx.variables.addTable("PecState", kBoardSlots, [c](int i) {
    return ui::StateVariables::number(c->reads.pecState[static_cast<std::size_t>(i)]);
  });
  // The error text of the board's latest failed read-back, empty when none.
  ctx.variables.addTable("PecError", kBoardSlots, [c](int i) { return c->reads.latestError(i); });
  ctx.variables.addTable("ThermalShutdown", kBoardSlots, [c](int i) {
    return ui::StateVariables::number(c->reads.thermalShutdown[static_cast<std::size_t>(i)]);
  });
  ctx.variables.addTable("ThermalState", kBoardSlots, [c](int i) {
    return ui::StateVariables::number(c->reads.thermalState[static_cast<std::size_t>(i)]);
  });
  ctx.variables.add("ThermalRecoveryPending",
                    [c] { return ui::StateVariables::truth(c->reads.thermalRecoveryPending); });
  // Cell (board * 12 + cell) and temperature (board * 3 + 121 + k) codes and values.
  ctx.variables.addTable("CellTempCode", kMeasureSlots,
                         [c](int i) { return c->measure.code[static_cast<std::size_t>(i)]; });
  ctx.variables.addTable("CellTempVolts", kMeasureSlots, [c](int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f",
                  static_cast<double>(c->measure.volts[static_cast<std::size_t>(i)]));
    return std::string(buf);
  });
}

void showPecIndicator(ui::Context& ctx, int board) {
  if (board < 0 || board >= kMaxBoards) return;
  ctx.c.Shape12[board].fillColor =
      pecStateColour(ctx.reads.pecState[static_cast<std::size_t>(board)]);
}

void ReadBackConfig(ui::Context& ctx) {
  const int board = ctx.boards.CurrentBoard;
  const ReadReply r = readTransfer(ctx.link(), "MSXxT", ctx.boards.address(board), "02", 6);
  ReadRecord& rec =
      ctx.reads.records[static_cast<std::size_t>(board)][static_cast<std::size_t>(ReadKind::RDCFG)];
  rec.data = r.data;
  rec.receivedPec = r.receivedPec;
  rec.calculatedPec = r.calculatedPec;
  startup::LogReadBack(ctx, ReadKind::RDCFG, board);
  JudgePec(ctx.reads, board, r.receivedPec, r.calculatedPec, ReadKind::RDCFG, ctx.pecMatchOnly());
  showPecIndicator(ctx, board);
  // Stored and compared even after a PEC mismatch: a silent board shows every field red.
  config::ConfigRecord& read = ctx.config.read[static_cast<std::size_t>(board)];
  for (std::size_t i = 0; i < read.size(); ++i) read[i] = hexByte(r.data[i]);
  ShowReadConfig(ctx);
  ctx.reads.measureMode[static_cast<std::size_t>(board)] = (r.data[0] & 0x07) != 0 ? 1 : 0;
  readings::Reading reading = ctx.reading(readings::Kind::ConfigRead, board, "RDCFG");
  reading.check = r.match() ? readings::Check::Match : readings::Check::Mismatch;
  reading.bytes = r.data;
  ctx.readings.publish(reading);
  CompareConfig(ctx);
  config::showReadBackVolts(ctx);
}

}  // namespace kb::monitor
