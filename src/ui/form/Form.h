#pragma once
// A headless window: controls addressed as Name(index), their properties, and event procedures
// registered per control array. The Qt layer renders a Form; tests and the runner drive it
// directly.
//
// Conventions kept here:
//  - setting a check box's or option button's value from code runs its Click procedure
//    (when the value changes);
//  - selecting an option button deselects the other option buttons of the same container;
//  - only buttons, boxes, combo boxes and the tab strip take the focus; focus moves fire LostFocus
//    on the control that had it, then GotFocus on the new one;
//  - an operator's click moves the focus to the control first, as a mouse click does (a click
//    on a label, shape, frame, line or image moves no focus);
//  - an operator's key goes to the KeyPress procedure first; what it leaves of Enter or Space on
//    a command button, or of Space on a check box or option button, clicks it;
//  - a procedure that throws is a fault: the outermost event stops there and the fault goes to
//    the reporter (control, event, reason), the same in the GUI and headless.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/form/Control.h"
#include "ui/form/Handles.h"

namespace kb::form {

enum class Event { Click, Change, KeyPress, GotFocus, LostFocus, Timer };
std::string_view eventName(Event event);

struct MenuItem {
  std::string menu;     // caption of the menu ("File")
  std::string name;     // procedure name stem ("mnuExit")
  std::string caption;  // caption of the item ("Exit")
  bool enabled = true;
  bool checked = false;  // shows a tick
};

// A procedure that threw: where and why.
struct Fault {
  std::string control;  // "Command1(6)", "Form", "mnuExit"
  std::string event;    // "Click", "Load", ...
  std::string reason;
};

class Form {
 public:
  using Handler = std::function<void(int index)>;
  using KeyHandler = std::function<void(int index, int& key)>;
  using FaultReporter = std::function<void(const Fault&)>;

  Form(std::string name, std::string caption);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  std::string caption;
  int width = 0, height = 0;  // twips, client area
  bool visible = false;
  // Shows the window and brings it to the front with the focus, as showing a window that is
  // open already does; showCount() counts these requests for the renderer.
  void show() {
    visible = true;
    ++shows_;
  }
  int showCount() const { return shows_; }
  std::int32_t backColor = kButtonFace;

  // Declaration: the only way a control comes into being. Binds the handle; container is the
  // frame holding the control (null: the form). Controls keep their declaration order.
  Control& add(One& handle, ControlKind kind, const Control* container = nullptr);
  Control& add(Array& handle, int index, ControlKind kind, const Control* container = nullptr);

  // Look-up by name, for the runner and the renderer only; get() throws std::out_of_range.
  Control& get(std::string_view name, int index = -1);
  const Control& get(std::string_view name, int index = -1) const;
  Control* find(std::string_view name, int index = -1);
  const Control* find(std::string_view name, int index = -1) const;
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  // Indexes of a control array in ascending order (empty: no such control).
  std::vector<int> indexes(std::string_view name) const;

  // Event procedures, one per control array and event. Registering for a handle this form has
  // no control for, or a second procedure for the same event, throws std::logic_error.
  void on(Event event, const HandleBase& handle, Handler handler);
  void onKeyPress(const HandleBase& handle, KeyHandler handler);
  bool hasProcedure(Event event, std::string_view name) const;

  // Code-side changes (what Control's setters call).
  void setValue(Control& c, int value);
  void setText(Control& c, std::string text);
  void setListIndex(Control& c, int position);
  void fire(Event event, Control& c);

  // Focus.
  void setFocus(Control& c);
  void clearFocus();
  const Control* focused() const { return focused_; }

  // Operator actions (what the runner and the Qt layer feed in). A hidden or disabled control
  // ignores them.
  void operatorClick(Control& c);
  void operatorKey(Control& c, int key);
  void operatorType(Control& c, std::string_view text);
  // A combo box list position or a tab of the tab strip.
  void operatorSelect(Control& c, int position);
  void operatorFocus(Control& c) {
    guarded(c.displayName(), "GotFocus", [&] { setFocus(c); });
  }
  void operatorLeave() {
    guarded(name_, "LostFocus", [&] { clearFocus(); });
  }

  // Menus.
  void addMenuItem(MenuItem item);
  const std::vector<MenuItem>& menuItems() const { return menus_; }
  MenuItem* findMenuItem(std::string_view caption);
  // Runs the item with this caption; false if there is none or it is disabled.
  bool runMenu(std::string_view caption);
  // Throws std::logic_error for an item not declared or a second procedure.
  void onMenu(std::string_view itemName, std::function<void()> handler);

  // Timers: fires the Timer procedure of an enabled timer control.
  void tick(Control& timer);

  // Faults: without a reporter a fault propagates to the caller (tests see the exception).
  void setFaultReporter(FaultReporter reporter) { reporter_ = std::move(reporter); }
  // Run whenever an outermost procedure (an operator action, a tick, start-up) has ended, also
  // after a fault: what it did is complete.
  void setEventEndHook(std::function<void()> hook) { eventEnd_ = std::move(hook); }
  // Runs an action that starts outside any event procedure (start-up) under the fault policy.
  void guarded(std::string_view control, std::string_view event, const std::function<void()>& run);

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

  Control& declare(HandleBase& handle, int index, ControlKind kind, const Control* container);
  Procedures& proceduresFor(const HandleBase& handle);
  void selectOption(Control& option);
  void runProcedure(const std::string& control, std::string_view event,
                    const std::function<void()>& run);
  void endEvent();

  std::string name_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::map<Key, Control*, KeyLess> byKey_;
  std::map<std::string, Procedures, std::less<>> procedures_;
  std::vector<MenuItem> menus_;
  std::map<std::string, std::function<void()>, std::less<>> menuHandlers_;
  Control* focused_ = nullptr;
  int shows_ = 0;
  FaultReporter reporter_;
  std::function<void()> eventEnd_;
  int depth_ = 0;  // procedures running
  bool faultRecorded_ = false;
  Fault fault_;
};

}  // namespace kb::form
