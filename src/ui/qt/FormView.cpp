#include "ui/qt/FormView.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QTextDocument>

#include "ui/qt/QtColors.h"

namespace kb::qt {

using form::Control;
using form::ControlKind;

QFont formBaseFont() {
  QFont f = QApplication::font();
  f.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                 QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                 QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans")});
  f.setStyleHint(QFont::SansSerif);
  return f;
}

namespace {

// Tool tips are plain text; Qt would take text that looks like markup as rich text.
QString plainToolTip(const std::string& text) {
  QString t = latin1(text);
  if (Qt::mightBeRichText(t)) {
    t = QStringLiteral("<p style='white-space:pre-wrap'>") + t.toHtmlEscaped() +
        QStringLiteral("</p>");
  }
  return t;
}

bool isGraphical(ControlKind kind) {
  return kind == ControlKind::Label || kind == ControlKind::Shape || kind == ControlKind::Line ||
         kind == ControlKind::Image;
}

}  // namespace

FormView::FormView(form::Form& form, EventPump& pump, QWidget* parent)
    : QWidget(parent),
      form_(form),
      pump_(pump),
      env_(form, pump, QApplication::palette(), formBaseFont()) {
  setObjectName(QString::fromStdString(form.name()));
  setAutoFillBackground(true);
  setFont(controlFont(env_.baseFont(), 8.25, false));
  hookId_ = pump_.addSyncHook([this] { sync(); });
  // Inside the pump's sync, so signals raised while the widgets are filled are not taken as
  // operator actions.
  pump_.syncNow();
}

FormView::~FormView() {
  pump_.removeSyncHook(hookId_);
}

QWidget* FormView::widgetFor(std::string_view name, int index) const {
  const Control* c = form_.find(name, index);
  if (c == nullptr) return nullptr;
  const auto it = byControl_.find(c);
  return it == byControl_.end() ? nullptr : it->second->widget;
}

void FormView::createWidgets() {
  const auto& controls = form_.controls();
  for (std::size_t i = bindings_.size(); i < controls.size(); ++i) {
    auto b = std::make_unique<Binding>();
    b->control = controls[i].get();
    b->view = makeControlWidget(*b->control, env_, this);
    b->widget = b->view != nullptr ? b->view->widget() : nullptr;
    byControl_[b->control] = b.get();
    if (b->widget != nullptr) {
      b->widget->setObjectName(QString::fromStdString(b->control->displayName()));
      b->widget->installEventFilter(this);
      byWidget_[b->widget] = b.get();
    }
    if (b->control->kind() == ControlKind::Frame) {
      frames_[{b->control->name(), b->control->index()}] = b.get();
    }
    bindings_.push_back(std::move(b));
  }
}

void FormView::sync() {
  if (bindings_.size() < form_.controls().size()) createWidgets();

  if (formFresh_ || appliedWidth_ != form_.width || appliedHeight_ != form_.height) {
    appliedWidth_ = form_.width;
    appliedHeight_ = form_.height;
    setFixedSize(toPixels(form_.width), toPixels(form_.height));
  }
  if (formFresh_ || appliedBack_ != form_.backColor) {
    appliedBack_ = form_.backColor;
    QPalette p = palette();
    p.setColor(QPalette::Window, env_.color(form_.backColor));
    setPalette(p);
  }
  formFresh_ = false;

  bool placed = false;
  for (auto& b : bindings_) {
    placed = placed || b->fresh;
    apply(*b);
  }
  // Graphical controls (labels, shapes, lines, images) always lie beneath the windowed ones
  // (buttons, boxes, frames); each layer keeps the declaration order.
  if (placed) {
    for (auto& b : bindings_) {
      if (b->widget != nullptr && !isGraphical(b->control->kind())) b->widget->raise();
    }
  }
  applyFocus();
}

void FormView::placeInContainer(Binding& b) {
  const Control& c = *b.control;
  QWidget* parent = this;
  if (!c.container().empty()) {
    const auto it = frames_.find(std::pair<std::string, int>(c.container(), c.containerIndex()));
    if (it != frames_.end() && it->second != &b && it->second->widget != nullptr) {
      parent = it->second->widget;
    }
  }
  // Reparenting puts the widget on top of its new siblings: done in declaration order on the
  // first sync, this stacks every container's children in that order.
  if (b.widget->parentWidget() != parent || b.fresh) {
    b.widget->setParent(parent);
    b.widget->raise();
  }
}

void FormView::apply(Binding& b) {
  const Control& c = *b.control;
  const bool f = b.fresh;
  QWidget* w = b.widget;
  if (w == nullptr) {
    b.fresh = false;
    return;
  }
  if (!b.applied) b.applied.emplace(c);
  Applied& a = *b.applied;
  Control& was = a.control;

  a.moved = false;
  if (changed(f, b.container, c.container()) | changed(f, b.containerIndex, c.containerIndex())) {
    placeInContainer(b);
    a.moved = true;
  }
  // A line places itself around its two points.
  if (c.kind() != ControlKind::Line &&
      (a.moved | changed(f, was.left, c.left) | changed(f, was.top, c.top) |
       changed(f, was.width, c.width) | changed(f, was.height, c.height))) {
    w->setGeometry(toPixelRect(c.left, c.top, c.width, c.height));
    a.refit = true;
  }
  if (a.moved | changed(f, was.visible, c.visible)) w->setVisible(c.visible);
  if (changed(f, was.enabled, c.enabled)) w->setEnabled(c.enabled);
  if (changed(f, was.toolTip, c.toolTip)) w->setToolTip(plainToolTip(c.toolTip));
  if (changed(f, was.fontSize, c.fontSize) | changed(f, was.fontBold, c.fontBold)) {
    w->setFont(env_.font(c));
    a.refit = true;
  }
  b.view->apply(c, a, f);
  b.fresh = false;
  a.refit = false;
}

void FormView::applyFocus() {
  const Control* focused = form_.focused();
  if (focused == appliedFocus_) return;
  appliedFocus_ = focused;
  if (focused == nullptr) return;
  const auto it = byControl_.find(focused);
  if (it == byControl_.end() || it->second->widget == nullptr) return;
  QWidget* w = it->second->widget;
  if (w->isEnabled() && w->focusPolicy() != Qt::NoFocus) w->setFocus(Qt::OtherFocusReason);
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
  const auto it = byWidget_.find(watched);
  if (it == byWidget_.end()) return QWidget::eventFilter(watched, event);
  Control* c = it->second->control;
  switch (event->type()) {
    case QEvent::FocusIn: {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      // Window switches and popups do not move the form's focus.
      if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
      if (form_.focused() != c) {
        pump_.deliver([this, c] { form_.operatorFocus(*c); });
      }
      break;
    }
    case QEvent::FocusOut: {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
          reason == Qt::MenuBarFocusReason) {
        break;
      }
      if (form_.focused() == c) pump_.deliver([this] { form_.operatorLeave(); });
      break;
    }
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace kb::qt
