// zavctl scan: which addresses answer on a port, at which rate, with which model. One JSON line per
// UPS found; the time it takes is said before it starts and bounded by the plan (see --help).

#include "CtlCommon.h"
#include "Commands.h"
#include "link/AddressScan.h"
#include "link/LinkTypes.h"

#include <cstdio>

using namespace zav;

namespace zavctl {

namespace {

QString usageText() {
    QString text = "usage: zavctl scan --port PATH [--proto ascii|rtu] [--rates 9600,19200|all] [--addr 1-254]\n"
                   "  Asks every address for its model register at every rate given (default: all seven) and\n"
                   "  prints one JSON line for each UPS that answers (with \"late\":true when it answers only\n"
                   "  after the link's reply wait: it is there, but a connection would not hear it). Exit 0\n"
                   "  when at least one answered, 3 when none did.\n"
                   "  An address that does not answer costs the reply wait and the late-reply quiet wait (the\n"
                   "  link's own rule, so that a late answer never meets the next request). A scan of 254\n"
                   "  addresses takes at most:\n   ";
    const QVector<int> all(kBaudItems.begin(), kBaudItems.end());
    for (const int baud : kBaudItems)
        text += QStringLiteral(" %1 %2 min,").arg(baud).arg((AddressScan::durationMs(1, {baud}, 254) + 59'999) / 60'000);
    text.chop(1);
    text += QStringLiteral("\n    all seven rates %1 min. Give the rate and a shorter --addr range when you know them.\n")
                .arg((AddressScan::durationMs(1, all, 254) + 59'999) / 60'000);
    return text;
}

QString parseRates(const QString& text, QVector<int>& out) {
    out.clear();
    if (text.compare("all", Qt::CaseInsensitive) == 0) {
        out = QVector<int>(kBaudItems.begin(), kBaudItems.end());
        return {};
    }
    for (const QString& part : text.split(',')) {
        const int baud = part.trimmed().toInt();
        if (std::find(kBaudItems.begin(), kBaudItems.end(), baud) == kBaudItems.end() || out.contains(baud))
            return "bad --rates '" + text + "': use all or rates from 1200, 2400, 4800, 9600, 14400, 19200, 38400";
        out << baud;
    }
    return {};
}

} // namespace

int runScan(QCoreApplication& app, const QStringList& args) {
    const QByteArray usage = usageText().toUtf8();
    QCommandLineParser p;
    p.addOption({"port", "Serial port (e.g. /dev/ttyUSB0).", "path"});
    p.addOption({"proto", "ascii|rtu (default ascii).", "proto", "ascii"});
    p.addOption({"rates", "Rates to try, e.g. 9600,19200, or all (default all).", "list", "all"});
    p.addOption({"addr", "Addresses to ask, e.g. 1-32 or 1,2,5 (default 1-254).", "list", "1-254"});
    if (int code = parseCommandLine(p, args, usage.constData()); code >= 0) return code;
    if (!p.positionalArguments().isEmpty())
        return fail(ExitUsage, "unexpected argument: " + p.positionalArguments().first() + "\n" + usage);
    if (!p.isSet("port") || p.value("port").trimmed().isEmpty()) return fail(ExitUsage, "--port is required\n" + usage);
    const QString proto = p.value("proto").toLower();
    if (proto != "ascii" && proto != "rtu") return fail(ExitUsage, "bad --proto '" + proto + "': use ascii or rtu");
    const Protocol protocol = proto == "rtu" ? Protocol::Rtu : Protocol::Ascii;
    QVector<int> rates, addresses;
    if (QString e = parseRates(p.value("rates"), rates); !e.isEmpty()) return fail(ExitUsage, e);
    if (QString e = parseAddressList(p.value("addr"), addresses); !e.isEmpty()) return fail(ExitUsage, e);

    QtSerialChannel channel;
    channel.setPortName(p.value("port"));
    AddressScan scan(channel);
    QObject::connect(&scan, &AddressScan::found, &app, [](const ScanFind& f) {
        std::printf("{\"address\":%d,\"baud\":%d,\"modelCode\":%d,\"model\":%d%s}\n", f.address, f.baud, f.modelCode,
                    f.model, f.late ? ",\"late\":true" : "");
        std::fflush(stdout);
    });
    QObject::connect(&scan, &AddressScan::finished, &app, [&app] { app.quit(); });
    note(QStringLiteral("scanning %1 addresses at %2 rate(s): at most %3 s")
             .arg(addresses.size())
             .arg(rates.size())
             .arg((AddressScan::durationMs(1, rates, int(addresses.size())) + 999) / 1000));
    if (!scan.start(protocol, rates, addresses))
        return fail(ExitPort, linkMessageText(LinkMessage::PortOpenFailed, 1) + "\n  " + channel.errorText());
    app.exec();
    if (scan.finds().isEmpty())
        return fail(ExitNoAnswer, QStringLiteral("scan: no UPS answered on %1").arg(p.value("port")));
    return ExitOk;
}

} // namespace zavctl
