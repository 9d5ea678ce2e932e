// zavctl trends: prints the trends of the window (or of zavd with --db) for a time range, at the
// finest level kept for it, as JSON or CSV. A database that cannot be read is a failure (exit 6),
// never an empty success.

#include "CtlCommon.h"
#include "Commands.h"
#include "journal/JournalConfig.h"
#include "journal/JournalFormat.h"
#include "journal/TrendFormat.h"
#include "journal/TrendStore.h"
#include "monitor/TrendValues.h"

#include <cstdio>

using namespace zav;

namespace zavctl {

namespace {

const char* kTrendsUsage =
    "usage: zavctl trends --since TIME [--until TIME] [--values V,V,...] [--ups NAME] [--db PATH]\n"
    "                     [--format json|csv]\n"
    "  TIME: 2026-12-11, \"2026-12-11 08:00\", 2026-12-11T08:00:00Z, or back from now: 30m, 2h, 7d, 1w\n"
    "  V: input.voltage.a, bypass.current.b, output.frequency.c, output.load.a, battery.voltage.pos,\n"
    "     battery.current.neg, battery.charge, battery.runtime, temperature.battery, ...\n"
    "     (--values list prints them all)\n"
    "  PATH: the trends file (default: the window's, beside its journal; zavd's is\n"
    "        /var/lib/zav/journal-trends.sqlite)\n";

} // namespace

int runTrends(QCoreApplication& app, const QStringList& args) {
    Q_UNUSED(app);
    QCommandLineParser p;
    p.addOption({"since", "Only values from this time on.", "time"});
    p.addOption({"until", "Only values up to this time.", "time"});
    p.addOption({"values", "The values, by name, separated by commas (default: all); 'list' names them.", "names"});
    p.addOption({"ups", "The UPS (needed when the file holds several).", "name"});
    p.addOption({"db", "The trends database (default: the window's).", "path"});
    p.addOption({"format", "json (default) or csv.", "format", "json"});
    if (int code = parseCommandLine(p, args, kTrendsUsage); code >= 0) return code;
    if (!p.positionalArguments().isEmpty()) return fail(ExitUsage, kTrendsUsage);

    if (p.value("values") == "list") {
        QByteArray out;
        for (const TrendChannel& c : trendChannels())
            out += QByteArray(c.key) + '\t' + trendChannelCaption(c, 1).toUtf8() + '\n';
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        return std::fflush(stdout) == 0 ? ExitOk : ExitFailed;
    }
    TrendQuery q;
    if (!p.isSet("since")) return fail(ExitUsage, QStringLiteral("--since is needed\n%1").arg(QLatin1String(kTrendsUsage)));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const char* name : {"since", "until"}) {
        if (!p.isSet(name)) continue;
        const std::optional<QDateTime> t = parseJournalTime(p.value(name), now);
        if (!t) return fail(ExitUsage, QStringLiteral("bad --%1 '%2'\n%3").arg(QLatin1String(name), p.value(name), QLatin1String(kTrendsUsage)));
        (qstrcmp(name, "since") == 0 ? q.from : q.until) = *t;
    }
    if (q.until.isValid() && q.until < q.from) return fail(ExitUsage, "bad range: --until is before --since");
    for (const QString& v : p.value("values").split(u',', Qt::SkipEmptyParts)) {
        if (trendChannelIndex(v.trimmed()) < 0)
            return fail(ExitUsage, QStringLiteral("unknown value '%1' (zavctl trends --values list names them)").arg(v));
        q.keys << v.trimmed();
    }
    const QString format = p.value("format");
    if (format != "json" && format != "csv") return fail(ExitUsage, "bad --format: use json or csv");

    const QString path = p.isSet("db") ? p.value("db") : trendDatabasePath(defaultWindowJournalPath());
    TrendStore store;
    if (!store.open(path, true)) return fail(ExitFailed, store.error());
    const QStringList upses = store.upses();
    if (p.isSet("ups")) q.ups = p.value("ups");
    else if (upses.size() > 1) return fail(ExitUsage, QStringLiteral("the file holds several UPSes: give --ups (%1)").arg(upses.join(", ")));
    else if (!upses.isEmpty()) q.ups = upses.first();
    const TrendResult r = store.query(q);
    if (!r.error.isEmpty()) return fail(ExitFailed, r.error);
    const QByteArray out = format == "csv" ? trendCsv(r, false) : trendJson(q.ups, r);
    if (std::fwrite(out.constData(), 1, size_t(out.size()), stdout) != size_t(out.size()) || std::fflush(stdout) != 0)
        return fail(ExitFailed, "stdout could not be written");
    return ExitOk;
}

} // namespace zavctl
