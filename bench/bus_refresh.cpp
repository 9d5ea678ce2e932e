// Several UPSes on one bus under zavd: the virtual UPS answers at addresses 1..N of one pty paced
// at the line rate, zavd polls them all. For each rate: the refresh period of each UPS's data (the
// time between its live cycles, from the measurement-block reads the UPS answered), zavd's CPU
// share and memory, the latency of `upsc NAME ups.status` and of a bare GET VAR on a connection,
// and the wire time of the bytes that crossed against the time they took.
//
//   bench_bus_refresh [--units N] [--seconds S] [--rates 9600,38400] [ZAVD]
//
// ZAVD defaults to $ZAV_BINARY_DIR/zavd, else the zavd beside this program. Model 7 (a tower:
// one measurement block and two status blocks a cycle).

#include "SimulatorThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace zav;
using namespace zav::sim;

namespace {

QString zavdPath(const QStringList& args) {
    if (!args.isEmpty()) return args.first();
    const QString dir = qEnvironmentVariable("ZAV_BINARY_DIR");
    if (!dir.isEmpty()) return QDir(dir).filePath("zavd");
    return QDir(QCoreApplication::applicationDirPath()).filePath("zavd");
}

// utime + stime of a process in clock ticks, and its resident set in KiB.
qint64 cpuTicks(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray text = f.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();
}
qint64 rssKiB(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

void pump(int ms) {
    QDeadlineTimer d(ms);
    while (!d.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

// A blocking connection to the NUT server on localhost; -1 when it cannot be made.
int connectLocal(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return -1;
    return fd;
}

// One request line, read up to the reply's line end.
void ask(int fd, const QByteArray& line) {
    [[maybe_unused]] const auto n = ::write(fd, line.constData(), size_t(line.size()));
    char c = 0;
    while (::read(fd, &c, 1) == 1 && c != '\n') {
    }
}

double median(QVector<double> v) {
    if (v.isEmpty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int runOne(const QString& zavd, int baud, int units, int seconds) {
    QVector<SimConfig> configs;
    for (int a = 1; a <= units; ++a) {
        SimConfig c;
        c.address = a;
        c.upsModel = 7;
        c.baud = baud;
        c.protocol = Protocol::Rtu;
        configs << c;
    }
    SimulatorThread line(configs);
    line.setPaced(true);
    QString error;
    if (!line.start(&error)) {
        std::fprintf(stderr, "no pty: %s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir dir;
    QByteArray conf = "[Link]\nPort=" + line.devicePath().toUtf8() + "\nBaud=" + QByteArray::number(baud) +
                      "\nProtocol=rtu\nModel=7\n[Server]\nUpsNames=";
    for (int a = 1; a <= units; ++a) conf += "ups" + QByteArray::number(a) + ' ';
    conf += '\n';
    for (int a = 1; a <= units; ++a) conf += "[Ups ups" + QByteArray::number(a) + "]\nAddress=" + QByteArray::number(a) + '\n';
    QFile f(dir.filePath("zavd.conf"));
    f.open(QIODevice::WriteOnly);
    f.write(conf);
    f.close();
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    p.start(zavd, {"--config", f.fileName(), "--listen-port", "0", "--dry-run"});
    if (!p.waitForStarted(20'000)) return 1;
    QByteArray log;
    int port = 0, answering = 0;
    QDeadlineTimer startBound(120'000);
    while (answering < units && !startBound.hasExpired()) {
        p.waitForReadyRead(100);
        log += p.readAllStandardError();
        port = QRegularExpression("listening on 127.0.0.1 port (\\d+)").match(QString(log)).captured(1).toInt();
        answering = int(log.count("UPS answers"));
    }
    if (answering < units) {
        std::fprintf(stderr, "only %d of %d UPSes answered:\n%s\n", answering, units, log.constData());
        return 1;
    }
    pump(5000); // the settings downloads are over

    auto replies = [&](int index) {
        int n = 0;
        line.withUnit(index, [&](VirtualUps& u) { n = u.stats().replies; });
        return n;
    };
    QVector<int> before;
    for (int i = 0; i < units; ++i) before << replies(i);
    const LineCounts wire0 = line.counts();
    const qint64 cpu0 = cpuTicks(p.processId());
    QElapsedTimer window;
    window.start();

    // Latencies while the bus runs: upsc as a program, and a bare request on an open connection.
    QVector<double> upscMs, getMs;
    const int fd = connectLocal(port);
    while (window.elapsed() < seconds * 1000) {
        const QString name = QStringLiteral("ups%1").arg(1 + upscMs.size() % units);
        QElapsedTimer t;
        t.start();
        QProcess upsc;
        upsc.start("upsc", {QStringLiteral("%1@127.0.0.1:%2").arg(name).arg(port), "ups.status"});
        upsc.waitForFinished(10'000);
        upscMs << t.nsecsElapsed() / 1e6;
        t.restart();
        ask(fd, "GET VAR " + name.toUtf8() + " ups.status\n");
        getMs << t.nsecsElapsed() / 1e6;
        pump(500);
    }
    const double elapsedS = window.elapsed() / 1000.0;
    const qint64 cpu1 = cpuTicks(p.processId());
    const LineCounts wire1 = line.counts();
    QVector<double> periods;
    for (int i = 0; i < units; ++i) {
        const int cycles = (replies(i) - before[i]) / 3; // one measurement and two status reads a cycle
        periods << (cycles > 0 ? elapsedS / cycles : 0);
    }
    const double wireS = (wire1.wireMs - wire0.wireMs) / 1000.0;
    std::printf("%d UPSes, RTU at %d baud, %.0f s:\n", units, baud, elapsedS);
    std::printf("  refresh period per UPS (s):");
    for (double x : periods) std::printf(" %.2f", x);
    std::printf("\n  line busy: wire time %.1f s of %.1f s (time / wire %.2f)\n", wireS, elapsedS, elapsedS / wireS);
    std::printf("  zavd CPU %.1f %% of one core, RSS %lld KiB\n",
                100.0 * double(cpu1 - cpu0) / double(sysconf(_SC_CLK_TCK)) / elapsedS, rssKiB(p.processId()));
    std::printf("  upsc latency median %.1f ms, max %.1f ms (%d runs); GET VAR median %.2f ms, max %.2f ms\n",
                median(upscMs), *std::max_element(upscMs.begin(), upscMs.end()), int(upscMs.size()), median(getMs),
                *std::max_element(getMs.begin(), getMs.end()));
    std::fflush(stdout);
    ::close(fd);
    p.terminate();
    p.waitForFinished(10'000);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int units = 8, seconds = 60;
    QVector<int> rates{9600, 38400};
    for (int i = 0; i + 1 < args.size();) {
        if (args[i] == "--units") units = args.takeAt(i + 1).toInt(), args.removeAt(i);
        else if (args[i] == "--seconds") seconds = args.takeAt(i + 1).toInt(), args.removeAt(i);
        else if (args[i] == "--rates") {
            rates.clear();
            for (const QString& r : args.takeAt(i + 1).split(',')) rates << r.toInt();
            args.removeAt(i);
        } else ++i;
    }
    const QString zavd = zavdPath(args);
    int status = 0;
    for (const int baud : rates) status |= runOne(zavd, baud, units, seconds);
    return status;
}
