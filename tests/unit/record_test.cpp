// Session recording: a scripted three-board session recorded as it runs (the database against
// the trace and the window), its alarm, its exports read back by independent readers, and what
// a cancelled or failed export leaves.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ScriptProgram.h"
#include "context/Context.h"
#include "record/Export.h"
#include "record/Recording.h"
#include "record/Sqlite.h"

namespace kb::record {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "kb-record-XXXXXX").string();
    path = ::mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path); }
  std::string operator/(const char* name) const { return (path / name).string(); }
  std::vector<std::string> files() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path)) out.push_back(e.path().filename());
    return out;
  }
  fs::path path;
};

std::string fourDecimals(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", v);
  return text;
}

// Three boards, continuous read, a DEMO balancing run, PEC faults, and cell 7 of board 2 over
// the VOV written through the limits editor until its DCC discharges it.
std::string sessionScript() {
  std::string s =
      "select Combo1 2\nclick Command0 1\nfocus Text2 1\ntype Text2 1 4.2\nclick Command1 5\n"
      "click Command1 10\n";
  for (int i = 0; i < 300; ++i) s += "tick\n";
  s += "click Command1 10\ntab 1\nclick Check_6\nclick Command_2 2\nclick Check_4\n";
  for (int i = 0; i < 30; ++i) s += "tick\n";
  s += "tab 0\nclick Command4 1\nclick Check1 6\nclick Command1 5\nclick Command1 10\n";
  for (int i = 0; i < 300; ++i) s += "tick\n";
  return s + "click Command1 10\n";
}

class ScriptedSession : public testing::Test {
 protected:
  // What the window showed after each cell read, in the order of the reads.
  struct Shown {
    int board = 0;
    std::vector<std::string> values;  // the board's value table, as its panels show it
    std::vector<std::string> boxes;   // the cell boxes, when the board was the one shown
  };

  static void SetUpTestSuite() {
    dir = new TempDir;
    app::Options o;
    o.device = "sim:boards=3,fault=pec:0.05,cell=2:7:4.2315";
    o.traceFile = *dir / "trace.txt";
    o.recordFile = *dir / "session.db";
    o.headless = true;
    test::ScriptProgram p(o);
    ASSERT_TRUE(p.loaded);
    ui::Context& ctx = p.session->window().context();
    std::vector<int> readBoards;
    ctx.readings.subscribe([&](const readings::Reading& r) {
      if (r.kind == readings::Kind::Cells) readBoards.push_back(r.board);
    });
    shown = new std::vector<Shown>;
    std::istringstream lines(sessionScript());
    for (std::string line; std::getline(lines, line);) {
      ASSERT_TRUE(p.runner->runLine(line)) << line << ": " << p.runner->error();
      for (int b : readBoards) {
        Shown s{b, {}, {}};
        for (int c = 1; c <= 12; ++c) {
          s.values.push_back(fourDecimals(ctx.measure.volts[static_cast<std::size_t>(b * 12 + c)]));
          if (b == ctx.boards.CurrentBoard) s.boxes.push_back(ctx.c.Text1[c - 1].text());
        }
        shown->push_back(s);
      }
      readBoards.clear();
    }
    stopRecording(ctx);
  }
  static void TearDownTestSuite() {
    delete shown;
    delete dir;
  }

  static std::int64_t count(const char* sql) {
    sql::Db db(*dir / "session.db", SQLITE_OPEN_READONLY);
    return db.integer(sql);
  }

  static TempDir* dir;
  static std::vector<Shown>* shown;
};

TempDir* ScriptedSession::dir = nullptr;
std::vector<ScriptedSession::Shown>* ScriptedSession::shown = nullptr;

TEST_F(ScriptedSession, HoldsEveryReadOfTheTraceAsTheWindowShowedIt) {
  // Count the reads of each kind from the trace: the frame sent, then its reply.
  std::ifstream trace(*dir / "trace.txt");
  std::map<std::string, int> traced;
  const std::map<std::string, std::string> frames = {{"T04TDC", "cells"},
                                                     {"T0ETEA", "temperatures"},
                                                     {"T0CTE4", "flags"},
                                                     {"T02TCE", "config-read"}};
  std::string pending;
  for (std::string line; std::getline(trace, line);) {
    if (line.rfind("< ", 0) == 0 && !pending.empty()) ++traced[pending];
    pending.clear();
    for (const auto& [frame, kind] : frames) {
      if (line.rfind("> ", 0) == 0 && line.find(frame) != std::string::npos) pending = kind;
    }
  }
  EXPECT_GT(traced["cells"], 200);
  for (const auto& [frame, kind] : frames) {
    const std::string sql = "SELECT count(*) FROM readings WHERE kind = '" + kind + "'";
    EXPECT_EQ(count(sql.c_str()), traced[kind]) << kind;
  }
  EXPECT_GT(count("SELECT count(*) FROM readings WHERE kind = 'cells' AND pec = 'mismatch'"), 0);

  // Every cell voltage recorded is the one the window showed after that read.
  sql::Db db(*dir / "session.db", SQLITE_OPEN_READONLY);
  sql::Statement s(db,
                   "SELECT r.id, r.board, c.cell, c.volts FROM readings r JOIN cell_voltages c "
                   "ON c.reading_id = r.id WHERE r.kind = 'cells' ORDER BY r.id, c.cell");
  std::int64_t id = -1;
  std::size_t n = 0;
  int boxesCompared = 0;
  while (s.step()) {
    if (s.integer(0) != id) {
      id = s.integer(0);
      ++n;
    }
    ASSERT_LE(n, shown->size());
    const Shown& w = (*shown)[n - 1];
    ASSERT_EQ(s.integer(1), w.board + 1);
    const auto cell = static_cast<std::size_t>(s.integer(2) - 1);
    const std::string volts = fourDecimals(s.real(3));
    EXPECT_EQ(volts, w.values[cell]) << "read " << n << " cell " << cell + 1;
    if (!w.boxes.empty()) {
      EXPECT_EQ(" " + volts + "V  ", w.boxes[cell]) << "read " << n << " cell " << cell + 1;
      ++boxesCompared;
    }
  }
  EXPECT_EQ(n, shown->size());
  EXPECT_GT(boxesCompared, 0);
  EXPECT_EQ(count("PRAGMA user_version"), 1);
  EXPECT_EQ(count("SELECT count(*) FROM session WHERE stopped_us > started_us"), 1);
}

TEST_F(ScriptedSession, TheOverVoltageCellRaisesOneAlarmClearedOnce) {
  sql::Db db(*dir / "session.db", SQLITE_OPEN_READONLY);
  sql::Statement s(db,
                   "SELECT event, alarm_id, board, channel, limit_value, value, text, time_us "
                   "FROM alarm_events WHERE kind = 'over-voltage' ORDER BY id");
  std::vector<std::string> events;
  std::int64_t raised = -1;
  while (s.step()) {
    events.push_back(s.text(0));
    EXPECT_EQ(s.integer(1), 1);
    EXPECT_EQ(s.integer(2), 2);
    EXPECT_EQ(s.integer(3), 7);
    EXPECT_DOUBLE_EQ(s.real(4), 4.2);
    EXPECT_EQ(s.text(6), "Board 2 cell 7 over-voltage: 4.2315 V > VOV 4.2000 V");
    if (raised < 0) {
      raised = s.integer(7);
    } else {
      EXPECT_GT(s.integer(7), raised);
    }
  }
  EXPECT_EQ(events, (std::vector<std::string>{"raised", "cleared"}));
}

TEST_F(ScriptedSession, ExportsHoldTheNumbersOfTheDatabase) {
  const std::string db = *dir / "session.db";
  const ExportResult csv = exportRecording(db, *dir / "cells.csv", ExportFormat::Csv);
  ASSERT_TRUE(csv.ok) << csv.error;
  std::uint64_t calls = 0;
  const ExportResult xlsx = exportRecording(db, *dir / "session.xlsx", ExportFormat::Xlsx,
                                            [&](std::uint64_t, std::uint64_t) {
                                              ++calls;
                                              return true;
                                            });
  ASSERT_TRUE(xlsx.ok) << xlsx.error;
  EXPECT_GT(calls, 1u);

  const std::string command = "/usr/bin/python3 '" KB_TEST_DATA "/tools/check_export.py' '" + db +
                              "' '" + (*dir / "cells.csv") + "' '" + (*dir / "session.xlsx") +
                              "' 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  EXPECT_EQ(::pclose(pipe), 0) << out;
  EXPECT_NE(out.find("alarm raised Board 2 cell 7 over-voltage: 4.2315 V > VOV 4.2000 V\n"
                     "alarm cleared Board 2 cell 7 over-voltage: 4.2315 V > VOV 4.2000 V\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("OK\n"), std::string::npos) << out;
}

TEST(Recording, LinkFailuresGoWithTheirEvent) {
  TempDir dir;
  app::Options o;
  o.device = "sim";
  o.recordFile = dir / "link.db";
  o.headless = true;
  test::ScriptProgram p(o);
  ASSERT_TRUE(p.loaded);
  ui::Context& ctx = p.session->window().context();
  ASSERT_EQ(p.script("wait 1.5\n"), 0);
  noteLinkFailure(ctx, "open-failed", "RDCV: device not found");
  ASSERT_EQ(p.script("tick\n"), 0);  // the tick's end commits it
  sql::Db db(dir / "link.db", SQLITE_OPEN_READONLY);
  sql::Statement s(db, "SELECT time_us, kind, detail FROM link_events WHERE kind = 'open-failed'");
  ASSERT_TRUE(s.step());
  EXPECT_EQ(s.integer(0), 1'500'000);
  EXPECT_EQ(s.text(1), "open-failed");
  EXPECT_EQ(s.text(2), "RDCV: device not found");
  EXPECT_EQ(*p.session->window().stateVariable("RecordingFile", -1), dir / "link.db");
  stopRecording(ctx);
}

TEST_F(ScriptedSession, ACancelledOrFailedExportLeavesNoFile) {
  TempDir out;
  const std::string db = *dir / "session.db";
  for (ExportFormat f : {ExportFormat::Csv, ExportFormat::Xlsx}) {
    int calls = 0;
    const ExportResult r = exportRecording(
        db, out / "out", f, [&](std::uint64_t, std::uint64_t) { return ++calls < 3; });
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.ok);
  }
  EXPECT_TRUE(out.files().empty());

  const ExportResult missing = exportRecording(db, out / "no/such/folder.csv", ExportFormat::Csv);
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.error, "No such file or directory");
  std::ofstream(out / "text.db") << "not a database\n";
  EXPECT_EQ(exportRecording(out / "text.db", out / "x.csv", ExportFormat::Csv).error,
            "not a recording (not an SQLite database)");
  EXPECT_EQ(exportRecording(out / "none.db", out / "x.csv", ExportFormat::Csv).error,
            "no such file");
  EXPECT_EQ(out.files(), std::vector<std::string>{"text.db"});
}

}  // namespace
}  // namespace kb::record
