#include "common/SheetStream.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstring>

#include "common/TempFile.h"

namespace kb::sheet {

namespace {

void check(lxw_error error) {
  if (error != LXW_NO_ERROR) throw SpreadsheetError(lxw_strerror(error));
}


}  // namespace

struct StreamWorkbook::Book {
  explicit Book(const std::string& target) : temp(target) {}
  ~Book() {
    if (workbook != nullptr) lxw_workbook_free(workbook);
  }
  TempFile temp;
  lxw_workbook* workbook = nullptr;
  lxw_format* bold = nullptr;
  std::vector<lxw_worksheet*> sheets;

  lxw_worksheet* sheet(int n) const {
    if (n < 0 || n >= static_cast<int>(sheets.size())) {
      throw SpreadsheetError("no sheet " + std::to_string(n));
    }
    return sheets[static_cast<std::size_t>(n)];
  }
};

StreamWorkbook::StreamWorkbook(std::string path) : path_(std::move(path)) {
  if (path_.empty()) throw SpreadsheetError("no file name");
  try {
    book_ = std::make_unique<Book>(path_);
  } catch (const TempFileError& e) {
    throw SpreadsheetError(e.what());
  }
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  book_->workbook = workbook_new_opt(book_->temp.path().c_str(), &options);
  if (book_->workbook == nullptr) throw SpreadsheetError("the workbook could not be created");
  book_->bold = workbook_add_format(book_->workbook);
  if (book_->bold == nullptr) throw SpreadsheetError("the workbook could not be created");
  format_set_bold(book_->bold);
}

StreamWorkbook::~StreamWorkbook() = default;

int StreamWorkbook::addSheet(const std::string& name) {
  lxw_worksheet* ws = workbook_add_worksheet(book_->workbook, name.c_str());
  if (ws == nullptr) throw SpreadsheetError("sheet '" + name + "' could not be added");
  book_->sheets.push_back(ws);
  return static_cast<int>(book_->sheets.size()) - 1;
}

void StreamWorkbook::setColumnWidth(int sheet, int column, double width) {
  const auto col = static_cast<lxw_col_t>(column - 1);
  check(worksheet_set_column(book_->sheet(sheet), col, col, width, nullptr));
}

void StreamWorkbook::freezeTopRow(int sheet) {
  worksheet_freeze_panes(book_->sheet(sheet), 1, 0);
}

void StreamWorkbook::text(int sheet, int row, int column, const std::string& text, bool bold) {
  check(worksheet_write_string(book_->sheet(sheet), static_cast<lxw_row_t>(row - 1),
                               static_cast<lxw_col_t>(column - 1), text.c_str(),
                               bold ? book_->bold : nullptr));
}

void StreamWorkbook::number(int sheet, int row, int column, double value) {
  check(worksheet_write_number(book_->sheet(sheet), static_cast<lxw_row_t>(row - 1),
                               static_cast<lxw_col_t>(column - 1), value, nullptr));
}

void StreamWorkbook::commit() {
  errno = 0;
  const lxw_error closed = workbook_close(book_->workbook);  // frees the workbook whatever happens
  book_->workbook = nullptr;
  if (closed != LXW_NO_ERROR) {
    const int error = errno;
    std::string reason = lxw_strerror(closed);
    if (error != 0) reason += std::string(" (") + std::strerror(error) + ")";
    throw SpreadsheetError(reason);
  }
  if (const int error = book_->temp.moveTo(path_); error != 0) {
    throw SpreadsheetError(std::strerror(error));
  }
}

}  // namespace kb::sheet
