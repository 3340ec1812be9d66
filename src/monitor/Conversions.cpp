#include "monitor/Conversions.h"

#include <array>
#include <stdexcept>
#include <string>

#include "context/Context.h"
#include "monitor/Commands.h"

namespace kb::monitor {

namespace {

using startup::BroadcastCommand;

struct StartCommand {
  char high;  // high hex digit of the code
  BroadcastCommand table;
};

constexpr std::array<StartCommand, 4> kCellStarts{{
    {'1', BroadcastCommand::STCVAD},
    {'2', BroadcastCommand::STOWAD},
    {'6', BroadcastCommand::STCVDC},
    {'7', BroadcastCommand::STOWDC},
}};

std::string startCode(char high, std::string_view select) {
  const bool hexDigit = select.size() == 1 && ((select[0] >= '0' && select[0] <= '9') ||
                                               (select[0] >= 'A' && select[0] <= 'F'));
  if (!hexDigit) {
    throw std::invalid_argument("conversion select '" + std::string(select) +
                                "' is not one hex digit");
  }
  return std::string(1, high) + std::string(select);
}

bool sendStart(ui::Context& ctx, BroadcastCommand table, const std::string& code) {
  const bool broadcast = ctx.boards.broadcast(table);
  ctx.link().SendCommand(startFrame(ctx.boards.address(ctx.boardInUse()), broadcast, code));
  return broadcast;
}

}  // namespace

bool StartConversion(ui::Context& ctx, int kind, std::string_view select) {
  if (kind < 0 || kind >= static_cast<int>(kCellStarts.size())) return false;
  const StartCommand& s = kCellStarts[static_cast<std::size_t>(kind)];
  return sendStart(ctx, s.table, startCode(s.high, select));
}

bool StartTemperatureConversion(ui::Context& ctx, std::string_view select) {
  return sendStart(ctx, BroadcastCommand::STTMPAD, startCode('3', select));
}

void SendPoll(ui::Context& ctx, int which) {
  if (which != 0 && which != 1) return;
  const auto table = which == 0 ? BroadcastCommand::PLADC : BroadcastCommand::PLINT;
  const std::string code = which == 0 ? "40" : "50";
  ctx.link().SendCommand(pollFrame(ctx.boards.address(), ctx.boards.broadcast(table), code));
}

void SendBroadcastPladc(ui::Context& ctx) {
  ctx.link().SendCommand(broadcastPladcFrame());
}

}  // namespace kb::monitor
