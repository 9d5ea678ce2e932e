#include "monitor/VoltageTrend.h"

#include <gtest/gtest.h>

namespace zav {
namespace {

constexpr qint64 kSecond = 1000;
constexpr qint64 kStart = 1'700'000'000'000; // an arbitrary day, ms since the epoch

TEST(VoltageTrend, WindowRunsFromTenMinutesBeforeToOneSecondAfterTheRefresh) {
    VoltageTrend trend;
    trend.append(kStart, 220);
    EXPECT_EQ(trend.windowStart(), kStart - 600 * kSecond);
    EXPECT_EQ(trend.windowEnd(), kStart + kSecond);
    ASSERT_EQ(trend.points().size(), 1);
    EXPECT_EQ(trend.points()[0], QPointF(double(kStart), 220));
}

TEST(VoltageTrend, PointsThatLeftTheWindowAreDropped) {
    VoltageTrend trend;
    // Three hours of refreshes every 2 s keeps only the last 10 minutes: 301 points (both ends included).
    qint64 t = kStart;
    for (int i = 0; i < 5400; ++i, t += 2 * kSecond)
        trend.append(t, i % 300);
    const qint64 last = t - 2 * kSecond;
    ASSERT_EQ(trend.points().size(), 301);
    EXPECT_EQ(trend.points().first().x(), double(last - 600 * kSecond));
    EXPECT_EQ(trend.points().last().x(), double(last));
    for (const QPointF& p : trend.points())
        EXPECT_GE(p.x(), double(trend.windowStart()));
}

TEST(VoltageTrend, ClockSetBackDropsPointsNowInTheFuture) {
    VoltageTrend trend;
    trend.append(kStart, 1);
    trend.append(kStart + 60 * kSecond, 2);
    trend.append(kStart + 30 * kSecond, 3); // the clock went back 30 s
    ASSERT_EQ(trend.points().size(), 2);
    EXPECT_EQ(trend.points()[0].y(), 1);
    EXPECT_EQ(trend.points()[1].y(), 3);
}

} // namespace
} // namespace zav
