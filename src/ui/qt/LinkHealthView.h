#pragma once
// Link health where an operator looks: a one-line status at the bottom of the main window
// ("Controller: serial /dev/ttyUSB0 - connected") and the "Link health" window, opened from the
// "View" menu, with a row per board. Both follow the link health after every delivery. While the
// program publishes to MQTT, the status bar also says "MQTT: connected" or "MQTT: retrying" and
// the window how many messages were dropped.
#include <QObject>
#include <QTimer>
#include <functional>

#include "context/Context.h"
#include "telemetry/Publisher.h"
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

  // The publisher in use (null while not publishing); it may change whenever publishing is
  // started again, so it is asked at every refresh.
  void setPublisher(std::function<const telemetry::Publisher*()> publisher);

  QLabel* statusLine() const { return statusLine_; }
  QLabel* publishLine() const { return publishLine_; }
  QWidget* window() const { return window_; }
  QLabel* summary() const { return summary_; }
  QTableWidget* table() const { return table_; }
  void refresh();

 private:
  ui::Context& ctx_;
  EventPump& pump_;
  int hook_ = -1;
  QLabel* statusLine_ = nullptr;
  QLabel* publishLine_ = nullptr;
  std::function<const telemetry::Publisher*()> publisher_;
  QTimer publishPoll_;  // the publisher's state changes on its own thread, between deliveries
  QWidget* window_ = nullptr;
  QLabel* summary_ = nullptr;
  QTableWidget* table_ = nullptr;
};

}  // namespace kb::qt
