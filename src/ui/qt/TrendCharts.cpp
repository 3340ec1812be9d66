#include "ui/qt/TrendCharts.h"

#include <QAreaSeries>
#include <QCoreApplication>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileDialog>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

namespace kb::qt {

namespace {

// Twelve colours told apart at a glance; boards take the first ten.
const std::array<QColor, 12> kPalette = {
    QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e), QColor(0x2c, 0xa0, 0x2c),
    QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b), QColor(0xe3, 0x77, 0xc2),
    QColor(0x7f, 0x7f, 0x7f), QColor(0xbc, 0xbd, 0x22), QColor(0x17, 0xbe, 0xcf),
    QColor(0x39, 0x3b, 0x79), QColor(0xd6, 0x61, 0x6b), QColor(0x63, 0x79, 0x39)};
constexpr double kInf = std::numeric_limits<double>::infinity();
// Both limits in red, dashed; the legend tells them apart.
const QColor kLimitColor(0xc0, 0x00, 0x00);
const std::array<const char*, history::kTemperatures> kSensorNames = {"ETMP1", "ETMP2", "ITMP"};

QString volts(double v) {
  return QString::number(v, 'f', 4) + QStringLiteral(" V");
}

QLineSeries* line(const QString& name, const QColor& colour, qreal width = 1.5,
                  Qt::PenStyle style = Qt::SolidLine) {
  auto* s = new QLineSeries;
  s->setName(name);
  QPen pen(colour);
  pen.setWidthF(width);
  pen.setStyle(style);
  s->setPen(pen);
  return s;
}

QList<QPointF> toPoints(const std::vector<history::Point>& points, const TimeBase& base) {
  QList<QPointF> out;
  out.reserve(static_cast<qsizetype>(points.size()));
  for (const history::Point& p : points) out.append(QPointF(base.ms(p.timeMicros), p.value));
  return out;
}

// Index of the drawn point nearest in time to a hovered position; -1 when there is none.
template <typename T>
int nearest(const std::vector<T>& points, std::int64_t t) {
  if (points.empty()) return -1;
  const auto it = std::lower_bound(points.begin(), points.end(), t,
                                   [](const T& p, std::int64_t v) { return p.timeMicros < v; });
  auto i = static_cast<int>(it - points.begin());
  if (i == static_cast<int>(points.size())) return i - 1;
  if (i > 0 && t - points[static_cast<std::size_t>(i - 1)].timeMicros <
                   points[static_cast<std::size_t>(i)].timeMicros - t) {
    --i;
  }
  return i;
}

void extend(double& lo, double& hi, double v) {
  if (std::isnan(v)) return;
  lo = std::min(lo, v);
  hi = std::max(hi, v);
}

}  // namespace

QString TimeBase::clockText(std::int64_t micros) const {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(ms(micros))))
      .toString(QStringLiteral("hh:mm:ss"));
}

// ---- TrendChart -------------------------------------------------------------------------------

TrendChart::TrendChart(const QString& title, const QString& fileStem, const TimeBase& base,
                       QWidget* parent)
    : QChartView(new QChart, parent),  // the view's own chart: one set later would leak this one
      chart_(chart()),
      x_(new QDateTimeAxis),
      y_(new QValueAxis),
      base_(base),
      fileStem_(fileStem) {
  chart_->setTitle(title);
  chart_->setAnimationOptions(QChart::NoAnimation);
  chart_->legend()->setAlignment(Qt::AlignRight);
  chart_->setMargins(QMargins(4, 4, 4, 4));
  x_->setFormat(QStringLiteral("hh:mm:ss"));
  x_->setTickCount(6);
  y_->setLabelFormat(QStringLiteral("%.3f"));
  y_->setTitleText(QStringLiteral("V"));
  chart_->addAxis(x_, Qt::AlignBottom);
  chart_->addAxis(y_, Qt::AlignLeft);
  setRenderHint(QPainter::Antialiasing, false);
  setFocusPolicy(Qt::NoFocus);
  setMinimumHeight(180);
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("Save as PNG..."), this, [this] { exportPng(); });
    menu.exec(mapToGlobal(at));
  });
}

void TrendChart::attach(QXYSeries* series) {
  chart_->addSeries(series);
  series->attachAxis(x_);
  series->attachAxis(y_);
}

void TrendChart::attachArea(QAreaSeries* series) {
  chart_->addSeries(series);
  series->attachAxis(x_);
  series->attachAxis(y_);
}

void TrendChart::setRanges(const TrendSpan& span, double lo, double hi) {
  const qint64 from = std::llround(base_.ms(span.from));
  const qint64 to = std::max(from + 1000, static_cast<qint64>(std::llround(base_.ms(span.to))));
  x_->setRange(QDateTime::fromMSecsSinceEpoch(from), QDateTime::fromMSecsSinceEpoch(to));
  x_->setFormat(to - from > 86'400'000 ? QStringLiteral("d MMM hh:mm")
                                       : QStringLiteral("hh:mm:ss"));
  fitTicks();
  if (!(lo <= hi)) {
    lo = 3.0;
    hi = 4.5;
  }
  const double margin = std::max(0.05 * (hi - lo), 0.01);
  y_->setRange(lo - margin, hi + margin);
}

int TrendChart::plotWidth() const {
  // Before its first layout the chart has no plot area: the view less the legend and the labels.
  const int laid = static_cast<int>(chart_->plotArea().width());
  return laid > 0 ? laid : width() - 220;
}

void TrendChart::fitTicks() {
  // A time label about every 110 pixels, so that none is cut short.
  x_->setTickCount(std::clamp(plotWidth() / 110 + 1, 2, 8));
}

void TrendChart::resizeEvent(QResizeEvent* event) {
  QChartView::resizeEvent(event);
  fitTicks();
}

int TrendChart::slices() const {
  // A slice gives up to two points (its lowest and highest): about one point a pixel.
  return std::max(100, plotWidth() / 2);
}

void TrendChart::showTip(const QString& text) {
  lastTip_ = text;
  QToolTip::showText(QCursor::pos(), text, this);
}

void TrendChart::settle() {
  // Titles, legend labels and axis ticks follow a change only when the chart's layout runs.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

bool TrendChart::savePng(const QString& path) {
  settle();
  return grab().save(path, "PNG");
}

void TrendChart::exportPng() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (folder.isEmpty()) folder = QDir::homePath();
  const QString name = fileStem_ +
                       QDateTime::currentDateTime().toString(QStringLiteral("-yyyyMMdd-hhmmss")) +
                       QStringLiteral(".png");
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save chart as PNG"),
                                                    QDir(folder).filePath(name),
                                                    QStringLiteral("PNG images (*.png)"));
  if (path.isEmpty()) return;
  if (!savePng(path)) {
    QMessageBox::warning(this, QStringLiteral("Save chart as PNG"),
                         QStringLiteral("Cannot write %1.").arg(QDir::toNativeSeparators(path)));
  }
}

// ---- CellChart --------------------------------------------------------------------------------

CellChart::CellChart(const TimeBase& base, QWidget* parent)
    : TrendChart(QStringLiteral("Cells"), QStringLiteral("cells"), base, parent) {
  for (int c = 0; c < history::kCells; ++c) {
    QLineSeries* s =
        line(QStringLiteral("Cell %1").arg(c + 1), kPalette[static_cast<std::size_t>(c)]);
    cells_[static_cast<std::size_t>(c)] = s;
    attach(s);
    connect(s, &QXYSeries::hovered, this,
            [this, c](const QPointF& at, bool state) { hover(c, at, state); });
  }
  vuv_ = line(QStringLiteral("VUV"), kLimitColor, 2.0, Qt::DashLine);
  vov_ = line(QStringLiteral("VOV"), kLimitColor, 2.0, Qt::DashLine);
  attach(vuv_);
  attach(vov_);
}

void CellChart::update(const history::History& history, int board, const TrendSpan& span) {
  board_ = board;
  chart_->setTitle(QStringLiteral("Cells of board %1").arg(board + 1));
  const history::Table& table = history.cells(board);
  double lo = kInf;
  double hi = -kInf;
  for (int c = 0; c < history::kCells; ++c) {
    auto& points = points_[static_cast<std::size_t>(c)];
    points = history::envelope(table, c, span.from, span.to, span.slices);
    for (const history::Point& p : points) extend(lo, hi, p.value);
    cells_[static_cast<std::size_t>(c)]->replace(toPoints(points, base_));
  }
  // The limits as written to the chip; a limit at or below 0 V is none.
  limits_ = history.limits(board);
  const double left = base_.ms(span.from);
  const double right = base_.ms(span.to);
  const auto limitLine = [&](QLineSeries* s, double v, const char* name) {
    const bool drawn = limits_.known && v > 0.0;
    s->setName(drawn ? QStringLiteral("%1 %2 V").arg(QLatin1String(name)).arg(v, 0, 'f', 3)
                     : QLatin1String(name));
    s->replace(drawn ? QList<QPointF>{{left, v}, {right, v}} : QList<QPointF>{});
    if (drawn) extend(lo, hi, v);
  };
  limitLine(vuv_, limits_.vuv, "VUV");
  limitLine(vov_, limits_.vov, "VOV");
  setRanges(span, lo, hi);
}

void CellChart::hover(int cell, const QPointF& at, bool state) {
  if (!state) return;
  const auto& points = points_[static_cast<std::size_t>(cell)];
  const int i = nearest(points, base_.micros(at.x()));
  if (i < 0) return;
  const history::Point& p = points[static_cast<std::size_t>(i)];
  showTip(QStringLiteral("Board %1 cell %2\n%3\n%4")
              .arg(board_ + 1)
              .arg(cell + 1)
              .arg(base_.clockText(p.timeMicros), volts(p.value)));
}

// ---- StackChart -------------------------------------------------------------------------------

StackChart::StackChart(const TimeBase& base, QWidget* parent)
    : TrendChart(QStringLiteral("Stack: lowest, mean and highest cell of each board"),
                 QStringLiteral("stack"), base, parent) {
  for (int b = 0; b < kMaxBoards; ++b) {
    const auto i = static_cast<std::size_t>(b);
    const QColor colour = kPalette[i];
    lows_[i] = new QLineSeries(this);
    highs_[i] = new QLineSeries(this);
    bands_[i] = new QAreaSeries(highs_[i], lows_[i]);
    bands_[i]->setName(QStringLiteral("Board %1").arg(b + 1));
    QColor fill = colour;
    fill.setAlpha(70);
    bands_[i]->setBrush(fill);
    bands_[i]->setPen(QPen(colour, 1.0));
    means_[i] = line(QString(), colour, 1.5);
    attachArea(bands_[i]);
    attach(means_[i]);
    connect(bands_[i], &QAreaSeries::hovered, this,
            [this, b](const QPointF& at, bool state) { hover(b, at, state); });
    connect(means_[i], &QXYSeries::hovered, this,
            [this, b](const QPointF& at, bool state) { hover(b, at, state); });
  }
}

void StackChart::showBoards(int boards) {
  if (boards == shown_) return;
  shown_ = boards;
  for (int b = 0; b < kMaxBoards; ++b) {
    const auto i = static_cast<std::size_t>(b);
    const bool shown = b < boards;
    bands_[i]->setVisible(shown);
    means_[i]->setVisible(shown);
    for (QLegendMarker* m : chart_->legend()->markers(bands_[i])) m->setVisible(shown);
    // The band names the board in the legend; its mean line needs no entry of its own.
    for (QLegendMarker* m : chart_->legend()->markers(means_[i])) m->setVisible(false);
    if (!shown) {
      lows_[i]->clear();
      highs_[i]->clear();
      means_[i]->clear();
      spreads_[i].clear();
    }
  }
}

void StackChart::update(const history::History& history, int boards, const TrendSpan& span) {
  showBoards(std::clamp(boards, 1, kMaxBoards));
  double lo = kInf;
  double hi = -kInf;
  for (int b = 0; b < shown_; ++b) {
    const auto i = static_cast<std::size_t>(b);
    spreads_[i] = history::spread(history.cells(b), span.from, span.to, span.slices);
    QList<QPointF> low;
    QList<QPointF> high;
    QList<QPointF> mean;
    const auto n = static_cast<qsizetype>(spreads_[i].size());
    low.reserve(n);
    high.reserve(n);
    mean.reserve(n);
    for (const history::Spread& s : spreads_[i]) {
      const double t = base_.ms(s.timeMicros);
      low.append(QPointF(t, s.min));
      high.append(QPointF(t, s.max));
      mean.append(QPointF(t, s.mean));
      extend(lo, hi, s.min);
      extend(lo, hi, s.max);
    }
    lows_[i]->replace(low);
    highs_[i]->replace(high);
    means_[i]->replace(mean);
  }
  setRanges(span, lo, hi);
}

void StackChart::hover(int board, const QPointF& at, bool state) {
  if (!state) return;
  const auto& spread = spreads_[static_cast<std::size_t>(board)];
  const int i = nearest(spread, base_.micros(at.x()));
  if (i < 0) return;
  const history::Spread& s = spread[static_cast<std::size_t>(i)];
  showTip(QStringLiteral("Board %1\n%2\nlowest %3\nmean %4\nhighest %5\nspread %6 mV")
              .arg(board + 1)
              .arg(base_.clockText(s.timeMicros), volts(s.min), volts(s.mean), volts(s.max))
              .arg((s.max - s.min) * 1000.0, 0, 'f', 1));
}

// ---- TemperatureChart -------------------------------------------------------------------------

TemperatureChart::TemperatureChart(const TimeBase& base, QWidget* parent)
    : TrendChart(QStringLiteral("Temperatures"), QStringLiteral("temperatures"), base, parent) {
  for (int k = 0; k < history::kTemperatures; ++k) {
    QLineSeries* s = line(QLatin1String(kSensorNames[static_cast<std::size_t>(k)]),
                          kPalette[static_cast<std::size_t>(k)]);
    sensors_[static_cast<std::size_t>(k)] = s;
    attach(s);
    connect(s, &QXYSeries::hovered, this,
            [this, k](const QPointF& at, bool state) { hover(k, at, state); });
  }
}

void TemperatureChart::update(const history::History& history, int board, const TrendSpan& span) {
  board_ = board;
  chart_->setTitle(QStringLiteral("Temperatures of board %1").arg(board + 1));
  const history::Table& table = history.temperatures(board);
  double lo = kInf;
  double hi = -kInf;
  for (int k = 0; k < history::kTemperatures; ++k) {
    auto& points = points_[static_cast<std::size_t>(k)];
    points = history::envelope(table, k, span.from, span.to, span.slices);
    for (const history::Point& p : points) extend(lo, hi, p.value);
    sensors_[static_cast<std::size_t>(k)]->replace(toPoints(points, base_));
  }
  if (!(lo <= hi)) {
    lo = 0.0;
    hi = 3.0;
  }
  setRanges(span, lo, hi);
}

void TemperatureChart::hover(int sensor, const QPointF& at, bool state) {
  if (!state) return;
  const auto& points = points_[static_cast<std::size_t>(sensor)];
  const int i = nearest(points, base_.micros(at.x()));
  if (i < 0) return;
  const history::Point& p = points[static_cast<std::size_t>(i)];
  showTip(QStringLiteral("Board %1 %2\n%3\n%4")
              .arg(board_ + 1)
              .arg(QLatin1String(kSensorNames[static_cast<std::size_t>(sensor)]),
                   base_.clockText(p.timeMicros), volts(p.value)));
}

}  // namespace kb::qt
