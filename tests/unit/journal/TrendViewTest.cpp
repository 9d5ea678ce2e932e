#include "journal/TrendView.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zav;

namespace {

const QDateTime kNow = QDateTime(QDate(2026, 12, 11), QTime(12, 0), Qt::UTC);
const qint64 kNowMs = kNow.toMSecsSinceEpoch();
constexpr qint64 kHour = 3600 * 1000LL;

TrendPoint point(qint64 ms, float v, bool gap = false) { return {ms, v, v - 1, v + 1, gap}; }

TEST(TrendViewTest, LinesBreakAtEveryGapAndNeverJoinTwoValues) {
    TrendResult r;
    r.series = {{"output.load.a", {point(1000, 1), point(3000, 2), point(60000, 3, true), point(62000, 4)}},
                {"output.load.b", {point(1000, 5)}},
                {"output.load.c", {point(1000, 6), point(90000, 7, true)}}};
    const QVector<TrendLine> lines = trendLines(r);
    ASSERT_EQ(lines.size(), 5);
    const int expectedSeries[] = {0, 0, 1, 2, 2};
    const int expectedSizes[] = {2, 2, 1, 1, 1};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(lines[i].series, expectedSeries[i]) << i;
        EXPECT_EQ(lines[i].points.size(), expectedSizes[i]) << i;
    }
    EXPECT_EQ(lines[1].points.first(), QPointF(60000, 3));
}

// A month of minutes drawn on a chart a few hundred pixels wide: each pixel column keeps its first,
// lowest, highest and last point, so a one-minute dip or spike still shows, the line still breaks
// at its gap, and a sparse line is drawn point for point.
TEST(TrendViewTest, DenseLinesKeepEveryColumnsExtremesAndTheirOrder) {
    constexpr qint64 kMinute = 60 * 1000;
    constexpr int kMinutes = 30 * 24 * 60;
    const qint64 start = kNowMs - kMinutes * kMinute;
    TrendResult r;
    TrendSeries dense{"output.voltage.a", {}};
    for (int m = 0; m < kMinutes; ++m) {
        float v = 230.0f + float(m % 7) * 0.1f;
        if (m == 10'000) v = 180.0f; // a one-minute dip
        if (m == 20'000) v = 260.0f; // a one-minute spike
        dense.points.append(point(start + m * kMinute, v, m == 15'000));
    }
    TrendSeries sparse{"battery.charge", {}};
    for (int h = 0; h < 24; ++h) sparse.points.append(point(start + h * 60 * kMinute, 90.0f + h));
    r.series = {dense, sparse};

    constexpr int kColumns = 500;
    const QVector<TrendLine> lines = trendLines(r, {start, kNowMs}, kColumns);
    ASSERT_EQ(lines.size(), 3); // the dense line broken at its gap, and the sparse one
    qsizetype densePoints = 0;
    bool dip = false, spike = false;
    for (int i = 0; i < 2; ++i) {
        const QVector<QPointF>& p = lines[i].points;
        densePoints += p.size();
        for (qsizetype k = 1; k < p.size(); ++k) ASSERT_LT(p[k - 1].x(), p[k].x()) << "points stay in time order";
        for (const QPointF& q : p) {
            dip = dip || q.y() == 180.0;
            spike = spike || q.y() == 260.0;
        }
    }
    EXPECT_LE(densePoints, 4 * (kColumns + 1));
    EXPECT_TRUE(dip);
    EXPECT_TRUE(spike);
    EXPECT_EQ(lines[0].points.first(), QPointF(double(start), 230.0));
    EXPECT_EQ(lines[1].points.first().x(), double(start + 15'000 * kMinute)) << "the line starts again after its gap";
    EXPECT_EQ(lines[1].points.last().x(), double(start + (kMinutes - 1) * kMinute));
    EXPECT_EQ(lines[2].points.size(), 24);

    // Without a width, nothing is thinned.
    EXPECT_EQ(trendLines(r)[0].points.size(), 15'000);
}

TEST(TrendViewTest, WindowFollowsRangeZoomAndPanButNeverPassesNow) {
    TrendModel m;
    struct Case {
        TrendRange range;
        qint64 span;
    };
    for (const Case& c : {Case{TrendRange::Hour, kHour}, Case{TrendRange::Day, 24 * kHour}, Case{TrendRange::Week, 7 * 24 * kHour},
                          Case{TrendRange::Month, 30 * 24 * kHour}}) { // November has 30 days
        m.setRange(c.range);
        EXPECT_EQ(m.window(kNow), qMakePair(kNowMs - c.span, kNowMs)) << int(c.range);
    }
    m.setRange(TrendRange::Hour);
    m.zoom(0.5, kNowMs - kHour / 2, kNow); // in, around the middle
    EXPECT_EQ(m.window(kNow), qMakePair(kNowMs - 3 * kHour / 4, kNowMs - kHour / 4));
    EXPECT_TRUE(m.zoomed());
    m.pan(1, kNow); // a whole width later: stops at now, keeping the width
    EXPECT_EQ(m.window(kNow), qMakePair(kNowMs - kHour / 2, kNowMs));
    m.pan(-2, kNow);
    EXPECT_EQ(m.window(kNow), qMakePair(kNowMs - 3 * kHour / 2, kNowMs - kHour));
    m.zoomTo(kNowMs - 1000, kNowMs - 5000, kNow); // a band dragged right to left, narrower than a minute
    const auto [from, to] = m.window(kNow);
    EXPECT_EQ(to - from, TrendModel::kMinSpanMs);
    EXPECT_EQ(to, kNowMs);
    m.zoom(4, kNowMs, kNow);
    EXPECT_EQ(m.window(kNow).second - m.window(kNow).first, 4 * TrendModel::kMinSpanMs);
    m.setRange(TrendRange::Custom); // a range resets the zoom
    EXPECT_FALSE(m.zoomed());
    m.setCustom(kNow.addDays(-2), kNow.addDays(-3)); // given the wrong way round
    EXPECT_EQ(m.window(kNow), qMakePair(kNow.addDays(-3).toMSecsSinceEpoch(), kNow.addDays(-2).toMSecsSinceEpoch()));

    m.setChosen({"battery.charge", "input.voltage.b", "no.such"});
    EXPECT_EQ(m.chosen(), (QStringList{"input.voltage.b", "battery.charge"}));
    m.setChosenValue("input.voltage.b", false);
    m.setChosenValue("output.load.c", true);
    EXPECT_EQ(m.chosen(), (QStringList{"output.load.c", "battery.charge"}));
    const TrendQuery q = m.query("rack1", kNow);
    EXPECT_EQ(q.ups, "rack1");
    EXPECT_EQ(q.keys, m.chosen());
    EXPECT_EQ(q.from, kNow.addDays(-3));
}

TEST(TrendViewTest, ValueScaleStatusAndTexts) {
    TrendResult r;
    EXPECT_EQ(trendValueScale(r), qMakePair(0.0, 1.0));
    r.series = {{"output.load.a", {point(0, 10), point(1, 30)}}};
    EXPECT_EQ(trendValueScale(r), qMakePair(9.0, 31.0));
    r.series = {{"output.load.a", {point(0, 230), point(1, 230)}}};
    const auto flat = trendValueScale(r);
    EXPECT_LT(flat.first, 230);
    EXPECT_GT(flat.second, 230);
    r.level = TrendLevel::Minute;
    EXPECT_EQ(trendStatus(r, 1), "2 points (one-minute means)");
    EXPECT_EQ(trendStatus(r, 0), "2个点（每分钟平均）");
    r.error = "the file is gone";
    EXPECT_EQ(trendStatus(r, 1), "the file is gone");
    for (const char* key : {"title", "values", "range", "from", "to", "refresh", "exportCsv", "exportPng", "resetZoom", "earlier",
                            "later", "exported", "exportFailed", "noTrends", "noValues", "shown", "level.cycle",
                            "level.minute", "level.ten-minutes", "hint"}) {
        const QString en = trendPageText(key, 1), cn = trendPageText(key, 0), cht = trendPageText(key, 2);
        EXPECT_NE(en, QString::fromLatin1(key)) << key;
        EXPECT_FALSE(cn.isEmpty() || cht.isEmpty()) << key;
        EXPECT_NE(cn, en) << key;
    }
    EXPECT_EQ(trendRangeItems(2).size(), kTrendRangeCount);
    const QVector<TrendChoiceGroup> groups = trendChoiceGroups(1);
    ASSERT_EQ(groups.size(), 5);
    EXPECT_EQ(groups[0].caption, "Input");
    EXPECT_EQ(groups[0].values.size(), 9); // voltage, current and frequency of every phase
}

TEST(TrendViewTest, ExportWritesTheShownPointsOrNothing) {
    QTemporaryDir dir;
    TrendResult r;
    r.series = {{"output.load.a", {point(0, 10), point(600000, 12.5f, true)}}};
    const QString path = dir.filePath("t.csv");
    ASSERT_EQ(exportTrendCsv(r, path), "");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "\xEF\xBB\xBF" "time,value,mean,min,max,gap\r");
    EXPECT_TRUE(lines[2].endsWith(",output.load.a,12.5,11.5,13.5,1\r")) << lines[2].toStdString();
    EXPECT_TRUE(lines[1].endsWith(",output.load.a,10,9,11,0\r")) << lines[1].toStdString();
    EXPECT_NE(exportTrendCsv(r, dir.filePath("no/such/folder/t.csv")), "");
    r.error = "cannot read";
    EXPECT_EQ(exportTrendCsv(r, dir.filePath("e.csv")), "cannot read");
    EXPECT_FALSE(QFile::exists(dir.filePath("e.csv")));
}

} // namespace
