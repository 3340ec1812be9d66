#pragma once
// The trend window's three charts over the history: the twelve cells of one board with the VUV and
// VOV written to its chip, every board's spread (lowest, mean and highest cell), and one board's
// temperatures. Each chart keeps the points it draws, so that a hovered point can be named, and
// saves itself as a PNG from its context menu.
#include <QChartView>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "history/History.h"
#include "history/Trend.h"

class QAreaSeries;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;
class QXYSeries;

namespace kb::qt {

// Program time (microseconds since the clock started) on the time axis (milliseconds since the
// epoch, local time).
struct TimeBase {
  double epochMs = 0.0;
  double ms(std::int64_t micros) const { return epochMs + static_cast<double>(micros) / 1000.0; }
  std::int64_t micros(double ms) const {
    return static_cast<std::int64_t>((ms - epochMs) * 1000.0);
  }
  QString clockText(std::int64_t micros) const;
};

// The span a redraw shows and how many slices of it the chart is wide.
struct TrendSpan {
  std::int64_t from = 0;
  std::int64_t to = 0;
  int slices = 600;
};

class TrendChart : public QChartView {
  Q_OBJECT

 public:
  TrendChart(const QString& title, const QString& fileStem, const TimeBase& base,
             QWidget* parent = nullptr);

  // Writes the chart as it stands into a PNG file; false when it cannot be written.
  bool savePng(const QString& path);
  // Lays the chart out for what was last drawn (otherwise done by the event loop).
  void settle();
  // What the last hovered point showed (empty before any).
  const QString& lastTip() const { return lastTip_; }
  // How many time slices the chart's plot is wide, two pixels each.
  int slices() const;

 protected:
  void attach(QXYSeries* series);
  void attachArea(QAreaSeries* series);
  // Sets the time axis to the span and the value axis to lo..hi with a margin.
  void setRanges(const TrendSpan& span, double lo, double hi);
  void showTip(const QString& text);
  void resizeEvent(QResizeEvent* event) override;

  QChart* chart_;
  QDateTimeAxis* x_;
  QValueAxis* y_;
  const TimeBase& base_;

 private:
  void exportPng();
  int plotWidth() const;
  void fitTicks();

  QString fileStem_;
  QString lastTip_;
};

class CellChart final : public TrendChart {
  Q_OBJECT

 public:
  CellChart(const TimeBase& base, QWidget* parent = nullptr);
  void update(const history::History& history, int board, const TrendSpan& span);
  // Drawn points of a cell 0..11, and of the limit lines (empty when not drawn).
  const std::vector<history::Point>& points(int cell) const {
    return points_[static_cast<std::size_t>(cell)];
  }
  QLineSeries* cellSeries(int cell) const { return cells_[static_cast<std::size_t>(cell)]; }
  QLineSeries* vuvSeries() const { return vuv_; }
  QLineSeries* vovSeries() const { return vov_; }
  void hover(int cell, const QPointF& at, bool state);

 private:
  std::array<QLineSeries*, history::kCells> cells_{};
  std::array<std::vector<history::Point>, history::kCells> points_;
  QLineSeries* vuv_;
  QLineSeries* vov_;
  history::Limits limits_;
  int board_ = 0;
};

class StackChart final : public TrendChart {
  Q_OBJECT

 public:
  StackChart(const TimeBase& base, QWidget* parent = nullptr);
  // Boards 0..boards-1.
  void update(const history::History& history, int boards, const TrendSpan& span);
  const std::vector<history::Spread>& spread(int board) const {
    return spreads_[static_cast<std::size_t>(board)];
  }
  QAreaSeries* bandSeries(int board) const { return bands_[static_cast<std::size_t>(board)]; }
  void hover(int board, const QPointF& at, bool state);

 private:
  void showBoards(int boards);

  std::array<QAreaSeries*, kMaxBoards> bands_{};
  std::array<QLineSeries*, kMaxBoards> lows_{};
  std::array<QLineSeries*, kMaxBoards> highs_{};
  std::array<QLineSeries*, kMaxBoards> means_{};
  std::array<std::vector<history::Spread>, kMaxBoards> spreads_;
  int shown_ = -1;
};

class TemperatureChart final : public TrendChart {
  Q_OBJECT

 public:
  TemperatureChart(const TimeBase& base, QWidget* parent = nullptr);
  void update(const history::History& history, int board, const TrendSpan& span);
  const std::vector<history::Point>& points(int sensor) const {
    return points_[static_cast<std::size_t>(sensor)];
  }
  void hover(int sensor, const QPointF& at, bool state);

 private:
  std::array<QLineSeries*, history::kTemperatures> sensors_{};
  std::array<std::vector<history::Point>, history::kTemperatures> points_;
  int board_ = 0;
};

}  // namespace kb::qt
