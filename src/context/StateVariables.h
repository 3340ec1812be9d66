#pragma once
// State variables by name, for the runner's "print NAME [INDEX]". Each subsystem registers its own:
// a scalar takes no index, a table takes an index in 0..size-1.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kb::ui {

class StateVariables {
 public:
  using Scalar = std::function<std::string()>;
  using Table = std::function<std::string(int index)>;

  // Registering a name twice throws std::logic_error.
  void add(std::string name, Scalar getter);
  void addTable(std::string name, int size, Table getter);

  bool has(std::string_view name) const { return entries_.count(name) != 0; }
  // The value; index -1 means none given. On a refusal returns nullopt and, when error is given,
  // says why ("CurrentBoard takes no index", "no BoardAddress 99 (its index is 0..10)", ...).
  std::optional<std::string> get(std::string_view name, int index,
                                 std::string* error = nullptr) const;

  static std::string number(long v) { return std::to_string(v); }
  static std::string truth(bool v) { return v ? "True" : "False"; }

 private:
  struct Entry {
    int size = -1;  // -1: scalar
    Scalar scalar;
    Table table;
  };
  std::map<std::string, Entry, std::less<>> entries_;
};

}  // namespace kb::ui
