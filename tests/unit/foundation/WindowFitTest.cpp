#include "foundation/WindowFit.h"

#include <gtest/gtest.h>

using namespace zav;

TEST(WindowFit, TheWholeFrameFitsTheAvailableArea) {
    const QMargins frame(2, 30, 2, 2);
    const QSize minimum(640, 480);
    const struct {
        const char* what;
        QRect available;
        QSize wanted;
        std::optional<QPoint> at;
        QRect client;
    } cases[] = {
        // 1024 x 600 with a 24-pixel panel at the top: 576 pixels for frame and client.
        {"small screen, centred", QRect(0, 24, 1024, 576), QSize(1024, 740), std::nullopt,
         QRect(2, 54, 1020, 544)},
        {"large screen, centred", QRect(0, 0, 1920, 1080), QSize(1024, 740), std::nullopt,
         QRect(448, 184, 1024, 740)},
        {"stored place off the bottom right", QRect(0, 0, 1280, 900), QSize(1024, 740), QPoint(900, 700),
         QRect(254, 158, 1024, 740)},
        {"stored place above the top", QRect(0, 0, 1280, 900), QSize(800, 600), QPoint(100, 5),
         QRect(100, 30, 800, 600)},
        {"second screen on the right", QRect(1920, 0, 1024, 600), QSize(1024, 740), QPoint(1930, 40),
         QRect(1922, 30, 1020, 568)},
        {"smaller than the minimum: the minimum, top-left kept", QRect(0, 0, 600, 400), QSize(1024, 740),
         std::nullopt, QRect(2, 30, 640, 480)},
    };
    for (const auto& c : cases) {
        const QRect client = fitFrame(c.available, c.wanted, c.at, frame, minimum);
        EXPECT_EQ(client, c.client) << c.what;
        if (c.wanted.width() > minimum.width() && c.available.height() >= minimum.height() + 32) {
            EXPECT_TRUE(c.available.contains(client.marginsAdded(frame))) << c.what;
        }
    }
}

TEST(WindowFit, BoxesOpenedOneAfterAnotherFanOutInsideTheArea) {
    const QRect avail(0, 0, 1024, 600);
    const QRect own(400, 250, 300, 120); // where a box opens by itself: over the main window's centre
    QVector<QRect> open;
    QVector<QPoint> corners;
    for (int i = 0; i < 4; ++i) {
        const QPoint at = staggered(avail, own, open);
        corners << at;
        open << QRect(at, own.size());
    }
    EXPECT_EQ(corners, QVector<QPoint>({{400, 250}, {432, 282}, {464, 314}, {496, 346}}));
    // A box closed in between leaves its place free again.
    open.removeAt(1);
    EXPECT_EQ(staggered(avail, own, open), QPoint(432, 282));
    // Near the bottom edge: back to the area's top-left, never off the screen.
    const QRect low(700, 470, 300, 120);
    const QPoint next = staggered(avail, low, {low});
    EXPECT_TRUE(avail.contains(QRect(next, low.size())));
    EXPECT_NE(next, low.topLeft());
}
