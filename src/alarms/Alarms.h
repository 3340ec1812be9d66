#pragma once
// The alarm engine's place in the program: fed by the readings stream, its book in the context.
namespace kb::ui {
struct Context;
}

namespace kb::alarms {

// Subscribes the context's engine to the readings stream and registers the state variable
// AlarmsActive (the number of alarms active now).
void wire(ui::Context& ctx);

}  // namespace kb::alarms
