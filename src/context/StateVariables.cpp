#include "context/StateVariables.h"

#include <stdexcept>

namespace kb::ui {

namespace {
std::string rangeText(const StateVariables::Range& r) {
  return std::to_string(r.first) + ".." + std::to_string(r.last);
}
}  // namespace

void StateVariables::insert(std::string name, Entry entry) {
  if (!entries_.emplace(name, std::move(entry)).second) {
    throw std::logic_error("state variable " + name + " registered twice");
  }
}

void StateVariables::add(std::string name, Scalar getter) {
  Entry e;
  e.scalar = std::move(getter);
  insert(std::move(name), std::move(e));
}

void StateVariables::addTable(std::string name, int size, Table getter) {
  Entry e;
  e.ranges = {{0, size - 1}};
  e.table = std::move(getter);
  insert(std::move(name), std::move(e));
}

void StateVariables::addGrid(std::string name, Range rows, Range columns, Grid getter) {
  Entry e;
  e.ranges = {rows, columns};
  e.grid = std::move(getter);
  insert(std::move(name), std::move(e));
}

int StateVariables::indexCount(std::string_view name) const {
  const auto it = entries_.find(name);
  return it == entries_.end() ? -1 : static_cast<int>(it->second.ranges.size());
}

std::optional<std::string> StateVariables::get(std::string_view name, int index,
                                               std::string* error) const {
  return get(name, index == -1 ? std::vector<int>{} : std::vector<int>{index}, error);
}

std::optional<std::string> StateVariables::get(std::string_view name,
                                               const std::vector<int>& indexes,
                                               std::string* error) const {
  const auto fail = [&](std::string why) -> std::optional<std::string> {
    if (error != nullptr) *error = std::move(why);
    return std::nullopt;
  };
  const auto it = entries_.find(name);
  if (it == entries_.end()) return fail("no state variable " + std::string(name));
  const Entry& e = it->second;
  const std::string n(name);
  if (e.ranges.empty()) {
    if (!indexes.empty()) return fail(n + " takes no index");
    return e.scalar();
  }
  if (e.ranges.size() == 1) {
    const std::string range = rangeText(e.ranges[0]);
    if (indexes.empty()) return fail(n + " needs an index (" + range + ")");
    if (indexes.size() > 1) return fail(n + " takes one index (" + range + ")");
    const int index = indexes[0];
    if (index < e.ranges[0].first || index > e.ranges[0].last) {
      return fail("no " + n + " " + std::to_string(index) + " (its index is " + range + ")");
    }
    return e.table(index);
  }
  const std::string ranges = rangeText(e.ranges[0]) + ", " + rangeText(e.ranges[1]);
  if (indexes.size() != 2) return fail(n + " needs two indexes (" + ranges + ")");
  for (std::size_t k = 0; k < 2; ++k) {
    if (indexes[k] < e.ranges[k].first || indexes[k] > e.ranges[k].last) {
      return fail("no " + n + " " + std::to_string(indexes[0]) + " " + std::to_string(indexes[1]) +
                  " (its indexes are " + ranges + ")");
    }
  }
  return e.grid(indexes[0], indexes[1]);
}

}  // namespace kb::ui
