// zav-ups-sim: a virtual UPS on a pseudo-terminal. Prints the device path on the first line of
// standard output and serves until interrupted.

#include "BootloaderServer.h"
#include "PtyServer.h"
#include "SimOptions.h"
#include "VirtualUps.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QSocketNotifier>

#include <csignal>
#include <memory>
#include <vector>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int signal) {
    const char c = char(signal);
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &c, 1);
}

// The line's counts as "name value" lines, for scripts and benches.
bool writeStats(const QString& path, const zav::sim::LineCounts& c, int baud) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    f.write(QString("bytes_in %1\nbytes_out %2\nwire_ms %3\nbaud %4\n")
                .arg(c.bytesIn)
                .arg(c.bytesOut)
                .arg(c.wireMs, 0, 'f', 3)
                .arg(baud)
                .toUtf8());
    return f.commit();
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    using namespace zav::sim;

    const OptionsParse parsed = parseSimOptions(app.arguments());
    if (!parsed.ok()) {
        std::fprintf(stderr, "zav-ups-sim: %s\nTry 'zav-ups-sim --help'.\n", qPrintable(parsed.error));
        return 2;
    }
    const SimOptions& options = parsed.options;
    if (options.help) {
        std::fputs(qPrintable(parsed.helpText), stdout);
        return 0;
    }

    const QVector<SimConfig> configs = unitConfigs(options);
    std::vector<std::unique_ptr<VirtualUps>> units;
    QVector<VirtualUps*> line;
    for (int i = 0; i < configs.size(); ++i) {
        units.push_back(std::make_unique<VirtualUps>(configs[i]));
        applyOptions(options, *units.back(), i);
        line.append(units.back().get());
    }
    VirtualUps& ups = *units.front();
    PtyServer server(line);
    server.setPaced(options.paced);
    QString error;
    if (!server.open(&error) ||
        (!options.linkPath.isEmpty() && !server.createLink(options.linkPath, &error))) {
        std::fprintf(stderr, "zav-ups-sim: %s\n", qPrintable(error));
        return 1;
    }
    // The DSP bootloader of the programming page, on a pty of its own.
    Bootloader boot;
    applyFirmwareOptions(options.firmware, ups, &boot);
    BootloaderServer bootServer(boot);
    if (!options.firmware.bootloaderLink.isEmpty()) {
        if (!bootServer.open(&error) || !bootServer.createLink(options.firmware.bootloaderLink, &error)) {
            std::fprintf(stderr, "zav-ups-sim: %s\n", qPrintable(error));
            return 1;
        }
        QObject::connect(&bootServer, &BootloaderServer::logLine,
                         [](const QString& line) { std::fprintf(stderr, "%s\n", qPrintable(line)); });
        std::fprintf(stderr, "zav-ups-sim: DSP bootloader on %s -> %s\n", qPrintable(bootServer.devicePath()),
                     qPrintable(options.firmware.bootloaderLink));
        bootServer.start();
    }
    if (options.verbose)
        QObject::connect(&server, &PtyServer::logLine,
                         [](const QString& line) { std::fprintf(stderr, "%s\n", qPrintable(line)); });

    auto saveStats = [&] {
        if (!options.statsPath.isEmpty() && !writeStats(options.statsPath, server.counts(), server.lineBaud()))
            std::fprintf(stderr, "zav-ups-sim: cannot write %s\n", qPrintable(options.statsPath));
    };
    // SIGINT and SIGTERM end the event loop, so that the link is removed on the way out; SIGUSR1
    // writes the line's counts.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [&] {
            char c = 0;
            if (::read(signalPipe[0], &c, 1) == 1 && c == char(SIGUSR1))
                saveStats();
            else
                app.quit();
        });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        std::signal(SIGUSR1, onSignal);
    }

    std::printf("%s\n", qPrintable(server.devicePath()));
    std::fflush(stdout);
    for (const auto& unit : units) {
        const auto& c = unit->config();
        std::fprintf(stderr, "zav-ups-sim: %s (model %d, code %d), address %d, %s, %d baud on %s%s\n",
                     unit->profile().label, c.upsModel, unit->plant().measurements().value(78), c.address,
                     c.protocol == zav::Protocol::Rtu ? "RTU" : "ASCII", c.baud, qPrintable(server.devicePath()),
                     options.linkPath.isEmpty() ? "" : qPrintable(" -> " + options.linkPath));
    }
    server.start();
    const int status = app.exec();
    saveStats();
    return status;
}
