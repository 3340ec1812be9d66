#include "ui/qt/AlarmWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "alarms/AlarmList.h"
#include "context/Context.h"

namespace kb::qt {

namespace {

enum Column { kMark, kRaised, kCleared, kBoard, kChannel, kLimit, kValue, kText, kColumns };

const QColor kUnacknowledged(0xff, 0xe0, 0xe0);

QString text(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

AlarmWindow::AlarmWindow(ui::Context& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx) {
  setObjectName(QStringLiteral("alarmWindow"));
  setWindowTitle(QStringLiteral("Alarms"));
  setAttribute(Qt::WA_ShowWithoutActivating);

  // Shown in the main window's status line, which takes it over.
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("alarmStatus"));
  status_->hide();
  table_ = new QTableWidget(0, kColumns, this);
  table_->setHorizontalHeaderLabels({QString(), QStringLiteral("Raised"), QStringLiteral("Cleared"),
                                     QStringLiteral("Board"), QStringLiteral("Cell or sensor"),
                                     QStringLiteral("Limit"), QStringLiteral("Value"),
                                     QStringLiteral("Alarm")});
  table_->verticalHeader()->setVisible(false);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setFocusPolicy(Qt::ClickFocus);
  acknowledge_ = new QPushButton(QStringLiteral("Acknowledge"), this);
  acknowledge_->setFocusPolicy(Qt::ClickFocus);
  acknowledge_->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel(QStringLiteral("Unacknowledged alarms are marked \u25cf."), this));
  buttons->addStretch(1);
  buttons->addWidget(acknowledge_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  layout->addLayout(buttons);
  resize(900, 320);

  connect(acknowledge_, &QPushButton::clicked, this, [this] { acknowledgeSelected(); });
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    if (alarms::acknowledgeAlarm(ctx_, alarmAt(row))) sync();
  });
  connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { followSelection(); });
  subscription_ =
      ctx_.alarmEvents.subscribe([this](alarms::Event, const alarms::Alarm&) { dirty_ = true; });
  sync();
}

AlarmWindow::~AlarmWindow() {
  ctx_.alarmEvents.unsubscribe(subscription_);
}

int AlarmWindow::alarmAt(int row) const {
  const QTableWidgetItem* item = table_->item(row, kMark);
  return item == nullptr ? 0 : item->data(Qt::UserRole).toInt();
}

void AlarmWindow::sync() {
  const alarms::Book& book = ctx_.alarmBook;
  const QString line = text(alarms::alarmStatusText(book));
  if (status_->text() != line) status_->setText(line);
  const QString colour =
      alarms::unacknowledgedActive(book) > 0 ? QStringLiteral("color: #c00000;") : QString();
  if (status_->styleSheet() != colour) status_->setStyleSheet(colour);
  if (dirty_ && isVisible()) refresh();
}

void AlarmWindow::refresh() {
  dirty_ = false;
  const std::vector<alarms::AlarmRow> rows = alarms::alarmRows(ctx_.alarmBook, ctx_.services.clock);
  // The selection is kept by alarm, as new alarms push the rows down.
  std::vector<int> selected;
  for (const QModelIndex& i : table_->selectionModel()->selectedRows()) {
    selected.push_back(alarmAt(i.row()));
  }
  const QSignalBlocker blocker(table_);
  table_->clearSelection();
  table_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const alarms::AlarmRow& a = rows[static_cast<std::size_t>(r)];
    const bool marked = !a.acknowledged;
    const QString cells[kColumns] = {marked ? QStringLiteral("\u25cf") : QString(),
                                     text(a.raised),
                                     a.active ? QStringLiteral("active") : text(a.cleared),
                                     text(a.board),
                                     text(a.channel),
                                     text(a.limit),
                                     text(a.value),
                                     text(a.text)};
    for (int c = 0; c < kColumns; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      QFont font = item->font();
      font.setBold(marked);
      item->setFont(font);
      if (marked) item->setBackground(kUnacknowledged);
      if (c == kMark) item->setData(Qt::UserRole, a.id);
      item->setToolTip(marked ? QStringLiteral("Not acknowledged: double-click to acknowledge")
                              : QStringLiteral("Acknowledged"));
      table_->setItem(r, c, item);
    }
    for (int id : selected) {
      if (id == a.id) {
        table_->selectionModel()->select(table_->model()->index(r, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
      }
    }
  }
  followSelection();
}

void AlarmWindow::followSelection() {
  bool any = false;
  for (const QModelIndex& i : table_->selectionModel()->selectedRows()) {
    const alarms::Alarm* a = ctx_.alarmBook.find(alarmAt(i.row()));
    any = any || (a != nullptr && !a->acknowledged);
  }
  acknowledge_->setEnabled(any);
}

void AlarmWindow::acknowledgeSelected() {
  std::vector<int> ids;
  for (const QModelIndex& i : table_->selectionModel()->selectedRows()) {
    ids.push_back(alarmAt(i.row()));
  }
  for (int id : ids) alarms::acknowledgeAlarm(ctx_, id);
  sync();
}

void AlarmWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  dirty_ = true;
  sync();
}

void AlarmWindow::closeEvent(QCloseEvent* event) {
  ctx_.alarmList.open = false;
  event->accept();
}

}  // namespace kb::qt
