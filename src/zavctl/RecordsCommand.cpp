// zavctl history / scodes: download the UPS's history log or S-codes with the same jobs as the
// record pages and write them as the pages' Save does (CSV, GBK) or as JSON, to stdout or a file.
// zavctl analyze: the S-code analysis of the lines given, as text or JSON.

#include "Commands.h"
#include "CtlCommon.h"
#include "records/GridCsv.h"
#include "records/RecordDecode.h"
#include "records/RecordDownload.h"
#include "records/SCodeAnalysis.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace zav;

namespace zavctl {

namespace {

const char* kHistoryUsage = "usage: zavctl history --port PATH [--baud 9600|...|auto] [--proto ascii|rtu] "
                            "[--addr N] [--model auto|0..8]\n"
                            "                      [--lang en|chs|cht] [--json] [--out FILE] [--timeout S]\n";
const char* kSCodesUsage = "usage: zavctl scodes --port PATH [--baud 9600|...|auto] [--proto ascii|rtu] "
                           "[--addr N] [--model auto|0..8]\n"
                           "                     [--lang en|chs|cht] [--json] [--out FILE] [--timeout S]\n";
const char* kAnalyzeUsage = "usage: zavctl analyze [--json] [--lang en|chs|cht] [--model 0..8] LINE...\n"
                            "  e.g. zavctl analyze \"S0: 1000-0000-0000-0000\" \"A0: 0100-0000-0000-0000\"\n";

// Replies in a row that brought no record before the download is given up as a failed link.
// A whole log at the slowest rate takes long: 900 records, each with its full reply wait.
constexpr int kDownloadTimeoutSeconds = 3600;

bool readLanguage(const QString& text, int& out) {
    const QString t = text.toLower();
    if (t == "en")
        out = 1;
    else if (t == "chs" || t == "cn")
        out = 0;
    else if (t == "cht")
        out = 2;
    else
        return false;
    return true;
}

QByteArray compactJson(const QJsonArray& array) {
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QJsonArray historyJson(const TextGrid& grid, int records) {
    QJsonArray out;
    const int last = std::min(records, grid.rows() - 1);
    for (int n = 1; n <= last; ++n) {
        out.append(QJsonObject{{"number", grid.at(0, n).toInt()},
                               {"code", grid.at(1, n).toInt()},
                               {"event", grid.at(2, n)},
                               {"action", grid.at(3, n)},
                               {"time", grid.at(4, n)}});
    }
    return out;
}

QJsonArray scodesJson(const TextGrid& grid, int records) {
    QJsonArray out;
    for (int n = 1; n <= records; ++n) {
        const int base = kSCodeRowsPerRecord * (n - 1);
        if (base >= grid.rows()) break;
        QJsonObject record{{"title", grid.at(0, base)}};
        for (int g = 0; g < 8 && base + 1 + g < grid.rows(); ++g) {
            const QString row = grid.at(0, base + 1 + g);
            record.insert(QLatin1String(kSCodeGroupKeys[size_t(g)]), row.mid(4)); // after "S0: "
        }
        out.append(record);
    }
    return out;
}

struct DownloadKind {
    const char* name; // for messages
    const char* usage;
    int priority;
    bool (*offered)(int upsModel);
};

const DownloadKind kHistory = {"history", kHistoryUsage, 1, [](int m) { return m >= 0 && m <= 7; }};
const DownloadKind kSCodes = {"scodes", kSCodesUsage, 2, [](int m) { return m >= 0 && m <= 4; }};

int runDownload(QCoreApplication& app, const QStringList& args, const DownloadKind& kind) {
    QCommandLineParser p;
    addLinkOptions(p, kDownloadTimeoutSeconds);
    p.addOption({"lang", "Language of the texts: en (default), chs or cht.", "lang", "en"});
    p.addOption({"json", "Write JSON (one array of records) instead of the CSV file."});
    p.addOption({"out", "Write to FILE instead of stdout (whole or not at all).", "file"});
    if (int code = parseCommandLine(p, args, kind.usage); code >= 0) return code;
    if (!p.positionalArguments().isEmpty())
        return fail(ExitUsage, "unexpected argument: " + p.positionalArguments().first() + "\n" + kind.usage);
    LinkOptions options;
    if (QString error = readLinkOptions(p, options); !error.isEmpty())
        return fail(ExitUsage, error + "\n" + kind.usage);
    int language = 1;
    if (!readLanguage(p.value("lang"), language))
        return fail(ExitUsage, "bad --lang '" + p.value("lang") + "': use en, chs or cht");
    const bool json = p.isSet("json");
    const QString outPath = p.value("out");

    CtlLink link(app, options);
    if (int code = link.open(); code != ExitOk) return code;
    UpsSession& scheduler = link.scheduler();
    std::unique_ptr<RecordDownload> job;
    if (kind.priority == 1)
        job = std::make_unique<HistoryDownload>(&scheduler.settings().SettingData);
    else
        job = std::make_unique<SCodeDownload>();
    job->setLanguage(language);
    scheduler.setRecordJob(kind.priority, job.get());
    const bool showProgress = isatty(fileno(stderr));

    // Whatever was read is written, also when the link fails part-way.
    auto writeOut = [&]() -> bool {
        const QByteArray bytes =
            json ? compactJson(kind.priority == 1 ? historyJson(job->grid(), job->recordsRead())
                                                  : scodesJson(job->grid(), job->recordsRead())) +
                       '\n'
                 : gridCsvBytes(job->grid());
        if (outPath.isEmpty()) {
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
            std::fflush(stdout);
            return true;
        }
        if (json) {
            QFile file(outPath);
            if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) return true;
            note(QStringLiteral("Cannot create file \"%1\". %2").arg(outPath, file.errorString()));
            return false;
        }
        const QString error = saveGridCsv(outPath, job->grid());
        if (!error.isEmpty()) note(error);
        return error.isEmpty();
    };
    auto howFar = [&] {
        return QStringLiteral("%1 records read (the UPS reported %2)")
            .arg(job->recordsRead())
            .arg(job->total());
    };
    auto failPartWay = [&](const QString& why) {
        if (showProgress) std::fputc('\n', stderr);
        const QString message =
            QStringLiteral("%1: %2 after %3").arg(QLatin1String(kind.name), why, howFar());
        job->cancel();
        return fail(ExitNoAnswer, message + (writeOut() ? QStringLiteral("; what was read is written")
                                                        : QStringLiteral("; nothing could be written")));
    };

    bool started = false;
    auto startWhenReady = [&] {
        if (started || scheduler.autoModelPending()) return;
        if (!kind.offered(scheduler.upsModel())) {
            link.finish(fail(ExitRefused, QStringLiteral("%1: model %2 keeps no such log")
                                              .arg(QLatin1String(kind.name))
                                              .arg(scheduler.upsModel())));
            return;
        }
        started = true;
        job->start();
        scheduler.setActivity(job->activity());
    };
    // The settings come first: system code 1 says where a unit number goes in a history text.
    QObject::connect(&scheduler, &UpsSession::settingsDownloaded, &app, startWhenReady);
    QObject::connect(&scheduler, &UpsSession::modelRejected, &app, [&] {
        link.finish(fail(ExitModel, linkMessageText(LinkMessage::SelectModel, 1) + " (give --model)"));
    });
    QObject::connect(job.get(), &RecordDownload::progressChanged, &app, [&](int percent) {
        if (showProgress && started)
            std::fprintf(stderr, "\r%s: record %d of %d (%d %%)  ", kind.name, job->index(), job->total(),
                         percent);
    });
    QObject::connect(job.get(), &RecordDownload::finished, &app, [&] {
        if (showProgress) std::fputc('\n', stderr);
        const bool written = writeOut();
        // The log holds a fixed number of rows: records past them were read but have no row. What
        // fits is written, and the run does not pass for a whole log.
        if (job->recordsRead() > job->recordsThatFit())
            return link.finish(fail(ExitFailed, QStringLiteral("%1: the UPS holds %2 records; only the first %3 fit "
                                                               "the log and were written")
                                                    .arg(QLatin1String(kind.name))
                                                    .arg(job->recordsRead())
                                                    .arg(job->recordsThatFit())));
        link.finish(written ? ExitOk : ExitFailed);
    });
    QObject::connect(&scheduler, &UpsSession::linkStateChanged, &app, [&] {
        if (started && job->running() && job->unanswered() > kStallReplies)
            link.finish(failPartWay(QStringLiteral("the UPS stopped answering")));
    });
    link.onTimeout = [&] {
        if (!started) return link.noAnswer(QLatin1String(kind.name));
        return failPartWay(QStringLiteral("not finished within %1 s").arg(options.timeoutSeconds));
    };
    return link.run();
}

const char* severityName(SCodeCellColour colour) {
    switch (colour) {
    case SCodeCellColour::Unknown:
        return "unknown";
    case SCodeCellColour::Alarm:
        return "alarm";
    case SCodeCellColour::Undefined:
        return "undefined";
    case SCodeCellColour::Reserved:
        return "reserved";
    case SCodeCellColour::Normal:
        break;
    }
    return "normal";
}

} // namespace

int runHistory(QCoreApplication& app, const QStringList& args) {
    return runDownload(app, args, kHistory);
}

int runSCodes(QCoreApplication& app, const QStringList& args) {
    return runDownload(app, args, kSCodes);
}

int runAnalyze(QCoreApplication&, const QStringList& args) {
    QCommandLineParser p;
    p.addOption({"json", "Print JSON instead of text."});
    p.addOption({"lang", "Language of the texts: en (default), chs or cht.", "lang", "en"});
    p.addOption({"model", "UPS model 0..8 (model 0 names two items differently; default 1).", "n", "1"});
    if (int code = parseCommandLine(p, args, kAnalyzeUsage); code >= 0) return code;
    int language = 1;
    if (!readLanguage(p.value("lang"), language))
        return fail(ExitUsage, "bad --lang '" + p.value("lang") + "': use en, chs or cht");
    bool ok = false;
    const int model = p.value("model").toInt(&ok);
    if (!ok || model < 0 || model > 8) return fail(ExitUsage, "bad --model: use 0..8");
    if (p.positionalArguments().isEmpty())
        return fail(ExitUsage, QString("no S-code lines given\n") + kAnalyzeUsage);

    const SCodeAnalysis analysis = analyzeSCode(p.positionalArguments().join('\n'));
    if (analysis.result != SCodeAnalysis::Result::Ok)
        return fail(ExitUsage, scodeAnalysisMessage(analysis, language));

    QJsonArray rows;
    QByteArray text;
    for (int r = 0; r < kSCodeItemRows; ++r) {
        const QString item = scodeItemName(r, model, language);
        const QString state = scodeStateText(analysis, r, model, language);
        const char* severity = severityName(scodeCellColour(state));
        rows.append(QJsonObject{{"row", r + 1},
                                {"group", scodeGroupKey(r)},
                                {"word", scodeWordNumber(r).toInt()},
                                {"item", item},
                                {"state", state},
                                {"severity", severity}});
        text += QStringLiteral("%1  %2 %3  %4  %5  %6\n")
                    .arg(r + 1, 3)
                    .arg(scodeGroupKey(r), scodeWordNumber(r))
                    .arg(item, -40)
                    .arg(state, -24)
                    .arg(QLatin1String(severity))
                    .toUtf8();
    }
    const QByteArray out = p.isSet("json") ? compactJson(rows) + '\n' : text;
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return ExitOk;
}

} // namespace zavctl
