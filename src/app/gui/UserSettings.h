#pragma once
// What an interactive run keeps for its user between runs, with QSettings in the usual per-user
// place ($XDG_CONFIG_HOME/kb4471/kb4471.conf): the last export folder given and where the two
// windows stood. The headless runner and the screenshot mode never read or write it, so their
// runs stay the same everywhere. The forms' own start-up values are not touched.
#include <QSettings>
#include <memory>
#include <string>

namespace kb::qt {
class MainFrame;
}

namespace kb::app {

class UserSettings {
 public:
  // The per-user settings, or the settings file given (tests).
  explicit UserSettings(const QString& file = {});
  ~UserSettings();
  UserSettings(const UserSettings&) = delete;
  UserSettings& operator=(const UserSettings&) = delete;

  // The export folder of this run: the folder given, which is remembered; else the one
  // remembered while it can still be written; else empty (the program's default).
  std::string exportFolder(const std::string& given);
  // Puts the main window where it was (call before showing it) and the status window there
  // when it is first shown; a position on no screen is ignored.
  void restoreWindows(qt::MainFrame& frame);
  // Remembers where the windows stand; a status window not shown this run keeps its old place.
  void saveWindows(qt::MainFrame& frame);

 private:
  std::unique_ptr<QSettings> settings_;
  std::unique_ptr<QObject> statusPlacer_;
};

}  // namespace kb::app
