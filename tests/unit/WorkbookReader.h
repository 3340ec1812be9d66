#pragma once
// Reads a saved workbook with an independent reader (python3-openpyxl) and keeps what it found.
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <utility>

namespace kb::test {

struct ReadWorkbook {
  std::string error;  // the reader's output when it failed
  int sheets = 0;
  std::map<std::string, std::pair<bool, std::string>> cells;  // name -> (bold, text)
  std::map<std::string, double> widths;                       // column letters -> width

  const std::string& text(const std::string& cell) const {
    static const std::string none = "<no cell>";
    const auto it = cells.find(cell);
    return it == cells.end() ? none : it->second.second;
  }
  bool bold(const std::string& cell) const {
    const auto it = cells.find(cell);
    return it != cells.end() && it->second.first;
  }
};

inline ReadWorkbook readWorkbook(const std::string& path) {
  ReadWorkbook book;
  const std::string command =
      "/usr/bin/python3 '" KB_TEST_DATA "/tools/dump_workbook.py' '" + path + "' 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    book.error = "cannot run python3";
    return book;
  }
  std::string output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, n);
  if (::pclose(pipe) != 0) {
    book.error = output.empty() ? "the reader failed" : output;
    return book;
  }
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string kind, name;
    words >> kind >> name;
    if (kind == "SHEETS") {
      book.sheets = std::stoi(name);
    } else if (kind == "CELL") {
      std::string flag;
      words >> flag;
      std::string text;
      // The text is everything after "CELL name flag ", blanks included.
      const std::size_t at = ("CELL " + name + " " + flag).size();
      if (line.size() > at) text = line.substr(at + 1);
      book.cells[name] = {flag == "B", text};
    } else if (kind == "WIDTH") {
      double width = 0;
      words >> width;
      book.widths[name] = width;
    }
  }
  return book;
}

}  // namespace kb::test
