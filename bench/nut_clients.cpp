// Memory a NUT server spends per connected client: zavd on the virtual UPS (or any running NUT
// server given by its process id), N clients that each ask for ups.status and stay connected, then
// each read the whole variable list, then all leave. The figures are the server's resident memory
// from /proc (Rss and its private part), before and after, divided by N. Build without sanitizers
// for figures that mean anything (the sanitizers' allocator adds its own per allocation).
//
//   bench_nut_clients ZAVD_BINARY [CLIENTS]                 zavd on the virtual UPS (model 7)
//   bench_nut_clients --server PID PORT UPSNAME [CLIENTS]   a NUT server already running

#include "SimulatorThread.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace zav::sim;

namespace {

struct Memory {
    long rssKiB = 0;
    long privateKiB = 0; // Private_Clean + Private_Dirty: what only this process holds
};

Memory memoryOf(qint64 pid) {
    Memory m;
    QFile f(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return m;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> w = line.simplified().split(' ');
        if (w.size() < 2) continue;
        if (w[0] == "Rss:") m.rssKiB = w[1].toLong();
        if (w[0] == "Private_Clean:" || w[0] == "Private_Dirty:") m.privateKiB += w[1].toLong();
    }
    return m;
}

// A plain client (no Qt buffers of its own on this side): one request, the reply up to `until`.
class Client {
  public:
    explicit Client(int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(quint16(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~Client() {
        if (fd_ >= 0) ::close(fd_);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool ask(const QByteArray& request, const QByteArray& until) {
        if (fd_ < 0 || ::send(fd_, request.constData(), size_t(request.size()), MSG_NOSIGNAL) != request.size())
            return false;
        QByteArray got;
        QDeadlineTimer deadline(10'000);
        while (!got.contains(until) && !got.startsWith("ERR")) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, int(deadline.remainingTime())) <= 0) return false;
            char buffer[4096];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) return false;
            got.append(buffer, n);
        }
        return got.contains(until);
    }

  private:
    int fd_ = -1;
};

void report(const char* stage, const Memory& base, const Memory& now, int clients) {
    std::printf("%-34s Rss %7ld KiB  private %7ld KiB  per client: Rss %6.1f KiB  private %6.1f KiB\n", stage,
                now.rssKiB, now.privateKiB, double(now.rssKiB - base.rssKiB) / clients,
                double(now.privateKiB - base.privateKiB) / clients);
}

// Settles the server (its replies are out; freed memory is given back where the allocator does).
void settle() { QThread::msleep(1500); }

int measure(qint64 pid, int port, const QByteArray& ups, int clients) {
    const QByteArray status = "GET VAR " + ups + " ups.status\n";
    {
        Client warm(port); // the server's first request builds what every client shares
        if (!warm.ask(status, "\n") || !warm.ask("LIST VAR " + ups + "\n", "END LIST VAR")) {
            std::fprintf(stderr, "the server does not answer on port %d\n", port);
            return 1;
        }
    }
    settle();
    const Memory base = memoryOf(pid);
    std::printf("%d clients, server pid %lld, port %d\n", clients, qlonglong(pid), port);
    std::printf("%-34s Rss %7ld KiB  private %7ld KiB\n", "no client", base.rssKiB, base.privateKiB);

    std::vector<std::unique_ptr<Client>> all;
    int answered = 0;
    for (int i = 0; i < clients; ++i) {
        all.push_back(std::make_unique<Client>(port));
        answered += all.back()->ask(status, "\n");
    }
    settle();
    report("connected, asked ups.status", base, memoryOf(pid), clients);
    int listed = 0;
    for (auto& c : all) listed += c->ask("LIST VAR " + ups + "\n", "END LIST VAR");
    settle();
    report("each read LIST VAR", base, memoryOf(pid), clients);
    all.clear();
    settle();
    report("all gone", base, memoryOf(pid), clients);
    std::printf("answered %d of %d, listed %d\n", answered, clients, listed);
    return answered == clients && listed == clients ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    // Many clients need many descriptors on this side.
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    if (args.size() >= 5 && args[1] == QLatin1String("--server"))
        return measure(args[2].toLongLong(), args[3].toInt(), args[4].toUtf8(), args.size() > 5 ? args[5].toInt() : 500);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: %s ZAVD_BINARY [CLIENTS] | --server PID PORT UPSNAME [CLIENTS]\n", argv[0]);
        return 2;
    }
    const int clients = args.size() > 2 ? args[2].toInt() : 500;

    SimConfig config;
    config.upsModel = 7;
    config.baud = 9600;
    SimulatorThread ups(config);
    QString error;
    if (!ups.start(&error)) {
        std::fprintf(stderr, "virtual UPS: %s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir dir;
    QFile conf(dir.filePath("zavd.conf"));
    if (!conf.open(QIODevice::WriteOnly)) return 1;
    // One address may take half the slots: room for every client from 127.0.0.1.
    conf.write("[Link]\nPort=" + ups.devicePath().toUtf8() + "\nBaud=9600\nModel=7\n[Server]\nMaxConnections=" +
               QByteArray::number(std::min(2 * clients + 8, 1024)) + "\n");
    conf.close();
    QProcess zavd;
    zavd.start(args[1], {"--config", conf.fileName(), "--listen-port", "0", "--dry-run"});
    if (!zavd.waitForStarted(10'000)) {
        std::fprintf(stderr, "%s does not start\n", qPrintable(args[1]));
        return 1;
    }
    QByteArray log;
    QDeadlineTimer deadline(30'000);
    while (!log.contains("UPS answers") || !log.contains("listening on")) {
        if (deadline.hasExpired() || zavd.state() == QProcess::NotRunning) {
            std::fprintf(stderr, "zavd did not come up:\n%s\n", log.constData());
            return 1;
        }
        zavd.waitForReadyRead(100);
        log += zavd.readAllStandardError();
    }
    const int port = QRegularExpression("listening on \\S+ port (\\d+)").match(QString(log)).captured(1).toInt();
    QThread::msleep(3000); // the settings are read after the first answer
    const int rc = measure(zavd.processId(), port, "zav", clients);
    zavd.terminate();
    zavd.waitForFinished(10'000);
    return rc;
}
