// The recording menu items on the real menu bar: enabled with the GUI's dialogs, the tick while a
// recording runs, and an export through the progress dialog.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAction>
#include <QFileInfo>
#include <filesystem>
#include <sstream>

#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"
#include "ui/qt/AppWindows.h"
#include "ui/qt/RecordingDialogs.h"

namespace kb::qt {
namespace {

namespace fs = std::filesystem;

TEST(RecordingMenu, TickWhileRecordingAndAnExportWithProgress) {
  std::string pattern = (fs::temp_directory_path() / "kb-qtrec-XXXXXX").string();
  const fs::path dir = ::mkdtemp(pattern.data());
  app::Options o;
  o.device = "sim";
  ManualClock clock;
  std::ostringstream messages;
  app::PrintingDialogs dialogs(messages);
  app::Session session(o, clock, dialogs);
  ASSERT_TRUE(session.window().load());
  MainFrame frame(session.window());
  QAction* record = frame.menuAction("Record session...");
  QAction* stop = frame.menuAction("Stop recording");
  ASSERT_NE(record, nullptr);
  ASSERT_NE(stop, nullptr);
  EXPECT_FALSE(record->isEnabled());  // no dialogs to choose a file with
  {
    RecordingDialogs recording(session.window(), frame.pump(), &frame);
    EXPECT_TRUE(record->isEnabled());
    EXPECT_TRUE(frame.menuAction("Export recording...")->isEnabled());
    EXPECT_FALSE(stop->isEnabled());

    const QString db = QString::fromStdString((dir / "s.db").string());
    recording.startChosen(db, false);
    EXPECT_TRUE(record->isChecked());
    EXPECT_FALSE(record->isEnabled());
    EXPECT_TRUE(stop->isEnabled());
    frame.pump().deliver([&] { session.window().tick(); });
    stop->trigger();
    EXPECT_FALSE(record->isChecked());
    EXPECT_FALSE(stop->isEnabled());

    const QString out = QString::fromStdString((dir / "s.xlsx").string());
    EXPECT_TRUE(recording.exportWithProgress(db, out));
    EXPECT_TRUE(QFileInfo(out).size() > 0);
  }
  EXPECT_FALSE(record->isEnabled());
  EXPECT_EQ(messages.str(), "");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace kb::qt
