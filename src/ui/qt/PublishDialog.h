#pragma once
// "Options > Publish to MQTT...": the broker, topic prefix, client id, user name, password file
// and TLS, kept per user with QSettings (never the password itself, only the file that holds it).
#include <QDialog>
#include <QString>
#include <functional>

#include "telemetry/PublishSettings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;

namespace kb::qt {

inline constexpr const char* kPublishMenu = "Options";
inline constexpr const char* kPublishAction = "Publish to MQTT...";

struct PublishChoice {
  bool enabled = false;
  telemetry::PublishSettings settings;
};

// The user's saved choice (QSettings, "kb4471/kb4471.ini" in the user's configuration folder).
PublishChoice loadPublishChoice();
void savePublishChoice(const PublishChoice& choice);

class PublishDialog final : public QDialog {
  Q_OBJECT

 public:
  // linkState: the publisher's state in words ("MQTT: connected, 0 dropped"), shown live.
  PublishDialog(const PublishChoice& choice, std::function<QString()> linkState,
                QWidget* parent = nullptr);

  // What the fields say now.
  PublishChoice choice() const;

  // OK: accepted only when publishing is off or the settings are consistent; otherwise the
  // reason is shown and the dialog stays.
  void accept() override;

 private:
  QLineEdit* browseRow(const QString& name, QWidget*& row);
  void syncEnabled();
  void refreshState();

  std::function<QString()> linkState_;
  QCheckBox* enabled_ = nullptr;
  QLineEdit* host_ = nullptr;
  QSpinBox* port_ = nullptr;
  QLineEdit* prefix_ = nullptr;
  QLineEdit* clientId_ = nullptr;
  QLineEdit* user_ = nullptr;
  QLineEdit* passwordFile_ = nullptr;
  QCheckBox* tls_ = nullptr;
  QLineEdit* caFile_ = nullptr;
  QSpinBox* keepAlive_ = nullptr;
  QLabel* state_ = nullptr;
  QTimer* refresh_ = nullptr;
};

}  // namespace kb::qt
