#include "ui/qt/ControlWidgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextDocument>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "ui/form/Form.h"
#include "ui/qt/QtColors.h"

namespace kb::qt {

namespace {

// Breaks a text at its blanks into lines no wider than width (a word wider than that keeps its
// own line).
QString wrapAtBlanks(const QString& text, const QFont& font, int width) {
  const QFontMetrics fm(font);
  QString out;
  QString line;
  for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
    if (line.isEmpty() || fm.horizontalAdvance(joined) <= width) {
      line = joined;
    } else {
      out += line + QLatin1Char('\n');
      line = word;
    }
  }
  return out + line;
}

bool coloursChanged(const form::Control& c, Applied& a, bool f) {
  return changed(f, a.control.backColor, c.backColor) |
         changed(f, a.control.foreColor, c.foreColor);
}

// A left click released over the widget: the control's click, not passed on to the frame beneath.
bool clicked(QWidget* w, QMouseEvent* event) {
  return event->button() == Qt::LeftButton && w->rect().contains(event->position().toPoint());
}

// The caption of a check box or option button, fitted to the room beside its indicator.
void fitChoiceCaption(QAbstractButton* button, const WidgetEnv& env, const form::Control& c,
                      bool check) {
  button->setText(literalCaption(c.caption()));
  QStyle* st = button->style();
  const int indicator =
      st->pixelMetric(check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth,
                      nullptr, button) +
      st->pixelMetric(check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing,
                      nullptr, button);
  const QSize area(button->width() - indicator - 2, button->height());
  const TextFit fit = fitText(env.font(c), latin1(c.caption()), area, true);
  // The toolkit's check boxes draw one line: a wrapped caption gets its line breaks here.
  if (fit.wrap) button->setText(wrapAtBlanks(literalCaption(c.caption()), fit.font, area.width()));
  button->setFont(fit.font);
}

// What check boxes and option buttons share: the fitted caption and the colours.
void applyChoice(QAbstractButton* button, const WidgetEnv& env, const form::Control& c, Applied& a,
                 bool f, bool check) {
  if (changed(f, a.caption, c.caption()) || a.refit) fitChoiceCaption(button, env, c, check);
  if (coloursChanged(c, a, f)) {
    QPalette p = env.basePalette();
    p.setColor(QPalette::Window, env.color(c.backColor));
    setTextColor(p, QPalette::WindowText, env.color(c.foreColor));
    button->setPalette(p);
    button->setAutoFillBackground(true);
  }
}

}  // namespace

QString literalCaption(const std::string& caption) {
  QString s = QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size()));
  s.replace(QLatin1Char('&'), QLatin1String("&&"));
  return s;
}

// ---------------------------------------------------------------------------------------------
// Shape

ShapeWidget::ShapeWidget(QWidget* parent, const WidgetEnv& env) : QWidget(parent), env_(env) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
}

void ShapeWidget::apply(const form::Control& c, Applied& a, bool f) {
  form::Control& was = a.control;
  if (coloursChanged(c, a, f) | changed(f, was.shape, c.shape) | changed(f, was.opaque, c.opaque) |
      changed(f, was.fillStyle, c.fillStyle) | changed(f, was.fillColor, c.fillColor) |
      changed(f, was.borderColor, c.borderColor) | changed(f, was.borderWidth, c.borderWidth)) {
    ShapeLook look;
    look.shape = c.shape;
    look.opaque = c.opaque;
    look.back = env_.color(c.backColor);
    look.fillStyle = c.fillStyle;
    look.fill = env_.color(c.fillColor);
    look.border = env_.color(c.borderColor);
    look.borderWidth = c.borderWidth;
    setLook(look);
  }
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

LineWidget::LineWidget(QWidget* parent, const WidgetEnv& env) : QWidget(parent), env_(env) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
}

void LineWidget::apply(const form::Control& c, Applied& a, bool f) {
  form::Control& was = a.control;
  if (a.moved | changed(f, was.x1, c.x1) | changed(f, was.y1, c.y1) | changed(f, was.x2, c.x2) |
      changed(f, was.y2, c.y2) | changed(f, was.borderWidth, c.borderWidth) |
      changed(f, was.borderColor, c.borderColor)) {
    const QPoint p1(toPixels(c.x1), toPixels(c.y1));
    const QPoint p2(toPixels(c.x2), toPixels(c.y2));
    const int pad = std::max(1, (c.borderWidth + 1) / 2);
    const QRect box = QRect(p1, p2).normalized().adjusted(-pad, -pad, pad, pad);
    setGeometry(box);
    setLine(QLine(p1 - box.topLeft(), p2 - box.topLeft()), env_.color(c.borderColor),
            c.borderWidth);
  }
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

MarkerWidget::MarkerWidget(QWidget* parent, const WidgetEnv& env, form::Control& c)
    : QWidget(parent), env_(env), control_(c) {
  setAttribute(Qt::WA_NoSystemBackground);
}

void MarkerWidget::apply(const form::Control& c, Applied& a, bool f) {
  if (!coloursChanged(c, a, f)) return;
  const QColor color = env_.color(c.foreColor);
  if (color == color_) return;
  color_ = color;
  update();
}

void MarkerWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (clicked(this, event)) {
    env_.click(control_);
    return;
  }
  QWidget::mouseReleaseEvent(event);
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

ButtonWidget::ButtonWidget(QWidget* parent, const WidgetEnv& env, form::Control& c)
    : QPushButton(parent), env_(env), control_(c) {
  setAutoDefault(false);
  connect(this, &QAbstractButton::clicked, this, [this, &c] { env_.click(c); });
}

void ButtonWidget::apply(const form::Control& c, Applied& a, bool f) {
  if (changed(f, a.caption, c.caption()) || a.refit) {
    caption_ = latin1(c.caption());
    setAccessibleName(caption_);
    const TextFit fit = fitText(font(), caption_, captionArea().size(), true);
    captionFont_ = fit.font;
    captionWraps_ = fit.wrap;
    update();
  }
  if (coloursChanged(c, a, f)) {
    QPalette p = env_.basePalette();
    p.setColor(QPalette::Button, env_.color(c.backColor));
    setTextColor(p, QPalette::ButtonText, env_.color(c.foreColor));
    setPalette(p);
  }
}

void ButtonWidget::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) {
    QPushButton::keyPressEvent(event);
    return;
  }
  // A held key repeats: only its first press counts, so that an Enter that moved the focus here
  // (a limit box hands it to WRITE CONFIG) does not click what it landed on.
  if (!event->isAutoRepeat()) {
    env_.deliver([this] { env_.form().operatorKey(control_, 13); });
  }
  event->accept();
}

QRect ButtonWidget::captionArea() const {
  return rect().adjusted(2, 1, -2, -1);
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
  QRect area = captionArea();
  if (isDown()) {
    area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &opt, this),
                   style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &opt, this));
  }
  const int flags = captionWraps_ ? Qt::AlignCenter | Qt::TextWordWrap : int(Qt::AlignCenter);
  p.setFont(captionFont_);
  style()->drawItemText(&p, area, flags, palette(), isEnabled(), caption_, QPalette::ButtonText);
}

// ---------------------------------------------------------------------------------------------
// Frame

FrameWidget::FrameWidget(QWidget* parent, const WidgetEnv& env, form::Control& c)
    : QWidget(parent), env_(env), control_(c) {}

void FrameWidget::apply(const form::Control& c, Applied& a, bool f) {
  if (changed(f, a.caption, c.caption())) setCaption(latin1(c.caption()));
  if (coloursChanged(c, a, f)) {
    QPalette p = env_.basePalette();
    p.setColor(QPalette::Window, env_.color(c.backColor));
    setTextColor(p, QPalette::WindowText, env_.color(c.foreColor));
    setPalette(p);
  }
}

void FrameWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (clicked(this, event)) {
    env_.click(control_);
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

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
// Check box and option button

CheckWidget::CheckWidget(QWidget* parent, const WidgetEnv& env, form::Control& c)
    : QCheckBox(parent), env_(env) {
  setTristate(true);
  connect(this, &QAbstractButton::clicked, this, [this, &c] { env_.click(c); });
}

void CheckWidget::apply(const form::Control& c, Applied& a, bool f) {
  applyChoice(this, env_, c, a, f, true);
  if (changed(f, a.value, c.value())) {
    setCheckState(c.value() == 1   ? Qt::Checked
                  : c.value() == 2 ? Qt::PartiallyChecked
                                   : Qt::Unchecked);
  }
}

OptionWidget::OptionWidget(QWidget* parent, const WidgetEnv& env, form::Control& c)
    : QRadioButton(parent), env_(env) {
  setAutoExclusive(false);
  connect(this, &QAbstractButton::clicked, this, [this, &c] { env_.click(c); });
}

void OptionWidget::apply(const form::Control& c, Applied& a, bool f) {
  applyChoice(this, env_, c, a, f, false);
  if (changed(f, a.value, c.value())) setChecked(c.value() != 0);
}

// ---------------------------------------------------------------------------------------------
// Label

LabelWidget::LabelWidget(QWidget* parent, const WidgetEnv& env, form::Control& c)
    : QLabel(parent), env_(env), control_(c) {
  setTextFormat(Qt::PlainText);
  setWordWrap(true);
}

void LabelWidget::apply(const form::Control& c, Applied& a, bool f) {
  if (changed(f, a.caption, c.caption()) | changed(f, a.control.columnPitch, c.columnPitch) |
          changed(f, a.control.columnCentre, c.columnCentre) ||
      a.refit) {
    setText(latin1(c.caption()));
    if (c.columnPitch > 0) {
      setFont(env_.font(c));
      placeWords(c);
    } else {
      words_.clear();
      setFont(fitText(env_.font(c), latin1(c.caption()), size(), true).font);
    }
  }
  if (changed(f, a.control.alignment, c.alignment)) {
    setAlignment(horizontal(c.alignment) | Qt::AlignTop);
  }
  if (coloursChanged(c, a, f) | changed(f, a.control.opaque, c.opaque)) {
    QPalette p = env_.basePalette();
    p.setColor(QPalette::Window, env_.color(c.backColor));
    setTextColor(p, QPalette::WindowText, env_.color(c.foreColor));
    setPalette(p);
    setAutoFillBackground(c.opaque);
  }
}

void LabelWidget::placeWords(const form::Control& c) {
  words_.clear();
  const QFontMetrics fm(font());
  const QStringList list = text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (qsizetype k = 0; k < list.size(); ++k) {
    const int width = fm.horizontalAdvance(list[k]);
    int left = 0;
    if (k > 0) {
      // The column's centre in the container, less where the label starts in it.
      const double centre =
          (c.left + c.columnCentre + c.columnPitch * static_cast<double>(k - 1)) / kTwipsPerPixel;
      left = static_cast<int>(std::lround(centre - width / 2.0)) - toPixels(c.left);
    }
    words_.push_back({list[k], QRect(left, 0, width, fm.height())});
  }
}

void LabelWidget::paintEvent(QPaintEvent* event) {
  if (words_.empty()) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter p(this);
  p.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  for (const Word& w : words_) p.drawText(w.rect, Qt::AlignLeft | Qt::AlignTop, w.text);
}

void LabelWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (clicked(this, event)) {
    env_.click(control_);
    return;
  }
  QLabel::mouseReleaseEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Combo box

ComboWidget::ComboWidget(QWidget* parent, const WidgetEnv& env, form::Control& c)
    : QComboBox(parent), env_(env) {
  setEditable(false);
  setFocusPolicy(Qt::StrongFocus);
  connect(this, &QComboBox::activated, this, [this, &c](int position) {
    env_.deliver([this, &c, position] { env_.form().operatorSelect(c, position); });
  });
}

void ComboWidget::apply(const form::Control& c, Applied& a, bool f) {
  const bool itemsChanged = changed(f, a.control.items, c.items);
  if (itemsChanged) {
    clear();
    for (const std::string& item : c.items) addItem(latin1(item));
  }
  if (itemsChanged | changed(f, a.listIndex, c.listIndex()) | changed(f, a.caption, c.caption())) {
    const bool inList = c.listIndex() >= 0 && c.listIndex() < static_cast<int>(c.items.size()) &&
                        c.items[static_cast<std::size_t>(c.listIndex())] == c.caption();
    // A text that is not the chosen entry shows as the box's placeholder.
    setCurrentIndex(inList ? c.listIndex() : -1);
    setPlaceholderText(inList ? QString() : latin1(c.caption()));
  }
  if (coloursChanged(c, a, f)) {
    QPalette p = env_.basePalette();
    p.setColor(QPalette::Base, env_.color(c.backColor));
    setTextColor(p, QPalette::Text, env_.color(c.foreColor));
    setTextColor(p, QPalette::ButtonText, env_.color(c.foreColor));
    setTextColor(p, QPalette::PlaceholderText, env_.color(c.foreColor));
    setPalette(p);
  }
}

void ComboWidget::wheelEvent(QWheelEvent* event) {
  if (hasFocus()) {
    QComboBox::wheelEvent(event);
  } else {
    event->ignore();  // on to the window beneath, which scrolls
  }
}

// ---------------------------------------------------------------------------------------------
// Tab strip

TabWidget::TabWidget(QWidget* parent, const WidgetEnv& env, form::Control& c)
    : QTabBar(parent), env_(env) {
  setExpanding(false);
  setElideMode(Qt::ElideNone);
  setDrawBase(true);
  connect(this, &QTabBar::currentChanged, this, [this, &c](int tab) {
    if (tab >= 0) env_.deliver([this, &c, tab] { env_.form().operatorSelect(c, tab); });
  });
}

void TabWidget::apply(const form::Control& c, Applied& a, bool f) {
  if (changed(f, a.control.items, c.items)) {
    while (count() > static_cast<int>(c.items.size())) removeTab(count() - 1);
    for (std::size_t i = 0; i < c.items.size(); ++i) {
      const QString text = literalCaption(c.items[i]);
      if (static_cast<int>(i) < count()) {
        setTabText(static_cast<int>(i), text);
      } else {
        addTab(text);
      }
    }
    a.value = -1;  // re-select below
  }
  if (changed(f, a.value, c.value()) && c.value() >= 0 && c.value() < count()) {
    setCurrentIndex(c.value());
  }
}

void TabWidget::wheelEvent(QWheelEvent* event) {
  if (hasFocus()) {
    QTabBar::wheelEvent(event);
  } else {
    event->ignore();
  }
}

}  // namespace kb::qt
