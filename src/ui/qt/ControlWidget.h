#pragma once
// What every control's widget shares: the view it acts and paints through, the state it last
// showed, and apply(), which brings the widget in line with its control. Each widget class wires
// its own signals to the form's operator actions and applies the properties of its kind; the
// view applies what all kinds share (place, visibility, font) and keeps the stacking order.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "ui/form/Control.h"

namespace kb::form {
class Form;
}

namespace kb::qt {

class EventPump;

// The view's services to its widgets. Operator actions go through the pump, which drops those
// raised while the widgets are being synced (echoes of the sync itself).
class WidgetEnv {
 public:
  WidgetEnv(form::Form& form, EventPump& pump, QPalette basePalette, QFont baseFont);

  form::Form& form() const { return form_; }
  void deliver(const std::function<void()>& action) const;
  bool syncing() const;
  void click(form::Control& c) const;

  const QPalette& basePalette() const { return basePalette_; }
  const QFont& baseFont() const { return baseFont_; }
  QColor color(std::int32_t value) const;
  // The base font at a control's size and weight.
  QFont font(const form::Control& c) const;

 private:
  form::Form& form_;
  EventPump& pump_;
  QPalette basePalette_;
  QFont baseFont_;
};

// What a widget shows: plain properties in a copy of the control, the identity and
// event-carrying ones (which only the form may write) beside it.
struct Applied {
  explicit Applied(const form::Control& c) : control(c) {}
  form::Control control;
  std::string caption;
  int value = 0;
  int listIndex = -1;
  bool moved = false;  // the widget changed its container
  bool refit = false;  // size or font changed: captions are fitted again
};

// 1 when the widget must be updated; an int so that several checks combine with | and all run.
template <typename T>
int changed(bool fresh, T& was, const T& now) {
  if (!fresh && was == now) return 0;
  was = now;
  return 1;
}

class ControlWidget {
 public:
  virtual ~ControlWidget() = default;
  virtual QWidget* widget() = 0;
  // Shows what differs between the control and what was applied (everything when fresh) and
  // records it in applied.
  virtual void apply(const form::Control& c, Applied& a, bool fresh) = 0;
};

// The widget for a control of any kind but the timer (null), its signals wired to the form.
ControlWidget* makeControlWidget(form::Control& c, const WidgetEnv& env, QWidget* parent);

// Model text (8-bit) for Qt.
QString latin1(const std::string& s);
// Text colours are set for the active and inactive states only: disabled text keeps the
// palette's grey, as disabled controls show it whatever their fore colour.
void setTextColor(QPalette& p, QPalette::ColorRole role, const QColor& c);
// The model's alignment (0 left, 1 right, 2 centre) as a horizontal Qt alignment.
Qt::Alignment horizontal(int alignment);

}  // namespace kb::qt
