// Download speed against wire time: the real zavctl fetches the history log, the S-codes and a
// field-data snapshot (settings, a live cycle and both full logs) from the virtual UPS with its pty
// paced at the line rate, at 9600 and 38400 baud, RTU and ASCII. For each run: the time zavctl
// took from start to exit, the wire time of the bytes that crossed (10 bits a byte at the line's
// rate, both ways) and their ratio. A ratio near 1 means the tool keeps the line busy; the rest
// is time the line sat idle between frames. The time includes zavctl's start and connection, which
// the wire time also counts (its settings download).
//
//   bench_link_speed [--quick] [--timing classic|fast] [ZAVCTL]
//
// ZAVCTL defaults to $ZAV_BINARY_DIR/zavctl, else the zavctl beside this program. The logs hold
// what zavctl's record grid takes, 999 history events and 111 S-codes (a fuller log makes zavctl
// exit 6 after reading it whole); --quick fills them with 40 and 10 (about a minute a timing).
// Both link timings are run when zavctl has --timing (or the one named); otherwise its one timing.

#include "SimulatorThread.h"
#include "records/RecordDecode.h"
#include "records/RecordTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace zav;
using namespace zav::sim;

namespace {

constexpr int kRunBoundMs = 3600 * 1000; // a run that takes longer has hung

struct Job {
    const char* name;
    const char* command;
    const char* outFile;
    bool json; // the output is a JSON array of the records read
};

const Job kJobs[] = {
    {"history", "history", "history.json", true},
    {"scodes", "scodes", "scodes.json", true},
    {"snapshot", "snapshot", "snapshot.xlsx", false},
};

struct Run {
    int status = -1;
    double seconds = 0;
    double wireSeconds = 0;
    int records = -1; // JSON jobs only
    QString error;
};

QString zavctlPath(const QStringList& args) {
    if (!args.isEmpty()) return args.first();
    const QString dir = qEnvironmentVariable("ZAV_BINARY_DIR");
    if (!dir.isEmpty()) return QDir(dir).filePath("zavctl");
    return QDir(QCoreApplication::applicationDirPath()).filePath("zavctl");
}

// zavctl's link options name --timing once it can pace its polling otherwise.
bool zavctlHasTiming(const QString& zavctl) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(zavctl, {"history", "--help"});
    if (!p.waitForFinished(30'000)) return false;
    return p.readAll().contains("--timing");
}

Run runOnce(const QString& zavctl, const Job& job, int baud, Protocol protocol, const QString& timing,
            int historyEvents, int scodes) {
    Run r;
    SimConfig config;
    config.upsModel = 1;
    config.baud = baud;
    config.protocol = protocol;
    config.historyEvents = historyEvents;
    config.scodeRecords = scodes;
    SimulatorThread sim(config);
    sim.setPaced(true);
    QString error;
    if (!sim.start(&error)) {
        r.error = error;
        return r;
    }
    QTemporaryDir dir;
    const QString out = dir.filePath(job.outFile);
    QStringList args{job.command, "--port", sim.devicePath(), "--baud", QString::number(baud),
                     "--proto", protocol == Protocol::Rtu ? "rtu" : "ascii", "--model", "1", "--out", out};
    if (job.json) args << "--json";
    if (!timing.isEmpty()) args << "--timing" << timing;

    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(zavctl, args);
    if (!p.waitForStarted()) {
        r.error = "cannot start " + zavctl;
        return r;
    }
    if (!p.waitForFinished(kRunBoundMs)) {
        p.kill();
        p.waitForFinished();
        r.error = "no end in an hour";
    }
    r.seconds = double(clock.nsecsElapsed()) / 1e9;
    r.wireSeconds = sim.counts().wireMs / 1000.0;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    if (r.status != 0) r.error += QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    sim.stop();
    if (job.json) {
        QFile f(out);
        if (f.open(QIODevice::ReadOnly)) r.records = int(QJsonDocument::fromJson(f.readAll()).array().size());
    }
    return r;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool quick = args.removeAll("--quick") > 0;
    QString onlyTiming;
    if (const qsizetype at = args.indexOf("--timing"); at >= 0 && at + 1 < args.size()) {
        onlyTiming = args.takeAt(at + 1);
        args.removeAt(at);
    }
    const int historyEvents = quick ? 40 : kRecordGridRows - 1;                      // row 0: titles
    const int scodes = quick ? 10 : kRecordGridRows / kSCodeRowsPerRecord;
    const QString zavctl = zavctlPath(args);
    if (!QFileInfo(zavctl).isExecutable()) {
        std::fprintf(stderr, "bench_link_speed: no zavctl at %s (give its path or set ZAV_BINARY_DIR)\n",
                     qPrintable(zavctl));
        return 2;
    }
    QStringList timings{QString()};
    if (zavctlHasTiming(zavctl))
        timings = onlyTiming.isEmpty() ? QStringList{"classic", "fast"} : QStringList{onlyTiming};
    else
        std::printf("The fast timing is not available: this zavctl has no --timing; its one timing is run.\n");

    std::printf("zavctl %s, paced virtual UPS model 1, %d history events, %d S-codes\n", qPrintable(zavctl),
                historyEvents, scodes);
    std::printf("%-9s %-6s %-6s %-8s %9s %9s %6s %8s\n", "job", "baud", "proto", "timing", "time", "wire", "ratio",
                "records");
    int failures = 0;
    for (const QString& timing : timings) {
        for (int baud : {9600, 38400}) {
            for (Protocol protocol : {Protocol::Rtu, Protocol::Ascii}) {
                for (const Job& job : kJobs) {
                    const Run r = runOnce(zavctl, job, baud, protocol, timing, historyEvents, scodes);
                    const QString records = r.records >= 0 ? QString::number(r.records) : QString("-");
                    std::printf("%-9s %-6d %-6s %-8s %7.1f s %7.1f s %6.2f %8s", job.name, baud,
                                protocol == Protocol::Rtu ? "RTU" : "ASCII",
                                timing.isEmpty() ? "current" : qPrintable(timing), r.seconds, r.wireSeconds,
                                r.wireSeconds > 0 ? r.seconds / r.wireSeconds : 0.0, qPrintable(records));
                    if (r.status != 0 || !r.error.isEmpty()) {
                        ++failures;
                        std::printf("  FAILED (exit %d) %s", r.status, qPrintable(r.error));
                    }
                    std::printf("\n");
                    std::fflush(stdout);
                }
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
