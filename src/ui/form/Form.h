#pragma once
// A headless window: controls addressed as Name(index), their properties, and event procedures
// registered per control array. The Qt layer renders a Form; tests and the runner drive it
// directly.
//
// Conventions kept here:
//  - setting a check box's or option button's value from code runs its Click procedure
//    (when the value changes);
//  - selecting an option button deselects the other option buttons of the same container;
//  - focus moves fire LostFocus on the control that had it, then GotFocus on the new one;
//  - an operator's click moves the focus to the control first, as a mouse click does.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/form/Control.h"

namespace kb::form {

enum class Event { Click, Change, KeyPress, GotFocus, LostFocus, Timer };

struct MenuItem {
  std::string menu;     // caption of the menu ("File")
  std::string name;     // procedure name stem ("mnuExit")
  std::string caption;  // caption of the item ("Exit")
  bool enabled = true;
};

class Form {
 public:
  using Handler = std::function<void(int index)>;
  using KeyHandler = std::function<void(int index, int& key)>;

  Form(std::string name, std::string caption);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  std::string caption;
  int width = 0, height = 0;  // twips, client area
  bool visible = false;
  std::int32_t backColor = kButtonFace;

  // Declaration. Controls keep their declaration order (the Qt layer stacks them in it).
  Control& add(Control control);
  Control& add(ControlKind kind, std::string name, int index = -1);

  // Look-up; get() throws std::out_of_range for an unknown control.
  Control& get(std::string_view name, int index = -1);
  const Control& get(std::string_view name, int index = -1) const;
  Control* find(std::string_view name, int index = -1);
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  // Indexes of a control array in ascending order.
  std::vector<int> indexes(std::string_view name) const;

  // Event procedures, one per control array and event.
  void on(Event event, std::string_view name, Handler handler);
  void onKeyPress(std::string_view name, KeyHandler handler);
  // Runs the procedure if one is registered (procedures call one another's this way).
  void fire(Event event, std::string_view name, int index = -1);

  // Code-side property changes that carry events.
  void setValue(std::string_view name, int index, int value);
  void setValue(std::string_view name, int value) { setValue(name, -1, value); }
  void setText(std::string_view name, int index, std::string text);
  void setText(std::string_view name, std::string text) { setText(name, -1, std::move(text)); }
  void setListIndex(std::string_view name, int index, int position);
  void selectTab(std::string_view name, int tab);

  // Focus.
  void setFocus(std::string_view name, int index = -1);
  void clearFocus();
  const Control* focused() const { return focused_; }

  // Operator actions (what the runner and the Qt layer feed in).
  void operatorClick(std::string_view name, int index = -1);
  void operatorKey(std::string_view name, int index, int key);
  void operatorType(std::string_view name, int index, std::string_view text);

  // Menus.
  void addMenuItem(MenuItem item);
  const std::vector<MenuItem>& menuItems() const { return menus_; }
  MenuItem* findMenuItem(std::string_view caption);
  // Runs the item with this caption; false if there is none or it is disabled.
  bool runMenu(std::string_view caption);
  void onMenu(std::string_view itemName, std::function<void()> handler);

  // Timers: fires the Timer procedure of an enabled timer control.
  void tick(std::string_view timerName);

  // Bumped by every change made through this class; views re-sync when it moves.
  std::uint64_t revision() const { return revision_; }
  void touch() { ++revision_; }

 private:
  using Key = std::pair<std::string, int>;
  struct KeyLess {
    using is_transparent = void;
    bool operator()(const Key& a, const Key& b) const { return a < b; }
    bool operator()(const Key& a, const std::pair<std::string_view, int>& b) const {
      return std::string_view(a.first) < b.first || (a.first == b.first && a.second < b.second);
    }
    bool operator()(const std::pair<std::string_view, int>& a, const Key& b) const {
      return a.first < std::string_view(b.first) || (a.first == b.first && a.second < b.second);
    }
  };
  struct Procedures {
    std::map<Event, Handler> handlers;
    KeyHandler keyPress;
  };

  void selectOption(Control& option);

  std::string name_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::map<Key, Control*, KeyLess> byKey_;
  std::map<std::string, Procedures, std::less<>> procedures_;
  std::vector<MenuItem> menus_;
  std::map<std::string, std::function<void()>, std::less<>> menuHandlers_;
  Control* focused_ = nullptr;
  std::uint64_t revision_ = 0;
};

}  // namespace kb::form
