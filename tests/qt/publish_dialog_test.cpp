// "Options > Publish to MQTT...": the dialog refuses inconsistent settings, and what it accepts is
// kept per user (in a temporary configuration folder here, never the real one).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <sstream>

#include "QtTestUtil.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"
#include "ui/qt/AppWindows.h"
#include "ui/qt/PublishDialog.h"

namespace kb::qt {
namespace {

TEST(PublishDialogTest, RefusesTlsWithoutCaAndKeepsWhatItAccepts) {
  QTemporaryDir config;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
  EXPECT_FALSE(loadPublishChoice().enabled);
  {
    // A choice an earlier version kept in kb4471.ini is still found.
    QSettings former(config.path() + "/kb4471/kb4471.ini", QSettings::IniFormat);
    former.setValue("publish/enabled", true);
    former.setValue("publish/host", "old.lab");
  }
  EXPECT_EQ(loadPublishChoice().settings.host, "old.lab");

  PublishDialog dialog(loadPublishChoice(), [] { return QStringLiteral("MQTT: off"); });
  const auto box = [&](const char* name) { return dialog.findChild<QLineEdit*>(name); };
  dialog.findChild<QCheckBox*>("enabled")->setChecked(true);
  box("host")->setText("broker.lab");
  box("prefix")->setText("lab/bench3");
  box("user")->setText("ops");
  box("passwordFile")->setText("/etc/kb4471/pw");
  dialog.findChild<QCheckBox*>("tls")->setChecked(true);
  EXPECT_EQ(dialog.findChild<QSpinBox*>("port")->value(), 8883);  // the usual TLS port follows
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_TRUE(dialog.findChild<QLabel*>("publishState")->text().contains("CA file"));

  box("caFile")->setText("/etc/kb4471/ca.crt");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  savePublishChoice(dialog.choice());

  const PublishChoice kept = loadPublishChoice();
  EXPECT_TRUE(kept.enabled);
  EXPECT_EQ(telemetry::publishUrl(kept.settings), "mqtts://ops@broker.lab:8883/lab/bench3");
  EXPECT_EQ(kept.settings.passwordFile, "/etc/kb4471/pw");
  EXPECT_EQ(kept.settings.caFile, "/etc/kb4471/ca.crt");
  EXPECT_TRUE(QFile::exists(config.path() + "/kb4471/kb4471.conf"));
}

TEST(PublishDialogTest, OwnItemsKeepTheirMenuAcrossRebuildsAndJoinAFormMenuOfTheirTitle) {
  ManualClock clock;
  std::ostringstream messages;
  app::PrintingDialogs dialogs{messages};
  app::Options options;
  options.device = "sim";
  app::Session session(options, clock, dialogs);
  MainFrame frame(session.window());
  QAction* publish = frame.addOwnItem(kPublishMenu, kPublishAction);
  const auto menuTitles = [&] {
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions()) titles << a->text();
    return titles;
  };
  EXPECT_EQ(menuTitles(), (QStringList{"File", "Datalog", "View", "Options"}));
  // The form gains a menu item (the bar is rebuilt), then a menu "Options" of its own.
  session.window().form().addMenuItem({"File", "mnuExtra", "Extra"});
  frame.pump().syncNow();
  EXPECT_EQ(menuTitles(), (QStringList{"File", "Datalog", "View", "Options"}));
  session.window().form().addMenuItem({"Options", "mnuSpeed", "Speed"});
  frame.pump().syncNow();
  EXPECT_EQ(menuTitles(), (QStringList{"File", "Datalog", "View", "Options"}));
  QMenu* options1 = frame.menuBar()->actions().back()->menu();
  ASSERT_EQ(options1->actions().size(), 4);
  EXPECT_EQ(options1->actions()[0]->text(), "Held link");
  EXPECT_EQ(options1->actions()[2]->text(), "Speed");
  EXPECT_EQ(options1->actions()[3], publish);
}

}  // namespace
}  // namespace kb::qt
