// The spreadsheet layer: cell names, bold ranges, auto-fit from the texts, and saving a workbook
// that an independent reader opens, without leaving anything half-written behind.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "WorkbookReader.h"
#include "common/Spreadsheet.h"
#include "common/TempFile.h"

namespace kb::sheet {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "kb-sheet-XXXXXX").string();
    path = ::mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path); }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path)) out.push_back(e.path().filename());
    return out;
  }
  fs::path path;
};

TEST(Spreadsheet, CellNamesBothWays) {
  struct Case {
    int row, column;
    const char* name;
  };
  for (const Case& c :
       {Case{1, 1, "A1"}, Case{1, 26, "Z1"}, Case{1, 27, "AA1"}, Case{11, 22, "V11"},
        Case{11, 191, "GI11"}, Case{11, 211, "HC11"}, Case{1048576, 16384, "XFD1048576"}}) {
    EXPECT_EQ(cellName(c.row, c.column), c.name);
    const CellRef r = parseCellName(c.name);
    EXPECT_EQ(r.row, c.row) << c.name;
    EXPECT_EQ(r.column, c.column) << c.name;
  }
  EXPECT_EQ(parseCellName("hc11").column, 211);
  for (const char* bad : {"", "A", "11", "A0", "A01", "XFE1", "A1048577", "1A", "A1B", "ABCD1"}) {
    EXPECT_THROW(parseCellName(bad), SpreadsheetError) << bad;
  }
  EXPECT_THROW(columnName(0), SpreadsheetError);
  Worksheet ws;
  EXPECT_THROW(ws.cells(0, 1), SpreadsheetError);
  EXPECT_THROW(ws.cells(1, 16385), SpreadsheetError);
  EXPECT_THROW(ws.cells(1, 1).setValue(std::string(32768, 'x')), SpreadsheetError);
}

TEST(Spreadsheet, BoldRangeInEitherOrderAndCleared) {
  Worksheet ws;
  ws.cells(2, 2).setValue("kept");
  ws.range("C3", "A1").font().setBold(true);
  for (int r = 1; r <= 4; ++r) {
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(ws.bold(r, c), r <= 3 && c <= 3) << r << "," << c;
  }
  ws.range("A1", "B2").font().setBold(false);
  EXPECT_FALSE(ws.bold(2, 2));
  EXPECT_TRUE(ws.bold(3, 3));
  ASSERT_NE(ws.value(2, 2), nullptr);
  EXPECT_EQ(*ws.value(2, 2), "kept");
  EXPECT_EQ(ws.value(1, 1), nullptr);
  EXPECT_THROW(ws.range("A1", "B1").entireColumn().font().setBold(true), SpreadsheetError);
}

TEST(Spreadsheet, AutoFitFollowsTheTexts) {
  Worksheet ws;
  ws.cells(1, 1).setValue("A MUCH LONGER TEXT IN THE FIRST ROW");
  ws.cells(20, 1).setValue("SHORT");
  ws.cells(20, 2).setValue("SHORT");
  ws.cells(20, 3).setValue("SHORT");
  ws.range("C20", "C20").font().setBold(true);
  ws.range("A20", "D20").autoFit();  // the range's own rows only
  const double shortWidth = ws.columnWidth(1);
  EXPECT_GT(shortWidth, 4.0);
  EXPECT_LT(shortWidth, 8.0);
  EXPECT_EQ(ws.columnWidth(2), shortWidth);
  EXPECT_GT(ws.columnWidth(3), shortWidth);  // bold is wider
  EXPECT_EQ(ws.columnWidth(4), 0.0);         // no text: the standard width

  ws.range("A30", "B30").entireColumn().autoFit();  // every row of the columns
  EXPECT_GT(ws.columnWidth(1), 30.0);
  EXPECT_LT(ws.columnWidth(1), 45.0);
  EXPECT_EQ(ws.columnWidth(2), shortWidth);
  EXPECT_GT(fittedWidth("MMMM", false), fittedWidth("iiii", false));
  EXPECT_EQ(fittedWidth(std::string(400, 'W'), false), 255.0);
}

TEST(Spreadsheet, SavedWorkbookOpensInAnIndependentReader) {
  TempDir dir;
  const std::string path = (dir.path / "book one.xls").string();
  {
    std::ofstream old(path);
    old << "an older file of the same name";
  }
  Application app;
  Workbook& book = app.workbooks().add();
  Worksheet& ws = book.activeSheet();
  ws.cells(1, 1).setValue("0042");  // text stays text
  ws.cells(2, 3).setValue("TRAILING   = ");
  ws.range("A1", "A2").font().setBold(true);
  ws.range("A1", "C1").entireColumn().autoFit();
  book.saveAs(path);
  const double widthC = ws.columnWidth(3);
  app.quit();  // the workbook and its sheet are gone
  EXPECT_EQ(app.workbooks().count(), 0u);
  EXPECT_EQ(dir.names(), std::vector<std::string>{"book one.xls"});

  const test::ReadWorkbook read = test::readWorkbook(path);
  ASSERT_TRUE(read.error.empty()) << read.error;
  EXPECT_EQ(read.sheets, 1);
  EXPECT_EQ(read.cells.size(), 3u);
  EXPECT_EQ(read.text("A1"), "0042");
  EXPECT_TRUE(read.bold("A1"));
  EXPECT_TRUE(read.bold("A2"));
  EXPECT_EQ(read.text("A2"), "");
  EXPECT_EQ(read.text("C2"), "TRAILING   = ");
  EXPECT_FALSE(read.bold("C2"));
  EXPECT_EQ(read.widths.count("B"), 0u);
  ASSERT_EQ(read.widths.count("C"), 1u);
  EXPECT_NEAR(read.widths.at("C"), widthC, 1.0);
}

TEST(Spreadsheet, FailedSaveSaysWhyAndLeavesNothing) {
  TempDir dir;
  Workbook book;
  book.activeSheet().cells(1, 1).setValue("x");
  struct Case {
    std::string path;
    const char* reason;
  };
  fs::create_directory(dir.path / "taken.xls");
  for (const Case& c :
       {Case{(dir.path / "missing" / "a.xls").string(), "No such file or directory"},
        Case{(dir.path / "taken.xls").string(), "Is a directory"}}) {
    try {
      book.saveAs(c.path);
      ADD_FAILURE() << c.path << " saved";
    } catch (const SpreadsheetError& e) {
      EXPECT_STREQ(e.what(), c.reason);
    }
    EXPECT_EQ(dir.names(), std::vector<std::string>{"taken.xls"}) << c.path;
  }
}

TEST(Spreadsheet, ASignalDuringASaveLeavesNoTemporaryFile) {
  for (const int signal : {SIGTERM, SIGINT}) {
    TempDir dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const TempFile temp((dir.path / "a.xls").string());
      ::raise(signal);
      ::_exit(0);  // not reached: the signal ends the program as it would have
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(dir.names(), std::vector<std::string>{}) << signal;
  }
}

}  // namespace
}  // namespace kb::sheet
