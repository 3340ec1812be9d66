#include "history/Trend.h"

#include <algorithm>
#include <cmath>

namespace kb::history {

namespace {

struct Span {
  std::size_t begin;
  std::size_t end;
};

Span rowsWithin(const Table& table, std::int64_t from, std::int64_t to) {
  if (to < from) return {0, 0};
  const std::size_t begin = table.lowerBound(from);
  const std::size_t end = to == INT64_MAX ? table.size() : table.lowerBound(to + 1);
  return {begin, std::max(begin, end)};
}

// Which of `slices` equal spans of from..to a time falls in.
int sliceOf(std::int64_t t, std::int64_t from, std::int64_t to, int slices) {
  const double width = static_cast<double>(to) - static_cast<double>(from) + 1.0;
  const double at = (static_cast<double>(t) - static_cast<double>(from)) / width;
  return std::clamp(static_cast<int>(at * slices), 0, slices - 1);
}

}  // namespace

std::vector<Point> envelope(const Table& table, int channel, std::int64_t from, std::int64_t to,
                            int slices) {
  const Span s = rowsWithin(table, from, to);
  std::vector<Point> out;
  slices = std::max(slices, 1);
  const bool reduce = s.end - s.begin > 2 * static_cast<std::size_t>(slices);
  out.reserve(reduce ? 2 * static_cast<std::size_t>(slices) : s.end - s.begin);
  // The lowest and highest read of the slice being gathered; none yet while low is s.end.
  std::size_t low = s.end;
  std::size_t high = s.end;
  int slice = -1;
  const auto flush = [&] {
    if (low == s.end) return;
    const std::size_t first = std::min(low, high);
    const std::size_t second = std::max(low, high);
    out.push_back({table.time(first), table.value(first, channel)});
    if (second != first) out.push_back({table.time(second), table.value(second, channel)});
    low = high = s.end;
  };
  for (std::size_t r = s.begin; r < s.end; ++r) {
    const float v = table.value(r, channel);
    if (std::isnan(v)) continue;
    if (!reduce) {
      out.push_back({table.time(r), v});
      continue;
    }
    const int k = sliceOf(table.time(r), from, to, slices);
    if (k != slice) {
      flush();
      slice = k;
    }
    if (low == s.end || v < table.value(low, channel)) low = r;
    if (high == s.end || v > table.value(high, channel)) high = r;
  }
  flush();
  return out;
}

std::vector<Spread> spread(const Table& cells, std::int64_t from, std::int64_t to, int slices) {
  const Span s = rowsWithin(cells, from, to);
  slices = std::max(slices, 1);
  const bool reduce = s.end - s.begin > static_cast<std::size_t>(slices);
  std::vector<Spread> out;
  out.reserve(std::min(s.end - s.begin, static_cast<std::size_t>(slices)));
  // The slice being gathered: its rows with a cell read, their extremes and the sum of means.
  int slice = -1;
  std::size_t first = 0;
  std::size_t last = 0;
  int rows = 0;
  float lo = 0.0F;
  float hi = 0.0F;
  double means = 0.0;
  const auto flush = [&] {
    if (rows == 0) return;
    const std::int64_t t = cells.time(first + (last - first) / 2);
    out.push_back({t, lo, static_cast<float>(means / rows), hi});
    rows = 0;
    means = 0.0;
  };
  for (std::size_t r = s.begin; r < s.end; ++r) {
    const float* row = cells.row(r);
    float rowLo = 0.0F;
    float rowHi = 0.0F;
    double sum = 0.0;
    int n = 0;
    for (int c = 0; c < cells.channels(); ++c) {
      const float v = row[c];
      if (std::isnan(v)) continue;
      rowLo = n == 0 ? v : std::min(rowLo, v);
      rowHi = n == 0 ? v : std::max(rowHi, v);
      sum += v;
      ++n;
    }
    if (n == 0) continue;
    const int k = reduce ? sliceOf(cells.time(r), from, to, slices) : slice + 1;
    if (k != slice) {
      flush();
      slice = k;
      first = r;
      lo = rowLo;
      hi = rowHi;
    }
    last = r;
    lo = std::min(lo, rowLo);
    hi = std::max(hi, rowHi);
    means += sum / n;
    ++rows;
  }
  flush();
  return out;
}

}  // namespace kb::history
