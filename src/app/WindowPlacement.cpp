#include "app/WindowPlacement.h"

#include <algorithm>
#include <cmath>

namespace larkspur {

namespace {
constexpr double kPanelHalfWidth = 200;
constexpr double kPanelDropFromTop = 380;
}  // namespace

QPointF panelOriginYUp(double visibleLeft, double visibleWidth, double visibleTopYUp) {
    return {visibleLeft + visibleWidth / 2 - kPanelHalfWidth, visibleTopYUp - kPanelDropFromTop};
}

QPoint panelFirstPosition(const QRect& screen, const QRect& available, const QSize& panel) {
    // Flip into the y-up space of the rule and back: its origin is the lower-left corner.
    const double screenBottom = screen.y() + screen.height();
    const double visibleTopYUp = screenBottom - available.y();
    const QPointF origin = panelOriginYUp(available.x(), available.width(), visibleTopYUp);
    const double top = screenBottom - (origin.y() + panel.height());
    const QPoint position(int(std::lround(origin.x())), int(std::lround(top)));
    return keptInside(position, panel, available);
}

QPoint dropDownPosition(const QPoint& pointer, const QSize& size, const QRect& available) {
    const bool belowPointer = pointer.y() < available.center().y();
    const int y = belowPointer ? pointer.y() + 4 : pointer.y() - 4 - size.height();
    return keptInside(QPoint(pointer.x() - size.width() / 2, y), size, available);
}

QPoint keptInside(const QPoint& position, const QSize& size, const QRect& area) {
    const int x =
        std::max(std::min(position.x(), area.x() + area.width() - size.width()), area.x());
    const int y =
        std::max(std::min(position.y(), area.y() + area.height() - size.height()), area.y());
    return {x, y};
}

}  // namespace larkspur
