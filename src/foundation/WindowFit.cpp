#include "foundation/WindowFit.h"

#include <algorithm>
#include <cstdlib>

namespace zav {

QRect fitFrame(const QRect& available, QSize wanted, std::optional<QPoint> at, const QMargins& frame,
               QSize minimum) {
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    const QSize size = wanted.boundedTo(room).expandedTo(minimum);
    // The frame's top-left, kept inside the area as far as the size allows (the top edge wins, so
    // the title bar can always be grabbed).
    const int frameWidth = size.width() + frame.left() + frame.right();
    const int frameHeight = size.height() + frame.top() + frame.bottom();
    const QPoint wantedFrame = at ? *at - QPoint(frame.left(), frame.top())
                                  : QPoint(available.left() + (available.width() - frameWidth) / 2,
                                           available.top() + (available.height() - frameHeight) / 2);
    const int x = std::clamp(wantedFrame.x(), available.left(),
                             std::max(available.left(), available.right() + 1 - frameWidth));
    const int y = std::clamp(wantedFrame.y(), available.top(),
                             std::max(available.top(), available.bottom() + 1 - frameHeight));
    return QRect(QPoint(x + frame.left(), y + frame.top()), size);
}

QPoint staggered(const QRect& available, const QRect& own, const QVector<QRect>& open, int step) {
    const auto taken = [&](const QPoint& corner) {
        for (const QRect& r : open)
            if (std::abs(r.left() - corner.x()) < step && std::abs(r.top() - corner.y()) < step) return true;
        return false;
    };
    const auto inside = [&](const QPoint& corner) {
        return available.contains(QRect(corner, own.size()));
    };
    QPoint corner = own.topLeft();
    // Each try moves one step; more tries than boxes cannot be needed unless the area is full.
    for (int tries = 0; tries <= int(open.size()) * 2 + 2 && taken(corner); ++tries) {
        corner += QPoint(step, step);
        if (!inside(corner)) corner = available.topLeft() + QPoint(step * (tries % 4), step * (tries % 4));
    }
    return corner;
}

} // namespace zav
