#pragma once
// The self-test panel: the pattern choice Option2 and the buttons Command5, run as monitor button
// commands.
namespace kb::ui {
struct Context;
}

namespace kb::startup {

// Pattern choice Option2: 0 "0x555" (E), 1 "0xAAA" (F), 2 "0xFFF" (D). Sets SelfTestVariant and
// the tool tips of the five test starts. Any other index does nothing.
void Option2_Click(ui::Context& ctx, int index);

// Command5: 0 "CELL VOLT", 1 "OPEN WIRE", 5 "CELL DCC", 6 "OPEN DCC" start a cell test; 2
// "ALL TEMP " starts a temperature test; 3 "READCELL HEX VIEW" and 4 "READTEMP HEX VIEW" read
// back in hexadecimal and compare when a test was started.
void Command5_Click(ui::Context& ctx, int index);

// Registers the procedures and state variables of the self tests.
void wireSelfTests(ui::Context& ctx);

}  // namespace kb::startup
