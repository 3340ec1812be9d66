#include "ui/qt/ControlWidgets.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

#include "ui/qt/QtColors.h"

namespace kb::qt {

QString literalCaption(const std::string& caption) {
  QString s = QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size()));
  s.replace(QLatin1Char('&'), QLatin1String("&&"));
  return s;
}

// ---------------------------------------------------------------------------------------------
// Shape

ShapeWidget::ShapeWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
}

void ShapeWidget::setLook(const ShapeLook& look) {
  if (look == look_) return;
  look_ = look;
  update();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int w = width();
  const int h = height();
  QRectF r(0, 0, w, h);
  const bool square = look_.shape == 1 || look_.shape == 3 || look_.shape == 5;
  if (square) {
    const int side = std::min(w, h);
    r = QRectF((w - side) / 2, (h - side) / 2, side, side);
  }
  const bool round = look_.shape == 2 || look_.shape == 3;
  const bool rounded = look_.shape == 4 || look_.shape == 5;
  const double radius = std::min(r.width(), r.height()) / 6.0;
  p.setRenderHint(QPainter::Antialiasing, round || rounded);

  auto outline = [&](QRectF area) {
    QPainterPath path;
    if (round) {
      path.addEllipse(area);
    } else if (rounded) {
      path.addRoundedRect(area, radius, radius);
    } else {
      path.addRect(area);
    }
    return path;
  };

  p.setPen(Qt::NoPen);
  if (look_.opaque) p.fillPath(outline(r), look_.back);
  const Qt::BrushStyle pattern = fillPattern(look_.fillStyle);
  if (pattern != Qt::NoBrush) p.fillPath(outline(r), QBrush(look_.fill, pattern));

  const int bw = look_.borderWidth;
  if (bw <= 0) return;
  if (!round && !rounded) {
    // Square corners: the border as four strips inside the bounds, exact to the pixel.
    const QRect b = r.toRect();
    p.fillRect(QRect(b.left(), b.top(), b.width(), bw), look_.border);
    p.fillRect(QRect(b.left(), b.bottom() - bw + 1, b.width(), bw), look_.border);
    p.fillRect(QRect(b.left(), b.top(), bw, b.height()), look_.border);
    p.fillRect(QRect(b.right() - bw + 1, b.top(), bw, b.height()), look_.border);
    return;
  }
  QPen pen(look_.border, bw);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  const double inset = bw / 2.0;
  p.drawPath(outline(r.adjusted(inset, inset, -inset, -inset)));
}

// ---------------------------------------------------------------------------------------------
// Line

LineWidget::LineWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
}

void LineWidget::setLine(QLine line, QColor color, int width) {
  if (line == line_ && color == color_ && width == width_) return;
  line_ = line;
  color_ = color;
  width_ = width;
  update();
}

void LineWidget::paintEvent(QPaintEvent*) {
  if (width_ <= 0) return;
  QPainter p(this);
  const bool straight = line_.dx() == 0 || line_.dy() == 0;
  p.setRenderHint(QPainter::Antialiasing, !straight);
  QPen pen(color_, width_);
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
  p.drawLine(line_);
}

// ---------------------------------------------------------------------------------------------
// Image marker

MarkerWidget::MarkerWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_NoSystemBackground);
}

void MarkerWidget::setColor(QColor color) {
  if (color == color_) return;
  color_ = color;
  update();
}

void MarkerWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const double w = width();
  const double h = height();
  const QPointF points[3] = {{1, 1}, {w - 1, 1}, {w / 2.0, h - 1}};
  p.setPen(QPen(color_.darker(150), 1));
  p.setBrush(color_);
  p.drawPolygon(points, 3);
}

// ---------------------------------------------------------------------------------------------
// Command button

ButtonWidget::ButtonWidget(QWidget* parent) : QPushButton(parent) {
  setAutoDefault(false);
}

void ButtonWidget::setCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  setAccessibleName(caption_);
  update();
}

QSize ButtonWidget::sizeHint() const {
  return fontMetrics().size(0, caption_) + QSize(12, 8);
}

void ButtonWidget::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionButton opt;
  initStyleOption(&opt);
  opt.text.clear();
  p.drawControl(QStyle::CE_PushButtonBevel, opt);
  QRect area = rect().adjusted(2, 1, -2, -1);
  if (isDown()) {
    area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &opt, this),
                   style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &opt, this));
  }
  // A caption a little too big for its button is drawn a little smaller rather than clipped.
  const QFont f = fittedFont(font(), caption_, area.size(), true);
  const bool oneLine = QFontMetrics(f).horizontalAdvance(caption_) <= area.width();
  const int flags = oneLine ? int(Qt::AlignCenter) : Qt::AlignCenter | Qt::TextWordWrap;
  p.setFont(f);
  style()->drawItemText(&p, area, flags, palette(), isEnabled(), caption_, QPalette::ButtonText);
}

// ---------------------------------------------------------------------------------------------
// Frame

FrameWidget::FrameWidget(QWidget* parent) : QWidget(parent) {}

void FrameWidget::setCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  update();
}

void FrameWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  p.fillRect(rect(), pal.color(QPalette::Window));
  const QFontMetrics fm(font());
  const int top = caption_.isEmpty() ? 0 : fm.height() / 2;
  const QRect box = rect().adjusted(0, top, -2, -2);
  p.setPen(pal.color(QPalette::Mid));
  p.drawRect(box);
  p.setPen(pal.color(QPalette::Light));
  p.drawRect(box.translated(1, 1));
  if (caption_.isEmpty()) return;
  const QRect text(6, 0, fm.horizontalAdvance(caption_) + 4, fm.height());
  p.fillRect(text, pal.color(QPalette::Window));
  p.setPen(pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  p.drawText(text, Qt::AlignCenter, caption_);
}

// ---------------------------------------------------------------------------------------------
// Option button

OptionWidget::OptionWidget(QWidget* parent) : QRadioButton(parent) {
  setAutoExclusive(false);
}

// ---------------------------------------------------------------------------------------------
// Text boxes

void TextKeyRouter::typeText(const QString& text, const TextBoxHooks& hooks) {
  for (const QChar ch : text) {
    const char16_t code = ch.unicode();
    if (code == u'\n' || code == u'\r' || code == u'\t') continue;
    // The model holds 8-bit text: characters beyond it are not typed.
    if (code >= 32 && code < 256) hooks.key(code);
  }
}

void TextKeyRouter::deleteSelection(int selectionStart, int selectionLength,
                                    const TextBoxHooks& hooks) {
  // As backspaces from the selection's end, so the KeyPress procedure sees each deletion.
  hooks.caret(selectionStart + selectionLength);
  for (int i = 0; i < selectionLength; ++i) hooks.key(8);
}

bool TextKeyRouter::route(QKeyEvent* e, const TextState& s, const TextBoxHooks& hooks,
                          const std::function<void()>& copy) {
  const bool hasSelection = s.selectionLength > 0;
  switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return false;  // caret moves and focus moves stay with the widget
    case Qt::Key_Backspace:
      if (hasSelection) {
        deleteSelection(s.selectionStart, s.selectionLength, hooks);
      } else {
        hooks.key(8);
      }
      return true;
    case Qt::Key_Delete:
      if (hasSelection) {
        deleteSelection(s.selectionStart, s.selectionLength, hooks);
      } else if (s.caret < s.length) {
        hooks.caret(s.caret + 1);
        hooks.key(8);
      }
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      hooks.key(13);
      return true;
    case Qt::Key_Escape:
      hooks.key(27);
      return true;
    default:
      break;
  }
  if (e->matches(QKeySequence::SelectAll)) return false;
  if (e->matches(QKeySequence::Copy)) {
    copy();
    return true;
  }
  if (e->matches(QKeySequence::Cut)) {
    if (hasSelection) {
      copy();
      deleteSelection(s.selectionStart, s.selectionLength, hooks);
    }
    return true;
  }
  if (e->matches(QKeySequence::Paste)) {
    const QString pasted = QApplication::clipboard()->text();
    if (hasSelection) deleteSelection(s.selectionStart, s.selectionLength, hooks);
    typeText(pasted, hooks);
    return true;
  }
  const Qt::KeyboardModifiers mods = e->modifiers();
  const bool command =
      (mods & (Qt::ControlModifier | Qt::MetaModifier)) != 0 && (mods & Qt::AltModifier) == 0;
  if (!command && !e->text().isEmpty() && e->text().at(0).unicode() >= 32) {
    if (hasSelection) deleteSelection(s.selectionStart, s.selectionLength, hooks);
    typeText(e->text(), hooks);
  }
  // Anything else (undo, word deletion, ...) would edit the text behind the model's back.
  return true;
}

LineEditWidget::LineEditWidget(QWidget* parent, TextBoxHooks hooks)
    : QLineEdit(parent), hooks_(std::move(hooks)) {
  setContextMenuPolicy(Qt::NoContextMenu);
  setDragEnabled(false);
  setAcceptDrops(false);
  setFrame(true);
}

void LineEditWidget::keyPressEvent(QKeyEvent* event) {
  TextState s;
  s.length = static_cast<int>(text().size());
  s.caret = cursorPosition();
  s.selectionStart = hasSelectedText() ? selectionStart() : s.caret;
  s.selectionLength = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
  if (!TextKeyRouter::route(event, s, hooks_, [this] { copy(); })) QLineEdit::keyPressEvent(event);
}

void LineEditWidget::inputMethodEvent(QInputMethodEvent* event) {
  TextKeyRouter::typeText(event->commitString(), hooks_);
  event->accept();
}

void LineEditWidget::mouseReleaseEvent(QMouseEvent* event) {
  // The middle button would paste the selection into the text directly.
  if (event->button() == Qt::MiddleButton) return;
  QLineEdit::mouseReleaseEvent(event);
}

TextEditWidget::TextEditWidget(QWidget* parent, TextBoxHooks hooks)
    : QPlainTextEdit(parent), hooks_(std::move(hooks)) {
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
  viewport()->setAcceptDrops(false);
  setTabChangesFocus(true);
  setUndoRedoEnabled(false);
}

void TextEditWidget::setTextKeepingView(const QString& text) {
  const int scroll = verticalScrollBar() ? verticalScrollBar()->value() : 0;
  setPlainText(text);
  if (verticalScrollBar()) verticalScrollBar()->setValue(scroll);
}

void TextEditWidget::setCaret(int position) {
  QTextCursor c = textCursor();
  c.setPosition(std::clamp(position, 0, static_cast<int>(toPlainText().size())));
  setTextCursor(c);
}

void TextEditWidget::keyPressEvent(QKeyEvent* event) {
  const QTextCursor c = textCursor();
  TextState s;
  s.length = static_cast<int>(toPlainText().size());
  s.caret = c.position();
  s.selectionStart = c.selectionStart();
  s.selectionLength = c.selectionEnd() - c.selectionStart();
  if (!TextKeyRouter::route(event, s, hooks_, [this] { copy(); })) {
    QPlainTextEdit::keyPressEvent(event);
  }
}

void TextEditWidget::inputMethodEvent(QInputMethodEvent* event) {
  TextKeyRouter::typeText(event->commitString(), hooks_);
  event->accept();
}

void TextEditWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) return;
  QPlainTextEdit::mouseReleaseEvent(event);
}

}  // namespace kb::qt
