// A refresh without a measurement breaks the trend line instead of plotting 0 V.

#include "monitor/VoltageTrend.h"

#include <gtest/gtest.h>

namespace zav {
namespace {

constexpr qint64 kSecond = 1000;
constexpr qint64 kStart = 1'700'000'000'000;

// Builds a trend from refreshes two seconds apart: a number is a value in volts, -1 a cleared store.
VoltageTrend trendOf(std::initializer_list<int> refreshes) {
    VoltageTrend trend;
    qint64 t = kStart;
    for (int v : refreshes) {
        if (v < 0)
            trend.appendGap(t);
        else
            trend.append(t, v);
        t += 2 * kSecond;
    }
    return trend;
}

QVector<QVector<double>> runVolts(const VoltageTrend& trend) {
    QVector<QVector<double>> result;
    for (const auto& run : trend.runs()) {
        QVector<double> volts;
        for (const QPointF& p : run) volts.append(p.y());
        result.append(volts);
    }
    return result;
}

TEST(VoltageTrendGap, ClearedStoresBreakTheLineAndNeverPlotZero) {
    struct Case {
        std::initializer_list<int> refreshes;
        QVector<QVector<double>> runs;
        int gapPoints;
    } cases[] = {
        {{}, {{}}, 0},
        {{-1, -1}, {{}}, 0},                            // nothing to break before the first value
        {{220, 221}, {{220, 221}}, 0},
        {{220, -1}, {{220}, {}}, 1},                    // disconnected: the next value starts anew
        {{220, -1, -1, -1, 230}, {{220}, {230}}, 1},    // a run of cleared refreshes is one gap
        {{220, -1, 230, -1, 0, 1}, {{220}, {230}, {0, 1}}, 2}, // a real 0 V stays a value
    };
    for (const Case& c : cases) {
        const VoltageTrend trend = trendOf(c.refreshes);
        EXPECT_EQ(runVolts(trend), c.runs);
        int gaps = 0;
        for (const QPointF& p : trend.points()) gaps += VoltageTrend::isGap(p);
        EXPECT_EQ(gaps, c.gapPoints);
    }
}

TEST(VoltageTrendGap, GapMovesTheWindowAndLeavesWithIt) {
    VoltageTrend trend;
    trend.append(kStart, 220);
    trend.appendGap(kStart + 5 * kSecond);
    EXPECT_EQ(trend.windowEnd(), kStart + 6 * kSecond); // the axis keeps running while disconnected
    trend.append(kStart + 700 * kSecond, 230);          // both earlier points left the window
    ASSERT_EQ(trend.points().size(), 1);
    EXPECT_EQ(runVolts(trend), (QVector<QVector<double>>{{230}}));
}

} // namespace
} // namespace zav
