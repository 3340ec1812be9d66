#include "ui/qt/LinkHealthView.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <string>
#include <utility>

namespace kb::qt {

namespace {

QString text(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

const QStringList& headers() {
  static const QStringList h = {QStringLiteral("Board"),
                                QStringLiteral("PEC\nmismatches"),
                                QStringLiteral("Balancer words\nin error"),
                                QStringLiteral("Balancer transfers\nfailed"),
                                QStringLiteral("Last good\ncells"),
                                QStringLiteral("Last good\ntemperatures"),
                                QStringLiteral("Last good\nflags"),
                                QStringLiteral("Last good\nconfiguration"),
                                QStringLiteral("Last good\nbalancer words"),
                                QStringLiteral("Last good\nbalancer status")};
  return h;
}

void setCell(QTableWidget& table, int row, int column, const QString& value) {
  QTableWidgetItem* item = table.item(row, column);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled);
    table.setItem(row, column, item);
  }
  if (item->text() != value) item->setText(value);
}

}  // namespace

LinkHealthView::LinkHealthView(QMainWindow& frame, ui::Context& ctx, EventPump& pump)
    : QObject(&frame), ctx_(ctx), pump_(pump) {
  statusLine_ = new QLabel(&frame);
  statusLine_->setObjectName(QStringLiteral("linkStatus"));
  frame.statusBar()->addWidget(statusLine_, 1);
  publishLine_ = new QLabel(&frame);
  publishLine_->setObjectName(QStringLiteral("publishStatus"));
  frame.statusBar()->addWidget(publishLine_);
  publishLine_->hide();
  connect(&publishPoll_, &QTimer::timeout, this, [this] { refresh(); });

  window_ = new QWidget(&frame, Qt::Window);
  window_->setObjectName(QStringLiteral("linkHealthWindow"));
  window_->setWindowTitle(QStringLiteral("Link health"));
  auto* layout = new QVBoxLayout(window_);
  summary_ = new QLabel(window_);
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  table_ = new QTableWidget(0, static_cast<int>(headers().size()), window_);
  table_->setHorizontalHeaderLabels(headers());
  table_->verticalHeader()->setVisible(false);
  table_->setFocusPolicy(Qt::NoFocus);
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(table_);
  window_->resize(1040, 320);

  hook_ = pump_.addSyncHook([this] { refresh(); });
  refresh();
}

LinkHealthView::~LinkHealthView() {
  pump_.removeSyncHook(hook_);
}

void LinkHealthView::setPublisher(std::function<const telemetry::Publisher*()> publisher) {
  publisher_ = std::move(publisher);
  if (publisher_) {
    publishPoll_.start(1000);
  } else {
    publishPoll_.stop();
  }
  refresh();
}

void LinkHealthView::showWindow() {
  window_->show();
  window_->raise();
  refresh();  // after show: a hidden window is not filled in
}

void LinkHealthView::refresh() {
  const health::LinkHealth& h = ctx_.linkHealth;
  const QString line = text(h.statusLine());
  if (statusLine_->text() != line) statusLine_->setText(line);
  const QString color = h.answering() ? QString() : QStringLiteral("color: #c00000;");
  if (statusLine_->styleSheet() != color) statusLine_->setStyleSheet(color);
  const telemetry::Publisher* publisher = publisher_ ? publisher_() : nullptr;
  const QString publishing = publisher != nullptr
                                 ? QString::fromLatin1(telemetry::linkStateText(publisher->state()))
                                 : QString();
  if (publishLine_->text() != publishing) publishLine_->setText(publishing);
  publishLine_->setVisible(!publishing.isEmpty());
  if (!window_->isVisible()) return;

  std::string summary = h.statusLine();
  if (h.answering() && !h.lastFailure().empty()) summary += "\nLast failure: " + h.lastFailure();
  if (publisher != nullptr) {
    summary += std::string("\n") + telemetry::linkStateText(publisher->state()) + ", " +
               std::to_string(publisher->dropped()) + " messages dropped";
  }
  summary_->setText(text(summary));
  const int boards = ctx_.boards.LastBoardIndex + 1;
  if (table_->rowCount() != boards) table_->setRowCount(boards);
  for (int b = 0; b < boards; ++b) {
    const health::BoardHealth& row = h.board(b);
    setCell(*table_, b, 0, QString::number(b + 1));
    setCell(*table_, b, 1, QString::number(row.pecMismatches));
    setCell(*table_, b, 2, QString::number(row.balancerErrors));
    setCell(*table_, b, 3,
            QString::number(ctx_.balancer.failedTransfers[static_cast<std::size_t>(b)]));
    for (int k = 0; k < health::kReadKinds; ++k) {
      const auto i = static_cast<std::size_t>(k);
      setCell(*table_, b, 4 + k,
              row.lastGoodMicros[i] < 0 ? QStringLiteral("-")
                                        : text(health::timeOfDay(row.lastGood[i])));
    }
  }
}

}  // namespace kb::qt
