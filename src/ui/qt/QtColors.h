#pragma once
// Colour, pattern, font and geometry mapping from the form model to Qt.
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

namespace kb::qt {

// Device-independent pixels per twip.
inline constexpr double kTwipsPerPixel = 15.0;

// A length or position in twips to pixels (rounded to the nearest pixel).
int toPixels(int twips);
// A twips rectangle to pixels; edges are rounded, so neighbouring controls share an edge.
QRect toPixelRect(int left, int top, int width, int height);

// 0x00BBGGRR colour; a negative value is a system colour (0x80000000 | index), taken from palette.
QColor toQColor(std::int32_t color, const QPalette& palette);

// Brush style of a shape's fill style (0 solid, 1 transparent, 2..7 hatch patterns).
Qt::BrushStyle fillPattern(int fillStyle);

// Font of a control: point size at 96 dpi as a pixel size, so text scales with the twips layout.
QFont controlFont(const QFont& base, double pointSize, bool bold);

// How a caption is drawn in its area: the font, and whether it wraps at blanks.
struct TextFit {
  QFont font;
  bool wrap = false;
  bool fits = false;  // false: nothing fitted, the full size is drawn on one line, clipped
};

// Our fonts run a little wider than the layout was drawn for, so a caption may be made smaller,
// down to three quarters of its size. A caption that fits on one line at its full size stays so.
// Else, when wrap is allowed and the area is two lines high, it wraps at blanks at the largest size
// at which it fits; in an area one line high it stays on one line at the largest size that fits
// and wraps only when no size does.
TextFit fitText(const QFont& font, const QString& text, QSize area, bool wrap);

}  // namespace kb::qt
