#pragma once
// The trend window ("View > Trends"): the cells of the board selected in the main window with
// the limits written to its chip, the spread of every board, and the selected board's
// temperatures, over a chosen span of time. Live while the program reads the stack by itself (the
// continuous read, or a timed balancing run), redrawn at most once a second; frozen when that
// stops. It never takes the focus by itself.
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "ui/qt/TrendCharts.h"

class QComboBox;
class QLabel;

namespace kb::ui {
struct Context;
}

namespace kb::qt {

class TrendWindow final : public QWidget {
  Q_OBJECT

 public:
  // The spans of the choice box, in its order.
  enum class Span { LastMinute = 0, LastTenMinutes, LastHour, Session };

  explicit TrendWindow(ui::Context& ctx, QWidget* parent = nullptr);

  // After every event of the main window: follows the board selection and the board count at
  // once, and while live draws the newest reads.
  void sync();
  // Draws every chart from the history now.
  void redraw();
  void setSpan(Span span);
  bool live() const;
  int board() const { return board_; }

  CellChart& cells() { return *cells_; }
  StackChart& stack() { return *stack_; }
  TemperatureChart& temperatures() { return *temperatures_; }
  QComboBox& spanBox() { return *spanBox_; }
  const QLabel& stateLabel() const { return *state_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  TrendSpan spanNow() const;
  int selectedBoard() const;

  ui::Context& ctx_;
  TimeBase base_;
  QComboBox* spanBox_;
  QLabel* state_;
  CellChart* cells_;
  StackChart* stack_;
  TemperatureChart* temperatures_;
  QTimer pending_;
  QElapsedTimer sinceRedraw_;
  std::uint64_t drawnRevision_ = 0;
  int board_ = -1;
  int boards_ = 0;
  bool wasLive_ = false;
};

}  // namespace kb::qt
