#include "config/ConfigEditor.h"
#include "config/VoltageLimits.h"
#include "context/Context.h"

namespace kb::config {

using form::Event;
using ui::StateVariables;

namespace {
std::string joined(const ConfigRecord& record) {
  std::string s;
  for (const std::string& r : record) s += (s.empty() ? "" : " ") + r;
  return s;
}
}  // namespace

void wire(ui::Context& ctx) {
  form::Form& f = ctx.form();
  ui::Context* c = &ctx;
  auto& k = ctx.c;
  f.on(Event::Click, k.Check0, [c](int i) { Check0_Click(*c, i); });
  f.on(Event::Click, k.Command0, [c](int i) { Command0_Click(*c, i); });
  f.on(Event::Click, k.Option1, [c](int i) { Option1_Click(*c, i); });
  f.on(Event::Click, k.Option3, [c](int i) { Option3_Click(*c, i); });
  f.on(Event::Click, k.Check1, [c](int) { rebuildDischargeMask(*c, 1); });
  f.on(Event::Click, k.Check2, [c](int) { rebuildDischargeMask(*c, 2); });
  f.on(Event::Click, k.Check3, [c](int) { rebuildDischargeMask(*c, 3); });
  f.on(Event::GotFocus, k.Text2, [c](int i) { Text2_GotFocus(*c, i); });
  f.onKeyPress(k.Text2, [c](int i, int& key) { Text2_KeyPress(*c, i, key); });
  f.on(Event::LostFocus, k.Text2, [c](int i) { Text2_LostFocus(*c, i); });

  StateVariables& v = ctx.variables;
  const auto slot = [](int i) { return static_cast<std::size_t>(i); };
  v.add("ConfigPending", [c] { return StateVariables::number(c->config.ConfigPending); });
  v.add("TenCellFlag", [c] { return StateVariables::number(c->config.tenCellFlag); });
  v.addTable("CDC", kBoardSlots,
             [c, slot](int i) { return StateVariables::number(c->config.cdc[slot(i)]); });
  v.addTable("VUVcode", kBoardSlots, [c](int i) { return StateVariables::number(vuvCode(*c, i)); });
  v.addTable("VOVcode", kBoardSlots, [c](int i) { return StateVariables::number(vovCode(*c, i)); });
  // The six registers of a board, CFGR0 first, separated by blanks.
  v.addTable("EditConfig", kBoardSlots,
             [c, slot](int i) { return joined(c->config.edit[slot(i)]); });
  v.addTable("WrittenConfig", kBoardSlots,
             [c, slot](int i) { return joined(c->config.written[slot(i)]); });
  v.addTable("ReadConfig", kBoardSlots,
             [c, slot](int i) { return joined(c->config.read[slot(i)]); });
  v.addTable("ReadVUV", kBoardSlots, [c, slot](int i) { return c->config.readVuvVolts[slot(i)]; });
  v.addTable("ReadVOV", kBoardSlots, [c, slot](int i) { return c->config.readVovVolts[slot(i)]; });
}

}  // namespace kb::config
