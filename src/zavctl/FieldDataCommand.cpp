// zavctl snapshot: the field-data workbook or text file of the Save Data button, from a live UPS
// (settings, one live cycle, the history log and the S-codes).
// zavctl restore-settings: the settings of a workbook onto the connected UPS, with the type check,
// the pages' checks, the write sequence and the read-back. It asks no question (scripts run it); it
// lists each change it sends, and exits non-zero when a row of the file was refused.

#include "Commands.h"
#include "CtlCommon.h"

#include "foundation/Branding.h"
#include "records/GridCsv.h"
#include "records/RecordDownload.h"
#include "settings/FieldDataRestore.h"
#include "settings/FieldDataText.h"
#include "settings/SettingWrites.h"

#include <algorithm>
#include <cstdio>

#include <memory>
#include <utility>

using namespace zav;

namespace zavctl {

namespace {

const char* const kSnapshotUsage = "usage: zavctl snapshot --out FILE.xlsx|FILE.csv --port PATH [--lang en|chs|cht] [link options]";
const char* const kRestoreUsage = "usage: zavctl restore-settings FILE.xlsx --port PATH [link options]";

bool readLang(const QString& text, int& language) {
    const QStringList names{"chs", "en", "cht"};
    language = int(names.indexOf(text.toLower()));
    return language >= 0;
}

// Calls `ready` once the settings were read (model known) and a live cycle followed.
void whenReady(CtlLink& link, QCoreApplication& app, const std::function<void()>& ready) {
    UpsSession& s = link.scheduler();
    auto read = std::make_shared<bool>(false), done = std::make_shared<bool>(false);
    QObject::connect(&s, &UpsSession::settingsDownloaded, &app, [&s, read] {
        if (!s.autoModelPending()) *read = true;
    });
    QObject::connect(&s, &UpsSession::liveCycleEnded, &app, [&link, &s, ready, read, done] {
        if (*done || !*read) return;
        *done = true;
        if (!s.linkOk()) return link.finish(link.noAnswer(QStringLiteral("settings")));
        ready();
    });
    QObject::connect(&s, &UpsSession::modelRejected, &app, [&link, &s] {
        link.finish(fail(ExitModel, QStringLiteral("model code %1 not recognised; give --model").arg(s.live().LiveData[78])));
    });
}

} // namespace

int runSnapshot(QCoreApplication& app, const QStringList& args) {
    QCommandLineParser p;
    addLinkOptions(p, 600);
    p.addOption({"out", "The file: .xlsx (or .xls, written as .xlsx) for the workbook, .csv for the text file.", "file"});
    p.addOption({"lang", "Language of the workbook: en (default), chs or cht.", "lang", "en"});
    if (int code = parseCommandLine(p, args, kSnapshotUsage); code >= 0) return code;
    LinkOptions options;
    if (QString error = readLinkOptions(p, options); !error.isEmpty()) return fail(ExitUsage, error);
    int language = 1;
    if (!readLang(p.value("lang"), language)) return fail(ExitUsage, "bad --lang: use en, chs or cht");
    const QString out = p.value("out");
    const FieldFileKind kind = fieldFileKind(out);
    if (out.isEmpty() || kind == FieldFileKind::Other)
        return fail(ExitUsage, QStringLiteral("give --out FILE.xlsx or FILE.csv\n") + kSnapshotUsage);

    CtlLink link(app, options);
    if (int code = link.open(); code != ExitOk) return code;
    UpsSession& s = link.scheduler();
    HistoryDownload history(&s.settings().SettingData);
    SCodeDownload scodes;
    history.setLanguage(language);
    scodes.setLanguage(language);
    s.setRecordJob(1, &history);
    s.setRecordJob(2, &scodes);

    auto write = [&] {
        FieldSnapshot snap;
        snap.takeLive(s.live());
        snap.SettingData = s.settings().SettingData;
        copyGrid(history.grid(), snap.history);
        copyGrid(scodes.grid(), snap.scodes);
        snap.version = brandingVersionLabel();
        const QString error = kind == FieldFileKind::Workbook
                                  ? FieldDataWorkbook::save(FieldDataWorkbook::xlsxFileName(out), snap, language, s.upsModel())
                                  : FieldDataText::save(out, snap);
        if (!error.isEmpty()) return link.finish(fail(ExitFailed, error));
        const auto written = [](const RecordDownload& job) { return std::min(job.recordsRead(), job.recordsThatFit()); };
        note(QStringLiteral("written: %1 (%2 history records, %3 S-code records)")
                 .arg(kind == FieldFileKind::Workbook ? FieldDataWorkbook::xlsxFileName(out) : out)
                 .arg(written(history))
                 .arg(written(scodes)));
        // The logs have a fixed number of rows: records past them were read but have no row. The
        // snapshot keeps what fits, and the run does not pass for a whole one.
        QStringList cut;
        for (const auto& [job, name] : {std::pair<const RecordDownload*, const char*>{&history, "history"},
                                        std::pair<const RecordDownload*, const char*>{&scodes, "S-code"}})
            if (job->recordsRead() > job->recordsThatFit())
                cut << QStringLiteral("the UPS holds %1 %2 records; only the first %3 fit the log and were written")
                           .arg(job->recordsRead())
                           .arg(QLatin1String(name))
                           .arg(job->recordsThatFit());
        if (!cut.isEmpty()) return link.finish(fail(ExitFailed, "snapshot: " + cut.join("; ")));
        link.finish(ExitOk);
    };
    whenReady(link, app, [&] {
        history.start();
        s.setActivity(history.activity());
    });
    QObject::connect(&history, &RecordDownload::finished, &app, [&] {
        scodes.start();
        s.setActivity(scodes.activity());
    });
    QObject::connect(&scodes, &RecordDownload::finished, &app, write);
    // A log that stops coming in leaves nothing behind: a snapshot is written whole or not at all.
    auto stalled = [&](const RecordDownload& job, const char* name) {
        if (!job.running() || job.unanswered() <= kStallReplies) return false;
        link.finish(fail(ExitNoAnswer, QStringLiteral("snapshot: the UPS stopped answering during the %1 download "
                                                      "(record %2 of %3); nothing was written")
                                           .arg(QLatin1String(name))
                                           .arg(job.index())
                                           .arg(job.total())));
        return true;
    };
    QObject::connect(&s, &UpsSession::linkStateChanged, &app, [&] {
        if (!stalled(history, "history")) stalled(scodes, "S-code");
    });
    const int code = link.run();
    s.setRecordJob(1, nullptr);
    s.setRecordJob(2, nullptr);
    return code;
}

int runRestoreSettings(QCoreApplication& app, const QStringList& args) {
    QCommandLineParser p;
    addLinkOptions(p);
    if (int code = parseCommandLine(p, args, kRestoreUsage); code >= 0) return code;
    LinkOptions options;
    if (QString error = readLinkOptions(p, options); !error.isEmpty()) return fail(ExitUsage, error);
    if (p.positionalArguments().size() != 1) return fail(ExitUsage, kRestoreUsage);
    const QString path = p.positionalArguments().first();
    // Read before the port is touched; recognised by its content, whatever its name.
    const WorkbookCells book = FieldDataWorkbook::read(path);
    if (!book.fatal.isEmpty()) return fail(ExitUsage, book.fatal);

    CtlLink link(app, options);
    if (int code = link.open(); code != ExitOk) return code;
    UpsSession& s = link.scheduler();
    TransferPlan plan;
    bool writing = false;
    whenReady(link, app, [&] {
        const RegisterStore& data = s.settings().SettingData;
        plan = planSettingsTransfer(FieldDataWorkbook::settingsOf(book, data), s.live().LiveData[78], data,
                                    s.upsModel(), 1, QDateTime::currentDateTime());
        for (const QString& row : plan.badRows) note(QStringLiteral("%1: %2").arg(QLatin1String(FieldMsg::dataError), row));
        for (const QString& reg : plan.notCopied) note(QStringLiteral("not copied (no page sets it): %1").arg(reg));
        if (!plan.ok()) return link.finish(fail(ExitRefused, plan.refusal));
        // A file that differs from the UPS in nothing but refused rows and registers no page sets
        // would change nothing at all: that is a failure, not a success.
        if (plan.changes == 0 && (!plan.badRows.isEmpty() || !plan.notCopied.isEmpty()))
            return link.finish(fail(ExitRefused, QStringLiteral("nothing of the file can be applied; nothing was written")));
        for (const SettingChange& c : transferChanges(plan.entries, data, s.upsModel(), 1))
            note(QStringLiteral("change: %1 %2: %3 -> %4").arg(c.reg).arg(c.caption).arg(c.now).arg(c.next));
        writing = s.startWriteSequence(plan.entries);
        if (!writing) link.finish(link.noAnswer(QStringLiteral("settings write")));
    });
    QObject::connect(&s, &UpsSession::settingsDownloaded, &app, [&] {
        if (!writing || s.writeJob().state() != JobIdle) return;
        writing = false;
        const RegisterStore& data = s.settings().SettingData;
        const QVector<WriteResult> results = s.writeJob().results();
        int sent = 0;
        for (const WriteResult& r : results) {
            if (r.outcome == WriteOutcome::Unchanged) continue;
            ++sent;
            std::printf("%d,%d,%s\n", r.reg, r.value, r.outcome == WriteOutcome::Accepted ? "written" : "not written");
        }
        const QVector<WriteEntry> missing = entriesNotHeld(unconfirmedEntries(plan.entries, results), data);
        note(QStringLiteral("%1 registers sent, %2 not held by the UPS").arg(sent).arg(missing.size()));
        if (!missing.isEmpty()) note(notWrittenText(missing, s.upsModel(), 1, data));
        // A row of the file that was refused is a failure even when everything else was written.
        if (!plan.badRows.isEmpty())
            note(QStringLiteral("%1 rows of the file were refused; their registers were left as the UPS holds them")
                     .arg(plan.badRows.size()));
        link.finish(missing.isEmpty() && plan.badRows.isEmpty() ? ExitOk : ExitRefused);
    });
    return link.run();
}

} // namespace zavctl
