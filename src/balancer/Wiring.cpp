#include "balancer/Balancer.h"
#include "balancer/ChipView.h"
#include "balancer/TimedBalance.h"
#include "balancer/TransferWatch.h"

namespace kb::balancer {

using form::Event;
using ui::StateVariables;

namespace {

// A bit box holds one digit: a typed "0" or "1" takes the place of what it held. Other keys are
// typed as usual and meet the box's change rule.
void bitBoxKeyPress(form::Control& box, int& key) {
  if (key != '0' && key != '1') return;
  box.setText(std::string(1, static_cast<char>(key)));
  key = 0;
}

void addChipTable(StateVariables& v, const char* name, const ChipTexts& table) {
  v.addTable(name, kChipSlots, [&table](int i) { return table[static_cast<std::size_t>(i)]; });
}

void addFlag(StateVariables& v, const char* name, const bool& flag) {
  v.add(name, [&flag] { return StateVariables::truth(flag); });
}

void addNumber(StateVariables& v, const char* name, const int& value) {
  v.add(name, [&value] { return StateVariables::number(value); });
}

void addVariables(ui::Context& ctx) {
  StateVariables& v = ctx.variables;
  const BalancerState& b = ctx.balancer;
  v.add("SPICommand", [&b] { return b.SPICommand; });
  addChipTable(v, "CommandDataHi", b.CommandDataHi);
  addChipTable(v, "CommandDataLo", b.CommandDataLo);
  addChipTable(v, "ReadbackDataHi", b.ReadbackDataHi);
  addChipTable(v, "ReadbackDataLo", b.ReadbackDataLo);
  addChipTable(v, "StatusDataHi", b.StatusDataHi);
  addChipTable(v, "StatusDataLo", b.StatusDataLo);
  addChipTable(v, "ReadbackCheck", b.ReadbackCheck);
  addChipTable(v, "StatusCheck", b.StatusCheck);
  addChipTable(v, "CellsPerChip", b.CellsPerChip);
  v.addTable("TopChipPresent", kTopChipSlots, [&b](int i) {
    return StateVariables::truth(b.TopChipPresent[static_cast<std::size_t>(i)]);
  });
  v.addTable("BalanceTime", kCellSlots, [&b](int i) {
    std::string text = std::to_string(b.BalanceTime[static_cast<std::size_t>(i)]);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
  });
  addNumber(v, "BalancerBoardCount", b.BalancerBoardCount);
  addNumber(v, "ChipCount", b.ChipCount);
  addNumber(v, "TopChipIndex", b.TopChipIndex);
  addFlag(v, "BalancerBusy", b.BalancerBusy);
  addFlag(v, "ExecutingBoard1", b.ExecutingBoard1);
  addFlag(v, "ExecutingOtherBoards", b.ExecutingOtherBoards);
  addFlag(v, "CommandWritten", b.CommandWritten);
  addFlag(v, "AnyActionSet", b.AnyActionSet);
  addFlag(v, "ForceGlobalScope", b.ForceGlobalScope);
  addFlag(v, "BalancerPathOpen", b.pathOpen);
  addFlag(v, "BalancerPathGlobal", b.pathGlobal);
}

}  // namespace

void wire(ui::Context& ctx) {
  form::Form& f = ctx.form();
  ui::Context* c = &ctx;
  auto& h = ctx.c;
  f.on(Event::Click, h.Option_1, [c](int i) { Option_1_Click(*c, i); });
  f.on(Event::Change, h.Text_1, [c](int i) { Text_1_Change(*c, i); });
  f.onKeyPress(h.Text_1, [c](int i, int& key) { bitBoxKeyPress(c->c.Text_1[i], key); });
  f.on(Event::Click, h.Command_1, [c](int) { Command_1_Click(*c); });
  f.on(Event::Click, h.Check_3, [c](int) { Check_3_Click(*c); });
  f.on(Event::Click, h.Option_2, [c](int i) { Option_2_Click(*c, i); });
  f.on(Event::Click, h.Option4, [c](int i) { Option4_Click(*c, i); });
  f.on(Event::Click, h.Combo_3, [c](int) { Combo_3_Click(*c); });
  f.on(Event::Click, h.Combo_2, [c](int) { Combo_2_Click(*c); });
  f.on(Event::Click, h.Check_1, [c](int i) { Check_1_Click(*c, i); });
  f.on(Event::Change, h.Text_5, [c](int i) { Text_5_Change(*c, i); });
  f.onKeyPress(h.Text_5, [c](int i, int& key) {
    if (i <= 3) bitBoxKeyPress(c->c.Text_5[i], key);
  });
  addVariables(ctx);
  wireTimed(ctx);
  watchTransfers(ctx);
}

void Balancer_Load(ui::Context& ctx) {
  Option4_Click(ctx, 0);
  Option_2_Click(ctx, 0);
  SetSPICommand(ctx);
  InitializeCommandData(ctx);
  InitializeBalTime(ctx);
}

}  // namespace kb::balancer
