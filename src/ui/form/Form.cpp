#include "ui/form/Form.h"

#include <algorithm>
#include <stdexcept>

namespace kb::form {

namespace {

// Keys that press a focused button as on the desktop: Enter or Space on a command button, Space
// on a check box or option button.
bool pressesButton(ControlKind kind, int key) {
  if (kind == ControlKind::CommandButton) return key == 13 || key == 32;
  if (kind == ControlKind::CheckBox || kind == ControlKind::OptionButton) return key == 32;
  return false;
}

}  // namespace

std::string_view eventName(Event event) {
  switch (event) {
    case Event::Click:
      return "Click";
    case Event::Change:
      return "Change";
    case Event::KeyPress:
      return "KeyPress";
    case Event::GotFocus:
      return "GotFocus";
    case Event::LostFocus:
      return "LostFocus";
    case Event::Timer:
      return "Timer";
  }
  return "Event";
}

Form::Form(std::string name, std::string caption_)
    : caption(std::move(caption_)), name_(std::move(name)) {}

Control& Form::declare(HandleBase& handle, int index, ControlKind kind, const Control* container) {
  if (handle.form_ != nullptr && handle.form_ != this) {
    throw std::logic_error(std::string("handle ") + handle.name() + " belongs to another form");
  }
  const Key key{handle.name(), index};
  if (byKey_.count(key) != 0) {
    throw std::logic_error("duplicate control " + key.first +
                           (index >= 0 ? "(" + std::to_string(index) + ")" : std::string()));
  }
  if (container != nullptr && container->kind() != ControlKind::Frame) {
    throw std::logic_error("container of " + key.first + " is not a frame");
  }
  auto owned = std::unique_ptr<Control>(new Control());
  Control& c = *owned;
  c.form_ = this;
  c.name_ = handle.name();
  c.index_ = index;
  c.kind_ = kind;
  if (container != nullptr) {
    c.container_ = container->name();
    c.containerIndex_ = container->index();
  }
  // Default colours of each kind of control.
  switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
    case ControlKind::Shape:
      c.backColor = kWindowBackground;
      break;
    default:
      break;
  }
  controls_.push_back(std::move(owned));
  byKey_.emplace(key, &c);
  handle.bindTo(*this);
  return c;
}

Control& Form::add(One& handle, ControlKind kind, const Control* container) {
  if (handle.control_ != nullptr) {
    throw std::logic_error(std::string("duplicate control ") + handle.name());
  }
  Control& c = declare(handle, -1, kind, container);
  handle.control_ = &c;
  return c;
}

Control& Form::add(Array& handle, int index, ControlKind kind, const Control* container) {
  if (index < 0) throw std::logic_error(std::string("negative index for ") + handle.name());
  Control& c = declare(handle, index, kind, container);
  const auto i = static_cast<std::size_t>(index);
  if (handle.byIndex_.size() <= i) handle.byIndex_.resize(i + 1, nullptr);
  handle.byIndex_[i] = &c;
  return c;
}

Control* Form::find(std::string_view name, int index) {
  const auto it = byKey_.find(std::pair<std::string_view, int>(name, index));
  return it == byKey_.end() ? nullptr : it->second;
}

const Control* Form::find(std::string_view name, int index) const {
  return const_cast<Form*>(this)->find(name, index);
}

Control& Form::get(std::string_view name, int index) {
  Control* c = find(name, index);
  if (c == nullptr) {
    throw std::out_of_range("no control " + std::string(name) +
                            (index >= 0 ? "(" + std::to_string(index) + ")" : std::string()) +
                            " on " + name_);
  }
  return *c;
}

const Control& Form::get(std::string_view name, int index) const {
  return const_cast<Form*>(this)->get(name, index);
}

std::vector<int> Form::indexes(std::string_view name) const {
  std::vector<int> out;
  for (auto it = byKey_.lower_bound(std::pair<std::string_view, int>(name, -1));
       it != byKey_.end() && it->first.first == name; ++it) {
    out.push_back(it->first.second);
  }
  return out;
}

Form::Procedures& Form::proceduresFor(const HandleBase& handle) {
  if (handle.form() != this) {
    throw std::logic_error(std::string("procedure for ") + handle.name() + ": no such control on " +
                           name_);
  }
  auto it = procedures_.find(std::string_view(handle.name()));
  if (it == procedures_.end()) it = procedures_.emplace(handle.name(), Procedures{}).first;
  return it->second;
}

void Form::on(Event event, const HandleBase& handle, Handler handler) {
  Procedures& p = proceduresFor(handle);
  if (p.handlers.count(event) != 0) {
    throw std::logic_error(std::string("second ") + std::string(eventName(event)) +
                           " procedure for " + handle.name());
  }
  p.handlers.emplace(event, std::move(handler));
}

void Form::onKeyPress(const HandleBase& handle, KeyHandler handler) {
  Procedures& p = proceduresFor(handle);
  if (p.keyPress) {
    throw std::logic_error(std::string("second KeyPress procedure for ") + handle.name());
  }
  p.keyPress = std::move(handler);
}

bool Form::hasProcedure(Event event, std::string_view name) const {
  const auto it = procedures_.find(name);
  if (it == procedures_.end()) return false;
  if (event == Event::KeyPress) return static_cast<bool>(it->second.keyPress);
  return it->second.handlers.count(event) != 0;
}

void Form::runProcedure(const std::string& control, std::string_view event,
                        const std::function<void()>& run) {
  ++depth_;
  try {
    run();
    --depth_;
  } catch (const std::exception& e) {
    --depth_;
    if (!faultRecorded_) fault_ = {control, std::string(event), e.what()};
    faultRecorded_ = true;
    if (depth_ > 0) throw;
    faultRecorded_ = false;
    endEvent();
    if (!reporter_) throw;
    reporter_(fault_);
    return;
  } catch (...) {
    --depth_;
    if (!faultRecorded_) fault_ = {control, std::string(event), "unknown exception"};
    faultRecorded_ = true;
    if (depth_ > 0) throw;
    faultRecorded_ = false;
    endEvent();
    if (!reporter_) throw;
    reporter_(fault_);
    return;
  }
  if (depth_ == 0) endEvent();
}

void Form::endEvent() {
  if (eventEnd_) eventEnd_();
}

void Form::guarded(std::string_view control, std::string_view event,
                   const std::function<void()>& run) {
  runProcedure(std::string(control), event, run);
}

void Form::fire(Event event, Control& c) {
  const auto it = procedures_.find(std::string_view(c.name()));
  if (it == procedures_.end()) return;
  const auto h = it->second.handlers.find(event);
  if (h == it->second.handlers.end()) return;
  // Copy: the procedure table must not be touched while a procedure runs, but stay safe anyway.
  const Handler handler = h->second;
  const int index = c.index();
  runProcedure(c.displayName(), eventName(event), [&] { handler(index); });
}

void Form::selectOption(Control& option) {
  for (auto& c : controls_) {
    if (c.get() != &option && c->kind_ == ControlKind::OptionButton &&
        c->container_ == option.container_ && c->containerIndex_ == option.containerIndex_) {
      c->value_ = 0;
    }
  }
  option.value_ = 1;
}

void Form::setValue(Control& c, int value) {
  switch (c.kind_) {
    case ControlKind::OptionButton:
      if (value != 0) {
        const bool changed = c.value_ == 0;
        selectOption(c);
        if (changed) fire(Event::Click, c);
      } else {
        c.value_ = 0;
      }
      return;
    case ControlKind::CheckBox:
      if (c.value_ == value) return;
      c.value_ = value;
      fire(Event::Click, c);
      return;
    case ControlKind::TabStrip:
      c.value_ = value;
      fire(Event::Click, c);
      return;
    default:
      c.value_ = value;
      return;
  }
}

void Form::setText(Control& c, std::string text) {
  if (c.caption_ == text) return;
  c.caption_ = std::move(text);
  if (c.kind_ == ControlKind::TextBox) {
    c.selStart = 0;  // caret back to the start, as after any text set from code
    fire(Event::Change, c);
  }
}

void Form::setListIndex(Control& c, int position) {
  c.listIndex_ = position;
  if (position >= 0 && position < static_cast<int>(c.items.size())) {
    c.caption_ = c.items[static_cast<std::size_t>(position)];
  }
  fire(Event::Click, c);
}

void Form::setFocus(Control& c) {
  // Focus goes only to a visible, enabled control that can take it; other requests are dropped.
  if (!takesFocus(c.kind_) || !c.visible || !c.enabled) return;
  if (&c == focused_) return;
  Control* previous = focused_;
  focused_ = &c;
  if (previous != nullptr) fire(Event::LostFocus, *previous);
  fire(Event::GotFocus, c);
}

void Form::clearFocus() {
  Control* previous = focused_;
  focused_ = nullptr;
  if (previous != nullptr) fire(Event::LostFocus, *previous);
}

void Form::operatorClick(Control& c) {
  if (!c.visible || !c.enabled) return;
  setFocus(c);
  switch (c.kind_) {
    case ControlKind::CheckBox:
      setValue(c, c.value_ == 1 ? 0 : 1);
      break;
    case ControlKind::OptionButton:
      setValue(c, 1);
      break;
    default:
      fire(Event::Click, c);
      break;
  }
}

void Form::operatorKey(Control& c, int key) {
  if (!c.visible || !c.enabled) return;
  setFocus(c);
  if (focused_ != &c) return;
  const auto it = procedures_.find(std::string_view(c.name()));
  if (it != procedures_.end() && it->second.keyPress) {
    const KeyHandler handler = it->second.keyPress;
    const int index = c.index();
    runProcedure(c.displayName(), "KeyPress", [&] { handler(index, key); });
  }
  if (pressesButton(c.kind_, key)) {
    operatorClick(c);
    return;
  }
  if (c.kind_ != ControlKind::TextBox || c.locked || key == 0) return;
  // Edited in place: typing at the end of a long text costs the same for every key.
  const int caret = std::min<int>(std::max(c.selStart, 0), static_cast<int>(c.caption_.size()));
  if (key == 8) {
    if (caret == 0) return;
    c.caption_.erase(static_cast<std::size_t>(caret - 1), 1);
    c.selStart = caret - 1;
  } else if (key >= 32 && key < 256) {
    c.caption_.insert(static_cast<std::size_t>(caret), 1, static_cast<char>(key));
    c.selStart = caret + 1;
  } else {
    return;
  }
  fire(Event::Change, c);
}

void Form::operatorType(Control& c, std::string_view text) {
  setFocus(c);
  for (const char ch : text) operatorKey(c, static_cast<unsigned char>(ch));
}

void Form::operatorSelect(Control& c, int position) {
  if (!c.visible || !c.enabled) return;
  setFocus(c);
  if (c.kind_ == ControlKind::TabStrip) {
    setValue(c, position);
  } else {
    setListIndex(c, position);
  }
}

void Form::addMenuItem(MenuItem item) {
  menus_.push_back(std::move(item));
}

MenuItem* Form::findMenuItem(std::string_view caption) {
  for (auto& m : menus_) {
    if (m.caption == caption) return &m;
  }
  return nullptr;
}

bool Form::runMenu(std::string_view caption) {
  MenuItem* item = findMenuItem(caption);
  if (item == nullptr || !item->enabled) return false;
  const auto it = menuHandlers_.find(item->name);
  if (it != menuHandlers_.end()) {
    const auto handler = it->second;
    runProcedure(item->name, "Click", handler);
  }
  return true;
}

void Form::onMenu(std::string_view itemName, std::function<void()> handler) {
  const bool declared = std::any_of(menus_.begin(), menus_.end(),
                                    [&](const MenuItem& m) { return m.name == itemName; });
  if (!declared) {
    throw std::logic_error("procedure for menu item " + std::string(itemName) + ": no such item");
  }
  if (menuHandlers_.count(itemName) != 0) {
    throw std::logic_error("second procedure for menu item " + std::string(itemName));
  }
  menuHandlers_.emplace(std::string(itemName), std::move(handler));
}

void Form::tick(Control& timer) {
  if (!timer.enabled) return;
  fire(Event::Timer, timer);
}

}  // namespace kb::form
