#include "ui/qt/RecordingDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <thread>

#include "record/Export.h"
#include "record/Recording.h"

namespace kb::qt {

namespace {

constexpr int kProgressSteps = 1000;

QString documentsFolder() {
  const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return docs.isEmpty() ? QDir::homePath() : docs;
}

}  // namespace

RecordingDialogs::RecordingDialogs(ui::MainWindow& window, EventPump& pump, QWidget* parent)
    : window_(window), pump_(pump), parent_(parent) {
  record::attachUi(window_.context(), this);
  pump_.syncNow();
}

RecordingDialogs::~RecordingDialogs() {
  record::attachUi(window_.context(), nullptr);
  pump_.syncNow();
}

void RecordingDialogs::requestRecording(const std::string& suggestedName) {
  const QString name = QString::fromStdString(suggestedName);
  QTimer::singleShot(0, this, [this, name] { chooseRecording(name); });
}

void RecordingDialogs::requestExport(const std::string& lastRecording) {
  const QString last = QString::fromStdString(lastRecording);
  QTimer::singleShot(0, this, [this, last] { chooseExport(last); });
}

void RecordingDialogs::tell(const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("KB4471"), text, QMessageBox::Ok,
                  parent_.data());
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void RecordingDialogs::chooseRecording(const QString& suggestedName) {
  const QString file =
      QFileDialog::getSaveFileName(parent_.data(), QStringLiteral("Record session"),
                                   QDir(documentsFolder()).filePath(suggestedName),
                                   QStringLiteral("Recordings (*.db);;All files (*)"));
  if (file.isEmpty()) return;
  // The dialog has asked before choosing a file that exists.
  startChosen(file, QFileInfo::exists(file));
}

void RecordingDialogs::startChosen(const QString& file, bool replace) {
  std::string why;
  bool started = false;
  pump_.deliver([&] {
    started = record::startRecording(window_.context(), file.toStdString(), replace,
                                     record::Writer::Mode::Background, why);
  });
  if (!started) {
    tell(QStringLiteral("Could not start recording to %1:\n%2")
             .arg(file, QString::fromStdString(why)));
  }
}

void RecordingDialogs::chooseExport(const QString& lastRecording) {
  const QString recording =
      QFileDialog::getOpenFileName(parent_.data(), QStringLiteral("Export recording"),
                                   lastRecording.isEmpty() ? documentsFolder() : lastRecording,
                                   QStringLiteral("Recordings (*.db);;All files (*)"));
  if (recording.isEmpty()) return;
  const QFileInfo in(recording);
  const QString workbook = QStringLiteral("Workbook (*.xlsx)");
  const QString csv = QStringLiteral("Cell voltages as CSV (*.csv)");
  QString filter = workbook;
  QString output = QFileDialog::getSaveFileName(
      parent_.data(), QStringLiteral("Export recording to"),
      in.dir().filePath(in.completeBaseName() + QStringLiteral(".xlsx")),
      workbook + QStringLiteral(";;") + csv, &filter);
  if (output.isEmpty()) return;
  record::ExportFormat format;
  if (!record::formatOfName(output.toStdString(), format)) {
    output += filter == csv ? QStringLiteral(".csv") : QStringLiteral(".xlsx");
  }
  exportWithProgress(recording, output);
}

bool RecordingDialogs::exportWithProgress(const QString& recording, const QString& output) {
  if (QFileInfo(recording).canonicalFilePath() == QFileInfo(output).canonicalFilePath()) {
    tell(QStringLiteral("The export cannot replace the recording it reads."));
    return false;
  }
  record::ExportFormat format = record::ExportFormat::Xlsx;
  record::formatOfName(output.toStdString(), format);

  QProgressDialog progress(QStringLiteral("Exporting %1 to %2...")
                               .arg(QFileInfo(recording).fileName(), QFileInfo(output).fileName()),
                           QStringLiteral("Cancel"), 0, kProgressSteps, parent_.data());
  progress.setWindowTitle(QStringLiteral("Export recording"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setValue(0);

  // The export runs on a thread of its own; this loop keeps the windows (and the timer) going.
  std::atomic<std::uint64_t> done{0};
  std::atomic<std::uint64_t> total{0};
  std::atomic<bool> cancel{false};
  std::atomic<bool> finished{false};
  record::ExportResult result;
  const std::string in = recording.toStdString();
  const std::string out = output.toStdString();
  std::thread worker([&] {
    result = record::exportRecording(in, out, format, [&](std::uint64_t d, std::uint64_t t) {
      done = d;
      total = t;
      return !cancel.load();
    });
    finished = true;
  });
  while (!finished.load()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (progress.wasCanceled()) cancel = true;
    const std::uint64_t t = total.load();
    if (t > 0) progress.setValue(static_cast<int>(done.load() * (kProgressSteps - 1) / t));
    QThread::msleep(10);
  }
  worker.join();
  progress.reset();
  if (result.ok) return true;
  if (!result.cancelled) {
    tell(QStringLiteral("Could not export %1 to %2:\n%3")
             .arg(recording, output, QString::fromStdString(result.error)));
  }
  return false;
}

}  // namespace kb::qt
