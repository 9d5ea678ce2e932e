// zavd: the UPS service for servers. It keeps the serial link to the UPS up on the real
// scheduler, applies the PC-shutdown policy, logs to stderr for the journal and serves the UPS to
// Network UPS Tools clients (upsc, upsmon, Home Assistant) on TCP port 3493.

#include "foundation/QuitSignals.h"
#include "protect/PowerOff.h"
#include "protect/platform/SystemPowerOff.h"
#include "zavd/NutServer.h"
#include "zavd/ZavdConfig.h"
#include "zavd/ZavdConfigSummary.h"
#include "zavd/ZavdLog.h"
#include "zavd/ZavdService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

using namespace zav;

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "zavd: %s\n", qPrintable(message));
    return 1;
}

// Command-line values take the place of the file's.
QString applyOverrides(const QCommandLineParser& p, ZavdConfig& c) {
    for (const char* option : {"port", "baud", "proto", "addr", "model"})
        if (p.isSet(option) && c.upses.size() > 1)
            return QStringLiteral("--%1 names the link of one UPS; this configuration has %2 (set it in [Ups NAME])")
                .arg(QLatin1String(option))
                .arg(c.upses.size());
    if (p.isSet("port")) c.link.portName = p.value("port");
    if (p.isSet("baud")) {
        const QString b = p.value("baud").toLower();
        const auto it = std::find(kBaudItems.begin(), kBaudItems.end(), b.toInt());
        if (b == "auto") c.link.baudItem = kBaudAutoItem;
        else if (it != kBaudItems.end()) c.link.baudItem = int(it - kBaudItems.begin());
        else return "bad --baud '" + b + "'";
    }
    if (p.isSet("proto")) {
        const QString v = p.value("proto").toLower();
        if (v != "ascii" && v != "rtu") return "bad --proto '" + v + "': use ascii or rtu";
        c.link.protocol = v == "rtu" ? Protocol::Rtu : Protocol::Ascii;
    }
    if (p.isSet("addr")) {
        bool ok = false;
        const int a = p.value("addr").toInt(&ok);
        if (!ok || a < 1 || a > 254) return "bad --addr: use 1..254";
        c.link.addressText = QString::number(a);
    }
    if (p.isSet("model")) {
        bool ok = false;
        const int m = p.value("model").toInt(&ok);
        if (p.value("model") == "auto") c.link.modelItem = 0;
        else if (ok && m >= 0 && m <= 8) c.link.modelItem = m + 1;
        else return "bad --model: use auto or 0..8";
    }
    if (p.isSet("listen")) {
        if (QHostAddress(p.value("listen")).isNull()) return "bad --listen: give an IP address";
        c.listenAddress = p.value("listen");
    }
    if (p.isSet("listen-port")) {
        bool ok = false;
        const int port = p.value("listen-port").toInt(&ok);
        if (!ok || port < 0 || port > 65535) return "bad --listen-port: use 0..65535 (0 picks a free port)";
        c.listenPort = port;
    }
    if (p.isSet("dry-run")) c.dryRun = true;
    if (c.link.portName.trimmed().isEmpty()) return "no serial port: give Port in [Link] or --port";
    if (c.upses.isEmpty()) {
        // No file: one UPS, named and described by the defaults, on the command line's port.
        c.upses << ZavdUpsConfig{c.upsName, c.description, c.link};
        c.fedBy = QStringList{c.upsName};
    }
    if (c.upses.size() == 1) c.upses[0].link = c.link;
    return {};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("zavd");
    QCoreApplication::setApplicationVersion(ZAVD_VERSION);
    QCommandLineParser p;
    p.setApplicationDescription("UPS service: keeps the link to the UPS, applies the shutdown policy and "
                                "serves the UPS to NUT clients.");
    p.addHelpOption();
    p.addVersionOption();
    p.addOption({"config", QStringLiteral("The configuration file (default %1).").arg(kDefaultZavdConfig), "path"});
    p.addOption({"port", "Serial port (overrides [Link] Port).", "path"});
    p.addOption({"baud", "1200|2400|4800|9600|14400|19200|38400|auto.", "rate"});
    p.addOption({"proto", "ascii|rtu.", "proto"});
    p.addOption({"addr", "UPS address 1..254.", "n"});
    p.addOption({"model", "auto|0..8.", "model"});
    p.addOption({"listen", "Address the NUT server listens on (default 127.0.0.1).", "address"});
    p.addOption({"listen-port", "TCP port of the NUT server (default 3493; 0 picks a free one).", "port"});
    p.addOption({"dry-run", "Never power the machine off: only log what would be done."});
    p.addOption({"check", "Read the configuration (and the options above), print what it holds or the error, "
                          "and exit: 0 when zavd would start with it. Opens no port and listens on none."});
    p.process(app);
    if (!p.positionalArguments().isEmpty()) return fail("unexpected argument: " + p.positionalArguments().first());

    ZavdConfig config;
    const QString path = p.isSet("config") ? p.value("config") : QString::fromLatin1(kDefaultZavdConfig);
    // Without --config the default file may be absent when the command line names the port; a check
    // is always of a file.
    if (p.isSet("check") || p.isSet("config") || QFileInfo::exists(path) || !p.isSet("port"))
        if (const QString error = loadZavdConfig(path, config, p.isSet("port")); !error.isEmpty()) return fail(error);
    for (const QString& warning : config.warnings) zavdLog(LogLevel::Warning, "zavd", warning);
    if (const QString error = applyOverrides(p, config); !error.isEmpty()) return fail(error);
    if (p.isSet("check")) {
        std::fprintf(stdout, "%s: OK\n%s", qPrintable(path), qPrintable(describeZavdConfig(config)));
        return 0;
    }

    DryRunPowerOff dryRun;
    SystemPowerOff system;
    PowerOff& powerOff = config.dryRun ? static_cast<PowerOff&>(dryRun) : system;
    for (const ZavdUpsConfig& u : config.upses)
        zavdLog(LogLevel::Info, "zavd", QStringLiteral("zavd %1 starting: UPS '%2' on %3, power-off %4")
                                            .arg(ZAVD_VERSION, u.name, u.link.portName, powerOff.name()));
    ZavdService service(config, powerOff);
    NutServer server(service.nutUpses(), config.maxConnections);
    if (!server.listen(QHostAddress(config.listenAddress), quint16(config.listenPort)))
        return fail(QStringLiteral("cannot listen on %1 port %2: %3")
                        .arg(config.listenAddress)
                        .arg(config.listenPort)
                        .arg(server.errorString()));
    zavdLog(LogLevel::Info, "nut", QStringLiteral("listening on %1 port %2").arg(config.listenAddress).arg(server.port()));

    QuitSignals quit;
    QObject::connect(&quit, &QuitSignals::quitAsked, &app, [&](int sig) {
        zavdLog(LogLevel::Info, "zavd", QStringLiteral("signal %1: stopping").arg(sig));
        service.stop();
        app.quit();
    });
    service.start();
    return app.exec();
}
