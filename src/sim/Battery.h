#pragma once
// The simulated cells, twelve per board, with their temperature sensors.
//
// A cell's voltage changes linearly while something draws on it or feeds it:
//   discharge through its monitor's DCC switch   -kDischargeRate
//   balancer discharge                           -kBalanceRate
//   balancer charge                              +kBalanceRate
// (rates add up), held within kMinVolts..kMaxVolts. At 10 mV/s a 3 s balancing step moves a cell
// by 30 mV, twenty codes of the monitor. The battery moves lazily: every read or change carries
// the simulated time and the battery first advances to it; time never runs backwards here.
//
// Board and cell arguments are 0-based indexes (board 0..9, cell 0..11).
#include <array>
#include <cstdint>
#include <vector>

#include "sim/SimOptions.h"
#include "sim/SimTime.h"

namespace kb::sim {

inline constexpr int kCellsPerBoard = 12;
inline constexpr int kSensorsPerBoard = 2;
inline constexpr double kDischargeRate = 0.005;  // V/s
inline constexpr double kBalanceRate = 0.010;    // V/s
inline constexpr double kMinVolts = 0.0;
inline constexpr double kMaxVolts = 5.0;

enum class BalanceAction { None, Discharge, Charge };

class Battery {
 public:
  // Starting voltages spread deterministically around 3.6 V from the seed (3.55..3.65 V), then
  // the explicit starts override single cells (their board and cell are 1-based, as given).
  Battery(int boards, std::uint32_t seed, const std::vector<CellStart>& starts);

  int boards() const { return static_cast<int>(boards_.size()); }
  SimMicros time() const { return time_; }
  void advanceTo(SimMicros t);

  double cellVolts(int board, int cell, SimMicros t);
  void setCellVolts(int board, int cell, double volts, SimMicros t);
  void setDischarge(int board, int cell, bool on, SimMicros t);
  void setBalance(int board, int cell, BalanceAction action, SimMicros t);

  bool discharging(int board, int cell) const { return at(board, cell).discharge; }
  BalanceAction balance(int board, int cell) const { return at(board, cell).balance; }
  // Present rate of change of the cell in V/s.
  double rate(int board, int cell) const;

  // External sensor voltages (ETMP1, ETMP2) and the monitor's die temperature.
  double sensorVolts(int board, int sensor) const;
  void setSensorVolts(int board, int sensor, double volts);
  double dieCelsius(int board) const;
  void setDieCelsius(int board, double celsius);

 private:
  struct Cell {
    double volts = 3.6;
    bool discharge = false;
    BalanceAction balance = BalanceAction::None;
  };
  struct Board {
    std::array<Cell, kCellsPerBoard> cells;
    std::array<double, kSensorsPerBoard> sensors{};
    double dieCelsius = 25.0;
  };

  Cell& at(int board, int cell);
  const Cell& at(int board, int cell) const;

  std::vector<Board> boards_;
  SimMicros time_ = 0;
};

}  // namespace kb::sim
