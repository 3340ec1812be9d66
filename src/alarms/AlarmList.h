#pragma once
// The alarm list ("View > Alarms") as the operator reads it: one row per alarm of the book,
// newest first, with the times raised and cleared, board, cell or sensor, limit and value; an
// alarm not yet acknowledged is marked until the operator acknowledges it. The Qt window shows
// these rows; the count of the status line comes from here too.
#include <cstdint>
#include <string>
#include <vector>

#include "alarms/Book.h"

namespace kb {
class Clock;
}
namespace kb::ui {
struct Context;
}

namespace kb::alarms {

struct AlarmListState {
  bool open = false;
};

struct AlarmRow {
  int id = 0;
  bool active = false;
  bool acknowledged = false;
  std::string raised;   // "08:12:30"
  std::string cleared;  // "" while active
  std::string board;    // "3", "" when not a board's
  std::string channel;  // "cell 7", "bottom chip (IC #5)", ""
  std::string limit;    // "4.2000 V", "5 reads", ""
  std::string value;    // "4.2315 V", "5 reads", ""
  std::string text;     // the alarm in words
};

// Time of day of a moment of the program's clock, "hh:mm:ss".
std::string clockTime(const Clock& clock, std::int64_t micros);
std::vector<AlarmRow> alarmRows(const Book& book, const Clock& clock);
// Active alarms the operator has not acknowledged yet.
int unacknowledgedActive(const Book& book);
// The status line's part: "Alarms: none active", "Alarms: 2 active, 1 unacknowledged".
std::string alarmStatusText(const Book& book);

// Acknowledges an alarm now (the book announces it, so it is recorded); false when it is unknown
// or was acknowledged before.
bool acknowledgeAlarm(ui::Context& ctx, int id);

// "View > Alarms" opens the list; AlarmsUnacknowledged for the runner.
void wireList(ui::Context& ctx);
void mnuAlarms_Click(ui::Context& ctx);

}  // namespace kb::alarms
