#include "monitor/Conversions.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "common/HexText.h"
#include "context/Context.h"
#include "monitor/Commands.h"
#include "monitor/Pec.h"
#include "monitor/TransferLog.h"

namespace kb::monitor {

namespace {

using startup::BroadcastCommand;

constexpr std::int64_t kShortConversionMicros = 13'000;
constexpr std::int64_t kLongConversionMicros = 21'000;

struct StartCommand {
  const char* name;
  char high;  // high hex digit of the code
  BroadcastCommand table;
};

constexpr std::array<StartCommand, 4> kCellStarts{{
    {"STCVAD", '1', BroadcastCommand::STCVAD},
    {"STOWAD", '2', BroadcastCommand::STOWAD},
    {"STCVDC", '6', BroadcastCommand::STCVDC},
    {"STOWDC", '7', BroadcastCommand::STOWDC},
}};
constexpr StartCommand kTemperatureStart{"STTMPAD", '3', BroadcastCommand::STTMPAD};

// How long a conversion takes by the CDC last written: 13 ms for CDC 1..4, 21 ms for 5..7 (VREF
// settles first); over every board of the set for a broadcast.
std::int64_t conversionMicros(const ui::Context& ctx, bool broadcast) {
  const int first = broadcast ? 0 : ctx.boards.CurrentBoard;
  const int last = broadcast ? ctx.boards.LastBoardIndex : ctx.boards.CurrentBoard;
  std::int64_t micros = kShortConversionMicros;
  for (int b = std::max(first, 0); b <= last && b < kMaxBoards; ++b) {
    const std::string& cfgr0 = ctx.config.written[static_cast<std::size_t>(b)][0];
    if ((hexValue(cfgr0) & 0x07u) >= 5) micros = kLongConversionMicros;
  }
  return micros;
}

// Sends a start or poll frame for the current board and writes its log row.
bool sendLogged(ui::Context& ctx, const char* name, BroadcastCommand table, const std::string& code,
                bool poll) {
  const bool broadcast = ctx.boards.broadcast(table);
  const std::string& address = ctx.boards.address();
  ctx.link().SendCommand(poll ? pollFrame(address, broadcast, code)
                              : startFrame(address, broadcast, code));
  if (!poll) ctx.link().conversionStarted(conversionMicros(ctx, broadcast));
  const PecTable& pec = pecTable();
  LogCommand(ctx, name, code, pec.CalcPec(code), pec.CalcPec(address), broadcast);
  return broadcast;
}

std::string startCode(char high, std::string_view select) {
  const bool hexDigit = select.size() == 1 && ((select[0] >= '0' && select[0] <= '9') ||
                                               (select[0] >= 'A' && select[0] <= 'F'));
  if (!hexDigit) {
    throw std::invalid_argument("conversion select '" + std::string(select) +
                                "' is not one hex digit");
  }
  return std::string(1, high) + std::string(select);
}

}  // namespace

bool StartConversion(ui::Context& ctx, int kind, std::string_view select) {
  if (kind < 0 || kind >= static_cast<int>(kCellStarts.size())) return false;
  const StartCommand& s = kCellStarts[static_cast<std::size_t>(kind)];
  return sendLogged(ctx, s.name, s.table, startCode(s.high, select), false);
}

bool StartTemperatureConversion(ui::Context& ctx, std::string_view select) {
  const StartCommand& s = kTemperatureStart;
  return sendLogged(ctx, s.name, s.table, startCode(s.high, select), false);
}

void SendPoll(ui::Context& ctx, int which) {
  if (which == 0) sendLogged(ctx, "PLADC", BroadcastCommand::PLADC, "40", true);
  if (which == 1) sendLogged(ctx, "PLINT", BroadcastCommand::PLINT, "50", true);
}

// The keep-alive writes no log row.
void SendBroadcastPladc(ui::Context& ctx) {
  ctx.link().SendCommand(broadcastPladcFrame());
}

}  // namespace kb::monitor
