#include "ui/qt/QtColors.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <vector>

namespace kb::qt {

int toPixels(int twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

QRect toPixelRect(int left, int top, int width, int height) {
  const int x = toPixels(left);
  const int y = toPixels(top);
  const int w = toPixels(left + width) - x;
  const int h = toPixels(top + height) - y;
  return QRect(x, y, std::max(w, 0), std::max(h, 0));
}

namespace {

// System colour index to the palette entry that plays its part.
QColor systemColor(int index, const QPalette& p) {
  switch (index) {
    case 0:  // scroll bars
      return p.color(QPalette::Button);
    case 1:   // desktop
    case 12:  // application workspace
      return p.color(QPalette::Dark);
    case 2:   // active title bar
    case 13:  // highlight
      return p.color(QPalette::Highlight);
    case 3:  // inactive title bar
      return p.color(QPalette::Inactive, QPalette::Highlight);
    case 4:  // menu
      return p.color(QPalette::Window);
    case 5:  // window background
      return p.color(QPalette::Base);
    case 6:   // window frame
    case 21:  // 3D dark shadow
      return p.color(QPalette::Shadow);
    case 7:  // menu text
    case 8:  // window text
      return p.color(QPalette::WindowText);
    case 9:   // active title text
    case 14:  // highlight text
      return p.color(QPalette::HighlightedText);
    case 10:  // active border
    case 11:  // inactive border
    case 15:  // button face
      return p.color(QPalette::Button);
    case 16:  // button shadow
      return p.color(QPalette::Mid);
    case 17:  // grey text
      return p.color(QPalette::Disabled, QPalette::WindowText);
    case 18:  // button text
      return p.color(QPalette::ButtonText);
    case 19:  // inactive title text
      return p.color(QPalette::Inactive, QPalette::WindowText);
    case 20:  // button highlight
    case 22:  // 3D light
      return p.color(QPalette::Light);
    case 23:  // tool tip text
      return p.color(QPalette::ToolTipText);
    case 24:  // tool tip background
      return p.color(QPalette::ToolTipBase);
    default:
      return p.color(QPalette::Window);
  }
}

}  // namespace

QColor toQColor(std::int32_t color, const QPalette& palette) {
  if (color < 0) return systemColor(color & 0xFF, palette);
  const auto v = static_cast<std::uint32_t>(color);
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

Qt::BrushStyle fillPattern(int fillStyle) {
  switch (fillStyle) {
    case 0:
      return Qt::SolidPattern;
    case 2:
      return Qt::HorPattern;
    case 3:
      return Qt::VerPattern;
    case 4:  // upward diagonal: lines rising to the right
      return Qt::BDiagPattern;
    case 5:  // downward diagonal
      return Qt::FDiagPattern;
    case 6:
      return Qt::CrossPattern;
    case 7:
      return Qt::DiagCrossPattern;
    default:
      return Qt::NoBrush;
  }
}

QFont controlFont(const QFont& base, double pointSize, bool bold) {
  QFont f = base;
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(pointSize * 96.0 / 72.0))));
  f.setBold(bold);
  return f;
}

namespace {

// The sizes a caption may take, largest first: three quarters of the full size at the least.
std::vector<int> fittingSizes(int full) {
  std::vector<int> sizes;
  for (int size = full; size * 4 >= full * 3; --size) sizes.push_back(size);
  return sizes;
}

}  // namespace

TextFit fitText(const QFont& font, const QString& text, QSize area, bool wrap) {
  const int full = font.pixelSize();
  if (full <= 0 || text.isEmpty() || area.isEmpty()) return {font, false, !area.isEmpty()};
  QFont f = font;
  auto oneLine = [&](int size) {
    f.setPixelSize(size);
    const QFontMetrics fm(f);
    return fm.horizontalAdvance(text) <= area.width() && fm.height() <= area.height();
  };
  auto wrapped = [&](int size) {
    f.setPixelSize(size);
    const QRect need =
        QFontMetrics(f).boundingRect(QRect(QPoint(0, 0), area), Qt::TextWordWrap, text);
    return need.height() <= area.height() && need.width() <= area.width();
  };
  if (oneLine(full)) return {f, false, true};
  // An area two lines high is laid out for wrapping: the full size wrapped reads better there
  // than a smaller size on one line.
  const bool twoLines =
      QFontMetrics(font).lineSpacing() + QFontMetrics(font).height() <= area.height();
  const std::vector<int> sizes = fittingSizes(full);
  if (wrap && twoLines) {
    for (const int size : sizes) {
      if (wrapped(size)) return {f, true, true};
    }
  }
  for (const int size : sizes) {
    if (oneLine(size)) return {f, false, true};
  }
  if (wrap) {
    for (const int size : sizes) {
      if (wrapped(size)) return {f, true, true};
    }
  }
  return {font, false, false};
}

}  // namespace kb::qt
