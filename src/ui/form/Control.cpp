#include "ui/form/Control.h"

#include <sstream>

#include "ui/form/Form.h"

namespace kb::form {

std::string_view kindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::CommandButton:
      return "CommandButton";
    case ControlKind::CheckBox:
      return "CheckBox";
    case ControlKind::OptionButton:
      return "OptionButton";
    case ControlKind::TextBox:
      return "TextBox";
    case ControlKind::Label:
      return "Label";
    case ControlKind::ComboBox:
      return "ComboBox";
    case ControlKind::Frame:
      return "Frame";
    case ControlKind::Shape:
      return "Shape";
    case ControlKind::Line:
      return "Line";
    case ControlKind::Image:
      return "Image";
    case ControlKind::TabStrip:
      return "TabStrip";
    case ControlKind::Timer:
      return "Timer";
  }
  return "Control";
}

bool takesFocus(ControlKind kind) {
  switch (kind) {
    case ControlKind::CommandButton:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
    case ControlKind::TabStrip:
      return true;
    default:
      return false;
  }
}

std::string Control::displayName() const {
  return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::setValue(int v) {
  form_->setValue(*this, v);
}

void Control::setText(std::string t) {
  form_->setText(*this, std::move(t));
}

void Control::setListIndex(int position) {
  form_->setListIndex(*this, position);
}

void Control::click() {
  form_->fire(Event::Click, *this);
}

void Control::setFocus() {
  form_->setFocus(*this);
}

bool Control::hasFocus() const {
  return form_->focused() == this;
}

namespace {
std::string boolText(bool b) {
  return b ? "True" : "False";
}
std::string number(double v) {
  std::ostringstream out;
  out << v;
  return out.str();
}
}  // namespace

std::optional<std::string> Control::property(std::string_view p) const {
  if (p == "Caption" || p == "Text") return caption_;
  if (p == "Value") {
    if (kind_ == ControlKind::OptionButton) return boolText(value_ != 0);
    return std::to_string(value_);
  }
  if (p == "Visible") return boolText(visible);
  if (p == "Enabled") return boolText(enabled);
  if (p == "Locked") return boolText(locked);
  if (p == "Left") return std::to_string(left);
  if (p == "Top") return std::to_string(top);
  if (p == "Width") return std::to_string(width);
  if (p == "Height") return std::to_string(height);
  if (p == "X1") return std::to_string(x1);
  if (p == "Y1") return std::to_string(y1);
  if (p == "X2") return std::to_string(x2);
  if (p == "Y2") return std::to_string(y2);
  if (p == "BackColor") return std::to_string(backColor);
  if (p == "ForeColor") return std::to_string(foreColor);
  if (p == "FillColor") return std::to_string(fillColor);
  if (p == "BorderColor") return std::to_string(borderColor);
  if (p == "FillStyle") return std::to_string(fillStyle);
  if (p == "BackStyle") return opaque ? "1" : "0";  // 1 opaque, 0 transparent
  if (p == "BorderWidth") return std::to_string(borderWidth);
  if (p == "ToolTipText") return toolTip;
  if (p == "ListIndex") return std::to_string(listIndex_);
  if (p == "ListCount") return std::to_string(items.size());
  if (p == "FontSize") return number(fontSize);
  if (p == "Interval") return std::to_string(interval);
  return std::nullopt;
}

}  // namespace kb::form
