#include "app/gui/PublishMenu.h"

#include <QAction>
#include <memory>

#include "ui/qt/LinkHealthView.h"
#include "ui/qt/PublishDialog.h"

namespace kb::app {

namespace {

QString linkState(const Session& session) {
  const telemetry::Publisher* p = session.publisher();
  if (p == nullptr) return QString::fromLatin1(telemetry::linkStateText(telemetry::LinkState::Off));
  QString text = QStringLiteral("%1, %2 dropped")
                     .arg(QString::fromLatin1(telemetry::linkStateText(p->state())))
                     .arg(p->dropped());
  const std::string error = p->lastError();
  if (!error.empty() && p->state() != telemetry::LinkState::Connected) {
    text += QStringLiteral("\nLast failure: ") + QString::fromStdString(error);
  }
  return text;
}

void apply(Session& session, const qt::PublishChoice& choice, form::Dialogs& dialogs) {
  if (!choice.enabled) {
    session.stopPublishing();
    return;
  }
  std::string error;
  if (!session.startPublishing(choice.settings, error)) {
    dialogs.msgBox("Publishing to MQTT did not start: " + error, form::kAppTitle);
  }
}

}  // namespace

void setUpPublishing(qt::MainFrame& frame, Session& session, const Options& options,
                     form::Dialogs& dialogs, bool savedChoice) {
  auto current = std::make_shared<qt::PublishChoice>();
  if (options.publishing) {
    *current = {true, options.publish};
  } else if (savedChoice) {
    *current = qt::loadPublishChoice();
    if (current->enabled) apply(session, *current, dialogs);
  }
  frame.linkHealth().setPublisher([&session] { return session.publisher(); });
  QAction* action = frame.addOwnItem(QString::fromLatin1(qt::kPublishMenu),
                                     QString::fromLatin1(qt::kPublishAction));
  QObject::connect(action, &QAction::triggered, &frame, [&frame, &session, &dialogs, current] {
    qt::PublishDialog dialog(
        *current, [&session] { return linkState(session); }, &frame);
    if (dialog.exec() != QDialog::Accepted) return;
    *current = dialog.choice();
    qt::savePublishChoice(*current);
    apply(session, *current, dialogs);
  });
}

}  // namespace kb::app
