#pragma once
// Text boxes: one- and multi-line widgets whose typed keys go to the form's KeyPress procedure as
// character codes; the text shown is always the model's. A locked box (one the operator only
// reads) looks read-only and is no Tab stop.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>

#include "ui/qt/ControlWidget.h"

class QKeyEvent;

namespace kb::qt {

// Callbacks a text box widget reports through. Key codes are character codes as the form's
// KeyPress procedures see them: 8 backspace, 13 enter, 32..255 characters.
struct TextBoxHooks {
  std::function<void(int key)> key;
  std::function<void(int caret)> caret;  // the operator moved the caret
};

// Where the caret and the selection of a text widget stand.
struct TextState {
  int length = 0;
  int caret = 0;
  int selectionStart = 0;
  int selectionLength = 0;
};

// Shared key routing of the one- and multi-line text boxes: editing keys become key codes for the
// form; caret moves, selecting and copying stay with the widget.
class TextKeyRouter {
 public:
  // Returns false when the widget should handle the key itself.
  static bool route(QKeyEvent* event, const TextState& state, const TextBoxHooks& hooks,
                    const std::function<void()>& copy);
  static void typeText(const QString& text, const TextBoxHooks& hooks);
  static void deleteSelection(int selectionStart, int selectionLength, const TextBoxHooks& hooks);
};

class LineEditWidget final : public QLineEdit, public ControlWidget {
 public:
  LineEditWidget(QWidget* parent, const WidgetEnv& env, form::Control& c);
  QWidget* widget() override { return this; }
  void apply(const form::Control& c, Applied& a, bool fresh) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const WidgetEnv& env_;
  TextBoxHooks hooks_;
  bool textDirty_ = false;  // the operator's editing may have left other text than the model's
};

class TextEditWidget final : public QPlainTextEdit, public ControlWidget {
 public:
  TextEditWidget(QWidget* parent, const WidgetEnv& env, form::Control& c);
  QWidget* widget() override { return this; }
  void apply(const form::Control& c, Applied& a, bool fresh) override;
  void setTextKeepingView(const QString& text);
  void setCaret(int position);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const WidgetEnv& env_;
  TextBoxHooks hooks_;
  bool textDirty_ = false;
};

}  // namespace kb::qt
