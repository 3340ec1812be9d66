#include <array>
#include <cstdint>

#include "common/Colors.h"
#include "common/HexText.h"
#include "context/Context.h"
#include "monitor/Commands.h"
#include "monitor/MonitorCommands.h"
#include "startup/TransferLog.h"

namespace kb::monitor {

namespace {

void emptyReadFields(ui::Context& ctx) {
  for (int i = 0; i < config::kConfigRegisters; ++i) {
    form::Control& field = ctx.c.Text_ReadCfg[i];
    field.setText("");
    field.backColor = kWindowBackground;
  }
}

}  // namespace

void SendConfig(ui::Context& ctx) {
  auto& c = ctx.c;
  auto& cfg = ctx.config;
  const int board = ctx.boards.CurrentBoard;
  const config::ConfigRecord& edit = cfg.edit[static_cast<std::size_t>(board)];
  std::array<std::uint8_t, config::kConfigRegisters> data{};
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<std::uint8_t>(hexValue(edit[i]) & 0xFF);
  }
  std::string frame =
      writeFrame(ctx.boards.address(board), ctx.boards.broadcast(startup::BroadcastCommand::WRCFG),
                 "01", data);
  // While the balancer path is polled, chip select is left low for the balancer transfer.
  if (ctx.balancer.BalancerPolling) frame += "x";
  ctx.link().SendCommand(frame);
  const bool broadcast = ctx.boards.broadcast(startup::BroadcastCommand::WRCFG);
  readings::Reading reading =
      ctx.reading(readings::Kind::ConfigWrite, broadcast ? -1 : board, "WRCFG");
  reading.bytes.assign(data.begin(), data.end());
  ctx.readings.publish(reading);

  for (form::Control* box : {&c.Text4[0], &c.Text4[1], &c.Text4[2], &c.Text4[3], &c.Text4[4],
                             &c.Text4[5], &*c.Text3, &*c.Text15, &c.Text2[0], &c.Text2[1]}) {
    box->backColor = kWhite;
    box->foreColor = kWindowText;
  }
  cfg.written = cfg.edit;
  startup::LogWriteConfig(ctx);  // from the written record: the bytes just sent
  cfg.tenCellFlag = (hexValue(cfg.written[static_cast<std::size_t>(board)][0]) & 0x08) != 0 ? 1 : 0;
  emptyReadFields(ctx);
}

void ShowReadConfig(ui::Context& ctx) {
  const config::ConfigRecord& read =
      ctx.config.read[static_cast<std::size_t>(ctx.boards.CurrentBoard)];
  for (int i = 0; i < config::kConfigRegisters; ++i) {
    ctx.c.Text_ReadCfg[i].setText("   " + read[static_cast<std::size_t>(i)] + "   ");
  }
}

void CompareConfig(ui::Context& ctx) {
  const auto b = static_cast<std::size_t>(ctx.boards.CurrentBoard);
  const config::ConfigRecord& read = ctx.config.read[b];
  const config::ConfigRecord& edit = ctx.config.edit[b];
  for (int i = 0; i < config::kConfigRegisters; ++i) {
    const auto r = static_cast<std::size_t>(i);
    const bool differs = (hexValue(read[r]) & 0xFF) != (hexValue(edit[r]) & 0xFF);
    ctx.c.Text_ReadCfg[i].backColor = differs ? kRed : kWindowBackground;
  }
}

void clearConfigReadBack(ui::Context& ctx) {
  auto& cfg = ctx.config;
  cfg.read.fill({});
  cfg.readVuvVolts.fill({});
  cfg.readVovVolts.fill({});
  emptyReadFields(ctx);
  ctx.c.Label_RdLimit[0].setCaption("");
  ctx.c.Label_RdLimit[1].setCaption("");
  for (int b = 0; b < kMaxBoards; ++b) showPecIndicator(ctx, b);
}

}  // namespace kb::monitor
