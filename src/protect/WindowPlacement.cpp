#include "protect/WindowPlacement.h"

#include <algorithm>
#include <limits>

namespace zav {

QRect boxArea(const QRect& mainFrame, const QSize& boxSize) {
    const QSize size = boxSize.boundedTo(mainFrame.size());
    QRect area(QPoint(0, 0), size);
    area.moveCenter(mainFrame.center());
    return area;
}

namespace {

long long overlap(const QRect& a, const QVector<QRect>& avoid) {
    long long sum = 0;
    for (const QRect& r : avoid) {
        const QRect i = a.intersected(r);
        if (!i.isEmpty()) sum += (long long)i.width() * i.height();
    }
    return sum;
}

} // namespace

QPoint placeClear(const QRect& available, const QSize& size, const QVector<QRect>& avoid, int margin) {
    const int left = available.left() + margin;
    const int top = available.top() + margin;
    const int right = std::max(left, available.right() + 1 - margin - size.width());
    const int bottom = std::max(top, available.bottom() + 1 - margin - size.height());
    // The screen's corners first (top right is where a watchful eye looks), then beside each box.
    QVector<QPoint> spots = {{right, top}, {right, bottom}, {left, top}, {left, bottom}};
    for (const QRect& r : avoid) {
        spots << QPoint(r.right() + 1 + margin, r.top()) << QPoint(r.left() - margin - size.width(), r.top())
              << QPoint(r.left(), r.top() - margin - size.height()) << QPoint(r.left(), r.bottom() + 1 + margin);
    }
    QPoint best = spots.first();
    long long bestOverlap = std::numeric_limits<long long>::max();
    for (QPoint p : spots) {
        p.setX(std::clamp(p.x(), left, right)); // never off the screen
        p.setY(std::clamp(p.y(), top, bottom));
        const long long o = overlap(QRect(p, size), avoid);
        if (o == 0) return p;
        if (o < bestOverlap) {
            bestOverlap = o;
            best = p;
        }
    }
    return best;
}

} // namespace zav
