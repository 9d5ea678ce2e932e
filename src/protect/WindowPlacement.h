#pragma once
// Where the protection's always-on-top windows (the countdown, the pending switch-off warning) go:
// clear of the boxes they refer to. Message boxes open centred over the main window, so that area is
// kept free as well as every box already open.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QVector>

namespace zav {

// The area over the main window `mainFrame` where a box of about `boxSize` opens.
QRect boxArea(const QRect& mainFrame, const QSize& boxSize);

// The top-left point for a window of `size` inside `available` (the screen's work area) that
// covers none of `avoid`: the first clear spot among the screen's corners and the places beside the
// avoided rectangles, else the spot that covers the least of them.
QPoint placeClear(const QRect& available, const QSize& size, const QVector<QRect>& avoid, int margin = 8);

} // namespace zav
