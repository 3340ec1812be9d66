#include "sim/Battery.h"

#include <algorithm>
#include <cassert>

#include "sim/SimRandom.h"

namespace kb::sim {

Battery::Battery(int boards, std::uint32_t seed, const std::vector<CellStart>& starts)
    : boards_(static_cast<std::size_t>(std::max(boards, 0))) {
  // A stream of its own, so that other uses of the seed do not shift the starting values.
  SplitMix64 random(0xB477E27ull ^ (static_cast<std::uint64_t>(seed) << 20));
  for (Board& board : boards_) {
    for (Cell& cell : board.cells) cell.volts = 3.6 + (random.unit() - 0.5) * 0.1;
    for (double& sensor : board.sensors) sensor = 1.5 + (random.unit() - 0.5) * 0.2;
    board.dieCelsius = 25.0 + (random.unit() - 0.5) * 4.0;
  }
  for (const CellStart& start : starts) {
    if (start.board >= 1 && start.board <= this->boards() && start.cell >= 1 &&
        start.cell <= kCellsPerBoard) {
      at(start.board - 1, start.cell - 1).volts = std::clamp(start.volts, kMinVolts, kMaxVolts);
    }
  }
}

Battery::Cell& Battery::at(int board, int cell) {
  assert(board >= 0 && board < boards() && cell >= 0 && cell < kCellsPerBoard);
  return boards_[static_cast<std::size_t>(board)].cells[static_cast<std::size_t>(cell)];
}

const Battery::Cell& Battery::at(int board, int cell) const {
  assert(board >= 0 && board < boards() && cell >= 0 && cell < kCellsPerBoard);
  return boards_[static_cast<std::size_t>(board)].cells[static_cast<std::size_t>(cell)];
}

double Battery::rate(int board, int cell) const {
  const Cell& c = at(board, cell);
  double r = c.discharge ? -kDischargeRate : 0.0;
  if (c.balance == BalanceAction::Discharge) r -= kBalanceRate;
  if (c.balance == BalanceAction::Charge) r += kBalanceRate;
  return r;
}

void Battery::advanceTo(SimMicros t) {
  if (t <= time_) return;
  const double dt = secondsOf(t - time_);
  for (int b = 0; b < boards(); ++b) {
    for (int c = 0; c < kCellsPerBoard; ++c) {
      const double r = rate(b, c);
      if (r != 0.0) {
        Cell& cell = at(b, c);
        cell.volts = std::clamp(cell.volts + r * dt, kMinVolts, kMaxVolts);
      }
    }
  }
  time_ = t;
}

double Battery::cellVolts(int board, int cell, SimMicros t) {
  advanceTo(t);
  return at(board, cell).volts;
}

void Battery::setCellVolts(int board, int cell, double volts, SimMicros t) {
  advanceTo(t);
  at(board, cell).volts = std::clamp(volts, kMinVolts, kMaxVolts);
}

void Battery::setDischarge(int board, int cell, bool on, SimMicros t) {
  advanceTo(t);
  at(board, cell).discharge = on;
}

void Battery::setBalance(int board, int cell, BalanceAction action, SimMicros t) {
  advanceTo(t);
  at(board, cell).balance = action;
}

double Battery::sensorVolts(int board, int sensor) const {
  return boards_.at(static_cast<std::size_t>(board)).sensors.at(static_cast<std::size_t>(sensor));
}

void Battery::setSensorVolts(int board, int sensor, double volts) {
  boards_.at(static_cast<std::size_t>(board)).sensors.at(static_cast<std::size_t>(sensor)) = volts;
}

double Battery::dieCelsius(int board) const {
  return boards_.at(static_cast<std::size_t>(board)).dieCelsius;
}

void Battery::setDieCelsius(int board, double celsius) {
  boards_.at(static_cast<std::size_t>(board)).dieCelsius = celsius;
}

}  // namespace kb::sim
