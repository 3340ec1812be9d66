#pragma once
// What a chart draws of the history over a time span: a channel's reads reduced to a chart's
// width without losing a spike, and a board's spread (lowest, mean and highest cell) over time.
#include <cstdint>
#include <vector>

#include "history/History.h"

namespace kb::history {

struct Point {
  std::int64_t timeMicros;
  float value;
};

// The channel's reads within from..to (inclusive). When there are more than 2 x slices of them,
// each of `slices` equal spans of time gives its lowest and its highest read, in time order; so
// a drop or a spike of one read stays on the chart. Unread values are skipped.
std::vector<Point> envelope(const Table& table, int channel, std::int64_t from, std::int64_t to,
                            int slices);

struct Spread {
  std::int64_t timeMicros;
  float min;
  float mean;
  float max;
};

// The spread of the cells read in each row within from..to: the lowest, the mean and the highest
// cell. With more rows than slices, each span gives the lowest minimum, the mean of the means and
// the highest maximum, at the time of its middle row. Rows without a cell read are skipped.
std::vector<Spread> spread(const Table& cells, std::int64_t from, std::int64_t to, int slices);

}  // namespace kb::history
