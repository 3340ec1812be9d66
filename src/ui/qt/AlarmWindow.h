#pragma once
// The alarm list ("View > Alarms"): every alarm of the run, newest first; an alarm not yet
// acknowledged is marked (bold, with a mark in the first column) until the operator acknowledges
// it with the button or a double-click. Also the main window's status-line count of alarms. It
// never takes the focus by itself.
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

namespace kb::ui {
struct Context;
}

namespace kb::qt {

class AlarmWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit AlarmWindow(ui::Context& ctx, QWidget* parent = nullptr);
  ~AlarmWindow() override;

  // After every event of the main window: the status line, and the rows when alarms changed.
  void sync();
  // Acknowledges the alarms of the selected rows.
  void acknowledgeSelected();

  QLabel* statusLabel() const { return status_; }
  QTableWidget* table() const { return table_; }
  QPushButton* acknowledgeButton() const { return acknowledge_; }
  // The alarm id of a row, 0 for none.
  int alarmAt(int row) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void refresh();
  void followSelection();

  ui::Context& ctx_;
  int subscription_ = 0;
  bool dirty_ = true;
  QLabel* status_;
  QTableWidget* table_;
  QPushButton* acknowledge_;
};

}  // namespace kb::qt
