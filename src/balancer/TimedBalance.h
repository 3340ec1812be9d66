#pragma once
// Timed balancing: per-cell balance times, the schedule that executes every chosen action at once
// and, each time the shortest remaining time runs out, suspends, sets the finished cells to none
// and executes the rest again; the balancer keep-alive and the cell-flag check run by the timer.
#include <string>

namespace kb::ui {
struct Context;
}

namespace kb::balancer {

// Registers the procedures of the timed-balancing controls and their state variables.
void wireTimed(ui::Context& ctx);

// ---- Texts ---------------------------------------------------------------------------------

inline constexpr const char* kTimeRangeMessage = "Time must be between 0 and 99999 seconds";
inline constexpr double kMaxBalanceTime = 99999.0;

// h:mm:ss of a time in seconds ("1:02:05" for 3725); negative times read "0:00:00".
std::string hmsText(double seconds);
// A balance time as its box shows it: one decimal from 1000 s up (none when it is whole), else
// whole seconds.
std::string balanceTimeText(double seconds);

// ---- Times -----------------------------------------------------------------------------------

// Time entry of cell i (0..5) of the shown board, when its box loses the focus or takes Enter:
// Text9 is the bottom chip, Text_8 the top chip.
void Text9_LostFocus(ui::Context& ctx, int index);
void Text_8_LostFocus(ui::Context& ctx, int index);
// TotalTime and NextStopTime from the balance times, shown in the time labels.
void CalcBalanceTime(ui::Context& ctx);

// ---- The schedule ----------------------------------------------------------------------------

// START / PAUSE / CONTINUE.
void Check_4_Click(ui::Context& ctx);
void StartBalance(ui::Context& ctx);
// One run: the words written and read back, then EXECUTE with the clock started.
void NextCell(ui::Context& ctx);
// The timer's step while Check_4 is ticked: suspends at the stop time, else shows the times left.
void balanceClockTick(ui::Context& ctx);
// SUSPEND, then every cell's time less the run's elapsed time; finished cells set to none.
void SuspendBalancer(ui::Context& ctx);
// Every word none, written and executed on every board; all times 0.
void StopBalancer(ui::Context& ctx);
// The words and times saved at START back.
void ResetBalancer(ui::Context& ctx);
// RESET (0), OFF (1), DEMO (2).
void Command_2_Click(ui::Context& ctx, int index);
// "TIMED BALANCE": shows or hides the timed-balancing controls.
void Check_6_Click(ui::Context& ctx);
// While a run is running or paused: SEND, the command modes, the action options and the time
// boxes stay locked. Run after every rewrite of the balancer panel.
void applyTimedLock(ui::Context& ctx);
// What a run locked is free again (the run has ended).
void releaseTimedLock(ui::Context& ctx);

// ---- Timer services --------------------------------------------------------------------------

// The balancer keep-alive: every second call opens the path of every board and sends a READ
// COMMAND byte, and the "WDT" label blinks with it. Ends the polling when no action is set.
void BalancerKeepAlive(ui::Context& ctx);
// Sums the flag bytes of the balanced boards; a UV or OV flag suspends balancing with a message.
void CheckCellFlags(ui::Context& ctx);

}  // namespace kb::balancer
