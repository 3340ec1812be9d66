#pragma once
// Typed access to controls. Each window declares one handle per control array beside the layout
// that creates it; the layout binds the handle when it declares the control, so procedures reach
// controls as c.Command1[6] or c.Label_ID-> without looking a name up, and a misspelt name does
// not compile.
//
//   struct MonitorButtonControls : virtual form::HandleSet {
//     KB_ARRAY(Command1);
//     KB_ONE(Label_ID);
//   };
#include <string>
#include <vector>

#include "ui/form/Control.h"

namespace kb::form {

class Form;
class HandleBase;

// The handles of one window, in declaration order; the check that every handle is bound walks it.
class HandleSet {
 public:
  HandleSet() = default;
  HandleSet(const HandleSet&) = delete;
  HandleSet& operator=(const HandleSet&) = delete;
  const std::vector<const HandleBase*>& handles() const { return handles_; }
  // Names of the handles that no control was declared for; empty when the layout is complete.
  std::vector<std::string> unbound() const;

 protected:
  ~HandleSet() = default;

 private:
  friend class HandleBase;
  std::vector<const HandleBase*> handles_;
};

class HandleBase {
 public:
  HandleBase(const HandleBase&) = delete;
  HandleBase& operator=(const HandleBase&) = delete;

  const char* name() const { return name_; }
  const Form* form() const { return form_; }
  // True once the layout declared at least one control for it.
  bool bound() const { return form_ != nullptr; }

 protected:
  HandleBase(HandleSet* set, const char* name) : name_(name) {
    if (set != nullptr) set->handles_.push_back(this);
  }
  ~HandleBase() = default;
  friend class Form;
  void bindTo(Form& form);

  const char* name_;
  Form* form_ = nullptr;
};

// A plain control (no index).
class One final : public HandleBase {
 public:
  explicit One(const char* name) : HandleBase(nullptr, name) {}
  One(HandleSet& set, const char* name) : HandleBase(&set, name) {}

  Control& operator*() const { return *checked(); }
  Control* operator->() const { return checked(); }

 private:
  friend class Form;
  Control* checked() const;
  Control* control_ = nullptr;
};

// A control array; indexes need not be contiguous.
class Array final : public HandleBase {
 public:
  explicit Array(const char* name) : HandleBase(nullptr, name) {}
  Array(HandleSet& set, const char* name) : HandleBase(&set, name) {}

  // Throws std::out_of_range for an index the layout did not declare.
  Control& operator[](int index) const;
  bool has(int index) const;
  // Declared indexes in ascending order.
  std::vector<int> indexes() const;

 private:
  friend class Form;
  std::vector<Control*> byIndex_;
};

}  // namespace kb::form

// Declares a handle member named after the control; the struct must derive (virtually) from
// kb::form::HandleSet.
#define KB_ONE(name)     \
  ::kb::form::One name { \
    *this, #name         \
  }
#define KB_ARRAY(name)     \
  ::kb::form::Array name { \
    *this, #name           \
  }
