#include "ui/qt/AppWindows.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>

#include "ui/qt/ControlWidgets.h"
#include "ui/qt/LinkHealthView.h"
#include "ui/qt/Placement.h"

namespace kb::qt {

namespace {

// A tick that came due while a transaction was in flight, run once it is over.
QEvent::Type owedTickEvent() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

// The window manager's frame around a window (zero until it has decorated it).
QMargins decoration(const QWidget* w) {
  const QRect frame = w->frameGeometry();
  const QRect client = w->geometry();
  return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
          frame.bottom() - client.bottom()};
}

}  // namespace

MainFrame::MainFrame(ui::MainWindow& window, QWidget* parent)
    : QMainWindow(parent), window_(window) {
  setObjectName(QStringLiteral("mainWindow"));
  menuBar()->setNativeMenuBar(false);

  mainView_ = new FormView(window_.form(), pump_);
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(false);
  scroll_->setFocusPolicy(Qt::NoFocus);  // no Tab stop of its own: it scrolls to the focus
  scroll_->setWidget(mainView_);
  setCentralWidget(scroll_);

  // Owned by the main window: it stays above it and goes with it.
  statusWindow_ = new QWidget(this, Qt::Window);
  statusWindow_->setObjectName(QStringLiteral("statusWindow"));
  auto* layout = new QVBoxLayout(statusWindow_);
  layout->setContentsMargins(0, 0, 0, 0);
  statusScroll_ = new QScrollArea(statusWindow_);
  statusScroll_->setFrameShape(QFrame::NoFrame);
  statusScroll_->setWidgetResizable(false);
  statusScroll_->setFocusPolicy(Qt::NoFocus);
  statusView_ = new FormView(window_.statusForm(), pump_);
  statusScroll_->setWidget(statusView_);
  layout->addWidget(statusScroll_);
  statusWindow_->installEventFilter(this);
  trendWindow_ = new TrendWindow(window_.context(), this);
  alarmWindow_ = new AlarmWindow(window_.context(), this);
  statusBar()->addPermanentWidget(alarmWindow_->statusLabel());
  alarmWindow_->statusLabel()->show();

  linkHealth_ = new LinkHealthView(*this, window_.context(), pump_);
  // Transactions run beside the event loop, so the windows paint while one is in flight.
  linkRunner_ = std::make_unique<LinkRunner>(pump_);
  window_.context().link().setCallRunner(
      [r = linkRunner_.get()](const std::function<void()>& calls) { r->run(calls); });

  // The form scrolls to the control that takes the focus, by Tab or from code.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now != nullptr && mainView_->isAncestorOf(now)) scroll_->ensureWidgetVisible(now);
  });

  buildMenus();
  // "View > Link health" joins the form's View menu (Trends, Alarms).
  QAction* healthAction = addOwnItem(QStringLiteral("View"), QStringLiteral("Link health"));
  healthAction->setObjectName(QStringLiteral("linkHealthAction"));
  connect(healthAction, &QAction::triggered, linkHealth_, [this] { linkHealth_->showWindow(); });
  timer_.setTimerType(Qt::PreciseTimer);
  // Queued: the tick then runs outside the timer's own activation, which Qt never enters twice,
  // so the timer still comes due (and is kept) while a tick's transaction is in flight.
  connect(&timer_, &QTimer::timeout, this, &MainFrame::timerTick, Qt::QueuedConnection);
  pump_.addSyncHook([this] { syncWindows(); });
  pump_.addSyncHook([this] {
    if (!tickOwed_ || pump_.waitingForLink()) return;
    tickOwed_ = false;
    // Behind what the operator did meanwhile, which the loop delivers first.
    QCoreApplication::postEvent(this, new QEvent(owedTickEvent()), Qt::LowEventPriority);
  });
  pump_.syncNow();
}

MainFrame::~MainFrame() {
  // Taking the form's widgets away moves their focus, which delivers an event and syncs: the
  // windows being deleted must not be synced then.
  destroying_ = true;
  // The views unregister from the pump, which is a member: delete them before it goes.
  pump_.close();
  timer_.stop();
  window_.context().link().setCallRunner({});
  delete linkHealth_;
  delete statusWindow_;
  delete takeCentralWidget();
}

void MainFrame::buildMenus() {
  menuBar()->clear();
  actions_.clear();
  std::vector<std::pair<std::string, QMenu*>> menus;
  const auto& items = window_.form().menuItems();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const form::MenuItem& item = items[i];
    QMenu* menu = nullptr;
    for (const auto& [caption, m] : menus) {
      if (caption == item.menu) menu = m;
    }
    if (menu == nullptr) {
      menu = menuBar()->addMenu(literalCaption(item.menu));
      menus.emplace_back(item.menu, menu);
    }
    QAction* action = menu->addAction(literalCaption(item.caption));
    action->setEnabled(item.enabled);
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
    // The caption is read when triggered: code may have renamed the item meanwhile.
    connect(action, &QAction::triggered, this, [this, i] {
      pump_.deliver([this, i] {
        const auto& now = window_.form().menuItems();
        if (i < now.size()) window_.form().runMenu(now[i].caption);
      });
    });
    actions_.push_back(action);
  }
  // The Qt layer's own items: in the form's menu of their title, else in menus of their own.
  for (QMenu* own : ownMenus_) own->clear();
  for (const OwnItem& item : ownItems_) {
    QMenu* menu = nullptr;
    for (const auto& [caption, m] : menus) {
      if (literalCaption(caption) == item.menu) menu = m;
    }
    for (QMenu* own : ownMenus_) {
      if (menu == nullptr && own->title() == item.menu) menu = own;
    }
    if (menu == nullptr) {
      menu = new QMenu(item.menu, this);
      ownMenus_.push_back(menu);
    }
    menu->addAction(item.action);
  }
  for (QMenu* own : ownMenus_) {
    if (!own->isEmpty()) menuBar()->addMenu(own);
  }
}

QAction* MainFrame::addOwnItem(const QString& menu, const QString& caption) {
  auto* action = new QAction(caption, this);
  ownItems_.push_back({menu, action});
  buildMenus();
  return action;
}

QAction* MainFrame::menuAction(const std::string& caption) const {
  const auto& items = window_.form().menuItems();
  for (std::size_t i = 0; i < items.size() && i < actions_.size(); ++i) {
    if (items[i].caption == caption) return actions_[i];
  }
  return nullptr;
}

void MainFrame::syncWindows() {
  if (destroying_) return;
  form::Form& main = window_.form();
  form::Form& status = window_.statusForm();

  const auto& items = main.menuItems();
  if (items.size() != actions_.size()) buildMenus();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const QString text = literalCaption(items[i].caption);
    if (actions_[i]->text() != text) actions_[i]->setText(text);
    if (actions_[i]->isEnabled() != items[i].enabled) actions_[i]->setEnabled(items[i].enabled);
    if (actions_[i]->isCheckable() != items[i].checked) actions_[i]->setCheckable(items[i].checked);
    if (actions_[i]->isChecked() != items[i].checked) actions_[i]->setChecked(items[i].checked);
  }

  const QString title = latin1(main.caption);
  if (windowTitle() != title) setWindowTitle(title);
  const QString statusTitle = latin1(status.caption);
  if (statusWindow_->windowTitle() != statusTitle) statusWindow_->setWindowTitle(statusTitle);

  if (shown_) {
    if (mainView_->size() != fittedSize_) fitToForm();
    if (settled_) syncStatusWindow();
    const bool trends = window_.context().trendWindow.open;
    if (trendWindow_->isVisible() != trends) trendWindow_->setVisible(trends);
    trendWindow_->sync();
    const bool alarmList = window_.context().alarmList.open;
    if (alarmWindow_->isVisible() != alarmList) alarmWindow_->setVisible(alarmList);
  }
  alarmWindow_->sync();
  syncTimer();

  if (window_.ended() && !quitting_) {
    quitting_ = true;
    timer_.stop();
    statusWindow_->hide();
    trendWindow_->hide();
    alarmWindow_->hide();
    hide();
    quitLoop();
  }
}

void MainFrame::syncTimer() {
  const form::Control* t = &*window_.context().c.Timer1;
  const bool run = t->enabled && t->interval > 0 && !timerHeld_ && !quitting_;
  if (!run) {
    if (timer_.isActive()) timer_.stop();
    return;
  }
  if (timer_.interval() != t->interval) timer_.setInterval(t->interval);
  if (!timer_.isActive()) timer_.start();
}

void MainFrame::holdTimer(bool hold) {
  timerHeld_ = hold;
  syncTimer();
}

void MainFrame::customEvent(QEvent* event) {
  if (event->type() == owedTickEvent()) timerTick();
}

void MainFrame::timerTick() {
  // Due while a transaction is in flight: once, after the procedure that waits for it, as the
  // timer would fire once when a blocked thread returns to it. It goes back to the event queue
  // (see the sync hook), behind the input that waited there: a tick longer than the timer's
  // interval would otherwise keep the operator's clicks waiting behind the next tick too.
  if (pump_.waitingForLink()) {
    tickOwed_ = true;
    return;
  }
  tickOwed_ = false;
  if (!pump_.busy()) {
    pump_.deliver([this] { window_.tick(); });
    return;
  }
  // A tick never runs inside another event's procedure. While that procedure waits in a message
  // box, the watchdog keep-alive alone goes on, so the chips keep their configuration.
  if (dialogs_ != nullptr && dialogs_->open()) pump_.deliver([this] { window_.keepAliveTick(); });
}

void MainFrame::attachDialogs(QtDialogs& dialogs) {
  dialogs_ = &dialogs;
  dialogs.setParent(this);
}

void MainFrame::syncStatusWindow() {
  const form::Form& status = window_.statusForm();
  if (statusView_->size() != statusFittedSize_) fitStatusWindow();
  if (statusWindow_->isVisible() != status.visible) {
    const bool first = status.visible && !statusPlaced_;
    if (first) placeStatusWindow();
    const bool mainActive = isActiveWindow();
    statusWindow_->setVisible(status.visible);
    // Appearing beside the main window, it leaves the operator's focus where it was.
    if (first && mainActive) activateWindow();
  }
  // Shown again while open (its button): over the main window, with the focus.
  if (status.showCount() != statusShows_) {
    statusShows_ = status.showCount();
    if (statusWindow_->isVisible()) {
      statusWindow_->raise();
      statusWindow_->activateWindow();
    }
  }
}

QRect MainFrame::availableArea() const {
  const QScreen* s = screen();
  return s != nullptr ? s->availableGeometry() : QRect(0, 0, 1 << 14, 1 << 14);
}

void MainFrame::fitToForm() {
  fittedSize_ = mainView_->size();
  // The menu bar and the status line around the form.
  const int chrome = menuBar()->sizeHint().height() + statusBar()->sizeHint().height();
  QSize client(fittedSize_.width(), fittedSize_.height() + chrome);
  if (fit_ == Fit::Screen) {
    client = fitClientSize(client, decoration(this), availableArea(),
                           style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  }
  resize(client);
}

void MainFrame::fitStatusWindow() {
  statusFittedSize_ = statusView_->size();
  QSize client = statusFittedSize_;
  if (fit_ == Fit::Screen) {
    // Its frame is taken to be the main window's until the window manager has decorated it.
    const QMargins margins = decoration(statusWindow_->isVisible() ? statusWindow_ : this);
    client = fitClientSize(client, margins, availableArea(),
                           style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  }
  statusWindow_->resize(client);
  if (!statusPlaced_ || !statusWindow_->isVisible()) return;
  // Grown or shrunk with the number of boards: placed again where the program placed it, else
  // (the operator moved it) kept on the screen.
  if (statusWindow_->pos() == statusPlace_) {
    placeStatusWindow();
  } else {
    statusWindow_->move(keepWithin(
        QRect(statusWindow_->pos(), client.grownBy(decoration(statusWindow_))), availableArea()));
  }
}

void MainFrame::placeStatusWindow() {
  statusPlaced_ = true;
  if (fit_ == Fit::Forms) return;
  const QSize frame = statusWindow_->size().grownBy(decoration(this));
  statusPlace_ = placeBeside(frameGeometry(), frame, availableArea(), monitorButtons());
  statusWindow_->move(statusPlace_);
}

QRect MainFrame::monitorButtons() const {
  // On the screen, as far as the main window shows them.
  const QRect shown(scroll_->viewport()->mapToGlobal(QPoint(0, 0)), scroll_->viewport()->size());
  QRect buttons;
  form::Form& f = window_.form();
  for (const char* name : {"Command1", "Command3"}) {
    for (const int i : f.indexes(name)) {
      const QWidget* w = mainView_->widgetFor(name, i);
      if (w == nullptr || !w->isVisibleTo(mainView_)) continue;
      buttons |= QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
    }
  }
  return buttons & shown;
}

void MainFrame::showWindows(Fit fit) {
  fit_ = fit;
  shown_ = true;
  fitToForm();
  show();
  if (fit_ == Fit::Forms) {
    settle();
    return;
  }
  pump_.syncNow();  // the main window's own windows now; the status window once it is placed
  // The window manager decorates and places the main window after it is shown: what it decided
  // is known once the window is exposed.
  auto* wait = new QTimer(this);
  wait->setInterval(20);
  connect(wait, &QTimer::timeout, this, [this, wait, tries = 0]() mutable {
    const bool exposed = windowHandle() != nullptr && windowHandle()->isExposed();
    if ((!exposed || ++tries < 3) && tries < 50) return;
    wait->deleteLater();
    settle();
  });
  wait->start();
}

void MainFrame::settle() {
  if (settled_ || quitting_) return;
  settled_ = true;
  if (fit_ == Fit::Screen) {
    fitToForm();  // with the frame the window manager gave it
    const QPoint at = keepWithin(frameGeometry(), availableArea());
    if (at != frameGeometry().topLeft()) move(at);
  }
  pump_.syncNow();
}

void MainFrame::closeEvent(QCloseEvent* event) {
  // Closing the main window unloads it: the status window goes with it and the program ends.
  event->accept();
  if (quitting_) return;
  pump_.deliver([this] { window_.unload(); });
  // Inside another event (a message box open, a transaction in flight) the pump syncs only when
  // that event ends.
  if (!quitting_ && !pump_.waitingForLink()) syncWindows();
}

void MainFrame::quitLoop() {
  // Only a running loop is told: exit() with none running would make the next one return at once.
  if (QThread::currentThread()->loopLevel() > 0)
    QCoreApplication::exit(window_.context().exitStatus);
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == statusWindow_ && event->type() == QEvent::Close && !quitting_) {
    // The operator closed the status window: it is unloaded until it is used again.
    pump_.deliver([this] { window_.closeStatusWindow(); });
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace kb::qt
