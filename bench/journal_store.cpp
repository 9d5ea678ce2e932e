// The event journal over a simulated month: an event every 30 s (a very busy UPS: alarms coming
// and going, commands, link drops), committed in one-second batches as the window does, on an
// injected clock. Prints the commit time, the file's size, the page's queries and the pruning.
// Usage: bench_journal_store [DAYS] [SECONDS_BETWEEN_EVENTS]   (default 30 30)

#include "journal/EventJournal.h"
#include "journal/JournalView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

using namespace zav;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int days = argc > 1 ? std::atoi(argv[1]) : 30;
    const int every = argc > 2 ? std::max(1, std::atoi(argv[2])) : 30;
    QTemporaryDir dir;
    const QString path = dir.filePath("journal.sqlite");
    QDateTime now = QDateTime(QDate(2026, 11, 1), QTime(0, 0), Qt::UTC);
    const QDateTime start = now;
    EventJournal journal;
    journal.setClock([&now] { return now; });
    if (!journal.open(path)) {
        std::fprintf(stderr, "%s\n", qPrintable(journal.error()));
        return 1;
    }
    const EventType types[] = {EventType::AlarmRaised, EventType::AlarmCleared, EventType::PowerFail, EventType::PowerBack,
                               EventType::Command, EventType::LinkLost, EventType::LinkUp};
    QElapsedTimer t;
    t.start();
    qint64 count = 0;
    for (qint64 s = 0; s < qint64(days) * 86400; s += every) {
        UpsEvent e;
        e.type = types[count % 7];
        e.time = start.addSecs(s);
        e.ups = QStringLiteral("/dev/ttyUSB0");
        e.text = eventTitle(e.type, 1) + QStringLiteral(": Byp Module Fail 3#");
        e.details = QStringLiteral("event=7 unit=3");
        journal.add(e);
        journal.flush(); // one batch a second at most: here one per event, the costliest case
        ++count;
    }
    const double writeMs = double(t.elapsed());
    now = start.addDays(days);
    std::printf("%lld events over %d days: written in %.0f ms (%.3f ms per committed batch)\n", count, days, writeMs,
                writeMs / double(count));
    std::printf("file: %.2f MiB (with WAL %.2f MiB)\n", double(QFileInfo(path).size()) / 1048576.0,
                double(QFileInfo(path).size() + QFileInfo(path + "-wal").size()) / 1048576.0);
    JournalFilter f;
    f.range = JournalRange::Month;
    t.restart();
    const QVector<UpsEvent> page = journal.query(journalQuery(f, now));
    std::printf("page query, last month, newest %d: %lld rows in %lld ms\n", kJournalPageRows, qlonglong(page.size()),
                t.elapsed());
    f.search = QStringLiteral("failure");
    t.restart();
    const QVector<UpsEvent> found = journal.query(journalQuery(f, now));
    std::printf("page query with text search: %lld rows in %lld ms\n", qlonglong(found.size()), t.elapsed());
    JournalQuery all;
    t.restart();
    const qlonglong everything = journal.query(all).size();
    std::printf("whole journal read (export): %lld rows in %lld ms\n", everything, t.elapsed());
    const int keep = std::max(1, days / 4);
    journal.setRetention({keep, 50});
    t.restart();
    journal.prune();
    std::printf("prune to %d days: %lld ms, %lld rows left, file %.2f MiB\n", keep, t.elapsed(), qlonglong(journal.query(all).size()),
                double(QFileInfo(path).size()) / 1048576.0);
    QSqlQuery q(journal.file().db());
    for (const char* pragma : {"auto_vacuum", "freelist_count", "page_count", "journal_mode"}) {
        q.exec(QStringLiteral("PRAGMA %1").arg(QLatin1String(pragma)));
        if (q.next()) std::printf("%s = %s\n", pragma, qPrintable(q.value(0).toString()));
    }
    return 0;
}
