// The alarm list as the operator reads it: rows newest first naming board, cell, limit and value,
// the unacknowledged mark and the status line's counts, acknowledging through the book.
#include <gtest/gtest.h>

#include <vector>

#include "ScriptProgram.h"
#include "alarms/AlarmList.h"
#include "context/Context.h"

namespace kb::alarms {
namespace {

TEST(AlarmListTest, RowsNameTheAlarmAndAcknowledgingClearsTheMarkOnly) {
  // Cell 3 above a VOV of 4.2 V, cell 5 below a VUV of 3.0 V.
  test::ScriptProgram p("sim:cell=1:3:4.3,cell=1:5:2.5,fault=pec:0");
  ASSERT_TRUE(p.loaded);
  ui::Context& ctx = p.session->window().context();
  std::vector<Event> events;
  ctx.alarmEvents.subscribe([&](Event e, const Alarm&) { events.push_back(e); });
  ASSERT_EQ(p.script("wait 60\nclick Command0 1\ntype Text2 1 4.2\ntype Text2 0 3.0\n"
                     "click Command1 5\nclick Command1 2\nclick Command1 7\n"),
            0);
  EXPECT_EQ(alarmStatusText(ctx.alarmBook), "Alarms: 2 active, 2 unacknowledged");
  const std::vector<AlarmRow> rows = alarmRows(ctx.alarmBook, ctx.services.clock);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_GT(rows[0].id, rows[1].id);  // newest first
  const AlarmRow& over = rows[0].channel == "cell 3" ? rows[0] : rows[1];
  EXPECT_EQ(over.board, "1");
  EXPECT_EQ(over.channel, "cell 3");
  EXPECT_EQ(over.limit, "4.2000 V");
  EXPECT_EQ(over.value.substr(0, 3), "4.3");
  EXPECT_EQ(over.raised, "08:01:00");
  EXPECT_EQ(over.cleared, "");
  EXPECT_TRUE(over.active);
  EXPECT_FALSE(over.acknowledged);

  ASSERT_TRUE(acknowledgeAlarm(ctx, over.id));
  EXPECT_FALSE(acknowledgeAlarm(ctx, over.id));
  EXPECT_FALSE(acknowledgeAlarm(ctx, 99));
  EXPECT_EQ(events.back(), Event::Acknowledged);
  EXPECT_EQ(alarmStatusText(ctx.alarmBook), "Alarms: 2 active, 1 unacknowledged");
  ASSERT_EQ(p.script("print AlarmsActive\nprint AlarmsUnacknowledged\nmenu Alarms\n"), 0);
  EXPECT_EQ(p.out.str(), "AlarmsActive = 2\nAlarmsUnacknowledged = 1\n");
  EXPECT_TRUE(ctx.alarmList.open);
}

}  // namespace
}  // namespace kb::alarms
