#include "alarms/AlarmList.h"

#include <cstdio>

#include "common/Clock.h"
#include "context/Context.h"

namespace kb::alarms {

namespace {

std::string volts(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f V", v);
  return text;
}

std::string reads(double n) {
  return std::to_string(static_cast<long>(n)) + " reads";
}

void describe(const Alarm& a, AlarmRow& row) {
  switch (a.kind) {
    case Kind::OverVoltage:
    case Kind::UnderVoltage:
      row.channel = "cell " + std::to_string(a.channel);
      row.limit = volts(a.limit);
      row.value = volts(a.value);
      break;
    case Kind::Thermal:
      row.channel = "thermal bit";
      break;
    case Kind::PecFailures:
      row.channel = "monitor";
      row.limit = reads(a.limit);
      row.value = reads(a.value);
      break;
    case Kind::BalancerFault:
      row.channel = std::string(a.channel % 2 == 0 ? "bottom" : "top") + " balancer (IC #" +
                    std::to_string(a.channel + 1) + ")";
      row.limit = reads(a.limit);
      row.value = reads(a.value);
      break;
    case Kind::NotAnswering:
      row.channel = "controller";
      break;
  }
}

}  // namespace

std::string clockTime(const Clock& clock, std::int64_t micros) {
  // The clock's present time of day, moved back by how long ago the moment was.
  const std::int64_t now = clock.microsSinceMidnight();
  std::int64_t t = (now - (clock.elapsedMicros() - micros)) % kMicrosPerDay;
  if (t < 0) t += kMicrosPerDay;
  const auto seconds = static_cast<int>(t / kMicrosPerSecond);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  return text;
}

std::vector<AlarmRow> alarmRows(const Book& book, const Clock& clock) {
  const std::vector<Alarm>& all = book.all();
  std::vector<AlarmRow> rows;
  rows.reserve(all.size());
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    const Alarm& a = *it;
    AlarmRow row;
    row.id = a.id;
    row.active = a.active();
    row.acknowledged = a.acknowledged;
    row.raised = clockTime(clock, a.raisedMicros);
    if (!a.active()) row.cleared = clockTime(clock, a.clearedMicros);
    if (a.board >= 0) row.board = std::to_string(a.board + 1);
    describe(a, row);
    row.text = a.text;
    rows.push_back(std::move(row));
  }
  return rows;
}

int unacknowledgedActive(const Book& book) {
  int n = 0;
  for (const Alarm& a : book.all()) n += a.active() && !a.acknowledged ? 1 : 0;
  return n;
}

std::string alarmStatusText(const Book& book) {
  const int active = book.activeCount();
  if (active == 0) return "Alarms: none active";
  return "Alarms: " + std::to_string(active) + " active, " +
         std::to_string(unacknowledgedActive(book)) + " unacknowledged";
}

bool acknowledgeAlarm(ui::Context& ctx, int id) {
  return ctx.alarmBook.acknowledge(id, ctx.services.clock.elapsedMicros());
}

void wireList(ui::Context& ctx) {
  const Book* book = &ctx.alarmBook;
  ctx.variables.add("AlarmsUnacknowledged",
                    [book] { return ui::StateVariables::number(unacknowledgedActive(*book)); });
  ui::Context* c = &ctx;
  ctx.main->onMenu("mnuAlarms", [c] { mnuAlarms_Click(*c); });
}

void mnuAlarms_Click(ui::Context& ctx) {
  ctx.alarmList.open = true;
}

}  // namespace kb::alarms
