#include "ui/qt/Placement.h"

#include <algorithm>
#include <array>

namespace kb::qt {

namespace {
// Between the two windows when they stand side by side.
constexpr int kGap = 8;
}  // namespace

QSize fitClientSize(QSize wanted, QMargins frame, QRect available, int scrollBar) {
  const QSize room = available.size().shrunkBy(frame);
  const bool tall = wanted.height() > room.height();
  const bool wide = wanted.width() + (tall ? scrollBar : 0) > room.width();
  QSize client = wanted;
  if (tall) client.rwidth() += scrollBar;
  if (wide) client.rheight() += scrollBar;
  return client.boundedTo(room).expandedTo(QSize(1, 1));
}

QPoint keepWithin(QRect frame, QRect available) {
  QPoint at = frame.topLeft();
  at.setX(std::max(available.left(), std::min(at.x(), available.right() + 1 - frame.width())));
  at.setY(std::max(available.top(), std::min(at.y(), available.bottom() + 1 - frame.height())));
  return at;
}

QPoint placeBeside(QRect mainFrame, QSize frame, QRect available, QRect keepClear) {
  auto fits = [&](QPoint at) { return available.contains(QRect(at, frame)); };
  const int level =
      keepWithin(QRect(QPoint(available.left(), mainFrame.top()), frame), available).y();
  for (const QPoint at : {QPoint(mainFrame.right() + 1 + kGap, level),
                          QPoint(mainFrame.left() - kGap - frame.width(), level)}) {
    if (fits(at)) return at;
  }
  const std::array<int, 3> xs{available.right() + 1 - frame.width(),
                              keepClear.left() - kGap - frame.width(), available.left()};
  const std::array<int, 4> ys{level, keepClear.bottom() + 1 + kGap,
                              available.bottom() + 1 - frame.height(), available.top()};
  for (const int x : xs) {
    for (const int y : ys) {
      const QPoint at(x, y);
      if (fits(at) && !QRect(at, frame).intersects(keepClear)) return at;
    }
  }
  return keepWithin(QRect(QPoint(available.right() + 1 - frame.width(), available.top()), frame),
                    available);
}

}  // namespace kb::qt
