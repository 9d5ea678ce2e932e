// Where the countdown goes: inside the screen's work area, clear of the boxes it refers to.

#include "protect/WindowPlacement.h"

#include <gtest/gtest.h>

using namespace zav;

namespace {

TEST(WindowPlacement, ClearOfEveryBoxAndOnTheScreen) {
    const QRect screen(0, 0, 1024, 768);
    const QSize size(300, 120);
    struct Case {
        const char* name;
        QVector<QRect> avoid;
        QPoint expected;
    };
    const Case cases[] = {
        {"nothing to avoid: top right", {}, {716, 8}},
        {"a box in the middle leaves the top right free", {QRect(312, 300, 400, 160)}, {716, 8}},
        {"a box in the top right: bottom right", {QRect(700, 0, 324, 200)}, {716, 640}},
        {"boxes in all four corners: below the first",
         {QRect(650, 0, 374, 200), QRect(650, 600, 374, 168), QRect(0, 0, 360, 200), QRect(0, 600, 360, 168)},
         {650, 208}},
    };
    for (const Case& c : cases) {
        const QPoint p = placeClear(screen, size, c.avoid);
        EXPECT_EQ(p, c.expected) << c.name;
        const QRect placed(p, size);
        EXPECT_TRUE(screen.contains(placed)) << c.name;
        for (const QRect& r : c.avoid) EXPECT_FALSE(placed.intersects(r)) << c.name;
    }
}

TEST(WindowPlacement, AScreenFullOfBoxesGetsTheLeastCoveredSpotStillOnScreen) {
    const QRect screen(0, 0, 800, 600);
    const QRect wide(0, 0, 800, 500); // only a strip at the bottom stays clear, too low for 120
    const QPoint p = placeClear(screen, QSize(300, 120), {wide});
    EXPECT_TRUE(screen.contains(QRect(p, QSize(300, 120))));
    EXPECT_EQ(p.y(), 600 - 8 - 120);
}

TEST(WindowPlacement, BoxAreaIsCentredOnTheMainWindow) {
    EXPECT_EQ(boxArea(QRect(100, 100, 800, 600), QSize(400, 200)), QRect(300, 300, 400, 200));
    EXPECT_EQ(boxArea(QRect(0, 0, 300, 100), QSize(400, 200)), QRect(0, 0, 300, 100)); // never larger
}

} // namespace
