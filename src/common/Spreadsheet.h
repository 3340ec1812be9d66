#pragma once
// A small spreadsheet object model over libxlsxwriter: an application with its workbooks, a
// workbook's active sheet, cells addressed by (row, column) or "A1" names, ranges whose font can
// be made bold and whose columns can be auto-fitted, save-as and quit.
//
// libxlsxwriter writes a cell together with its format and cannot revise it afterwards, so a
// sheet collects its cells and column widths and writes them all when the workbook is saved. It
// has no auto-fit either: the widths are computed from the texts. Rows and columns are 1-based.
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kb::sheet {

// A refused call: a bad cell name, a cell outside the sheet, a failed save.
class SpreadsheetError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;

// "A".."XFD" for columns 1..16384.
std::string columnName(int column);
// "HC11" for row 11, column 211.
std::string cellName(int row, int column);
struct CellRef {
  int row = 1;
  int column = 1;
};
// Parses "A1" .. "XFD1048576" (letters in either case); throws SpreadsheetError.
CellRef parseCellName(std::string_view name);

// Width in characters (the unit of a column width) that shows the text whole in the default font.
double fittedWidth(std::string_view text, bool bold);

class Worksheet;

class Cell {
 public:
  // The cell's Value: the text is stored as text, never as a number.
  void setValue(std::string text);

 private:
  friend class Worksheet;
  Cell(Worksheet& sheet, int row, int column) : sheet_(sheet), row_(row), column_(column) {}
  Worksheet& sheet_;
  int row_, column_;
};

class Range {
 public:
  class Font {
   public:
    void setBold(bool bold);

   private:
    friend class Range;
    Font(Worksheet& sheet, CellRef first, CellRef last)
        : sheet_(sheet), first_(first), last_(last) {}
    Worksheet& sheet_;
    CellRef first_, last_;
  };

  Font font() const { return Font(sheet_, first_, last_); }
  // The whole columns the range spans, rows 1..kMaxRows.
  Range entireColumn() const;
  // Each column of the range gets the width of its widest text within the range's rows; a
  // column without text goes back to the standard width.
  void autoFit() const;

  CellRef first() const { return first_; }
  CellRef last() const { return last_; }

 private:
  friend class Worksheet;
  Range(Worksheet& sheet, CellRef first, CellRef last);
  Worksheet& sheet_;
  CellRef first_, last_;  // top left, bottom right
};

class Worksheet {
 public:
  Cell cells(int row, int column);
  // The rectangle between two cell names, in either order ("A12", "HC11").
  Range range(std::string_view from, std::string_view to);

  // What the sheet holds.
  const std::string* value(int row, int column) const;
  bool bold(int row, int column) const;
  // Width of a column in characters; 0 when it has the standard width.
  double columnWidth(int column) const;

 private:
  friend class Cell;
  friend class Range;
  friend class Workbook;
  struct CellData {
    std::string text;
    bool hasValue = false;
    bool bold = false;
  };
  using Key = std::pair<int, int>;  // (row, column)
  static void check(int row, int column);

  std::map<Key, CellData> cells_;
  std::map<int, double> widths_;
};

class Workbook {
 public:
  Workbook();
  Worksheet& activeSheet() { return *sheet_; }
  // Writes the workbook to a temporary file beside path and renames it into place, so nothing
  // half-written is left under path; an existing file of that name is replaced. Throws
  // SpreadsheetError with the reason.
  void saveAs(const std::string& path) const;

 private:
  std::unique_ptr<Worksheet> sheet_;
};

class Application {
 public:
  class Workbooks {
   public:
    Workbook& add();
    std::size_t count() const { return books_.size(); }

   private:
    friend class Application;
    std::vector<std::unique_ptr<Workbook>> books_;
  };

  Workbooks& workbooks() { return workbooks_; }
  // Closes every workbook without saving.
  void quit() { workbooks_.books_.clear(); }

 private:
  Workbooks workbooks_;
};

}  // namespace kb::sheet
