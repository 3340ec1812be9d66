#include "ui/qt/TextWidgets.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>
#include <algorithm>

#include "ui/form/Form.h"

namespace kb::qt {

namespace {

// Multi-line text: the model separates lines with CR LF (or a lone CR/LF), the widget with LF. A
// row break the model asks for (Control::rowBreak) shows as one more line break.
bool breaksAt(const std::string& s, int rowBreak) {
  if (rowBreak <= 0 || rowBreak >= static_cast<int>(s.size())) return false;
  const auto at = static_cast<std::size_t>(rowBreak);
  auto isEnd = [](char ch) { return ch == '\r' || ch == '\n'; };
  return !isEnd(s[at - 1]) && !isEnd(s[at]);
}

QString displayText(const std::string& s, int rowBreak) {
  std::string shown = s;
  if (breaksAt(s, rowBreak)) shown.insert(static_cast<std::size_t>(rowBreak), 1, '\n');
  QString t = latin1(shown);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return t;
}

std::size_t modelStep(const std::string& s, std::size_t i) {
  return (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
}

int modelToDisplayCaret(const std::string& s, int caret, int rowBreak) {
  int display = 0;
  for (std::size_t i = 0; i < s.size() && static_cast<int>(i) < caret; i += modelStep(s, i)) {
    ++display;
  }
  return display + (breaksAt(s, rowBreak) && caret >= rowBreak ? 1 : 0);
}

int displayToModelCaret(const std::string& s, int caret, int rowBreak) {
  if (breaksAt(s, rowBreak) && caret > modelToDisplayCaret(s, rowBreak, -1)) --caret;
  std::size_t i = 0;
  for (int d = 0; d < caret && i < s.size(); ++d) i += modelStep(s, i);
  return static_cast<int>(i);
}

// The largest size, down to three quarters, at which every row of text fits the room on one line.
QFont rowsFont(const QFont& font, const QString& text, QSize room) {
  const QStringList rows = text.split(QLatin1Char('\n'));
  QFont f = font;
  for (int size = font.pixelSize(); size > 0 && size * 4 >= font.pixelSize() * 3; --size) {
    f.setPixelSize(size);
    const QFontMetrics fm(f);
    bool fits = fm.lineSpacing() * static_cast<int>(rows.size()) <= room.height();
    for (const QString& row : rows) fits = fits && fm.horizontalAdvance(row) <= room.width();
    if (fits) return f;
  }
  return font;
}

// Typed keys go to the form as its operator's keys; the caret the operator moves is the model's.
TextBoxHooks hooksFor(const WidgetEnv& env, form::Control& c, bool multi) {
  form::Control* target = &c;
  const WidgetEnv* e = &env;
  TextBoxHooks hooks;
  hooks.key = [e, target](int key) {
    e->deliver([e, target, key] { e->form().operatorKey(*target, key); });
  };
  hooks.caret = [e, target, multi](int caret) {
    if (e->syncing()) return;
    target->selStart =
        multi ? displayToModelCaret(target->caption(), caret, target->rowBreak) : caret;
  };
  return hooks;
}

void applyColours(QWidget* w, const WidgetEnv& env, const form::Control& c) {
  QPalette p = env.basePalette();
  p.setColor(QPalette::Base, env.color(c.backColor));
  setTextColor(p, QPalette::Text, env.color(c.foreColor));
  // The flat border of a box that only shows (a plain frame draws in the window-text colour).
  p.setColor(QPalette::WindowText, p.color(QPalette::Mid));
  w->setPalette(p);
}

// A box the operator cannot change looks like one: a flat border instead of the sunken field,
// no text cursor, and Tab passes it by (a click still gives it the focus).
void showReadOnly(QWidget* w, bool locked) {
  w->setFocusPolicy(locked ? Qt::ClickFocus : Qt::StrongFocus);
  w->setCursor(locked ? Qt::ArrowCursor : Qt::IBeamCursor);
}

}  // namespace

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

LineEditWidget::LineEditWidget(QWidget* parent, const WidgetEnv& env, form::Control& c)
    : QLineEdit(parent), env_(env), hooks_(hooksFor(env, c, false)) {
  setContextMenuPolicy(Qt::NoContextMenu);
  setDragEnabled(false);
  setAcceptDrops(false);
  setFrame(true);
  setTextMargins(0, 0, 0, 0);
  connect(this, &QLineEdit::cursorPositionChanged, this,
          [this](int, int now) { hooks_.caret(now); });
  connect(this, &QLineEdit::textEdited, this, [this] { textDirty_ = true; });
}

void LineEditWidget::apply(const form::Control& c, Applied& a, bool f) {
  const bool textChanged = changed(f, a.caption, c.caption()) || textDirty_;
  const bool caretChanged = changed(f, a.control.selStart, c.selStart) || textChanged;
  textDirty_ = false;
  if (textChanged) setText(latin1(c.caption()));
  if (caretChanged) setCursorPosition(c.selStart);
  if (changed(f, a.control.alignment, c.alignment)) {
    setAlignment(horizontal(c.alignment) | Qt::AlignVCenter);
  }
  if (changed(f, a.control.locked, c.locked)) {
    setReadOnly(c.locked);
    setFrame(!c.locked);  // the flat border of paintEvent instead
    showReadOnly(this, c.locked);
  }
  if (changed(f, a.control.backColor, c.backColor) | changed(f, a.control.foreColor, c.foreColor)) {
    applyColours(this, env_, c);
  }
}

void LineEditWidget::paintEvent(QPaintEvent* event) {
  QLineEdit::paintEvent(event);
  if (!isReadOnly()) return;
  QPainter p(this);
  p.setPen(palette().color(QPalette::Mid));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
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

TextEditWidget::TextEditWidget(QWidget* parent, const WidgetEnv& env, form::Control& c)
    : QPlainTextEdit(parent), env_(env), hooks_(hooksFor(env, c, true)) {
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
  viewport()->setAcceptDrops(false);
  setTabChangesFocus(true);
  setUndoRedoEnabled(false);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  document()->setDocumentMargin(1);
  connect(this, &QPlainTextEdit::cursorPositionChanged, this,
          [this] { hooks_.caret(textCursor().position()); });
  connect(this, &QPlainTextEdit::textChanged, this, [this] {
    if (!env_.syncing()) textDirty_ = true;
  });
}

void TextEditWidget::apply(const form::Control& c, Applied& a, bool f) {
  const bool textChanged =
      changed(f, a.caption, c.caption()) | changed(f, a.control.rowBreak, c.rowBreak) || textDirty_;
  const bool caretChanged = changed(f, a.control.selStart, c.selStart) || textChanged;
  textDirty_ = false;
  if (textChanged) setTextKeepingView(displayText(c.caption(), c.rowBreak));
  if (caretChanged) setCaret(modelToDisplayCaret(c.caption(), c.selStart, c.rowBreak));
  // Rows the model gives stand on one line each.
  if (c.rowBreak >= 0 && (textChanged || a.refit)) {
    const int margin = static_cast<int>(document()->documentMargin());
    setFont(rowsFont(env_.font(c), displayText(c.caption(), c.rowBreak),
                     viewport()->size() - QSize(2 * margin, 2 * margin)));
  }
  if (changed(f, a.control.alignment, c.alignment)) {
    document()->setDefaultTextOption(QTextOption(horizontal(c.alignment)));
  }
  if (changed(f, a.control.locked, c.locked)) {
    setReadOnly(c.locked);
    setFrameStyle(c.locked ? int(QFrame::Box) | QFrame::Plain : int(QFrame::StyledPanel));
    showReadOnly(this, c.locked);
    viewport()->setCursor(c.locked ? Qt::ArrowCursor : Qt::IBeamCursor);
  }
  if (changed(f, a.control.backColor, c.backColor) | changed(f, a.control.foreColor, c.foreColor)) {
    applyColours(this, env_, c);
  }
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
