#include "ui/qt/TrendWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "context/Context.h"

namespace kb::qt {

namespace {

constexpr int kMinRedrawMs = 1000;
constexpr std::int64_t kSpanMicros[] = {60 * kMicrosPerSecond, 600 * kMicrosPerSecond,
                                        3600 * kMicrosPerSecond};

// Where the program's clock started, on the epoch's time line.
double clockStartMs(const Clock& clock) {
  const DateTime now = clock.dateTime();
  const QDateTime local(QDate(now.year, now.month, now.day),
                        QTime(now.hour, now.minute, now.second, now.microsecond / 1000));
  return static_cast<double>(local.toMSecsSinceEpoch()) -
         static_cast<double>(clock.elapsedMicros()) / 1000.0;
}

}  // namespace

TrendWindow::TrendWindow(ui::Context& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx) {
  setObjectName(QStringLiteral("trendWindow"));
  setWindowTitle(QStringLiteral("Trends"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  base_.epochMs = clockStartMs(ctx_.services.clock);

  spanBox_ = new QComboBox(this);
  spanBox_->addItems({QStringLiteral("Last 1 min"), QStringLiteral("Last 10 min"),
                      QStringLiteral("Last 1 h"), QStringLiteral("Whole session")});
  spanBox_->setCurrentIndex(static_cast<int>(Span::LastTenMinutes));
  spanBox_->setFocusPolicy(Qt::ClickFocus);
  state_ = new QLabel(this);
  auto* bar = new QHBoxLayout;
  bar->addWidget(new QLabel(QStringLiteral("Time span:"), this));
  bar->addWidget(spanBox_);
  bar->addSpacing(16);
  bar->addWidget(state_, 1);

  cells_ = new CellChart(base_);
  stack_ = new StackChart(base_);
  temperatures_ = new TemperatureChart(base_);
  auto* lower = new QSplitter(Qt::Horizontal);
  lower->addWidget(stack_);
  lower->addWidget(temperatures_);
  lower->setStretchFactor(0, 3);
  lower->setStretchFactor(1, 2);
  auto* charts = new QSplitter(Qt::Vertical);
  charts->addWidget(cells_);
  charts->addWidget(lower);
  charts->setStretchFactor(0, 3);
  charts->setStretchFactor(1, 2);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(bar);
  layout->addWidget(charts, 1);
  resize(1100, 780);

  pending_.setSingleShot(true);
  connect(&pending_, &QTimer::timeout, this, [this] { redraw(); });
  connect(spanBox_, &QComboBox::currentIndexChanged, this, [this] { redraw(); });
}

void TrendWindow::setSpan(Span span) {
  spanBox_->setCurrentIndex(static_cast<int>(span));
}

bool TrendWindow::live() const {
  // The program reads the stack by itself: the continuous read, or the checks of a timed
  // balancing run (which stops the continuous read while it runs).
  return ctx_.cycle.ContinuousReadOn == 1 || ctx_.c.Check_4->value() == 1;
}

int TrendWindow::selectedBoard() const {
  return std::clamp(ctx_.boards.CurrentBoard, 0, kMaxBoards - 1);
}

TrendSpan TrendWindow::spanNow() const {
  const history::History& h = ctx_.history;
  TrendSpan s;
  // Live, the time axis ends now; frozen, at the newest read kept.
  s.to = live() ? std::max(ctx_.services.clock.elapsedMicros(), h.lastTime()) : h.lastTime();
  const int choice = spanBox_->currentIndex();
  s.from = h.firstTime();
  if (choice >= 0 && choice < static_cast<int>(Span::Session)) {
    s.from = std::max(s.from, s.to - kSpanMicros[choice]);
  }
  s.from = std::min(s.from, s.to);
  s.slices = cells_->slices();
  return s;
}

void TrendWindow::redraw() {
  pending_.stop();
  board_ = selectedBoard();
  drawnRevision_ = ctx_.history.revision();
  wasLive_ = live();
  state_->setText(!wasLive_ ? QStringLiteral("Frozen: the continuous read is stopped")
                  : ctx_.cycle.ContinuousReadOn == 1
                      ? QStringLiteral("Live: the continuous read is running")
                      : QStringLiteral("Live: timed balancing is running"));
  const TrendSpan span = spanNow();
  cells_->update(ctx_.history, board_, span);
  TrendSpan stackSpan = span;
  stackSpan.slices = stack_->slices();
  boards_ = ctx_.boards.LastBoardIndex + 1;
  stack_->update(ctx_.history, boards_, stackSpan);
  TrendSpan temperatureSpan = span;
  temperatureSpan.slices = temperatures_->slices();
  temperatures_->update(ctx_.history, board_, temperatureSpan);
  sinceRedraw_.start();
}

void TrendWindow::sync() {
  if (!isVisible()) return;
  if (selectedBoard() != board_ || ctx_.boards.LastBoardIndex + 1 != boards_ ||
      live() != wasLive_) {
    redraw();
    return;
  }
  if (!live() || ctx_.history.revision() == drawnRevision_ || pending_.isActive()) return;
  const qint64 since = sinceRedraw_.isValid() ? sinceRedraw_.elapsed() : kMinRedrawMs;
  if (since >= kMinRedrawMs) {
    redraw();
  } else {
    pending_.start(static_cast<int>(kMinRedrawMs - since));
  }
}

void TrendWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  redraw();
}

void TrendWindow::closeEvent(QCloseEvent* event) {
  ctx_.trendWindow.open = false;
  pending_.stop();
  event->accept();
}

}  // namespace kb::qt
