#pragma once
// The two top-level windows over a MainWindow: the main window (menu bar, the main form in a
// scroll area) and the status window it owns; the timer; quitting when the program has ended.
#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "ui/main/MainWindow.h"
#include "ui/qt/AlarmWindow.h"
#include "ui/qt/EventPump.h"
#include "ui/qt/FormView.h"
#include "ui/qt/LinkRunner.h"
#include "ui/qt/QtServices.h"
#include "ui/qt/TrendWindow.h"

class QAction;
class QMenu;
class QScrollArea;

namespace kb::qt {

class LinkHealthView;

class MainFrame final : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainFrame(ui::MainWindow& window, QWidget* parent = nullptr);
  ~MainFrame() override;

  EventPump& pump() { return pump_; }
  FormView& mainView() { return *mainView_; }
  FormView& statusView() { return *statusView_; }
  QWidget* statusWindow() { return statusWindow_; }
  LinkHealthView& linkHealth() { return *linkHealth_; }
  TrendWindow& trendWindow() { return *trendWindow_; }
  AlarmWindow& alarmWindow() { return *alarmWindow_; }
  // The menu bar's action of a menu item, by the item's caption; null if there is none.
  QAction* menuAction(const std::string& caption) const;
  // An item of the Qt layer's own (not of the form) in the menu titled `menu`: it joins the
  // form's menu of that title when there is one, else a menu of its own made after the form's;
  // it keeps its place whenever the menu bar is rebuilt.
  QAction* addOwnItem(const QString& menu, const QString& caption);

  // How showWindows sizes the windows: within the screen's available area, with scroll bars
  // where a window is larger than that; or at the forms' full sizes whatever the screen (the
  // screenshots show the forms whole).
  enum class Fit { Screen, Forms };
  // Shows the main window at the form's size and, when its form is visible, the status window:
  // beside the main window once the window manager has placed that.
  void showWindows(Fit fit = Fit::Screen);
  // True once the main window is on the screen and the status window may be placed by it.
  bool settled() const { return settled_; }
  // Stops or resumes the timer (screenshots hold it so that what they show is repeatable).
  void holdTimer(bool hold);
  // One tick as the timer gives it: the whole tick, or only the keep-alive while a procedure
  // waits in a message box of dialogs (tests with a manual clock call it themselves).
  void timerTick();
  // The program's message boxes: parented to this window, and watched for the tick.
  void attachDialogs(QtDialogs& dialogs);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void customEvent(QEvent* event) override;

 private:
  void buildMenus();
  void syncWindows();
  void syncTimer();
  void fitToForm();
  void fitStatusWindow();
  void settle();
  void placeStatusWindow();
  void syncStatusWindow();
  QRect availableArea() const;
  QRect monitorButtons() const;
  void quitLoop();

  ui::MainWindow& window_;
  QtDialogs* dialogs_ = nullptr;
  EventPump pump_;
  std::unique_ptr<LinkRunner> linkRunner_;  // after the pump: goes before it
  bool tickOwed_ = false;                   // a tick came due while a transaction was in flight
  FormView* mainView_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QWidget* statusWindow_ = nullptr;
  QScrollArea* statusScroll_ = nullptr;
  FormView* statusView_ = nullptr;
  LinkHealthView* linkHealth_ = nullptr;
  TrendWindow* trendWindow_ = nullptr;
  AlarmWindow* alarmWindow_ = nullptr;
  std::vector<QAction*> actions_;
  struct OwnItem {
    QString menu;
    QAction* action;
  };
  std::vector<OwnItem> ownItems_;
  std::vector<QMenu*> ownMenus_;
  QTimer timer_;
  bool timerHeld_ = false;
  bool shown_ = false;
  bool quitting_ = false;
  bool destroying_ = false;
  bool statusPlaced_ = false;
  bool settled_ = false;
  Fit fit_ = Fit::Screen;
  int statusShows_ = 0;  // the status form's show requests already answered
  QSize fittedSize_;
  QSize statusFittedSize_;
  QPoint statusPlace_;  // where the program last placed the status window
};

}  // namespace kb::qt
