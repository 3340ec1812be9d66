#include "ui/qt/ControlWidget.h"

#include "ui/form/Form.h"
#include "ui/qt/ControlWidgets.h"
#include "ui/qt/EventPump.h"
#include "ui/qt/QtColors.h"
#include "ui/qt/TextWidgets.h"

namespace kb::qt {

using form::ControlKind;

WidgetEnv::WidgetEnv(form::Form& form, EventPump& pump, QPalette basePalette, QFont baseFont)
    : form_(form),
      pump_(pump),
      basePalette_(std::move(basePalette)),
      baseFont_(std::move(baseFont)) {}

void WidgetEnv::deliver(const std::function<void()>& action) const {
  pump_.deliver(action);
}

bool WidgetEnv::syncing() const {
  return pump_.syncing();
}

void WidgetEnv::click(form::Control& c) const {
  form::Control* target = &c;
  deliver([this, target] { form_.operatorClick(*target); });
}

QColor WidgetEnv::color(std::int32_t value) const {
  return toQColor(value, basePalette_);
}

QFont WidgetEnv::font(const form::Control& c) const {
  return controlFont(baseFont_, c.fontSize, c.fontBold);
}

ControlWidget* makeControlWidget(form::Control& c, const WidgetEnv& env, QWidget* parent) {
  switch (c.kind()) {
    case ControlKind::CommandButton:
      return new ButtonWidget(parent, env, c);
    case ControlKind::CheckBox:
      return new CheckWidget(parent, env, c);
    case ControlKind::OptionButton:
      return new OptionWidget(parent, env, c);
    case ControlKind::TextBox:
      // Chosen once: a box does not change between one and several lines.
      if (c.multiLine) return new TextEditWidget(parent, env, c);
      return new LineEditWidget(parent, env, c);
    case ControlKind::Label:
      return new LabelWidget(parent, env, c);
    case ControlKind::ComboBox:
      return new ComboWidget(parent, env, c);
    case ControlKind::Frame:
      return new FrameWidget(parent, env, c);
    case ControlKind::Shape:
      return new ShapeWidget(parent, env);
    case ControlKind::Line:
      return new LineWidget(parent, env);
    case ControlKind::Image:
      return new MarkerWidget(parent, env, c);
    case ControlKind::TabStrip:
      return new TabWidget(parent, env, c);
    case ControlKind::Timer:
      return nullptr;
  }
  return nullptr;
}

QString latin1(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

void setTextColor(QPalette& p, QPalette::ColorRole role, const QColor& c) {
  p.setColor(QPalette::Active, role, c);
  p.setColor(QPalette::Inactive, role, c);
}

Qt::Alignment horizontal(int alignment) {
  switch (alignment) {
    case 1:
      return Qt::AlignRight;
    case 2:
      return Qt::AlignHCenter;
    default:
      return Qt::AlignLeft;
  }
}

}  // namespace kb::qt
