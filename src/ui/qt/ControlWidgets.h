#pragma once
// The widgets of every control kind but the text box (TextWidgets.h): Qt's own where they match,
// thin subclasses that hand decisions (check state, clicks) back to the form model, and painted
// widgets for the kinds Qt has no match for. Each applies its kind's properties itself.
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QLine>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QWidget>
#include <string>
#include <vector>

#include "ui/qt/ControlWidget.h"

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
class ShapeWidget final : public QWidget, public ControlWidget {
 public:
  ShapeWidget(QWidget* parent, const WidgetEnv& env);
  QWidget* widget() override { return this; }
  void apply(const form::Control& c, Applied& a, bool fresh) override;
  void setLook(const ShapeLook& look);
  const ShapeLook& look() const { return look_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const WidgetEnv& env_;
  ShapeLook look_;
};

// A line between two points given in the widget's own coordinates; it places itself around them.
class LineWidget final : public QWidget, public ControlWidget {
 public:
  LineWidget(QWidget* parent, const WidgetEnv& env);
  QWidget* widget() override { return this; }
  void apply(const form::Control& c, Applied& a, bool fresh) override;
  void setLine(QLine line, QColor color, int width);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const WidgetEnv& env_;
  QLine line_;
  QColor color_;
  int width_ = 1;
};

// The image control: a small downward-pointing marker. A click on it is the control's click.
class MarkerWidget final : public QWidget, public ControlWidget {
 public:
  MarkerWidget(QWidget* parent, const WidgetEnv& env, form::Control& c);
  QWidget* widget() override { return this; }
  void apply(const form::Control& c, Applied& a, bool fresh) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const WidgetEnv& env_;
  form::Control& control_;
  QColor color_;
};

// A command button whose caption wraps at blanks and keeps every blank it has. Return or Enter
// on the focused button is the operator's key 13 on it, which clicks it (Space clicks it too).
class ButtonWidget final : public QPushButton, public ControlWidget {
 public:
  ButtonWidget(QWidget* parent, const WidgetEnv& env, form::Control& c);
  QWidget* widget() override { return this; }
  void apply(const form::Control& c, Applied& a, bool fresh) override;
  const QString& caption() const { return caption_; }
  // Where the caption is drawn, in which font, and whether it wraps at blanks there.
  QRect captionArea() const;
  const QFont& captionFont() const { return captionFont_; }
  bool captionWraps() const { return captionWraps_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  const WidgetEnv& env_;
  form::Control& control_;
  QString caption_;
  QFont captionFont_;
  bool captionWraps_ = false;
};

// A frame: back colour, an etched border and the caption over its top edge. Drawn here rather
// than by the style so that the inside has exactly the frame's back colour. A click on it (not
// on a control inside) is the frame's click.
class FrameWidget final : public QWidget, public ControlWidget {
 public:
  FrameWidget(QWidget* parent, const WidgetEnv& env, form::Control& c);
  QWidget* widget() override { return this; }
  void apply(const form::Control& c, Applied& a, bool fresh) override;
  void setCaption(const QString& caption);
  const QString& caption() const { return caption_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const WidgetEnv& env_;
  form::Control& control_;
  QString caption_;
};

// Check box and option button that never change their own state: the model sets it.
// Both answer clicks anywhere on the control, not only on the indicator and caption.
class CheckWidget final : public QCheckBox, public ControlWidget {
 public:
  CheckWidget(QWidget* parent, const WidgetEnv& env, form::Control& c);
  QWidget* widget() override { return this; }
  void apply(const form::Control& c, Applied& a, bool fresh) override;

 protected:
  void nextCheckState() override {}
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

 private:
  const WidgetEnv& env_;
};

class OptionWidget final : public QRadioButton, public ControlWidget {
 public:
  OptionWidget(QWidget* parent, const WidgetEnv& env, form::Control& c);
  QWidget* widget() override { return this; }
  void apply(const form::Control& c, Applied& a, bool fresh) override;

 protected:
  void nextCheckState() override {}
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

 private:
  const WidgetEnv& env_;
};

// A label: plain text, wrapped at blanks, made a little smaller rather than clipped; or a row of
// column headings, each word drawn over its column. A click on it is the label's click.
class LabelWidget final : public QLabel, public ControlWidget {
 public:
  struct Word {
    QString text;
    QRect rect;  // where it is drawn
  };

  LabelWidget(QWidget* parent, const WidgetEnv& env, form::Control& c);
  QWidget* widget() override { return this; }
  void apply(const form::Control& c, Applied& a, bool fresh) override;
  // The words of a heading row and where they stand; empty for plain text.
  const std::vector<Word>& columnWords() const { return words_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void placeWords(const form::Control& c);

  const WidgetEnv& env_;
  form::Control& control_;
  std::vector<Word> words_;
};

// A drop-down list; the operator choosing an entry is the combo's click. As on the desktop, the
// wheel over a closed list changes it only while it has the keyboard focus (the wheel neither
// gives it the focus); else the wheel scrolls the window beneath.
class ComboWidget final : public QComboBox, public ControlWidget {
 public:
  ComboWidget(QWidget* parent, const WidgetEnv& env, form::Control& c);
  QWidget* widget() override { return this; }
  void apply(const form::Control& c, Applied& a, bool fresh) override;

 protected:
  void wheelEvent(QWheelEvent* event) override;

 private:
  const WidgetEnv& env_;
};

// The tab strip; the operator choosing a tab selects it in the model. The wheel changes the tab
// only while the strip has the keyboard focus.
class TabWidget final : public QTabBar, public ControlWidget {
 public:
  TabWidget(QWidget* parent, const WidgetEnv& env, form::Control& c);
  QWidget* widget() override { return this; }
  void apply(const form::Control& c, Applied& a, bool fresh) override;

 protected:
  void wheelEvent(QWheelEvent* event) override;

 private:
  const WidgetEnv& env_;
};

// '&' is not a mnemonic in the model's captions: doubled for Qt's buttons and menus.
QString literalCaption(const std::string& caption);

}  // namespace kb::qt
