#pragma once
// Renders one headless form as Qt widgets: one widget per control (timers have none), children of
// frames inside their frame's widget, stacked in declaration order. Each widget turns its signals
// into the form's operator actions through the event pump and applies its kind's properties;
// sync() compares every control with what its widget shows and applies what differs.
#include <QFont>
#include <QPalette>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/form/Form.h"
#include "ui/qt/ControlWidget.h"
#include "ui/qt/EventPump.h"

namespace kb::qt {

class FormView final : public QWidget {
  Q_OBJECT

 public:
  // Builds the widgets and registers the view's sync with the pump.
  FormView(form::Form& form, EventPump& pump, QWidget* parent = nullptr);
  ~FormView() override;

  form::Form& form() { return form_; }
  // The widget of a control; null for timers and unknown controls.
  QWidget* widgetFor(std::string_view name, int index = -1) const;

  // Compares every control with what its widget shows and updates what differs. Adds widgets for
  // controls declared since the last sync.
  void sync();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Binding {
    form::Control* control = nullptr;
    ControlWidget* view = nullptr;  // null for timers
    QWidget* widget = nullptr;
    std::optional<Applied> applied;
    std::string container;
    int containerIndex = -1;
    bool fresh = true;  // nothing applied yet
  };

  void createWidgets();
  void apply(Binding& b);
  void placeInContainer(Binding& b);
  void applyFocus();

  form::Form& form_;
  EventPump& pump_;
  WidgetEnv env_;
  std::vector<std::unique_ptr<Binding>> bindings_;
  std::map<const QObject*, Binding*> byWidget_;
  std::map<const form::Control*, Binding*> byControl_;
  std::map<std::pair<std::string, int>, Binding*, std::less<>> frames_;
  const form::Control* appliedFocus_ = nullptr;
  int appliedWidth_ = -1, appliedHeight_ = -1;
  std::int32_t appliedBack_ = 0;
  bool formFresh_ = true;
  int hookId_ = -1;
};

// Family list close to the classic dialog font's metrics, with common fallbacks.
QFont formBaseFont();

}  // namespace kb::qt
