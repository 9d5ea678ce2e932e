// zavctl: the UPS link without a window. `zavctl poll ...` connects as the Connect button would,
// runs the 50 ms scheduler and prints one JSON line per complete live cycle.

#include "link/QtSerialChannel.h"
#include "link/Scheduler.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

using namespace zav;

namespace {

enum ExitCode { ExitOk = 0, ExitUsage = 1, ExitPort = 2, ExitNoAnswer = 3, ExitModel = 4 };

int fail(int code, const QString& message) {
    std::fprintf(stderr, "zavctl: %s\n", qPrintable(message));
    return code;
}

// {"1":2205,...}: the non-zero registers in register order.
QByteArray nonZero(const RegisterStore& store) {
    QByteArrayList items;
    for (int reg = store.first(); reg <= store.last(); ++reg)
        if (store[reg] != 0) items << '"' + QByteArray::number(reg) + "\":" + QByteArray::number(store[reg]);
    return '{' + items.join(',') + '}';
}

struct PollOptions {
    ConnectRequest request;
    int cycles = 1;
    int timeoutSeconds = 60;
};

// Turns the command line into a connect request; returns an error text when an argument is bad.
QString parsePoll(const QStringList& args, PollOptions& out) {
    QCommandLineParser p;
    p.addOption({"port", "Serial port (e.g. /dev/ttyUSB0 or a pty path).", "path"});
    p.addOption({"baud", "1200|2400|4800|9600|14400|19200|38400|auto (default auto).", "rate", "auto"});
    p.addOption({"proto", "ascii|rtu (default ascii).", "proto", "ascii"});
    p.addOption({"addr", "UPS address 1..254 (default 1).", "n", "1"});
    p.addOption({"model", "auto|0..8 (default auto).", "model", "auto"});
    p.addOption({"cycles", "Live cycles to print before exiting (default 1).", "k", "1"});
    p.addOption({"timeout", "Give up after this many seconds without finishing (default 60).", "s", "60"});
    if (!p.parse(args)) return p.errorText();
    if (!p.positionalArguments().isEmpty()) return "unexpected argument: " + p.positionalArguments().first();
    if (!p.isSet("port")) return "--port is required";
    out.request.portName = p.value("port");

    const QString baud = p.value("baud").toLower();
    if (baud == "auto") {
        out.request.baudItem = kBaudAutoItem;
    } else {
        const auto it = std::find(kBaudItems.begin(), kBaudItems.end(), baud.toInt());
        if (it == kBaudItems.end())
            return "bad --baud '" + baud + "': use 1200, 2400, 4800, 9600, 14400, 19200, 38400 or auto";
        out.request.baudItem = int(it - kBaudItems.begin());
    }
    const QString proto = p.value("proto").toLower();
    if (proto != "ascii" && proto != "rtu") return "bad --proto '" + proto + "': use ascii or rtu";
    out.request.protocol = proto == "rtu" ? Protocol::Rtu : Protocol::Ascii;
    out.request.addressText = p.value("addr");

    const QString model = p.value("model").toLower();
    bool ok = false;
    const int m = model.toInt(&ok);
    if (model == "auto")
        out.request.modelItem = 0;
    else if (ok && m >= 0 && m <= 8)
        out.request.modelItem = m + 1;
    else
        return "bad --model '" + model + "': use auto or 0..8";

    out.cycles = p.value("cycles").toInt(&ok);
    if (!ok || out.cycles < 1) return "bad --cycles: a positive number";
    out.timeoutSeconds = p.value("timeout").toInt(&ok);
    if (!ok || out.timeoutSeconds < 1) return "bad --timeout: a positive number of seconds";
    return {};
}

int runPoll(QCoreApplication& app, const PollOptions& options) {
    QtSerialChannel channel;
    Scheduler scheduler(channel);

    switch (scheduler.connectLink(options.request)) {
    case ConnectResult::WrongAddress:
        return fail(ExitUsage, linkMessageText(LinkMessage::WrongAddress, 1) + " (use 1..254)");
    case ConnectResult::PortOpenFailed:
        return fail(ExitPort, linkMessageText(LinkMessage::PortOpenFailed, 1) + "\n  " + channel.errorText());
    case ConnectResult::Connected:
        break;
    }

    int cycle = 0;
    int exitCode = ExitOk;
    QObject::connect(&scheduler, &Scheduler::liveCycleEnded, &app, [&] {
        const LiveStores& live = scheduler.live();
        const QByteArray line = "{\"cycle\":" + QByteArray::number(++cycle) +
                                ",\"LinkOk\":" + (scheduler.linkOk() ? "true" : "false") +
                                ",\"UpsModel\":" + QByteArray::number(scheduler.upsModel()) +
                                ",\"BaudValue\":" + QByteArray::number(scheduler.baudValue()) +
                                ",\"LiveData\":" + nonZero(live.LiveData) +
                                ",\"LiveStatus\":" + nonZero(live.LiveStatus) +
                                ",\"ModuleStatus\":" + nonZero(live.ModuleStatus) +
                                ",\"ModuleData\":" + nonZero(live.ModuleData) +
                                ",\"SettingData\":" + nonZero(scheduler.settings().SettingData) + "}";
        std::printf("%s\n", line.constData());
        std::fflush(stdout);
        if (cycle >= options.cycles) app.quit();
    });
    QObject::connect(&scheduler, &Scheduler::modelRejected, &app, [&] {
        exitCode = fail(ExitModel, linkMessageText(LinkMessage::SelectModel, 1) +
                                       QStringLiteral(" (model code %1 not recognised; give --model)")
                                           .arg(scheduler.live().LiveData[78]));
        app.quit();
    });
    QObject::connect(&channel, &QtSerialChannel::deviceLost, &app, [](const QString& reason) {
        std::fprintf(stderr, "zavctl: port lost (%s); waiting for it to come back\n", qPrintable(reason));
    });

    QTimer timer;
    timer.setInterval(kTickMs);
    QObject::connect(&timer, &QTimer::timeout, &scheduler, &Scheduler::tick);
    timer.start();
    QTimer::singleShot(options.timeoutSeconds * 1000, &app, [&] {
        exitCode = fail(ExitNoAnswer,
                        QStringLiteral("gave up after %1 s with %2 of %3 cycles (no answer from the UPS?)")
                            .arg(options.timeoutSeconds)
                            .arg(cycle)
                            .arg(options.cycles));
        app.quit();
    });
    app.exec();
    scheduler.disconnectLink();
    return exitCode;
}

const char* kUsage = "usage: zavctl poll --port PATH [--baud 9600|...|auto] [--proto ascii|rtu] [--addr N]\n"
                     "                   [--model auto|0..8] [--cycles K] [--timeout S]\n";

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    if (args.size() < 2 || args[1] == "--help" || args[1] == "-h") {
        std::fputs(kUsage, args.size() < 2 ? stderr : stdout);
        return args.size() < 2 ? ExitUsage : ExitOk;
    }
    if (args[1] != "poll") return fail(ExitUsage, "unknown command '" + args[1] + "'\n" + kUsage);
    args.removeAt(1);
    PollOptions options;
    const QString error = parsePoll(args, options);
    if (!error.isEmpty()) return fail(ExitUsage, error + "\n" + kUsage);
    return runPoll(app, options);
}
