#include "ui/qt/FormView.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QTabBar>
#include <QTextDocument>
#include <algorithm>

#include "ui/qt/ControlWidgets.h"
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

QString latin1(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// Tool tips are plain text; Qt would take text that looks like markup as rich text.
QString plainToolTip(const std::string& text) {
  QString t = latin1(text);
  if (Qt::mightBeRichText(t)) {
    t = QStringLiteral("<p style='white-space:pre-wrap'>") + t.toHtmlEscaped() +
        QStringLiteral("</p>");
  }
  return t;
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

// Multi-line text: the model separates lines with CR LF (or a lone CR/LF), the widget with LF.
QString displayText(const std::string& s) {
  QString t = latin1(s);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return t;
}

std::size_t modelStep(const std::string& s, std::size_t i) {
  return (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
}

int modelToDisplayCaret(const std::string& s, int caret) {
  int display = 0;
  for (std::size_t i = 0; i < s.size() && static_cast<int>(i) < caret; i += modelStep(s, i)) {
    ++display;
  }
  return display;
}

int displayToModelCaret(const std::string& s, int caret) {
  std::size_t i = 0;
  for (int d = 0; d < caret && i < s.size(); ++d) i += modelStep(s, i);
  return static_cast<int>(i);
}

bool isClickable(ControlKind kind) {
  return kind == ControlKind::Label || kind == ControlKind::Image || kind == ControlKind::Frame;
}

// Text colours are set for the active and inactive states only: disabled text keeps the
// palette's grey, as disabled controls show it whatever their fore colour.
void setText(QPalette& p, QPalette::ColorRole role, const QColor& c) {
  p.setColor(QPalette::Active, role, c);
  p.setColor(QPalette::Inactive, role, c);
}

// 1 when the widget must be updated; an int so that several checks combine with | and all run.
template <typename T>
int changed(bool fresh, T& was, const T& now) {
  if (!fresh && was == now) return 0;
  was = now;
  return 1;
}

}  // namespace

FormView::FormView(form::Form& form, EventPump& pump, QWidget* parent)
    : QWidget(parent),
      form_(form),
      pump_(pump),
      basePalette_(QApplication::palette()),
      baseFont_(formBaseFont()) {
  setObjectName(QString::fromStdString(form.name()));
  setAutoFillBackground(true);
  setFont(controlFont(baseFont_, 8.25, false));
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

QColor FormView::color(std::int32_t value) const {
  return toQColor(value, basePalette_);
}

void FormView::click(const Control& c) {
  Control* target = const_cast<Control*>(&c);
  pump_.deliver([this, target] { form_.operatorClick(*target); });
}

void FormView::createWidgets() {
  const auto& controls = form_.controls();
  for (std::size_t i = bindings_.size(); i < controls.size(); ++i) {
    auto b = std::make_unique<Binding>();
    b->control = controls[i].get();
    b->widget = createWidget(*b);
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

QWidget* FormView::createWidget(Binding& b) {
  Control* c = b.control;
  switch (c->kind()) {
    case ControlKind::CommandButton: {
      auto* w = new ButtonWidget(this);
      connect(w, &QAbstractButton::clicked, this, [this, c] { click(*c); });
      return w;
    }
    case ControlKind::CheckBox: {
      auto* w = new CheckWidget(this);
      w->setTristate(true);
      connect(w, &QAbstractButton::clicked, this, [this, c] { click(*c); });
      return w;
    }
    case ControlKind::OptionButton: {
      auto* w = new OptionWidget(this);
      connect(w, &QAbstractButton::clicked, this, [this, c] { click(*c); });
      return w;
    }
    case ControlKind::TextBox: {
      b.multiLine = c->multiLine;
      TextBoxHooks hooks;
      hooks.key = [this, c](int key) {
        pump_.deliver([this, c, key] { form_.operatorKey(*c, key); });
      };
      const bool multi = b.multiLine;
      hooks.caret = [this, c, multi](int caret) {
        if (pump_.syncing()) return;
        c->selStart = multi ? displayToModelCaret(c->caption(), caret) : caret;
      };
      if (multi) {
        auto* w = new TextEditWidget(this, hooks);
        w->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        w->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        w->document()->setDocumentMargin(1);
        connect(w, &QPlainTextEdit::cursorPositionChanged, this,
                [w, hooks] { hooks.caret(w->textCursor().position()); });
        connect(w, &QPlainTextEdit::textChanged, this, [this, &b] {
          if (!pump_.syncing()) b.textDirty = true;
        });
        return w;
      }
      auto* w = new LineEditWidget(this, hooks);
      w->setTextMargins(0, 0, 0, 0);
      connect(w, &QLineEdit::cursorPositionChanged, this,
              [hooks](int, int now) { hooks.caret(now); });
      connect(w, &QLineEdit::textEdited, this, [&b] { b.textDirty = true; });
      return w;
    }
    case ControlKind::Label: {
      auto* w = new QLabel(this);
      w->setTextFormat(Qt::PlainText);
      w->setWordWrap(true);
      return w;
    }
    case ControlKind::ComboBox: {
      auto* w = new QComboBox(this);
      w->setEditable(false);
      connect(w, &QComboBox::activated, this, [this, c](int position) {
        pump_.deliver([this, c, position] { form_.operatorSelect(*c, position); });
      });
      return w;
    }
    case ControlKind::Frame:
      return new FrameWidget(this);
    case ControlKind::Shape:
      return new ShapeWidget(this);
    case ControlKind::Line:
      return new LineWidget(this);
    case ControlKind::Image:
      return new MarkerWidget(this);
    case ControlKind::TabStrip: {
      auto* w = new QTabBar(this);
      w->setExpanding(false);
      w->setElideMode(Qt::ElideNone);
      w->setDrawBase(true);
      connect(w, &QTabBar::currentChanged, this, [this, c](int tab) {
        if (tab >= 0) pump_.deliver([this, c, tab] { form_.operatorSelect(*c, tab); });
      });
      return w;
    }
    case ControlKind::Timer:
      return nullptr;
  }
  return nullptr;
}

namespace {
bool isGraphical(ControlKind kind) {
  return kind == ControlKind::Label || kind == ControlKind::Shape || kind == ControlKind::Line ||
         kind == ControlKind::Image;
}
}  // namespace

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
    p.setColor(QPalette::Window, color(form_.backColor));
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
  Control& a = *b.applied;

  bool moved = false;
  if (changed(f, b.container, c.container()) | changed(f, b.containerIndex, c.containerIndex())) {
    placeInContainer(b);
    moved = true;
  }

  if (c.kind() == ControlKind::Line) {
    if (moved | changed(f, a.x1, c.x1) | changed(f, a.y1, c.y1) | changed(f, a.x2, c.x2) |
        changed(f, a.y2, c.y2) | changed(f, a.borderWidth, c.borderWidth) |
        changed(f, a.borderColor, c.borderColor)) {
      const QPoint p1(toPixels(c.x1), toPixels(c.y1));
      const QPoint p2(toPixels(c.x2), toPixels(c.y2));
      const int pad = std::max(1, (c.borderWidth + 1) / 2);
      const QRect box = QRect(p1, p2).normalized().adjusted(-pad, -pad, pad, pad);
      w->setGeometry(box);
      static_cast<LineWidget*>(w)->setLine(QLine(p1 - box.topLeft(), p2 - box.topLeft()),
                                           color(c.borderColor), c.borderWidth);
    }
  } else if (moved | changed(f, a.left, c.left) | changed(f, a.top, c.top) |
             changed(f, a.width, c.width) | changed(f, a.height, c.height)) {
    w->setGeometry(toPixelRect(c.left, c.top, c.width, c.height));
    b.refit = true;
  }

  if (moved | changed(f, a.visible, c.visible)) w->setVisible(c.visible);
  if (changed(f, a.enabled, c.enabled)) w->setEnabled(c.enabled);
  if (changed(f, a.toolTip, c.toolTip)) w->setToolTip(plainToolTip(c.toolTip));
  if (changed(f, a.fontSize, c.fontSize) | changed(f, a.fontBold, c.fontBold)) {
    w->setFont(controlFont(baseFont_, c.fontSize, c.fontBold));
    b.refit = true;
  }
  applyKind(b, f);
  b.fresh = false;
  b.refit = false;
}

void FormView::applyKind(Binding& b, bool f) {
  const Control& c = *b.control;
  Control& a = *b.applied;
  QWidget* w = b.widget;
  const bool colours = changed(f, a.backColor, c.backColor) | changed(f, a.foreColor, c.foreColor);

  switch (c.kind()) {
    case ControlKind::CommandButton: {
      auto* button = static_cast<ButtonWidget*>(w);
      if (changed(f, b.caption, c.caption())) button->setCaption(latin1(c.caption()));
      if (colours) {
        QPalette p = basePalette_;
        p.setColor(QPalette::Button, color(c.backColor));
        setText(p, QPalette::ButtonText, color(c.foreColor));
        button->setPalette(p);
      }
      break;
    }
    case ControlKind::CheckBox:
    case ControlKind::OptionButton: {
      auto* button = static_cast<QAbstractButton*>(w);
      if (changed(f, b.caption, c.caption()) || b.refit) {
        button->setText(literalCaption(c.caption()));
        const bool check = c.kind() == ControlKind::CheckBox;
        QStyle* st = button->style();
        const int indicator =
            st->pixelMetric(check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth,
                            nullptr, button) +
            st->pixelMetric(
                check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing,
                nullptr, button);
        const QSize area(button->width() - indicator - 2, button->height());
        button->setFont(fittedFont(controlFont(baseFont_, c.fontSize, c.fontBold),
                                   latin1(c.caption()), area, false));
      }
      if (changed(f, b.value, c.value())) {
        if (auto* box = qobject_cast<QCheckBox*>(button)) {
          box->setCheckState(c.value() == 1   ? Qt::Checked
                             : c.value() == 2 ? Qt::PartiallyChecked
                                              : Qt::Unchecked);
        } else {
          button->setChecked(c.value() != 0);
        }
      }
      if (colours) {
        QPalette p = basePalette_;
        p.setColor(QPalette::Window, color(c.backColor));
        setText(p, QPalette::WindowText, color(c.foreColor));
        button->setPalette(p);
        button->setAutoFillBackground(true);
      }
      break;
    }
    case ControlKind::TextBox: {
      const bool textChanged = changed(f, b.caption, c.caption()) || b.textDirty;
      const bool caretChanged = changed(f, a.selStart, c.selStart) || textChanged;
      b.textDirty = false;
      if (b.multiLine) {
        auto* edit = static_cast<TextEditWidget*>(w);
        if (textChanged) edit->setTextKeepingView(displayText(c.caption()));
        if (caretChanged) edit->setCaret(modelToDisplayCaret(c.caption(), c.selStart));
        if (changed(f, a.alignment, c.alignment)) {
          edit->document()->setDefaultTextOption(QTextOption(horizontal(c.alignment)));
        }
      } else {
        auto* edit = static_cast<QLineEdit*>(w);
        if (textChanged) edit->setText(latin1(c.caption()));
        if (caretChanged) edit->setCursorPosition(c.selStart);
        if (changed(f, a.alignment, c.alignment)) {
          edit->setAlignment(horizontal(c.alignment) | Qt::AlignVCenter);
        }
      }
      if (colours) {
        QPalette p = basePalette_;
        p.setColor(QPalette::Base, color(c.backColor));
        setText(p, QPalette::Text, color(c.foreColor));
        w->setPalette(p);
      }
      break;
    }
    case ControlKind::Label: {
      auto* label = static_cast<QLabel*>(w);
      if (changed(f, b.caption, c.caption()) || b.refit) {
        label->setText(latin1(c.caption()));
        label->setFont(fittedFont(controlFont(baseFont_, c.fontSize, c.fontBold),
                                  latin1(c.caption()), label->size(), true));
      }
      if (changed(f, a.alignment, c.alignment)) {
        label->setAlignment(horizontal(c.alignment) | Qt::AlignTop);
      }
      if (colours | changed(f, a.opaque, c.opaque)) {
        QPalette p = basePalette_;
        p.setColor(QPalette::Window, color(c.backColor));
        setText(p, QPalette::WindowText, color(c.foreColor));
        label->setPalette(p);
        label->setAutoFillBackground(c.opaque);
      }
      break;
    }
    case ControlKind::ComboBox: {
      auto* combo = static_cast<QComboBox*>(w);
      const bool itemsChanged = changed(f, a.items, c.items);
      if (itemsChanged) {
        combo->clear();
        for (const std::string& item : c.items) combo->addItem(latin1(item));
      }
      if (itemsChanged | changed(f, b.listIndex, c.listIndex()) |
          changed(f, b.caption, c.caption())) {
        const bool inList = c.listIndex() >= 0 &&
                            c.listIndex() < static_cast<int>(c.items.size()) &&
                            c.items[static_cast<std::size_t>(c.listIndex())] == c.caption();
        // A text that is not the chosen entry shows as the box's placeholder.
        combo->setCurrentIndex(inList ? c.listIndex() : -1);
        combo->setPlaceholderText(inList ? QString() : latin1(c.caption()));
      }
      if (colours) {
        QPalette p = basePalette_;
        p.setColor(QPalette::Base, color(c.backColor));
        setText(p, QPalette::Text, color(c.foreColor));
        setText(p, QPalette::ButtonText, color(c.foreColor));
        setText(p, QPalette::PlaceholderText, color(c.foreColor));
        combo->setPalette(p);
      }
      break;
    }
    case ControlKind::Frame: {
      auto* box = static_cast<FrameWidget*>(w);
      if (changed(f, b.caption, c.caption())) box->setCaption(latin1(c.caption()));
      if (colours) {
        QPalette p = basePalette_;
        p.setColor(QPalette::Window, color(c.backColor));
        setText(p, QPalette::WindowText, color(c.foreColor));
        box->setPalette(p);
      }
      break;
    }
    case ControlKind::Shape: {
      if (colours | changed(f, a.shape, c.shape) | changed(f, a.opaque, c.opaque) |
          changed(f, a.fillStyle, c.fillStyle) | changed(f, a.fillColor, c.fillColor) |
          changed(f, a.borderColor, c.borderColor) | changed(f, a.borderWidth, c.borderWidth)) {
        ShapeLook look;
        look.shape = c.shape;
        look.opaque = c.opaque;
        look.back = color(c.backColor);
        look.fillStyle = c.fillStyle;
        look.fill = color(c.fillColor);
        look.border = color(c.borderColor);
        look.borderWidth = c.borderWidth;
        static_cast<ShapeWidget*>(w)->setLook(look);
      }
      break;
    }
    case ControlKind::Image:
      if (colours) static_cast<MarkerWidget*>(w)->setColor(color(c.foreColor));
      break;
    case ControlKind::TabStrip: {
      auto* tabs = static_cast<QTabBar*>(w);
      if (changed(f, a.items, c.items)) {
        while (tabs->count() > static_cast<int>(c.items.size())) tabs->removeTab(tabs->count() - 1);
        for (std::size_t i = 0; i < c.items.size(); ++i) {
          const QString text = literalCaption(c.items[i]);
          if (static_cast<int>(i) < tabs->count()) {
            tabs->setTabText(static_cast<int>(i), text);
          } else {
            tabs->addTab(text);
          }
        }
        b.value = -1;  // re-select below
      }
      if (changed(f, b.value, c.value()) && c.value() >= 0 && c.value() < tabs->count()) {
        tabs->setCurrentIndex(c.value());
      }
      break;
    }
    case ControlKind::Line:
    case ControlKind::Timer:
      break;
  }
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
    case QEvent::MouseButtonRelease: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      auto* w = static_cast<QWidget*>(watched);
      if (isClickable(c->kind()) && mouse->button() == Qt::LeftButton &&
          w->rect().contains(mouse->position().toPoint())) {
        click(*c);
        return true;  // not on to the frame beneath
      }
      break;
    }
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace kb::qt
