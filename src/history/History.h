#pragma once
// The in-memory history: every cell voltage and temperature the stack read since start-up, per
// board, with its time, and the VUV/VOV last written to each board's chip. Fed by the readings
// stream (wire it with history::wire); the trend window and the runner read it.
//
// Memory is bounded: kMemoryCapBytes (64 MiB) for ten boards, a tenth of it per board, split
// between the board's cell table (56 bytes a read) and its temperature table (20 bytes a read):
// each holds up to kRowsPerBoard reads. When a table is full, the older half of it is thinned to
// every second read, so the newest reads stay at full resolution and the oldest grow sparser.
// The continuous read reaches a board every 3 ticks x boards; 24 hours on 10 boards are 28 800
// reads a board, well inside the cap; one board read for a day is thinned to fit.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/Boards.h"
#include "context/Readings.h"

namespace kb::history {

inline constexpr int kCells = 12;
inline constexpr int kTemperatures = 3;  // ETMP1, ETMP2, ITMP
inline constexpr std::size_t kMemoryCapBytes = std::size_t{64} << 20;
inline constexpr std::size_t kCellRowBytes = sizeof(std::int64_t) + kCells * sizeof(float);
inline constexpr std::size_t kTemperatureRowBytes =
    sizeof(std::int64_t) + kTemperatures * sizeof(float);
inline constexpr std::size_t kRowsPerBoard =
    kMemoryCapBytes / kMaxBoards / (kCellRowBytes + kTemperatureRowBytes);

// Timed rows of a fixed number of values; a value not read is NaN. Times never decrease.
class Table {
 public:
  Table(int channels, std::size_t maxRows);

  // Thins the older half first when the table is full.
  void append(std::int64_t timeMicros, const float* values);

  int channels() const { return channels_; }
  std::size_t size() const { return times_.size(); }
  std::int64_t time(std::size_t row) const { return times_[row]; }
  float value(std::size_t row, int channel) const {
    return values_[row * static_cast<std::size_t>(channels_) + static_cast<std::size_t>(channel)];
  }
  const float* row(std::size_t row) const {
    return values_.data() + row * static_cast<std::size_t>(channels_);
  }
  // Rows in which the channel was read.
  std::size_t count(int channel) const { return counts_[static_cast<std::size_t>(channel)]; }
  // First row at or after the time.
  std::size_t lowerBound(std::int64_t timeMicros) const;
  // Memory held, reserved capacity included.
  std::size_t bytes() const;
  std::size_t maxRows() const { return maxRows_; }

 private:
  void grow();
  void thin();
  void recount();

  int channels_;
  std::size_t maxRows_;
  std::vector<std::int64_t> times_;
  std::vector<float> values_;
  std::vector<std::size_t> counts_;
};

// VUV and VOV in volts as last written to a board's chip.
struct Limits {
  bool known = false;
  double vuv = 0.0;
  double vov = 0.0;
};

class History {
 public:
  explicit History(std::size_t rowsPerBoard = kRowsPerBoard);

  // Keeps what the trends need: intact cell and temperature reads (a self test's patterns and a
  // read that failed its PEC are not measurements of the stack) and the limits of every write.
  void add(const readings::Reading& reading);

  // board 0..9
  const Table& cells(int board) const { return boards_[static_cast<std::size_t>(board)].cells; }
  const Table& temperatures(int board) const {
    return boards_[static_cast<std::size_t>(board)].temperatures;
  }
  const Limits& limits(int board) const { return boards_[static_cast<std::size_t>(board)].limits; }

  // Counts every change, so a view knows when to redraw.
  std::uint64_t revision() const { return revision_; }
  // Time of the first and the newest row kept (both 0 when nothing is kept).
  std::int64_t firstTime() const { return first_; }
  std::int64_t lastTime() const { return last_; }
  std::size_t bytes() const;

 private:
  struct Board {
    explicit Board(std::size_t rows) : cells(kCells, rows), temperatures(kTemperatures, rows) {}
    Table cells;
    Table temperatures;
    Limits limits;
  };
  void keep(Table& table, const readings::Reading& reading);

  std::vector<Board> boards_;
  std::uint64_t revision_ = 0;
  std::int64_t first_ = 0;
  std::int64_t last_ = 0;
  bool any_ = false;
};

}  // namespace kb::history
