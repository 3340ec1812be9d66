#include "ui/form/Handles.h"

#include <stdexcept>

#include "ui/form/Form.h"

namespace kb::form {

std::vector<std::string> HandleSet::unbound() const {
  std::vector<std::string> out;
  for (const HandleBase* h : handles_) {
    if (!h->bound()) out.emplace_back(h->name());
  }
  return out;
}

void HandleBase::bindTo(Form& form) {
  form_ = &form;
}

Control* One::checked() const {
  if (control_ == nullptr) throw std::out_of_range(std::string("no control ") + name_);
  return control_;
}

Control& Array::operator[](int index) const {
  if (!has(index)) {
    throw std::out_of_range(std::string("no control ") + name_ + "(" + std::to_string(index) + ")");
  }
  return *byIndex_[static_cast<std::size_t>(index)];
}

bool Array::has(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < byIndex_.size() &&
         byIndex_[static_cast<std::size_t>(index)] != nullptr;
}

std::vector<int> Array::indexes() const {
  std::vector<int> out;
  for (std::size_t i = 0; i < byIndex_.size(); ++i) {
    if (byIndex_[i] != nullptr) out.push_back(static_cast<int>(i));
  }
  return out;
}

}  // namespace kb::form
