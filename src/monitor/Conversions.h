#pragma once
// Conversion start and poll commands: write-only frames without data, addressed to the current
// board or broadcast as its choice for the command says, each followed by its log row.
#include <string_view>

namespace kb::ui {
struct Context;
}

namespace kb::monitor {

// Kinds of StartConversion.
inline constexpr int kStartSTCVAD = 0;
inline constexpr int kStartSTOWAD = 1;
inline constexpr int kStartSTCVDC = 2;
inline constexpr int kStartSTOWDC = 3;

// STCVAD, STOWAD, STCVDC or STOWDC with the select digit ("0" all cells, "1".."C" one cell, or a
// self-test digit). Returns whether it went out as a broadcast. Every shown board's cell voltages
// count as unread afterwards. A kind outside 0..3 sends nothing;
// a select that is not one hex digit is a fault of the caller (std::invalid_argument).
bool StartConversion(ui::Context& ctx, int kind, std::string_view select);

// STTMPAD with the select digit ("0" all, "1" ETMP1, "2" ETMP2, "3" ITMP, or a self-test digit).
// Returns whether it went out as a broadcast.
bool StartTemperatureConversion(ui::Context& ctx, std::string_view select);

// PLADC (0) or PLINT (1); leaves chip select low. Any other value sends nothing.
void SendPoll(ui::Context& ctx, int which);

// The fixed broadcast PLADC with chip select released: the watchdog keep-alive.
void SendBroadcastPladc(ui::Context& ctx);

}  // namespace kb::monitor
