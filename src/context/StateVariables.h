#pragma once
// State variables by name, for the runner's "print NAME [INDEX ...]". Each subsystem registers its
// own: a scalar takes no index, a table one index in 0..size-1, a grid two indexes, each in its own
// range (TrendPoints counts boards and cells from 1, as the operator does).
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kb::ui {

class StateVariables {
 public:
  using Scalar = std::function<std::string()>;
  using Table = std::function<std::string(int index)>;
  using Grid = std::function<std::string(int row, int column)>;
  struct Range {
    int first;
    int last;
  };

  // Registering a name twice throws std::logic_error.
  void add(std::string name, Scalar getter);
  void addTable(std::string name, int size, Table getter);
  void addGrid(std::string name, Range rows, Range columns, Grid getter);

  bool has(std::string_view name) const { return entries_.count(name) != 0; }
  // How many indexes the variable takes (0, 1 or 2); -1 for no such variable.
  int indexCount(std::string_view name) const;
  // The value; index -1 means none given. On a refusal returns nullopt and, when error is given,
  // says why ("CurrentBoard takes no index", "no BoardAddress 99 (its index is 0..10)", ...).
  std::optional<std::string> get(std::string_view name, int index,
                                 std::string* error = nullptr) const;
  // The same with any number of indexes given.
  std::optional<std::string> get(std::string_view name, const std::vector<int>& indexes,
                                 std::string* error = nullptr) const;

  static std::string number(long v) { return std::to_string(v); }
  static std::string truth(bool v) { return v ? "True" : "False"; }

 private:
  struct Entry {
    std::vector<Range> ranges;  // one per index
    Scalar scalar;
    Table table;
    Grid grid;
  };
  std::map<std::string, Entry, std::less<>> entries_;
  void insert(std::string name, Entry entry);
};

}  // namespace kb::ui
