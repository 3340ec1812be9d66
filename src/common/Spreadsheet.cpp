#include "common/Spreadsheet.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "common/TempFile.h"

namespace kb::sheet {

namespace {

// Cells a font change may touch at once: a header block, not whole columns.
constexpr long long kMaxFormattedCells = 1 << 20;
constexpr std::size_t kMaxTextLength = 32767;
constexpr double kMaxColumnWidth = 255.0;

// Advance widths in pixels of the printable ASCII characters (32..126) in the default font
// (11 point, regular), at the 7-pixel digit width that the column width unit is based on.
// clang-format off
constexpr unsigned char kCharPixels[95] = {
    3, 5, 6, 7, 7, 11, 10, 3, 5, 5, 7, 7, 4, 5, 4, 6,                      // ' ' .. '/'
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7,                                          // '0' .. '9'
    4, 4, 7, 7, 7, 7, 13,                                                  // ':' .. '@'
    9, 8, 8, 9, 7, 7, 9, 9, 4, 5, 8, 6, 12, 10, 10, 8, 10, 8, 7, 7, 9, 9,  // 'A' .. 'V'
    13, 8, 7, 7,                                                           // 'W' .. 'Z'
    5, 6, 5, 7, 7, 4,                                                      // '[' .. '`'
    7, 8, 6, 8, 8, 5, 7, 8, 4, 4, 7, 4, 12, 8, 8, 8, 8, 5, 6, 5, 8, 7,     // 'a' .. 'v'
    11, 7, 7, 6,                                                           // 'w' .. 'z'
    5, 7, 5, 7};                                                           // '{' .. '~'
// clang-format on
constexpr int kOtherCharPixels = 8;
constexpr double kBoldFactor = 1.03;  // the bold face is slightly wider
constexpr double kDigitPixels = 7.0;
constexpr double kPaddingPixels = 3.0;

std::string systemReason(int error) {
  return std::strerror(error);
}

void check(lxw_error error) {
  if (error != LXW_NO_ERROR) throw SpreadsheetError(lxw_strerror(error));
}

}  // namespace

std::string columnName(int column) {
  if (column < 1 || column > kMaxColumns) {
    throw SpreadsheetError("no column " + std::to_string(column));
  }
  std::string name;
  for (int n = column; n > 0; n = (n - 1) / 26) {
    name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return name;
}

std::string cellName(int row, int column) {
  if (row < 1 || row > kMaxRows) throw SpreadsheetError("no row " + std::to_string(row));
  return columnName(column) + std::to_string(row);
}

CellRef parseCellName(std::string_view name) {
  auto bad = [&] { return SpreadsheetError("bad cell name '" + std::string(name) + "'"); };
  std::size_t i = 0;
  long long column = 0;
  while (i < name.size() && std::isalpha(static_cast<unsigned char>(name[i])) != 0 && i < 3) {
    column = column * 26 + (std::toupper(static_cast<unsigned char>(name[i])) - 'A' + 1);
    ++i;
  }
  const std::size_t letters = i;
  long long row = 0;
  while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])) != 0 && i < 12) {
    row = row * 10 + (name[i] - '0');
    ++i;
  }
  if (letters == 0 || i == letters || i != name.size() || name[letters] == '0') throw bad();
  if (column > kMaxColumns || row < 1 || row > kMaxRows) throw bad();
  return {static_cast<int>(row), static_cast<int>(column)};
}

double fittedWidth(std::string_view text, bool bold) {
  double pixels = 0;
  for (const char ch : text) {
    const auto u = static_cast<unsigned char>(ch);
    if (u >= 32 && u <= 126) {
      pixels += kCharPixels[u - 32];
    } else if ((u & 0xC0) != 0x80) {  // one glyph per UTF-8 sequence
      pixels += kOtherCharPixels;
    }
  }
  if (pixels == 0) return 0;
  if (bold) pixels *= kBoldFactor;
  const double width = std::ceil((pixels + kPaddingPixels) / kDigitPixels * 256.0) / 256.0;
  return std::min(width, kMaxColumnWidth);
}

void Cell::setValue(std::string text) {
  if (text.size() > kMaxTextLength) {
    throw SpreadsheetError("text of " + std::to_string(text.size()) + " characters for cell " +
                           cellName(row_, column_) + " (the limit is 32767)");
  }
  Worksheet::CellData& cell = sheet_.cells_[{row_, column_}];
  cell.text = std::move(text);
  cell.hasValue = true;
}

Range::Range(Worksheet& sheet, CellRef first, CellRef last) : sheet_(sheet) {
  first_ = {std::min(first.row, last.row), std::min(first.column, last.column)};
  last_ = {std::max(first.row, last.row), std::max(first.column, last.column)};
}

void Range::Font::setBold(bool bold) {
  const long long area =
      static_cast<long long>(last_.row - first_.row + 1) * (last_.column - first_.column + 1);
  if (area > kMaxFormattedCells) {
    throw SpreadsheetError("range " + cellName(first_.row, first_.column) + ":" +
                           cellName(last_.row, last_.column) + " is too large to format");
  }
  for (int r = first_.row; r <= last_.row; ++r) {
    for (int c = first_.column; c <= last_.column; ++c) {
      if (bold) {
        sheet_.cells_[{r, c}].bold = true;
        continue;
      }
      const auto it = sheet_.cells_.find({r, c});
      if (it == sheet_.cells_.end()) continue;
      it->second.bold = false;
      if (!it->second.hasValue) sheet_.cells_.erase(it);
    }
  }
}

Range Range::entireColumn() const {
  return Range(sheet_, {1, first_.column}, {kMaxRows, last_.column});
}

void Range::autoFit() const {
  for (int c = first_.column; c <= last_.column; ++c) {
    double width = 0;
    // Cells are ordered by row, then column: jump from row to row within column c.
    auto it = sheet_.cells_.lower_bound({first_.row, c});
    while (it != sheet_.cells_.end() && it->first.first <= last_.row) {
      const auto [row, column] = it->first;
      if (column == c && it->second.hasValue) {
        width = std::max(width, fittedWidth(it->second.text, it->second.bold));
      }
      it = sheet_.cells_.lower_bound({column < c ? row : row + 1, c});
    }
    if (width > 0) {
      sheet_.widths_[c] = width;
    } else {
      sheet_.widths_.erase(c);
    }
  }
}

void Worksheet::check(int row, int column) {
  if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) {
    throw SpreadsheetError("no cell at row " + std::to_string(row) + ", column " +
                           std::to_string(column));
  }
}

Cell Worksheet::cells(int row, int column) {
  check(row, column);
  return Cell(*this, row, column);
}

Range Worksheet::range(std::string_view from, std::string_view to) {
  return Range(*this, parseCellName(from), parseCellName(to));
}

const std::string* Worksheet::value(int row, int column) const {
  const auto it = cells_.find({row, column});
  return it == cells_.end() || !it->second.hasValue ? nullptr : &it->second.text;
}

bool Worksheet::bold(int row, int column) const {
  const auto it = cells_.find({row, column});
  return it != cells_.end() && it->second.bold;
}

double Worksheet::columnWidth(int column) const {
  const auto it = widths_.find(column);
  return it == widths_.end() ? 0.0 : it->second;
}

Workbook::Workbook() : sheet_(std::make_unique<Worksheet>()) {}

void Workbook::saveAs(const std::string& path) const {
  if (path.empty()) throw SpreadsheetError("no file name");
  std::optional<TempFile> temp;
  try {
    temp.emplace(path);
  } catch (const TempFileError& e) {
    throw SpreadsheetError(e.what());
  }

  lxw_workbook* book = workbook_new(temp->path().c_str());
  if (book == nullptr) throw SpreadsheetError("the workbook could not be created");
  try {
    lxw_worksheet* ws = workbook_add_worksheet(book, nullptr);
    lxw_format* boldFormat = workbook_add_format(book);
    if (ws == nullptr || boldFormat == nullptr) {
      throw SpreadsheetError("the workbook could not be created");
    }
    format_set_bold(boldFormat);
    for (const auto& [key, cell] : sheet_->cells_) {
      const auto row = static_cast<lxw_row_t>(key.first - 1);
      const auto col = static_cast<lxw_col_t>(key.second - 1);
      lxw_format* format = cell.bold ? boldFormat : nullptr;
      if (cell.hasValue) {
        check(worksheet_write_string(ws, row, col, cell.text.c_str(), format));
      } else if (format != nullptr) {
        check(worksheet_write_blank(ws, row, col, format));
      }
    }
    for (const auto& [column, width] : sheet_->widths_) {
      const auto col = static_cast<lxw_col_t>(column - 1);
      check(worksheet_set_column(ws, col, col, width, nullptr));
    }
  } catch (...) {
    lxw_workbook_free(book);
    throw;
  }
  // Writes the file and frees the workbook, whatever the outcome.
  errno = 0;
  const lxw_error closed = workbook_close(book);
  if (closed != LXW_NO_ERROR) {
    const int error = errno;
    std::string reason = lxw_strerror(closed);
    if (closed == LXW_ERROR_CREATING_XLSX_FILE && error != 0)
      reason += " (" + systemReason(error) + ")";
    throw SpreadsheetError(reason);
  }
  if (std::rename(temp->path().c_str(), path.c_str()) != 0) {
    throw SpreadsheetError(systemReason(errno));
  }
  temp->keep();
}

Workbook& Application::Workbooks::add() {
  books_.push_back(std::make_unique<Workbook>());
  return *books_.back();
}

}  // namespace kb::sheet
