#pragma once
// State variables by name, for the runner's "print NAME [INDEX]". Each subsystem registers its own.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kb::ui {

class StateVariables {
 public:
  using Getter = std::function<std::optional<std::string>(int index)>;

  void add(std::string name, Getter getter) { getters_[std::move(name)] = std::move(getter); }
  std::optional<std::string> get(std::string_view name, int index) const {
    const auto it = getters_.find(name);
    if (it == getters_.end()) return std::nullopt;
    return it->second(index);
  }

  static std::optional<std::string> number(long v) { return std::to_string(v); }
  static std::optional<std::string> truth(bool v) { return std::string(v ? "True" : "False"); }

 private:
  std::map<std::string, Getter, std::less<>> getters_;
};

}  // namespace kb::ui
