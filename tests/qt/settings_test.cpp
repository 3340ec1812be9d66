// What an interactive run keeps between runs: the export folder given and the window positions.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <sstream>

#include "QtTestUtil.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"
#include "app/gui/UserSettings.h"
#include "ui/qt/AppWindows.h"

namespace kb::app {
namespace {

TEST(UserSettingsTest, ExportFolderGivenIsUsedLaterWhileItCanBeWritten) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("kb4471.conf"));
  const std::string out = dir.filePath(QStringLiteral("out")).toStdString();
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(out)));

  EXPECT_EQ(UserSettings(file).exportFolder(""), "");
  EXPECT_EQ(UserSettings(file).exportFolder(out), out);
  EXPECT_EQ(UserSettings(file).exportFolder(""), out);
  ASSERT_TRUE(QDir(QString::fromStdString(out)).removeRecursively());
  EXPECT_EQ(UserSettings(file).exportFolder(""), "");  // gone: the program's default again
}

TEST(UserSettingsTest, WindowsComeBackWhereTheyStood) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("kb4471.conf"));
  struct Run {
    Run() : session(options(), clock, dialogs), frame(session.window()) {}
    static Options options() {
      Options o;
      o.device = "sim";
      return o;
    }
    ManualClock clock;
    std::ostringstream messages;
    PrintingDialogs dialogs{messages};
    Session session;
    qt::MainFrame frame;
  };
  {
    Run run;
    UserSettings settings(file);
    settings.restoreWindows(run.frame);
    ASSERT_TRUE(run.session.window().load());
    run.frame.showWindows();
    ASSERT_TRUE(test::waitFor([&] { return run.frame.settled(); }));
    ASSERT_TRUE(run.frame.statusWindow()->isVisible());
    run.frame.move(130, 90);
    run.frame.statusWindow()->move(420, 210);
    settings.saveWindows(run.frame);
  }
  Run run;
  UserSettings settings(file);
  settings.restoreWindows(run.frame);
  ASSERT_TRUE(run.session.window().load());
  run.frame.showWindows();
  ASSERT_TRUE(test::waitFor([&] { return run.frame.settled(); }));
  EXPECT_EQ(run.frame.pos(), QPoint(130, 90));
  EXPECT_EQ(run.frame.statusWindow()->pos(), QPoint(420, 210));
}

}  // namespace
}  // namespace kb::app
