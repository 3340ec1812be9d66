#pragma once
// Helpers of the Qt tests: operator input on real widgets and waiting on the event loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QThread>
#include <QWidget>
#include <functional>
#include <ostream>

// Readable values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QRect& r, std::ostream* os) {
  *os << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height();
}
inline void PrintTo(const QSize& s, std::ostream* os) {
  *os << s.width() << 'x' << s.height();
}
inline void PrintTo(const QColor& c, std::ostream* os) {
  *os << c.name().toStdString();
}

namespace kb::test {

// Clicks the middle of target as the operator would: the widget under that point of the
// top-level window must be target itself (nothing stacked over it takes the click).
inline ::testing::AssertionResult clickOn(QWidget* target, QPoint at = QPoint(-1, -1)) {
  if (target == nullptr) return ::testing::AssertionFailure() << "no widget";
  const QPoint local = at.x() < 0 ? target->rect().center() : at;
  QWidget* top = target->window();
  QWidget* hit = top->childAt(target->mapTo(top, local));
  if (hit != target) {
    return ::testing::AssertionFailure()
           << "the point is covered by " << (hit ? hit->objectName().toStdString() : "nothing");
  }
  const QPointF global = target->mapToGlobal(QPointF(local));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), global, Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(local), global, Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
  return ::testing::AssertionSuccess();
}

inline void pressKey(QWidget* target, int key, const QString& text = QString(),
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(target, &release);
}

inline void typeText(QWidget* target, const QString& text) {
  for (const QChar ch : text) pressKey(target, ch.toUpper().unicode(), QString(ch));
}

// Runs the event loop until done() holds or the time is up; returns done().
inline bool waitFor(const std::function<bool()>& done, int timeoutMs = 3000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < timeoutMs) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return done();
}

}  // namespace kb::test
