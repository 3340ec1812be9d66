#include "ui/form/Form.h"

#include <algorithm>
#include <stdexcept>

namespace kb::form {

Form::Form(std::string name, std::string caption_)
    : caption(std::move(caption_)), name_(std::move(name)) {}

Control& Form::add(Control control) {
  const Key key{control.name, control.index};
  if (byKey_.count(key) != 0) throw std::logic_error("duplicate control " + control.displayName());
  controls_.push_back(std::make_unique<Control>(std::move(control)));
  Control* c = controls_.back().get();
  byKey_.emplace(key, c);
  ++revision_;
  return *c;
}

Control& Form::add(ControlKind kind, std::string name, int index) {
  Control c;
  c.kind = kind;
  // Default colours of each kind of control.
  switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
      c.backColor = kWindowBackground;
      break;
    case ControlKind::Shape:
      c.backColor = kWindowBackground;
      c.borderColor = kWindowText;
      break;
    case ControlKind::Line:
      c.borderColor = kWindowText;
      break;
    default:
      break;
  }
  c.name = std::move(name);
  c.index = index;
  return add(std::move(c));
}

Control* Form::find(std::string_view name, int index) {
  const auto it = byKey_.find(std::pair<std::string_view, int>(name, index));
  return it == byKey_.end() ? nullptr : it->second;
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

void Form::on(Event event, std::string_view name, Handler handler) {
  auto it = procedures_.find(name);
  if (it == procedures_.end()) it = procedures_.emplace(std::string(name), Procedures{}).first;
  it->second.handlers[event] = std::move(handler);
}

void Form::onKeyPress(std::string_view name, KeyHandler handler) {
  auto it = procedures_.find(name);
  if (it == procedures_.end()) it = procedures_.emplace(std::string(name), Procedures{}).first;
  it->second.keyPress = std::move(handler);
}

void Form::fire(Event event, std::string_view name, int index) {
  ++revision_;
  const auto it = procedures_.find(name);
  if (it == procedures_.end()) return;
  const auto h = it->second.handlers.find(event);
  if (h == it->second.handlers.end() || !h->second) return;
  // Copy: a procedure may re-register handlers while it runs.
  const Handler handler = h->second;
  handler(index);
}

void Form::selectOption(Control& option) {
  for (auto& c : controls_) {
    if (c.get() != &option && c->kind == ControlKind::OptionButton &&
        c->container == option.container && c->containerIndex == option.containerIndex) {
      c->value = 0;
    }
  }
  option.value = 1;
}

void Form::setValue(std::string_view name, int index, int value) {
  Control& c = get(name, index);
  ++revision_;
  if (c.kind == ControlKind::OptionButton) {
    if (value != 0) {
      const bool changed = c.value == 0;
      selectOption(c);
      if (changed) fire(Event::Click, c.name, c.index);
    } else {
      c.value = 0;
    }
    return;
  }
  if (c.value == value) return;
  c.value = value;
  if (c.kind == ControlKind::CheckBox) fire(Event::Click, c.name, c.index);
}

void Form::setText(std::string_view name, int index, std::string text) {
  Control& c = get(name, index);
  ++revision_;
  if (c.caption == text) return;
  c.caption = std::move(text);
  if (c.kind == ControlKind::TextBox) {
    c.selStart = 0;  // caret back to the start, as after any text set from code
    fire(Event::Change, c.name, c.index);
  }
}

void Form::setListIndex(std::string_view name, int index, int position) {
  Control& c = get(name, index);
  ++revision_;
  c.listIndex = position;
  if (position >= 0 && position < static_cast<int>(c.items.size())) {
    c.caption = c.items[static_cast<std::size_t>(position)];
  }
  fire(Event::Click, c.name, c.index);
}

void Form::selectTab(std::string_view name, int tab) {
  Control& c = get(name, -1);
  ++revision_;
  c.value = tab;
  fire(Event::Click, c.name, c.index);
}

void Form::setFocus(std::string_view name, int index) {
  Control* c = find(name, index);
  // Focus cannot go to a missing, hidden or disabled control; the request is dropped.
  if (c == nullptr || !c->visible || !c->enabled) return;
  if (c == focused_) return;
  Control* previous = focused_;
  focused_ = c;
  ++revision_;
  if (previous != nullptr) fire(Event::LostFocus, previous->name, previous->index);
  fire(Event::GotFocus, c->name, c->index);
}

void Form::clearFocus() {
  Control* previous = focused_;
  focused_ = nullptr;
  ++revision_;
  if (previous != nullptr) fire(Event::LostFocus, previous->name, previous->index);
}

void Form::operatorClick(std::string_view name, int index) {
  Control& c = get(name, index);
  if (!c.visible || !c.enabled) return;
  setFocus(name, index);
  switch (c.kind) {
    case ControlKind::CheckBox:
      setValue(name, index, c.value == 1 ? 0 : 1);
      break;
    case ControlKind::OptionButton:
      setValue(name, index, 1);
      break;
    default:
      fire(Event::Click, name, index);
      break;
  }
}

void Form::operatorKey(std::string_view name, int index, int key) {
  Control& c = get(name, index);
  if (!c.visible || !c.enabled) return;
  setFocus(name, index);
  if (focused_ != &c) return;
  auto it = procedures_.find(name);
  if (it != procedures_.end() && it->second.keyPress) {
    const KeyHandler handler = it->second.keyPress;
    handler(index, key);
  }
  ++revision_;
  if (c.kind != ControlKind::TextBox || c.locked || key == 0) return;
  int caret = std::min<int>(std::max(c.selStart, 0), static_cast<int>(c.caption.size()));
  std::string text = c.caption;
  if (key == 8) {
    if (caret == 0) return;
    text.erase(static_cast<std::size_t>(caret - 1), 1);
    --caret;
  } else if (key >= 32 && key < 256) {
    text.insert(text.begin() + caret, static_cast<char>(key));
    ++caret;
  } else {
    return;
  }
  c.caption = std::move(text);
  c.selStart = caret;
  fire(Event::Change, c.name, c.index);
}

void Form::operatorType(std::string_view name, int index, std::string_view text) {
  setFocus(name, index);
  for (const char ch : text) operatorKey(name, index, static_cast<unsigned char>(ch));
}

void Form::addMenuItem(MenuItem item) {
  menus_.push_back(std::move(item));
  ++revision_;
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
  ++revision_;
  const auto it = menuHandlers_.find(item->name);
  if (it != menuHandlers_.end() && it->second) {
    const auto handler = it->second;
    handler();
  }
  return true;
}

void Form::onMenu(std::string_view itemName, std::function<void()> handler) {
  menuHandlers_[std::string(itemName)] = std::move(handler);
}

void Form::tick(std::string_view timerName) {
  Control* t = find(timerName);
  if (t == nullptr || !t->enabled) return;
  fire(Event::Timer, t->name, t->index);
}

}  // namespace kb::form
