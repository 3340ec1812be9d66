#include "context/StateVariables.h"

#include <stdexcept>

namespace kb::ui {

void StateVariables::add(std::string name, Scalar getter) {
  Entry e;
  e.scalar = std::move(getter);
  if (!entries_.emplace(name, std::move(e)).second) {
    throw std::logic_error("state variable " + name + " registered twice");
  }
}

void StateVariables::addTable(std::string name, int size, Table getter) {
  Entry e;
  e.size = size;
  e.table = std::move(getter);
  if (!entries_.emplace(name, std::move(e)).second) {
    throw std::logic_error("state variable " + name + " registered twice");
  }
}

std::optional<std::string> StateVariables::get(std::string_view name, int index,
                                               std::string* error) const {
  const auto fail = [&](std::string why) -> std::optional<std::string> {
    if (error != nullptr) *error = std::move(why);
    return std::nullopt;
  };
  const auto it = entries_.find(name);
  if (it == entries_.end()) return fail("no state variable " + std::string(name));
  const Entry& e = it->second;
  if (e.size < 0) {
    if (index != -1) return fail(std::string(name) + " takes no index");
    return e.scalar();
  }
  const std::string range = "0.." + std::to_string(e.size - 1);
  if (index == -1) return fail(std::string(name) + " needs an index (" + range + ")");
  if (index < 0 || index >= e.size) {
    return fail("no " + std::string(name) + " " + std::to_string(index) + " (its index is " + range +
                ")");
  }
  return e.table(index);
}

}  // namespace kb::ui
