#include "history/History.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "config/ConfigRegisters.h"

namespace kb::history {

namespace {
constexpr std::size_t kFirstRows = 1024;
constexpr float kNotRead = std::numeric_limits<float>::quiet_NaN();
}  // namespace

Table::Table(int channels, std::size_t maxRows)
    : channels_(channels),
      maxRows_(std::max<std::size_t>(maxRows, 4)),
      counts_(static_cast<std::size_t>(channels), 0) {}

void Table::append(std::int64_t timeMicros, const float* values) {
  if (times_.size() == times_.capacity()) grow();
  if (times_.size() == maxRows_) thin();
  times_.push_back(timeMicros);
  for (int c = 0; c < channels_; ++c) {
    values_.push_back(values[c]);
    if (!std::isnan(values[c])) ++counts_[static_cast<std::size_t>(c)];
  }
}

void Table::grow() {
  // Grown by hand so that the capacity never passes the table's share of the cap.
  const std::size_t rows = std::min(maxRows_, std::max(kFirstRows, 2 * times_.capacity()));
  if (rows <= times_.capacity()) return;
  times_.reserve(rows);
  values_.reserve(rows * static_cast<std::size_t>(channels_));
}

void Table::thin() {
  // Every second row of the older half goes; the newer half stays whole.
  const std::size_t n = times_.size();
  const std::size_t half = n / 2;
  const auto width = static_cast<std::size_t>(channels_);
  std::size_t out = 0;
  for (std::size_t in = 0; in < n; ++in) {
    if (in < half && in % 2 == 1) continue;
    times_[out] = times_[in];
    std::copy_n(values_.begin() + static_cast<std::ptrdiff_t>(in * width), width,
                values_.begin() + static_cast<std::ptrdiff_t>(out * width));
    ++out;
  }
  times_.resize(out);
  values_.resize(out * width);
  recount();
}

void Table::recount() {
  std::fill(counts_.begin(), counts_.end(), 0);
  const auto width = static_cast<std::size_t>(channels_);
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (!std::isnan(values_[i])) ++counts_[i % width];
  }
}

std::size_t Table::lowerBound(std::int64_t timeMicros) const {
  return static_cast<std::size_t>(std::lower_bound(times_.begin(), times_.end(), timeMicros) -
                                  times_.begin());
}

std::size_t Table::bytes() const {
  return times_.capacity() * sizeof(std::int64_t) + values_.capacity() * sizeof(float);
}

History::History(std::size_t rowsPerBoard) {
  boards_.reserve(kMaxBoards);
  for (int b = 0; b < kMaxBoards; ++b) boards_.emplace_back(rowsPerBoard);
}

void History::add(const readings::Reading& r) {
  using readings::Kind;
  if (r.kind == Kind::ConfigWrite && r.bytes.size() >= 6) {
    Limits limits;
    limits.known = true;
    limits.vuv = config::codeToVolts(config::Limit::VUV, r.bytes[4]);
    limits.vov = config::codeToVolts(config::Limit::VOV, r.bytes[5]);
    // A broadcast write reaches every board.
    for (int b = 0; b < kMaxBoards; ++b) {
      if (r.board == b || r.board == -1) boards_[static_cast<std::size_t>(b)].limits = limits;
    }
    ++revision_;
    return;
  }
  if (r.kind != Kind::Cells && r.kind != Kind::Temperatures) return;
  if (r.board < 0 || r.board >= kMaxBoards) return;
  if (r.origin == readings::Origin::SelfTest || r.check == readings::Check::Mismatch) return;
  Board& board = boards_[static_cast<std::size_t>(r.board)];
  keep(r.kind == Kind::Cells ? board.cells : board.temperatures, r);
}

void History::keep(Table& table, const readings::Reading& r) {
  std::array<float, kCells> values{};
  const auto n = static_cast<std::size_t>(table.channels());
  for (std::size_t c = 0; c < n; ++c) {
    values[c] = c < r.volts.size() ? static_cast<float>(r.volts[c]) : kNotRead;
  }
  // Times never run backwards in a table; the program's clock is monotonic.
  const std::int64_t t =
      table.size() == 0 ? r.timeMicros : std::max(r.timeMicros, table.time(table.size() - 1));
  table.append(t, values.data());
  if (!any_) first_ = t;
  any_ = true;
  last_ = std::max(last_, t);
  ++revision_;
}

std::size_t History::bytes() const {
  std::size_t total = 0;
  for (const Board& b : boards_) total += b.cells.bytes() + b.temperatures.bytes();
  return total;
}

}  // namespace kb::history
