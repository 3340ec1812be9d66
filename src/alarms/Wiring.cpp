#include "alarms/Alarms.h"

#include "context/Context.h"

namespace kb::alarms {

void wire(ui::Context& ctx) {
  Engine* engine = &ctx.alarmEngine;
  ctx.readings.subscribe([engine](const readings::Reading& r) { engine->onReading(r); });
  const Book* book = &ctx.alarmBook;
  ctx.variables.add("AlarmsActive",
                    [book] { return ui::StateVariables::number(book->activeCount()); });
}

}  // namespace kb::alarms
