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

// The font made smaller (down to three quarters) until text fits area: on one line, or when
// wrap is set wrapped at blanks. Our fonts run a little wider than the layout was drawn for.
QFont fittedFont(const QFont& font, const QString& text, QSize area, bool wrap);

}  // namespace kb::qt
