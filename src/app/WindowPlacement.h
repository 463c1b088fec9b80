#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

namespace larkspur {

// The floating panel's first origin, in a space whose y grows upwards from the bottom of the
// main screen: centred horizontally, its lower edge 380 below the top of the visible area.
QPointF panelOriginYUp(double visibleLeft, double visibleWidth, double visibleTopYUp);

// The same rule in Qt's screen space (y grows downwards from the top of the main screen),
// then kept inside the visible area so that the panel's top row stays reachable.
QPoint panelFirstPosition(const QRect& screen, const QRect& available, const QSize& panel);

// Where the tray's drop-down opens: beside the pointer, towards the middle of the screen, whole
// on the visible area.
QPoint dropDownPosition(const QPoint& pointer, const QSize& size, const QRect& available);

// A window position moved as little as possible to lie inside the area (its top-left corner
// wins when it is larger than the area).
QPoint keptInside(const QPoint& position, const QSize& size, const QRect& area);

}  // namespace larkspur
