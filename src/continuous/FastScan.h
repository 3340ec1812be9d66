#pragma once
// Fast scan: a continuous read that refreshes every board in every tick, beside the three-step
// cycle that reads one board per three ticks. Per tick: one broadcast cell conversion start; one
// transaction with every board's RDCV frame and then the broadcast temperature start; one
// transaction with every board's RDTMP and RDFLG frames. Each frame is the one the single reads
// send; the read procedures then take their frame's share of the reply, so PEC judging, the
// transfer log and the readings stream stay as they are. With the held link a tick takes about
// 35 ms of link time for ten boards.
//
// The "Options" menu: "Held link" (the link mode, at once) and "Fast scan" (from the next start
// of the continuous read).
namespace kb::ui {
struct Context;
}

namespace kb::continuous {

// Registers the two menu items and the state variables "FastScan" and "HeldLink".
void wireSpeedOptions(ui::Context& ctx);

// Called when the continuous read starts: fast scan runs from now if it is chosen.
void startFastScan(ui::Context& ctx);
// Called when it stops.
void stopFastScan(ui::Context& ctx);

// One tick of fast scan: every board's cells, temperatures and flags.
void runFastScan(ui::Context& ctx);

}  // namespace kb::continuous
