// The voltage charts: a refresh without a measurement leaves a gap in the drawn line, and a point
// tells its time of day.

#include "monitor/widgets/VoltageChart.h"

#include <QApplication>
#include <QLineSeries>
#include <QLocale>
#include <QToolTip>
#include <gtest/gtest.h>

using namespace zav;

namespace {

const QDateTime kStart(QDate(2031, 7, 8), QTime(9, 10, 0));

bool greenNear(const QImage& image, QPointF at) {
    for (int dy = -4; dy <= 4; ++dy) {
        const QColor c = image.pixelColor(int(at.x()), int(at.y()) + dy);
        if (c.green() - c.red() > 40 && c.green() - c.blue() > 40) return true; // the line, antialiased
    }
    return false;
}

} // namespace

TEST(WindowCharts, ClearedStoreLeavesAGapInTheDrawnLine) {
    VoltageChart chart("ChartByVolt", "LineByVolt");
    chart.resize(800, 400);
    chart.show();
    chart.addPoint(kStart, 220);
    chart.addPoint(kStart.addSecs(60), 220);
    chart.addGap(kStart.addSecs(120)); // disconnected
    chart.addGap(kStart.addSecs(150));
    EXPECT_TRUE(chart.line()->points().isEmpty()); // the newest stretch waits for a value
    chart.addPoint(kStart.addSecs(180), 220);
    chart.addPoint(kStart.addSecs(240), 220);

    ASSERT_EQ(chart.segments().size(), 2);
    EXPECT_EQ(chart.line()->objectName(), "LineByVolt");
    EXPECT_EQ(chart.line()->points(), (QList<QPointF>{{double(kStart.addSecs(180).toMSecsSinceEpoch()), 220},
                                                      {double(kStart.addSecs(240).toMSecsSinceEpoch()), 220}}));
    for (QLineSeries* s : chart.segments())
        for (const QPointF& p : s->points()) EXPECT_EQ(p.y(), 220); // no 0 V point anywhere

    QApplication::processEvents(); // the chart lays itself out
    // Drawn: the line is there within each stretch and absent across the gap.
    const QImage image = chart.grab().toImage();
    auto at = [&](int seconds) {
        return chart.mapFromScene(chart.chart()->mapToPosition(
            QPointF(double(kStart.addSecs(seconds).toMSecsSinceEpoch()), 220), chart.line()));
    };
    EXPECT_TRUE(greenNear(image, at(30)));
    EXPECT_TRUE(greenNear(image, at(210)));
    EXPECT_FALSE(greenNear(image, at(120)));
}

TEST(WindowCharts, HoveringAPointShowsItsTimeOfDayAndVolts) {
    VoltageChart chart("ChartOutVolt", "LineOutVolt");
    chart.show();
    chart.addPoint(kStart, 230);
    const QPointF point = chart.line()->at(0);
    const QString label = QLocale::system().toString(kStart.time(), QLocale::ShortFormat);
    EXPECT_EQ(VoltageChart::pointLabel(point.x()), label);
    EXPECT_EQ(VoltageChart::hoverText(point), label + "  230 V");
    emit chart.line()->hovered(point, true);
    EXPECT_EQ(QToolTip::text(), label + "  230 V");
    emit chart.line()->hovered(point, false);
}
