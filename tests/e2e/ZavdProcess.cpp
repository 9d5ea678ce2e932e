#include "ZavdProcess.h"

#include <signal.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace zav::sim::test {

namespace {
const QString kZavd = QStringLiteral(ZAV_BINARY_DIR "/zavd");
const QString kZavctl = QStringLiteral(ZAV_BINARY_DIR "/zavctl");
} // namespace

ZavdProcess::~ZavdProcess() {
    stop();
}

void ZavdProcess::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    process_.waitForFinished(10'000);
}

bool ZavdProcess::start(const QString& configPath, const QByteArray& config, QString* why) {
    QFile f(configPath);
    if (!f.open(QIODevice::WriteOnly) || f.write(config) != config.size()) {
        *why = "cannot write " + configPath;
        return false;
    }
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    process_.start(kZavd, {"--config", configPath, "--listen-port", "0", "--dry-run"});
    if (!process_.waitForStarted(kZavdWaitMs) || !waitLog("listening on 127.0.0.1 port ")) {
        *why = "zavd does not listen: " + QString::fromUtf8(log_);
        return false;
    }
    port_ = QRegularExpression("listening on 127.0.0.1 port (\\d+)").match(QString(log_)).captured(1).toInt();
    return port_ > 0;
}

bool ZavdProcess::waitLog(const QByteArray& needle, int ms) {
    QDeadlineTimer deadline(ms);
    while (!log_.contains(needle)) {
        if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) return false;
        process_.waitForReadyRead(100);
        log_ += process_.readAllStandardError();
    }
    return true;
}

QString ZavdProcess::target(const QString& upsName) const {
    return QStringLiteral("%1@127.0.0.1:%2").arg(upsName).arg(port_);
}

QByteArrayList ZavdProcess::talk(const QByteArray& request, int lines) const {
    QTcpSocket s;
    s.connectToHost("127.0.0.1", quint16(port_));
    if (!s.waitForConnected(5000)) return {};
    s.write(request + '\n');
    QByteArrayList out;
    QDeadlineTimer deadline(5000);
    while (out.size() < lines && !deadline.hasExpired()) {
        if (!s.canReadLine()) s.waitForReadyRead(100);
        while (s.canReadLine() && out.size() < lines) out << s.readLine().trimmed();
    }
    return out;
}

int runTool(const QString& program, const QStringList& args, QByteArray* out) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool ended = p.waitForFinished(kZavdWaitMs);
    *out = p.readAll();
    return ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

CtlRun runZavctl(const QStringList& args) {
    QProcess p;
    p.start(kZavctl, args);
    CtlRun r;
    if (!p.waitForFinished(kZavdWaitMs)) return r;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

bool Upsmon::start(const QTemporaryDir& dir, const QStringList& targets, int hostSync) {
    flag = dir.filePath("upsmon-shutdown");
    QString monitors;
    for (const QString& t : targets) monitors += QStringLiteral("MONITOR %1 1 mon pw primary\n").arg(t);
    QFile conf(dir.filePath("upsmon.conf"));
    if (!conf.open(QIODevice::WriteOnly)) return false;
    conf.write((monitors + QStringLiteral("MINSUPPLIES 1\n"
                                          "SHUTDOWNCMD \"/usr/bin/touch %1\"\nPOLLFREQ 1\nPOLLFREQALERT 1\nHOSTSYNC %3\n"
                                          "DEADTIME 15\nFINALDELAY 0\nPOWERDOWNFLAG %2\n")
                                   .arg(flag, dir.filePath("killpower"))
                                   .arg(hostSync))
                   .toUtf8());
    conf.close();
    conf.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QFile nutConf(dir.filePath("nut.conf"));
    if (!nutConf.open(QIODevice::WriteOnly)) return false;
    nutConf.write("MODE=netclient\n");
    nutConf.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("NUT_CONFPATH", dir.path());
    env.insert("NUT_STATEPATH", dir.path());
    env.insert("NUT_ALTPIDPATH", dir.path());
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("/lib/nut/upsmon"), {"-F", "-D", "-u", qEnvironmentVariable("USER", "root")});
    return process.waitForStarted(kZavdWaitMs);
}

bool Upsmon::says(const QByteArray& text) {
    return QTest::qWaitFor(
        [&] {
            process.waitForReadyRead(50);
            said += process.readAll();
            return said.contains(text);
        },
        kZavdWaitMs);
}

Upsmon::~Upsmon() {
    // upsmon runs as two processes: the one started here and its child, which would be left behind
    // (holding upsmon's pid file) when the test ends before upsmon does.
    const qint64 parent = process.processId();
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + pid + "/stat");
        if (parent > 0 && stat.open(QIODevice::ReadOnly)) {
            const QByteArray text = stat.readAll();
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1 && fields[1].toLongLong() == parent) ::kill(pid_t(pid.toLongLong()), SIGKILL);
        }
    }
    process.terminate();
    process.waitForFinished(10'000);
}

} // namespace zav::sim::test
