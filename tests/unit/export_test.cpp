// The File and Datalog menus and the "Excel Out Test" export over the simulated stack: the
// workbook an independent reader finds, its name, the board count it leaves, and failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ScopedEnv.h"
#include "WorkbookReader.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"
#include "continuous/Datalog.h"

namespace kb::continuous {
namespace {

namespace fs = std::filesystem;

struct RecordingDesktop final : form::Desktop {
  std::vector<std::string> opened;
  bool answer = true;
  bool open(const std::string& path) override {
    opened.push_back(path);
    return answer;
  }
};

struct Program {
  Program() {
    std::string pattern = (fs::temp_directory_path() / "kb-export-XXXXXX").string();
    dir = ::mkdtemp(pattern.data());
    options.device = "sim";
    options.exportDir = dir.string();
    session = std::make_unique<app::Session>(options, clock, dialogs, &desktop);
    loaded = session->error().empty() && session->window().load();
  }
  ~Program() { fs::remove_all(dir); }
  ui::Context& ctx() { return session->window().context(); }
  bool menu(const char* caption) { return session->window().form().runMenu(caption); }
  std::vector<std::string> files() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename());
    return out;
  }
  std::string path(const char* name) const { return (dir / name).string(); }

  fs::path dir;
  app::Options options;
  ManualClock clock;  // 2026-01-05 08:00:00
  std::ostringstream messages;
  app::PrintingDialogs dialogs{messages};
  RecordingDesktop desktop;
  std::unique_ptr<app::Session> session;
  bool loaded = false;
};

constexpr const char* kFirstName = "01-05-2026_08_00_00 AM_EXCELoutTEST.xls";

TEST(Export, WritesTenBoardBlocksWithOneBoardConfigured) {
  Program p;
  ASSERT_TRUE(p.loaded);
  ASSERT_EQ(p.ctx().boards.LastBoardIndex, 0);
  ASSERT_TRUE(p.menu("Excel Out Test"));
  EXPECT_EQ(p.messages.str(), "");
  EXPECT_EQ(p.ctx().boards.LastBoardIndex, 9);
  const std::string path = p.path(kFirstName);
  EXPECT_EQ(p.desktop.opened, std::vector<std::string>{path});
  EXPECT_EQ(p.files(), std::vector<std::string>{kFirstName});

  const test::ReadWorkbook book = test::readWorkbook(path);
  ASSERT_TRUE(book.error.empty()) << book.error;
  EXPECT_EQ(book.sheets, 1);
  const std::map<std::string, std::string> texts = {
      {"A1", path},
      {"A2", "QXM7130-2 DATALOGGING SPREADSHEET"},
      {"B3", "DATALOG SETUP MADE   = "},
      {"B4", "SECONDS = 0.000"},
      {"B5", "SAMPLES = 0"},
      {"B6", "CURRENT DATALOG VIEW = "},
      {"B7", "SECONDS = 0.000"},
      {"B8", "SAMPLES = 0"},
      {"A10", "SAMPLE"},
      {"A11", "POINT"},
      {"B10", "(1-80) TIME STAMP"},
      {"B11", "Date/Time"},
      {"C10", "(1-80) RD-CFGR0-5"},
      {"C11", "HEX"},
      {"D10", "(1-80) RD-FLGR0-2"},
      {"D11", "HEX"},
      {"E10", "(1-80) UVTHR"},
      {"F10", "(1-80) OVTHR"},
      {"F11", "VOLTS"},
      {"G10", "(1-80) CV 1"},
      {"R10", "(1-80) CV 12"},
      {"R11", "VOLTS"},
      {"S1", "STATUS LEGEND"},
      {"S2", "NR = NO READING"},
      {"S5", "UV = UNDER VOLTAGE"},
      {"S9", "TS = THERMAL SHUTDOWN"},
      {"S10", "(1-80) CELL1 - CELL12 STATUS"},
      {"S11", "STATUS"},
      {"T10", "(1-80) ETMP1"},
      {"U10", "(1-80) ETMP2"},
      {"V10", "(1-80) ITMP1"},
      {"V11", "VOLTS"},
      // Board 10 starts at column 191 (GI); its legend is in column 208 (GZ).
      {"GI10", "(10-89) TIME STAMP"},
      {"GZ1", "STATUS LEGEND"},
      {"GZ8", "MD = MASKED DISCHARGE"},
      {"GZ10", "(10-89) CELL1 - CELL12 STATUS"},
      {"HC10", "(10-89) ITMP1"},
      {"HC11", "VOLTS"},
  };
  for (const auto& [cell, text] : texts) EXPECT_EQ(book.text(cell), text) << cell;
  const char* blockStarts[] = {"B", "W", "AR", "BM", "CH", "DC", "DX", "ES", "FN", "GI"};
  const char* prefixes[] = {"(1-80) ", "(2-81) ", "(3-82) ", "(4-83) ", "(5-84) ",
                            "(6-85) ", "(7-86) ", "(8-87) ", "(9-88) ", "(10-89) "};
  for (int b = 0; b < 10; ++b) {
    EXPECT_EQ(book.text(std::string(blockStarts[b]) + "10"),
              std::string(prefixes[b]) + "TIME STAMP");
  }

  // A1..HC11 is bold, every cell of it; nothing lies outside it.
  EXPECT_EQ(book.cells.size(), 11u * 211u);
  for (const auto& [cell, entry] : book.cells) EXPECT_TRUE(entry.first) << cell;
  EXPECT_TRUE(book.bold("HC1"));
  EXPECT_EQ(book.text("HD10"), "<no cell>");
  EXPECT_EQ(book.text("A12"), "<no cell>");

  // Widths fit the texts present when the columns were fitted; the title and the path, written
  // after, spill over column A and the summary over column B.
  ASSERT_EQ(book.widths.size(), 211u);
  auto width = [&](const char* column) { return book.widths.at(column); };
  EXPECT_GT(width("A"), 6.0);
  EXPECT_LT(width("A"), 11.0);
  for (const char* column : {"B", "C", "S", "GI", "GZ", "HC"}) {
    const std::string title = book.text(std::string(column) + "10");
    const double chars = static_cast<double>(title.size());
    EXPECT_GT(width(column), chars * 0.85) << column << " " << title;
    EXPECT_LT(width(column), chars * 1.4 + 2) << column << " " << title;
  }
  EXPECT_GT(width("S"), width("T"));
  EXPECT_GT(width("GI"), width("B"));  // "(10-89) " is longer than "(1-80) "
}

TEST(Export, NameFollowsTheClockToTheSecond) {
  Program p;
  ASSERT_TRUE(p.loaded);
  ASSERT_TRUE(p.menu("Excel Out Test"));
  p.clock.advance(0.9);
  ASSERT_TRUE(p.menu("Excel Out Test"));  // the same second: the same name, replaced
  p.clock.advance(0.1);
  ASSERT_TRUE(p.menu("Excel Out Test"));
  const std::string second = p.path("01-05-2026_08_00_01 AM_EXCELoutTEST.xls");
  EXPECT_EQ(p.desktop.opened,
            (std::vector<std::string>{p.path(kFirstName), p.path(kFirstName), second}));
  auto files = p.files();
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files,
            (std::vector<std::string>{kFirstName, "01-05-2026_08_00_01 AM_EXCELoutTEST.xls"}));
}

TEST(Export, FailuresAreToldAndLeaveNothingHalfWritten) {
  {
    Program p;
    ASSERT_TRUE(p.loaded);
    p.ctx().services.exportDir = p.path("missing");
    ASSERT_TRUE(p.menu("Excel Out Test"));
    EXPECT_EQ(p.messages.str(), "MSGBOX KB4471: Could not save the workbook " + p.path("missing") +
                                    "/" + kFirstName + ": / No such file or directory\n");
    EXPECT_TRUE(p.desktop.opened.empty());
    EXPECT_EQ(p.ctx().boards.LastBoardIndex, 9);
  }
  {
    Program p;
    ASSERT_TRUE(p.loaded);
    fs::create_directory(p.dir / kFirstName);
    ASSERT_TRUE(p.menu("Excel Out Test"));
    EXPECT_EQ(p.messages.str(), "MSGBOX KB4471: Could not save the workbook " + p.path(kFirstName) +
                                    ": / Is a directory\n");
    EXPECT_EQ(p.files(), std::vector<std::string>{kFirstName});  // no temporary file left
    EXPECT_TRUE(p.desktop.opened.empty());
  }
  {
    Program p;
    ASSERT_TRUE(p.loaded);
    p.desktop.answer = false;
    ASSERT_TRUE(p.menu("Excel Out Test"));
    EXPECT_EQ(p.messages.str(), "MSGBOX KB4471: The workbook was saved as " + p.path(kFirstName) +
                                    ", but the desktop could not open it.\n");
    EXPECT_EQ(p.files(), std::vector<std::string>{kFirstName});
  }
}

TEST(Export, ProgramFolderThatCannotTakeItSendsTheWorkbookToTheDocumentsFolderAndSaysSo) {
  Program p;
  ASSERT_TRUE(p.loaded);
  test::ScopedEnv home("HOME", p.dir.string());
  test::ScopedEnv config("XDG_CONFIG_HOME", p.path(".config"));
  fs::create_directory(p.dir / "Documents");
  p.ctx().services.exportDir.clear();
  p.ctx().services.programDir = p.dir.string();  // writable: the workbook goes beside the program
  ASSERT_TRUE(p.menu("Excel Out Test"));
  EXPECT_EQ(p.messages.str(), "");
  EXPECT_EQ(p.desktop.opened, std::vector<std::string>{p.path(kFirstName)});

  p.desktop.opened.clear();
  p.ctx().services.programDir = p.path("bin");  // not there, so not writable
  ASSERT_TRUE(p.menu("Excel Out Test"));
  const std::string path = p.path("Documents/") + kFirstName;
  EXPECT_EQ(p.messages.str(), "MSGBOX KB4471: The workbook was saved as " + path +
                                  ": the program's folder " + p.path("bin") +
                                  " is a system folder or cannot be written.\n");
  EXPECT_EQ(p.desktop.opened, std::vector<std::string>{path});
  EXPECT_TRUE(fs::is_regular_file(path));
}

TEST(Export, SummaryCarriesTheHeaderFieldsAsTheyStand) {
  startup::BoardSet boards;
  boards.setAddressDefaults();
  boards.BoardAddress[1] = "8F";
  boards.LastBoardIndex = 1;
  DatalogState d;
  d.DlogSetupStamp = "STAMP A";
  d.DlogSetupSeconds = 1.5F;
  d.DlogSetupSamples = -42;
  d.DlogViewStamp = "STAMP B";
  d.DlogViewSeconds = 1234.56789F;
  d.DlogViewSamples = 2147483647;
  sheet::Worksheet ws;
  fillDatalogSheet(ws, boards, d, "/x/y.xls");
  const std::pair<int, const char*> summary[] = {{3, "DATALOG SETUP MADE   = STAMP A"},
                                                 {4, "SECONDS = 1.500"},
                                                 {5, "SAMPLES = -42"},
                                                 {6, "CURRENT DATALOG VIEW = STAMP B"},
                                                 {7, "SECONDS = 1234.568"},
                                                 {8, "SAMPLES = 2147483647"}};
  for (const auto& [row, text] : summary) {
    ASSERT_NE(ws.value(row, 2), nullptr) << row;
    EXPECT_EQ(*ws.value(row, 2), text);
  }
  ASSERT_NE(ws.value(10, 23), nullptr);
  EXPECT_EQ(*ws.value(10, 23), "(2-8F) TIME STAMP");
  EXPECT_TRUE(ws.bold(11, 43));  // AQ11 closes the bold range of two boards
  EXPECT_FALSE(ws.bold(11, 44));
  EXPECT_EQ(ws.value(10, 44), nullptr);
}

TEST(Export, TimeStampsAndLastColumns) {
  struct Case {
    int month, day, hour, minute, second;
    const char* stamp;
  };
  for (const Case& c : {Case{1, 5, 0, 30, 5, "01-05-2026_12_30_05 AM"},
                        Case{1, 5, 11, 59, 59, "01-05-2026_11_59_59 AM"},
                        Case{7, 14, 12, 0, 0, "07-14-2026_12_00_00 PM"},
                        Case{12, 31, 13, 5, 9, "12-31-2026_01_05_09 PM"},
                        Case{12, 31, 23, 59, 59, "12-31-2026_11_59_59 PM"}}) {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = c.month - 1;
    t.tm_mday = c.day;
    t.tm_hour = c.hour;
    t.tm_min = c.minute;
    t.tm_sec = c.second;
    EXPECT_EQ(workbookTimeStamp(t), c.stamp);
  }
  EXPECT_EQ(workbookPath("/opt/kb/", "S"), "/opt/kb/S_EXCELoutTEST.xls");
  const char* last[] = {"V11",  "AQ11", "BL11", "CG11", "DB11",
                        "DW11", "ER11", "FM11", "GH11", "HC11"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(lastColumnCell(i), last[i]);
}

TEST(Menus, ExitEndsTheProgramAndTheOtherItemsDoNothing) {
  Program p;
  ASSERT_TRUE(p.loaded);
  for (const char* caption : {"View Last Datalog", "Create New Setup", "Use Previous Setup"}) {
    EXPECT_TRUE(p.menu(caption));
    EXPECT_FALSE(p.session->window().ended()) << caption;
  }
  EXPECT_TRUE(p.files().empty());
  EXPECT_TRUE(p.menu("Exit"));
  EXPECT_TRUE(p.session->window().ended());
  EXPECT_EQ(p.ctx().exitStatus, 0);
}

}  // namespace
}  // namespace kb::continuous
