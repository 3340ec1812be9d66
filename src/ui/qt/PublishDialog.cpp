#include "ui/qt/PublishDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace kb::qt {

namespace {

// The one per-user file of the program ($XDG_CONFIG_HOME/kb4471/kb4471.conf), beside the export
// folder and the window places.
QSettings userSettings() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("kb4471"),
                   QStringLiteral("kb4471"));
}

// Earlier versions kept the choice in kb4471.ini of the same folder.
QSettings formerSettings() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("kb4471"),
                   QStringLiteral("kb4471"));
}

QString text(const std::string& s) {
  return QString::fromStdString(s);
}

std::string plain(const QLineEdit* box) {
  return box->text().trimmed().toStdString();
}

}  // namespace

PublishChoice loadPublishChoice() {
  QSettings current = userSettings();
  QSettings former = formerSettings();
  const bool moved = !current.childGroups().contains(QStringLiteral("publish")) &&
                     former.childGroups().contains(QStringLiteral("publish"));
  QSettings& s = moved ? former : current;
  s.beginGroup(QStringLiteral("publish"));
  PublishChoice c;
  telemetry::PublishSettings& p = c.settings;
  c.enabled = s.value(QStringLiteral("enabled"), false).toBool();
  p.host = s.value(QStringLiteral("host")).toString().toStdString();
  p.tls = s.value(QStringLiteral("tls"), false).toBool();
  p.port =
      s.value(QStringLiteral("port"), p.tls ? telemetry::kTlsPort : telemetry::kPlainPort).toInt();
  p.prefix = s.value(QStringLiteral("prefix")).toString().toStdString();
  p.clientId = s.value(QStringLiteral("clientId")).toString().toStdString();
  p.user = s.value(QStringLiteral("user")).toString().toStdString();
  p.passwordFile = s.value(QStringLiteral("passwordFile")).toString().toStdString();
  p.caFile = s.value(QStringLiteral("caFile")).toString().toStdString();
  p.keepAlive = s.value(QStringLiteral("keepAlive"), telemetry::kDefaultKeepAlive).toInt();
  return c;
}

void savePublishChoice(const PublishChoice& c) {
  QSettings s = userSettings();
  s.beginGroup(QStringLiteral("publish"));
  const telemetry::PublishSettings& p = c.settings;
  s.setValue(QStringLiteral("enabled"), c.enabled);
  s.setValue(QStringLiteral("host"), text(p.host));
  s.setValue(QStringLiteral("port"), p.port);
  s.setValue(QStringLiteral("prefix"), text(p.prefix));
  s.setValue(QStringLiteral("clientId"), text(p.clientId));
  s.setValue(QStringLiteral("user"), text(p.user));
  s.setValue(QStringLiteral("passwordFile"), text(p.passwordFile));
  s.setValue(QStringLiteral("tls"), p.tls);
  s.setValue(QStringLiteral("caFile"), text(p.caFile));
  s.setValue(QStringLiteral("keepAlive"), p.keepAlive);
  s.endGroup();
  s.sync();
}

PublishDialog::PublishDialog(const PublishChoice& choice, std::function<QString()> linkState,
                             QWidget* parent)
    : QDialog(parent), linkState_(std::move(linkState)) {
  setObjectName(QStringLiteral("publishDialog"));
  setWindowTitle(QStringLiteral("Publish to MQTT"));
  setMinimumWidth(440);
  const telemetry::PublishSettings& p = choice.settings;

  enabled_ = new QCheckBox(QStringLiteral("Publish readings and alarms"), this);
  enabled_->setChecked(choice.enabled);
  host_ = new QLineEdit(text(p.host), this);
  host_->setPlaceholderText(QStringLiteral("broker.example.lab"));
  port_ = new QSpinBox(this);
  port_->setRange(1, 65535);
  port_->setValue(p.port);
  prefix_ = new QLineEdit(text(p.prefix), this);
  prefix_->setPlaceholderText(QStringLiteral("lab/bench3"));
  clientId_ = new QLineEdit(text(p.clientId), this);
  clientId_->setPlaceholderText(QStringLiteral("kb4471-HOST-PID"));
  user_ = new QLineEdit(text(p.user), this);
  QWidget* passwordRow = nullptr;
  passwordFile_ = browseRow(QStringLiteral("Password file"), passwordRow);
  passwordFile_->setText(text(p.passwordFile));
  passwordFile_->setToolTip(QStringLiteral("The password is the first line of this file"));
  tls_ = new QCheckBox(QStringLiteral("TLS, checking the broker's certificate"), this);
  tls_->setChecked(p.tls);
  QWidget* caRow = nullptr;
  caFile_ = browseRow(QStringLiteral("CA file"), caRow);
  caFile_->setText(text(p.caFile));
  keepAlive_ = new QSpinBox(this);
  keepAlive_->setRange(telemetry::kMinKeepAlive, telemetry::kMaxKeepAlive);
  keepAlive_->setSuffix(QStringLiteral(" s"));
  keepAlive_->setValue(p.keepAlive);
  state_ = new QLabel(this);
  state_->setObjectName(QStringLiteral("publishState"));
  state_->setWordWrap(true);

  host_->setObjectName(QStringLiteral("host"));
  port_->setObjectName(QStringLiteral("port"));
  prefix_->setObjectName(QStringLiteral("prefix"));
  clientId_->setObjectName(QStringLiteral("clientId"));
  user_->setObjectName(QStringLiteral("user"));
  passwordFile_->setObjectName(QStringLiteral("passwordFile"));
  tls_->setObjectName(QStringLiteral("tls"));
  caFile_->setObjectName(QStringLiteral("caFile"));
  enabled_->setObjectName(QStringLiteral("enabled"));

  auto* form = new QFormLayout;
  form->addRow(enabled_);
  form->addRow(QStringLiteral("Host"), host_);
  form->addRow(QStringLiteral("Port"), port_);
  form->addRow(QStringLiteral("Topic prefix"), prefix_);
  form->addRow(QStringLiteral("Client id"), clientId_);
  form->addRow(QStringLiteral("User name"), user_);
  form->addRow(QStringLiteral("Password file"), passwordRow);
  form->addRow(tls_);
  form->addRow(QStringLiteral("CA file"), caRow);
  form->addRow(QStringLiteral("Keep-alive"), keepAlive_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &PublishDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &PublishDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(state_);
  layout->addWidget(buttons);

  // The usual port follows TLS while it is one of the two usual ports.
  connect(tls_, &QCheckBox::toggled, this, [this](bool on) {
    if (port_->value() == (on ? telemetry::kPlainPort : telemetry::kTlsPort)) {
      port_->setValue(on ? telemetry::kTlsPort : telemetry::kPlainPort);
    }
    syncEnabled();
  });
  connect(enabled_, &QCheckBox::toggled, this, [this] { syncEnabled(); });
  syncEnabled();

  refresh_ = new QTimer(this);
  connect(refresh_, &QTimer::timeout, this, &PublishDialog::refreshState);
  refresh_->start(500);
  refreshState();
}

QLineEdit* PublishDialog::browseRow(const QString& name, QWidget*& row) {
  row = new QWidget(this);
  auto* box = new QLineEdit(row);
  auto* browse = new QPushButton(QStringLiteral("Browse..."), row);
  auto* h = new QHBoxLayout(row);
  h->setContentsMargins(0, 0, 0, 0);
  h->addWidget(box, 1);
  h->addWidget(browse);
  connect(browse, &QPushButton::clicked, this, [this, box, name] {
    const QString file = QFileDialog::getOpenFileName(this, name, box->text());
    if (!file.isEmpty()) box->setText(file);
  });
  return box;
}

void PublishDialog::syncEnabled() {
  const bool on = enabled_->isChecked();
  for (QWidget* w :
       std::initializer_list<QWidget*>{host_, port_, prefix_, clientId_, user_,
                                       passwordFile_->parentWidget(), tls_, keepAlive_}) {
    w->setEnabled(on);
  }
  caFile_->parentWidget()->setEnabled(on && tls_->isChecked());
}

void PublishDialog::refreshState() {
  if (linkState_) state_->setText(linkState_());
}

PublishChoice PublishDialog::choice() const {
  PublishChoice c;
  c.enabled = enabled_->isChecked();
  telemetry::PublishSettings& p = c.settings;
  p.host = plain(host_);
  p.port = port_->value();
  p.prefix = plain(prefix_);
  p.clientId = plain(clientId_);
  p.user = plain(user_);
  p.passwordFile = plain(passwordFile_);
  p.tls = tls_->isChecked();
  p.caFile = plain(caFile_);  // kept while TLS is off, used only with it
  p.keepAlive = keepAlive_->value();
  return c;
}

void PublishDialog::accept() {
  const PublishChoice c = choice();
  std::string why;
  if (c.enabled && !telemetry::checkSettings(c.settings, why)) {
    state_->setText(QStringLiteral("Not saved: ") + text(why));
    refresh_->stop();
    return;
  }
  QDialog::accept();
}

}  // namespace kb::qt
