#pragma once
// The main window's timer and the continuous read cycle: every 100 ms the tick serves the
// monitors' watchdog (or the balancer keep-alive and its balancing checks), runs the balance
// clock, does one step of the continuous read when it runs and refreshes the watchdog indicator.
namespace kb::ui {
struct Context;
}

namespace kb::continuous {

// Registers the tick and the cycle's state variables.
void wireCycle(ui::Context& ctx);

// The tick of Timer1.
void Timer1_Timer(ui::Context& ctx);
// A tick while a message box of the program is open: only the watchdog keep-alive (or the
// balancer keep-alive while balancing) goes out on its schedule, so the chips keep their
// configuration; nothing else of the tick runs, and the procedure that opened the box is not
// entered again.
void Timer1_KeepAliveOnly(ui::Context& ctx);

// "START CONTINUOUS READ CELLS" / "STOP  CONTINUOUS READ CELLS".
void ToggleContinuousRead(ui::Context& ctx);
// Stops the cycle if it runs (before a poll, the low-current standby, an EXECUTE, "Poll").
void StopContinuousRead(ui::Context& ctx);

// One step of the cycle for CycleBoard, then on to the next step and board.
void RunCycleStep(ui::Context& ctx);

// Whether some board 0..LastBoardIndex was last written with a CDC other than 0.
bool AnyCdcSet(const ui::Context& ctx);
// Arms the watchdog service (the first keep-alive goes out on the next tick) when some CDC is set;
// otherwise ends it and, with it, any balancing.
void WatchdogArmCheck(ui::Context& ctx);

// Run by the dispatcher at the start of every main-button command: after a stop, the first
// command clears the cell status of every board.
void beforeButtonCommand(ui::Context& ctx);

// Texts of the watchdog status line Label_KA(1).
inline constexpr const char* kWdtPrevents = " PREVENTS WATCHDOG TIMEOUT.";
inline constexpr const char* kWdtContinuous = " COMMANDS BEING SENT CONTINUOUSLY.";
inline constexpr const char* kWdtPolling = " POLL ADC BEING SENT.";
inline constexpr int kWdtContinuousBlanks = 26;
inline constexpr int kWdtPollingBlanks = 61;

}  // namespace kb::continuous
