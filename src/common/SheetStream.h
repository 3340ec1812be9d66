#pragma once
// A workbook written row by row, for tables too large to hold in memory (a day's recording):
// libxlsxwriter's constant-memory mode under the same rules as Workbook (1-based rows and
// columns, a temporary file renamed into place only by commit()). Sheets are added in order and
// each sheet takes its rows in order; a column's width is set before its sheet's first row.
#include <memory>
#include <string>
#include <vector>

#include "common/Spreadsheet.h"

namespace kb::sheet {

class StreamWorkbook {
 public:
  // Throws SpreadsheetError when the temporary file cannot be made.
  explicit StreamWorkbook(std::string path);
  // Without commit() nothing is left under the path, nor beside it.
  ~StreamWorkbook();
  StreamWorkbook(const StreamWorkbook&) = delete;
  StreamWorkbook& operator=(const StreamWorkbook&) = delete;

  // A new sheet at the end (a name of up to 31 characters); returns its number.
  int addSheet(const std::string& name);
  void setColumnWidth(int sheet, int column, double width);
  // Keeps row 1 in view while the rest scrolls.
  void freezeTopRow(int sheet);
  void text(int sheet, int row, int column, const std::string& text, bool bold = false);
  void number(int sheet, int row, int column, double value);
  // Writes the workbook and renames it into place. Throws SpreadsheetError with the reason.
  void commit();

 private:
  struct Book;
  std::string path_;
  std::unique_ptr<Book> book_;
};

}  // namespace kb::sheet
