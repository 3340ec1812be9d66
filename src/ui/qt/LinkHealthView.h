#pragma once
// Link health where an operator looks: a one-line status at the bottom of the main window
// ("Controller: serial /dev/ttyUSB0 - connected") and the "Link health" window, opened from the
// "View" menu, with a row per board. Both follow the link health after every delivery.
#include <QObject>

#include "context/Context.h"
#include "ui/qt/EventPump.h"

class QLabel;
class QMainWindow;
class QMenuBar;
class QTableWidget;
class QWidget;

namespace kb::qt {

class LinkHealthView final : public QObject {
  Q_OBJECT

 public:
  // Puts the status line into frame's status bar; the window is frame's child.
  LinkHealthView(QMainWindow& frame, ui::Context& ctx, EventPump& pump);
  ~LinkHealthView() override;

  void showWindow();

  QLabel* statusLine() const { return statusLine_; }
  QWidget* window() const { return window_; }
  QTableWidget* table() const { return table_; }
  void refresh();

 private:
  ui::Context& ctx_;
  EventPump& pump_;
  int hook_ = -1;
  QLabel* statusLine_ = nullptr;
  QWidget* window_ = nullptr;
  QLabel* summary_ = nullptr;
  QTableWidget* table_ = nullptr;
};

}  // namespace kb::qt
