#pragma once
// Where the two windows go on a screen: geometry over rectangles in screen pixels, apart from the
// widgets so that it is tested without a display. A window's frame is its client area plus the
// window manager's decoration (title bar, borders).
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace kb::qt {

// The client size of a window whose content wants `wanted`: that size when it fits within the
// available area with the frame; else as much as fits, with room for the scroll bars (of
// thickness scrollBar) that then appear.
QSize fitClientSize(QSize wanted, QMargins frame, QRect available, int scrollBar);

// The top left that puts a frame wholly within the available area, moved as little as possible
// (a frame larger than the area keeps its top left corner on it).
QPoint keepWithin(QRect frame, QRect available);

// The top left of the status window's frame: beside the main window's frame (right, else left,
// level with its top as far as the area allows) where it lies wholly on the available area; else
// the place on the area nearest the main window's right and top that covers nothing of keepClear
// (the monitor buttons); else the area's top right.
QPoint placeBeside(QRect mainFrame, QSize frame, QRect available, QRect keepClear);

}  // namespace kb::qt
