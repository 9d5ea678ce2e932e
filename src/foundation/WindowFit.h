#pragma once
// Where the main window goes on a screen. The area a screen offers (without panels and docks)
// must hold the whole frame: title bar and borders as well as the client area, or the status bar
// ends up under the bottom edge of a 1024 x 600 screen.

#include <QMargins>
#include <QRect>
#include <QSize>
#include <QVector>
#include <optional>

namespace zav {

// Before the window is shown the window manager has not said how thick its frame is: this much is
// kept free for a title bar and borders until it has.
inline constexpr QMargins kAssumedFrame{4, 32, 4, 4};

// The client rectangle for a window that wants `wanted` (its client size) at `at` (the client's
// top-left, or none: centred), given the frame the window manager adds. The size shrinks to the
// area (never below `minimum`), and the place moves so the frame stays inside it.
QRect fitFrame(const QRect& available, QSize wanted, std::optional<QPoint> at, const QMargins& frame,
               QSize minimum);

// Where a new box goes when others are already open: where it would open by itself (`own`), moved
// down and right by `step` until its corner is at least `step` away from the corner of every box
// already open, and kept inside the available area (back to its top-left when it would leave).
// So boxes opened one after another fan out and each title stays readable.
QPoint staggered(const QRect& available, const QRect& own, const QVector<QRect>& open, int step = 32);

} // namespace zav
