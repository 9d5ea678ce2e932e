#include "journal/TrendStore.h"
#include "monitor/TrendValues.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <cmath>
#include <signal.h>

using namespace zav;

namespace {

const QDateTime kEvening = QDateTime(QDate(2026, 12, 1), QTime(23, 50), Qt::UTC);
const QString kLoad = "output.load.a";
const QString kVolt = "output.voltage.a";

// One cycle: the load of phase A as given, phase A's voltage fixed, every other value missing.
QVector<float> cycle(float load) {
    QVector<float> v(trendChannels().size(), std::nanf(""));
    v[trendChannelIndex(kLoad)] = load;
    v[trendChannelIndex(kVolt)] = 230.0f;
    return v;
}

// Every row of the file, as text, for comparing states.
QStringList dump(TrendStore& store, int level = -1) {
    QSqlQuery q(store.file().db());
    q.exec(QStringLiteral("SELECT ups, level, time, hex(data) FROM trend_points %1 ORDER BY ups, level, time")
               .arg(level < 0 ? QString() : QStringLiteral("WHERE level = %1").arg(level)));
    QStringList out;
    while (q.next())
        out << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()}.join(' ');
    return out;
}

struct Clock {
    QDateTime now = kEvening;
    std::function<QDateTime()> fn() {
        return [this] { return now; };
    }
};

class TrendStoreTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString path(const QString& name = "state/journal-trends.sqlite") const { return dir.filePath(name); }
};

// Cycles every 2 s from 23:50 to 00:10 the next day, none between 23:58 and 00:03; in every minute
// the load runs 0..29, so each minute has mean 14.5, minimum 0, maximum 29. `each(t)` runs after
// every cycle.
void feedEvening(TrendStore& store, Clock& clock, const std::function<void()>& each = {}) {
    for (QDateTime t = kEvening; t < kEvening.addSecs(20 * 60); t = t.addSecs(2)) {
        if (t >= kEvening.addSecs(8 * 60) && t < kEvening.addSecs(13 * 60)) continue;
        clock.now = t;
        store.add("ups1", t, cycle(float(t.time().second() / 2)));
        if (each) each();
    }
    store.flush();
}

TEST_F(TrendStoreTest, ThinningAcrossMidnightKeepsGapsMinMaxAndIsIdempotent) {
    Clock clock;
    TrendStore store;
    store.setClock(clock.fn());
    ASSERT_TRUE(store.open(path())) << store.error().toStdString();
    feedEvening(store, clock);

    // A day and five minutes after the last cycle: the cycles have been summed up and are gone.
    clock.now = kEvening.addSecs(20 * 60).addDays(1).addSecs(5 * 60);
    ASSERT_TRUE(store.thin());
    EXPECT_EQ(store.rows(TrendLevel::Cycle), 0);
    const QStringList once = dump(store);
    ASSERT_TRUE(store.thin());
    EXPECT_EQ(dump(store), once) << "a second thinning changes nothing";

    TrendQuery q;
    q.ups = "ups1";
    q.keys = {kLoad, kVolt};
    q.from = kEvening.addSecs(-3600);
    q.until = kEvening.addSecs(3600);
    const TrendResult r = store.query(q);
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.level, TrendLevel::Minute);
    ASSERT_EQ(r.series.size(), 2);
    QVector<qint64> minutes;
    QVector<qint64> gapsAt;
    for (const TrendPoint& p : r.series[0].points) {
        minutes << (p.ms - kEvening.toMSecsSinceEpoch()) / 60000;
        if (p.gapBefore) gapsAt << (p.ms - kEvening.toMSecsSinceEpoch()) / 60000;
        EXPECT_FLOAT_EQ(p.mean, 14.5f);
        EXPECT_EQ(p.min, 0.0f);
        EXPECT_EQ(p.max, 29.0f);
    }
    EXPECT_EQ(minutes, (QVector<qint64>{0, 1, 2, 3, 4, 5, 6, 7, 13, 14, 15, 16, 17, 18, 19}));
    EXPECT_EQ(gapsAt, (QVector<qint64>{13}));
    EXPECT_EQ(r.series[1].points.size(), 15);
    for (const TrendPoint& p : r.series[1].points) EXPECT_EQ(p.max, 230.0f);

    // The ten-minute buckets: 23:50 (eight minutes) and 00:00 (seven), nothing made for the hole.
    const QStringList tens = dump(store, int(TrendLevel::TenMinutes));
    ASSERT_EQ(tens.size(), 2);
    q.from = kEvening.addDays(-60); // before everything: the level reaching furthest back
    clock.now = kEvening.addDays(40); // the minutes are past their month
    ASSERT_TRUE(store.thin());
    EXPECT_EQ(store.rows(TrendLevel::Minute), 0);
    const TrendResult tenMinutes = store.query(q);
    EXPECT_EQ(tenMinutes.level, TrendLevel::TenMinutes);
    ASSERT_EQ(tenMinutes.series[0].points.size(), 2);
    for (const TrendPoint& p : tenMinutes.series[0].points) {
        EXPECT_FLOAT_EQ(p.mean, 14.5f);
        EXPECT_EQ(p.min, 0.0f);
        EXPECT_EQ(p.max, 29.0f);
        EXPECT_FALSE(p.gapBefore) << "ten minutes apart is no gap at that level";
    }
}

TEST_F(TrendStoreTest, ThinningAsDataArrivesMakesTheSameBucketsAsThinningOnce) {
    Clock clockA, clockB;
    TrendStore often, once;
    often.setClock(clockA.fn());
    once.setClock(clockB.fn());
    ASSERT_TRUE(often.open(path("a.sqlite")));
    ASSERT_TRUE(once.open(path("b.sqlite")));
    int n = 0;
    // Thinned every 7 cycles (not on minute boundaries), with a commit before each.
    feedEvening(often, clockA, [&] {
        if (++n % 7 == 0) {
            often.flush();
            often.thin();
        }
    });
    feedEvening(once, clockB);
    clockA.now = clockB.now = kEvening.addSecs(3600);
    ASSERT_TRUE(often.thin());
    ASSERT_TRUE(once.thin());
    for (int level : {1, 2}) {
        EXPECT_FALSE(dump(once, level).isEmpty());
        EXPECT_EQ(dump(often, level), dump(once, level)) << "level " << level;
    }
}

TEST_F(TrendStoreTest, QueryTakesTheFinestLevelAndTheNewestCyclesAfterTheLastBucket) {
    Clock clock;
    TrendStore store;
    store.setClock(clock.fn());
    ASSERT_TRUE(store.open(path()));
    // Three days of a cycle every 10 s, a spike of 99 in one cycle two days back.
    const QDateTime start = kEvening;
    const QDateTime spike = start.addDays(1).addSecs(3 * 3600 + 20);
    for (QDateTime t = start; t < start.addDays(3); t = t.addSecs(10)) {
        store.add("ups1", t, cycle(t == spike ? 99.0f : 10.0f));
        if (t.time().second() == 0 && t.time().minute() == 0) {
            clock.now = t;
            store.flush();
            store.thin();
        }
    }
    store.flush();
    // Thinned in the middle of the last minute: its cycles are not yet a bucket.
    const QDateTime now = start.addDays(3).addSecs(-35);
    clock.now = now;
    ASSERT_TRUE(store.thin());

    struct Case {
        const char* what;
        QDateTime from;
        TrendLevel level;
    };
    const Case cases[] = {
        {"the last hour", now.addSecs(-3600), TrendLevel::Cycle},
        {"the last two days", now.addDays(-2), TrendLevel::Minute},
        {"a year", now.addDays(-365), TrendLevel::Minute}, // the minutes reach furthest back
    };
    for (const Case& c : cases) {
        TrendQuery q{"ups1", {kLoad}, c.from, {}};
        const TrendResult r = store.query(q);
        ASSERT_TRUE(r.error.isEmpty()) << c.what;
        EXPECT_EQ(r.level, c.level) << c.what;
        const QVector<TrendPoint>& p = r.series[0].points;
        ASSERT_FALSE(p.isEmpty()) << c.what;
        EXPECT_GE(p.first().ms, c.from.toMSecsSinceEpoch()) << c.what;
        // Up to the newest cycle, with no gap anywhere: the data never stopped.
        EXPECT_EQ(p.last().ms, start.addDays(3).addSecs(-10).toMSecsSinceEpoch()) << c.what;
        for (const TrendPoint& point : p) EXPECT_FALSE(point.gapBefore) << c.what << " at " << point.ms;
        if (c.level != TrendLevel::Cycle) {
            float highest = 0;
            for (const TrendPoint& point : p) highest = std::max(highest, point.max);
            EXPECT_EQ(highest, 99.0f) << c.what << ": the spike's maximum survives the means";
        }
    }
    const TrendResult wrong = store.query({"ups1", {"output.nothing"}, now.addSecs(-60), now});
    EXPECT_FALSE(wrong.error.isEmpty());
    EXPECT_TRUE(store.query({"other", {kLoad}, now.addSecs(-60), now}).series[0].points.isEmpty());
}

TEST_F(TrendStoreTest, SizeLimitDropsTheOldestCoarseDataFirst) {
    Clock clock;
    TrendStore store;
    store.setClock(clock.fn());
    store.setRetention({365, 1});
    ASSERT_TRUE(store.open(path()));
    const QDateTime start = kEvening;
    for (QDateTime t = start; t < start.addDays(3); t = t.addSecs(8)) store.add("ups1", t, cycle(5));
    store.flush();
    clock.now = start.addDays(3);
    ASSERT_TRUE(store.thin());
    EXPECT_LE(store.file().usedBytes(), 1024 * 1024);
    const TrendResult r = store.query({"ups1", {kLoad}, clock.now.addSecs(-600), clock.now});
    ASSERT_FALSE(r.series[0].points.isEmpty()) << "the newest cycles stay";
    EXPECT_EQ(r.level, TrendLevel::Cycle);
    EXPECT_EQ(store.rows(TrendLevel::TenMinutes), 0);
}

TEST_F(TrendStoreTest, FileThatCannotBeOpenedLeavesTheStoreOff) {
    ASSERT_TRUE(QDir().mkpath(path("a-folder.sqlite")));
    QFile junk(path("junk.sqlite"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(8192, 'x'));
    junk.close();
    for (const QString& name : {QString("a-folder.sqlite"), QString("junk.sqlite")}) {
        TrendStore store;
        EXPECT_FALSE(store.open(path(name))) << name.toStdString();
        EXPECT_FALSE(store.error().isEmpty());
        store.add("ups1", kEvening, cycle(1));
        EXPECT_EQ(store.pending(), 0);
        EXPECT_FALSE(store.flush());
        EXPECT_FALSE(store.query({"ups1", {kLoad}, {}, {}}).error.isEmpty());
    }
    EXPECT_EQ(trendDatabasePath(dir.filePath("journal.sqlite")), dir.filePath("journal-trends.sqlite"));
    EXPECT_EQ(trendDatabasePath(""), "");
}

// The child of KilledWhileThinningLosesNothing: cycles committed by the timer alone, then thinning
// killed at the step named in ZAV_TRENDS_KILL_AT.
TEST(TrendChild, DISABLED_ThinsUntilKilled) {
    int argc = 1;
    char arg0[] = "child";
    char* argv[] = {arg0};
    QCoreApplication app(argc, argv);
    Clock clock;
    clock.now = kEvening.addDays(2);
    TrendStore store;
    store.setClock(clock.fn());
    ASSERT_TRUE(store.open(qEnvironmentVariable("ZAV_TRENDS_CHILD")));
    for (int i = 0; i < 90; ++i) store.add("ups1", kEvening.addSecs(2 * i), cycle(float(i)));
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (store.pending() > 0) return;
        const QByteArray at = qgetenv("ZAV_TRENDS_KILL_AT");
        store.setStepHook([at](const char* step) {
            if (at == step) ::raise(SIGKILL);
        });
        store.thin();
        app.exit(3); // not reached
    });
    poll.start(20);
    app.exec();
}

TEST_F(TrendStoreTest, KilledWhileThinningLosesNothing) {
    for (const char* step : {"rolled", "deleted"}) {
        const QString file = path(QStringLiteral("killed-%1.sqlite").arg(step));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZAV_TRENDS_CHILD", file);
        env.insert("ZAV_TRENDS_KILL_AT", step);
        child.setProcessEnvironment(env);
        child.start(QFile::symLinkTarget("/proc/self/exe"),
                    {"--gtest_also_run_disabled_tests", "--gtest_filter=TrendChild.DISABLED_ThinsUntilKilled"});
        ASSERT_TRUE(child.waitForFinished(120000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit) << step << child.readAll().toStdString();

        Clock clock;
        clock.now = kEvening.addDays(2);
        TrendStore after;
        ASSERT_TRUE(after.open(file, true)) << after.error().toStdString();
        EXPECT_EQ(after.rows(TrendLevel::Cycle), 90) << step << ": every committed cycle is there";
        EXPECT_EQ(after.rows(TrendLevel::Minute), 0) << step << ": the half-made thinning left nothing";
        after.close();
        // Opened for writing, the thinning runs to its end.
        after.setClock(clock.fn());
        ASSERT_TRUE(after.open(file));
        EXPECT_EQ(after.rows(TrendLevel::Cycle), 0);
        EXPECT_EQ(after.rows(TrendLevel::Minute), 3);
        const TrendResult r = after.query({"ups1", {kLoad}, kEvening.addSecs(-60), kEvening.addSecs(600)});
        ASSERT_EQ(r.series[0].points.size(), 3);
        EXPECT_EQ(r.series[0].points[2].max, 89.0f);
    }
}

} // namespace
