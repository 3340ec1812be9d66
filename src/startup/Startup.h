#pragma once
// Start-up of the main window and the monitor command dispatcher.
#include <string>

namespace kb::ui {
struct Context;
}

namespace kb::startup {

inline constexpr const char* kNotDetectedMessage =
    "QXB5520-1/QXM71X0 board not detected. Make sure board is connected and restart program.";

// Registers the procedures of the command buttons, "PEC Match Only" and the tab strip, and the
// state variables of start-up and the board set.
void wire(ui::Context& ctx);

// Whether a controller identity (the first nine characters of its answer to "IZ") is one the
// program works with.
bool recognisedControllerId(const std::string& id);

// Start-up; returns false when the controller was not detected and the program ends.
bool Form_Load(ui::Context& ctx);

// Closing the main window: the status window is unloaded with it and the program ends.
void Form_Unload(ui::Context& ctx);

// Runs the monitor command of button index i for the selected board.
void Command1_Click(ui::Context& ctx, int index);

// What every monitor button command does first: leave low-current standby and release chip
// select when a poll left it low.
void beginButtonCommand(ui::Context& ctx);

// "PEC Match Only": shows the transfer display mode that the check box selects.
void Check_AUTO_Click(ui::Context& ctx);

// Tab strip: the first tab shows the monitor panel, any other the balancer panel.
void TabStrip1_Click(ui::Context& ctx);

// Next-step reminders.
void armReminder(ui::Context& ctx, int reminder);
// The armed look alone: narrowed button, marker shown ("READCELL" for READCELLVOLT).
void showReminderArmed(ui::Context& ctx, int reminder);
// Board selection: each reminder shown armed when the current board needs its reading, else
// released.
void followBoardReminders(ui::Context& ctx);
void releaseReminder(ui::Context& ctx, int reminder);
void refreshReminders(ui::Context& ctx);
void resetReminder(ui::Context& ctx, int reminder);
void suspendReminders(ui::Context& ctx);
void resumeReminders(ui::Context& ctx);

}  // namespace kb::startup
