#include "app/gui/UserSettings.h"

#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "common/UserFolders.h"
#include "ui/qt/AppWindows.h"

namespace kb::app {

namespace {

const QString kExportFolder = QStringLiteral("export/folder");
const QString kMainWindow = QStringLiteral("windows/main");
const QString kStatusWindow = QStringLiteral("windows/status");

// A saved position still on a screen (a monitor may have gone since).
bool onScreen(const QVariant& saved) {
  return saved.canConvert<QPoint>() &&
         QGuiApplication::screenAt(saved.toPoint() + QPoint(20, 20)) != nullptr;
}

// Moves the status window to its saved place as it is first shown (the main window places it
// first, beside itself), and tells whether it was shown at all.
class StatusPlacer final : public QObject {
 public:
  explicit StatusPlacer(QVariant saved) : saved_(std::move(saved)) {}
  bool shown = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && !shown) {
      shown = true;
      if (onScreen(saved_)) static_cast<QWidget*>(watched)->move(saved_.toPoint());
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QVariant saved_;
};

}  // namespace

UserSettings::UserSettings(const QString& file)
    // The native format is INI text in $XDG_CONFIG_HOME/kb4471/kb4471.conf.
    : settings_(file.isEmpty() ? std::make_unique<QSettings>(
                                     QSettings::NativeFormat, QSettings::UserScope,
                                     QStringLiteral("kb4471"), QStringLiteral("kb4471"))
                               : std::make_unique<QSettings>(file, QSettings::IniFormat)) {}

UserSettings::~UserSettings() = default;

std::string UserSettings::exportFolder(const std::string& given) {
  if (!given.empty()) {
    settings_->setValue(kExportFolder, QDir(QString::fromStdString(given)).absolutePath());
    return given;
  }
  const std::string remembered = settings_->value(kExportFolder).toString().toStdString();
  return folderWritable(remembered) ? remembered : std::string();
}

void UserSettings::restoreWindows(qt::MainFrame& frame) {
  const QVariant main = settings_->value(kMainWindow);
  if (onScreen(main)) frame.move(main.toPoint());
  statusPlacer_ = std::make_unique<StatusPlacer>(settings_->value(kStatusWindow));
  frame.statusWindow()->installEventFilter(statusPlacer_.get());
}

void UserSettings::saveWindows(qt::MainFrame& frame) {
  settings_->setValue(kMainWindow, frame.pos());
  const auto* placer = static_cast<StatusPlacer*>(statusPlacer_.get());
  if (placer != nullptr && placer->shown) {
    settings_->setValue(kStatusWindow, frame.statusWindow()->pos());
  }
  settings_->sync();
}

}  // namespace kb::app
