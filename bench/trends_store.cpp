// The trend store over a simulated month: one cycle every 2 s of a three-phase UPS (the virtual
// UPS's values, read through the same decoding as the window), each cycle committed on its own and
// thinned every 60 commits as the window does, on an injected clock. Prints the write and thinning
// times, the file's size, and the page's queries for a day and a month.
// Usage: bench_trends_store [DAYS] [SECONDS_BETWEEN_CYCLES]   (default 30 2)

#include "VirtualUps.h"
#include "journal/TrendStore.h"
#include "monitor/TrendValues.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

using namespace zav;

namespace {

double mib(const QString& path) {
    return double(QFileInfo(path).size() + QFileInfo(path + "-wal").size()) / 1048576.0;
}

void timeQuery(TrendStore& store, const char* what, const QDateTime& from, const QDateTime& to, const QStringList& keys) {
    QElapsedTimer t;
    t.start();
    const TrendResult r = store.query({QStringLiteral("/dev/ttyUSB0"), keys, from, to});
    qsizetype points = 0;
    for (const TrendSeries& s : r.series) points += s.points.size();
    std::printf("query %-28s %2lld values: level %d, %7lld points in %5lld ms\n", what, qlonglong(r.series.size()),
                int(r.level), qlonglong(points), t.elapsed());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int days = argc > 1 ? std::atoi(argv[1]) : 30;
    const int every = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;
    QTemporaryDir dir;
    const QString path = dir.filePath("journal-trends.sqlite");
    const QDateTime start = QDateTime(QDate(2026, 11, 1), QTime(0, 0), Qt::UTC);
    QDateTime now = start;
    TrendStore store;
    store.setClock([&now] { return now; });
    if (!store.open(path)) {
        std::fprintf(stderr, "%s\n", qPrintable(store.error()));
        return 1;
    }
    sim::SimConfig config;
    config.upsModel = 1; // three-phase in and out
    sim::VirtualUps ups(config);
    const MeasureLayout layout{1, false, false};
    LiveStores live;
    QElapsedTimer total, thinning, sampling;
    total.start();
    qint64 thinMs = 0, sampleMs = 0, cycles = 0, thinRuns = 0, slowestThin = 0;
    for (qint64 s = 0; s < qint64(days) * 86400; s += every) {
        now = start.addSecs(s);
        sampling.start();
        ups.advanceTo(s * 1000);
        live.LiveData = ups.plant().measurements();
        live.LiveStatus = ups.plant().status();
        store.add(QStringLiteral("/dev/ttyUSB0"), now, trendSample(live, layout));
        sampleMs += sampling.elapsed();
        ++cycles;
        // flush() thins after every 60th commit: time those separately.
        const bool thins = cycles % TrendStore::kCommitsPerThinning == 0;
        thinning.start();
        store.flush();
        if (thins) {
            const qint64 took = thinning.elapsed();
            thinMs += took;
            slowestThin = std::max(slowestThin, took);
            ++thinRuns;
        }
        if (cycles % (86400 / every) == 0)
            std::fprintf(stderr, "day %lld: %.1f MiB\n", qlonglong(cycles / (86400 / every)), mib(path));
    }
    const double allMs = double(total.elapsed());
    std::printf("%lld cycles over %d days (%d s apart), each committed: %.0f ms in all, %.0f ms of it reading the "
                "virtual UPS\n",
                qlonglong(cycles), days, every, allMs, double(sampleMs));
    std::printf("write: %.3f ms per cycle (commit included, thinning apart)\n", (allMs - double(sampleMs) - double(thinMs)) / double(cycles));
    std::printf("thinning (after each 60th commit, with the commit): %lld runs, %.2f ms mean, %lld ms slowest\n",
                qlonglong(thinRuns), double(thinMs) / double(std::max<qint64>(1, thinRuns)), slowestThin);
    now = start.addDays(days);
    QElapsedTimer t;
    t.start();
    store.thin();
    std::printf("one more thinning at the end: %lld ms\n", t.elapsed());
    std::printf("rows: cycles %lld, minutes %lld, ten minutes %lld\n", store.rows(TrendLevel::Cycle),
                store.rows(TrendLevel::Minute), store.rows(TrendLevel::TenMinutes));
    std::printf("file: %.2f MiB (with WAL), %.2f MiB of pages in use\n", mib(path), double(store.file().usedBytes()) / 1048576.0);
    const QStringList three{"output.load.a", "output.load.b", "output.load.c"};
    QStringList all;
    for (const TrendChannel& c : trendChannels()) all << QString::fromLatin1(c.key);
    for (const QStringList& keys : {three, all}) {
        timeQuery(store, "last hour", now.addSecs(-3600), now, keys);
        timeQuery(store, "last day", now.addDays(-1), now, keys);
        timeQuery(store, "last week", now.addDays(-7), now, keys);
        timeQuery(store, "last month", now.addMonths(-1), now, keys);
    }
    return 0;
}
