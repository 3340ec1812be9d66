#pragma once
// Cell voltages and temperatures of every board: their 12-bit codes as three hex digits and their
// values in volts, in two tables shared by cells and temperatures.
#include <array>
#include <string>

namespace kb::monitor {

inline constexpr int kMeasureSlots = 151;  // entries 0..150
inline constexpr int kCellsPerBoard = 12;
inline constexpr int kTemperatures = 3;
inline constexpr int kFirstTemperatureSlot = 121;

// Temperature inputs, in the order of their slots.
inline constexpr int kETMP1 = 0;
inline constexpr int kETMP2 = 1;
inline constexpr int kITMP = 2;

// Slot of cell 1..12 of a board (0..9).
constexpr int cellSlot(int board, int cell) {
  return board * kCellsPerBoard + cell;
}
// Slot of temperature k (kETMP1, kETMP2, kITMP) of a board.
constexpr int temperatureSlot(int board, int k) {
  return board * kTemperatures + kFirstTemperatureSlot + k;
}

struct MeasureState {
  std::array<std::string, kMeasureSlots> code{};  // "000".."FFF"; empty before the first read
  std::array<float, kMeasureSlots> volts{};
};

}  // namespace kb::monitor
