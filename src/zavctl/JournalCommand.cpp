// zavctl journal: prints the event journal of the window (or of zavd with --db), newest first, as
// JSON or CSV. A journal that cannot be read is a failure (exit 6), never an empty success.

#include "CtlCommon.h"
#include "Commands.h"
#include "journal/EventJournal.h"
#include "journal/JournalConfig.h"
#include "journal/JournalFormat.h"

#include <cstdio>

using namespace zav;

namespace zavctl {

namespace {

const char* kJournalUsage =
    "usage: zavctl journal [--db PATH] [--since TIME] [--until TIME] [--kind K]... [--search TEXT]\n"
    "                      [--limit N] [--format json|csv]\n"
    "  TIME: 2026-12-11, \"2026-12-11 08:00\", 2026-12-11T08:00:00Z, or back from now: 30m, 2h, 7d, 1w\n"
    "  K: link, power, alarm, command, protection, or an event name (power-fail, alarm, ...)\n";

} // namespace

int runJournal(QCoreApplication& app, const QStringList& args) {
    Q_UNUSED(app);
    QCommandLineParser p;
    p.addOption({"db", "The journal database (default: the window's, in the user's data folder).", "path"});
    p.addOption({"since", "Only events from this time on.", "time"});
    p.addOption({"until", "Only events up to this time.", "time"});
    p.addOption({"kind", "Only events of this kind or name (may be given more than once).", "kind"});
    p.addOption({"search", "Only events whose text holds this.", "text"});
    p.addOption({"limit", "At most this many events (the newest).", "n"});
    p.addOption({"format", "json (default) or csv.", "format", "json"});
    if (int code = parseCommandLine(p, args, kJournalUsage); code >= 0) return code;
    if (!p.positionalArguments().isEmpty()) return fail(ExitUsage, kJournalUsage);

    JournalQuery q;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const char* name : {"since", "until"}) {
        if (!p.isSet(name)) continue;
        const std::optional<QDateTime> t = parseJournalTime(p.value(name), now);
        if (!t) return fail(ExitUsage, QStringLiteral("bad --%1 '%2'\n%3").arg(QLatin1String(name), p.value(name), QLatin1String(kJournalUsage)));
        (qstrcmp(name, "since") == 0 ? q.since : q.until) = *t;
    }
    for (const QString& k : p.values("kind")) {
        if (!eventKinds().contains(k) && eventTypeFromName(k) == EventType::Count)
            return fail(ExitUsage, QStringLiteral("unknown --kind '%1'\n%2").arg(k, QLatin1String(kJournalUsage)));
        q.kinds << k;
    }
    q.search = p.value("search");
    if (p.isSet("limit")) {
        bool ok = false;
        q.limit = p.value("limit").toInt(&ok);
        if (!ok || q.limit < 1) return fail(ExitUsage, "bad --limit: give a whole number from 1");
    }
    const QString format = p.value("format");
    if (format != "json" && format != "csv") return fail(ExitUsage, "bad --format: use json or csv");

    const QString path = p.isSet("db") ? p.value("db") : defaultWindowJournalPath();
    EventJournal journal;
    if (!journal.open(path, true)) return fail(ExitFailed, journal.error());
    const QVector<UpsEvent> events = journal.query(q);
    if (!journal.queryError().isEmpty()) return fail(ExitFailed, journal.queryError());
    const QByteArray out = format == "csv" ? journalCsv(events, false) : journalJson(events);
    if (std::fwrite(out.constData(), 1, size_t(out.size()), stdout) != size_t(out.size()) || std::fflush(stdout) != 0)
        return fail(ExitFailed, "stdout could not be written");
    return ExitOk;
}

} // namespace zavctl
