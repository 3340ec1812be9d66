#pragma once
// The GUI's dialogs of the recording menu items: the save dialog of "Record session..." and the
// file choices and cancellable progress dialog of "Export recording...". They open after the menu
// procedure has ended, so the timer keeps ticking (and the watchdog served) while they are up.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>

#include "record/RecordingState.h"
#include "ui/main/MainWindow.h"
#include "ui/qt/EventPump.h"

namespace kb::qt {

class RecordingDialogs final : public QObject, public record::RecordingUi {
  Q_OBJECT

 public:
  // Attaches itself to the window's recording (and detaches when destroyed).
  RecordingDialogs(ui::MainWindow& window, EventPump& pump, QWidget* parent);
  ~RecordingDialogs() override;

  void requestRecording(const std::string& suggestedName) override;
  void requestExport(const std::string& lastRecording) override;

  // Starts recording into a file the operator chose (replace: the save dialog confirmed
  // replacing it); a failure is told in a message box.
  void startChosen(const QString& file, bool replace);
  // Exports with a progress dialog; returns true when the file was written. A failure is told in
  // a message box, a cancel leaves nothing behind.
  bool exportWithProgress(const QString& recording, const QString& output);

 private:
  void chooseRecording(const QString& suggestedName);
  void chooseExport(const QString& lastRecording);
  void tell(const QString& text);

  ui::MainWindow& window_;
  EventPump& pump_;
  QPointer<QWidget> parent_;
};

}  // namespace kb::qt
