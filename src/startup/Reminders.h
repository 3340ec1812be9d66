#pragma once
// Next-step reminders: READ CONFIG after a write, READCELLVOLT after a conversion start,
// READ TEMP after a temperature conversion start.
#include <array>

namespace kb::startup {

enum class Reminder { ReadConfig = 0, ReadCells = 1, ReadTemp = 2 };
inline constexpr int kReminders = 3;

inline constexpr int kReminderIdle = 0;
inline constexpr int kReminderArmed = 1;
inline constexpr int kReminderRelease = 2;
inline constexpr int kReminderSuspended = 3;

struct ReminderState {
  std::array<int, kReminders> state{};
  std::array<std::array<int, 11>, kReminders> needsReading{};
  // Whether the command that armed each reminder went out as a broadcast.
  std::array<bool, kReminders> armedByBroadcast{};
};

}  // namespace kb::startup
