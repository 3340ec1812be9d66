#pragma once
// Widgets for the control kinds Qt has no ready match for, and thin subclasses that hand
// decisions (check state, typed keys) back to the form model instead of acting on their own.
#include <QCheckBox>
#include <QColor>
#include <QLine>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <string>

namespace kb::qt {

// What a shape paints, colours already resolved.
struct ShapeLook {
  int shape = 0;  // 0 rectangle, 1 square, 2 oval, 3 circle, 4 rounded rectangle, 5 rounded square
  bool opaque = false;
  QColor back;
  int fillStyle = 1;
  QColor fill;
  QColor border;
  int borderWidth = 1;

  bool operator==(const ShapeLook&) const = default;
};

// A shape: back colour when opaque, then the fill pattern, then the border drawn inside.
class ShapeWidget final : public QWidget {
 public:
  explicit ShapeWidget(QWidget* parent);
  void setLook(const ShapeLook& look);
  const ShapeLook& look() const { return look_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ShapeLook look_;
};

// A line between two points given in the widget's own coordinates.
class LineWidget final : public QWidget {
 public:
  explicit LineWidget(QWidget* parent);
  void setLine(QLine line, QColor color, int width);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QLine line_;
  QColor color_;
  int width_ = 1;
};

// The image control: a small downward-pointing marker.
class MarkerWidget final : public QWidget {
 public:
  explicit MarkerWidget(QWidget* parent);
  void setColor(QColor color);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_;
};

// A command button whose caption wraps at blanks and keeps every blank it has.
class ButtonWidget final : public QPushButton {
 public:
  explicit ButtonWidget(QWidget* parent);
  void setCaption(const QString& caption);
  const QString& caption() const { return caption_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
};

// A frame: back colour, an etched border and the caption over its top edge. Drawn here rather
// than by the style so that the inside has exactly the frame's back colour.
class FrameWidget final : public QWidget {
 public:
  explicit FrameWidget(QWidget* parent);
  void setCaption(const QString& caption);
  const QString& caption() const { return caption_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
};

// Check box and option button that never change their own state: the model sets it.
// Both answer clicks anywhere on the control, not only on the indicator and caption.
class CheckWidget final : public QCheckBox {
 public:
  explicit CheckWidget(QWidget* parent) : QCheckBox(parent) {}

 protected:
  void nextCheckState() override {}
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

class OptionWidget final : public QRadioButton {
 public:
  explicit OptionWidget(QWidget* parent);

 protected:
  void nextCheckState() override {}
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

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

class LineEditWidget final : public QLineEdit {
 public:
  LineEditWidget(QWidget* parent, TextBoxHooks hooks);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TextBoxHooks hooks_;
};

class TextEditWidget final : public QPlainTextEdit {
 public:
  TextEditWidget(QWidget* parent, TextBoxHooks hooks);
  void setTextKeepingView(const QString& text);
  void setCaret(int position);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TextBoxHooks hooks_;
};

// '&' is not a mnemonic in the model's captions: doubled for Qt's buttons and menus.
QString literalCaption(const std::string& caption);

}  // namespace kb::qt
