#pragma once
// The balancer procedures: the command byte and SEND of the "SPI CONTROL" frame, and the editing
// of the two chips' command words on the balancer tab.
namespace kb::ui {
struct Context;
}

namespace kb::balancer {

// Registers the procedures of the balancer tab and the balancer's state variables.
void wire(ui::Context& ctx);

// Start-up: the top and bottom chips' action option handlers, SetSPICommand,
// InitializeCommandData and InitializeBalTime, in that order.
void Balancer_Load(ui::Context& ctx);

// ---- Command word and transfer ----------------------------------------------------------------

// SPICommand from the bit boxes Text_1: bit i is set when the box's value is 1.
void SetSPICommand(ui::Context& ctx);
// Command mode choice: mode bits of WRITE .. EXECUTE, then the parity (inverted for SUSPEND).
void Option_1_Click(ui::Context& ctx, int index);
// Address bit edit: a bit of 7..3 that is not "0" or "1" gets its default digit back.
void Text_1_Change(ui::Context& ctx, int index);
// Every word to none, every read-back to "00", every board with its top chip.
void InitializeCommandData(ui::Context& ctx);
// SEND: one balancer transfer of the chosen mode for the current board, inside the opened path.
void Command_1_Click(ui::Context& ctx);
// Checks of the shown board's read-back and status words: "OK" or "ERROR", in the tables and the
// result labels.
void CheckCommandReadback(ui::Context& ctx);
void CheckStatusReadback(ui::Context& ctx);
// "Poll": the keep-alive on or off.
void Check_3_Click(ui::Context& ctx);

// ---- Command editing ---------------------------------------------------------------------------

// Action option of the bottom (Option_2) or top (Option4) chip: rebuilds and stores its word.
void Option_2_Click(ui::Context& ctx, int index);
void Option4_Click(ui::Context& ctx, int index);
// Cells in use of the bottom (Combo_3) or top (Combo_2) chip.
void Combo_3_Click(ui::Context& ctx);
void Combo_2_Click(ui::Context& ctx);
// "TOS": whether the top board of the stack carries its top chip (entries 2 and 3 mirror).
void Check_1_Click(ui::Context& ctx, int index);
// Hand edit of the top chip's CRC bits Text_5(0..3).
void Text_5_Change(ui::Context& ctx, int index);
// Rewrites the panel's options and bits from the tables for board b.
void UpdateCommandData(ui::Context& ctx, int board);
// Shows the current board's two chips.
void ShowBoardBalancer(ui::Context& ctx);
// Enables the shown chips' controls as their presence and cells in use allow.
void enableChipOptions(ui::Context& ctx);
// Re-initialises the balancer data for a chain of boardCount boards.
void SetupBalancerChain(ui::Context& ctx, int boardCount);
// Every balance time 0, every time box "0", the timed run back at "START".
void InitializeBalTime(ui::Context& ctx);

// ---- The balancer's part of the board-count change ------------------------------------------

// "Broadcast Execute/Suspend" for the new number of boards: hidden and cleared for one board;
// shown and ticked when it was hidden and the stack has two boards or more.
void Check_5_FollowBoardCount(ui::Context& ctx, int boardCount);
// A count other than BalancerBoardCount sets the chain up again and shows the current board.
void BalancerBoardCountChange(ui::Context& ctx, int boardCount);

}  // namespace kb::balancer
