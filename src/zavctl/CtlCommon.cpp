#include "CtlCommon.h"

#include <cstdio>

using namespace zav;

namespace zavctl {

int fail(int code, const QString& message) {
    std::fprintf(stderr, "zavctl: %s\n", qPrintable(message));
    return code;
}

void note(const QString& message) {
    std::fprintf(stderr, "zavctl: %s\n", qPrintable(message));
}

void addLinkOptions(QCommandLineParser& p, int defaultTimeoutSeconds) {
    p.addOption({"port", "Serial port (e.g. /dev/ttyUSB0 or a pty path).", "path"});
    p.addOption({"baud", "1200|2400|4800|9600|14400|19200|38400|auto (default auto).", "rate", "auto"});
    p.addOption({"proto", "ascii|rtu (default ascii).", "proto", "ascii"});
    p.addOption({"addr", "UPS address 1..254 (default 1).", "n", "1"});
    p.addOption({"model", "auto|0..8 (default auto).", "model", "auto"});
    p.addOption({"timing",
                 "fast|classic (default fast): fast sends the next request as soon as a reply is whole; "
                 "classic paces every step on 50 ms ticks, for UPS firmware that needs it.",
                 "timing", "fast"});
    p.addOption({"gap", QStringLiteral("Extra pause before each request in the fast timing, 0..%1 ms (default 0).")
                            .arg(kMaxExtraGapMs),
                 "ms", "0"});
    p.addOption({"timeout",
                 QStringLiteral("Give up after this many seconds, 1..%1 (default %2).")
                     .arg(kMaxTimeoutSeconds)
                     .arg(defaultTimeoutSeconds),
                 "s", QString::number(defaultTimeoutSeconds)});
}

QString parseAddressList(const QString& text, QVector<int>& out) {
    out.clear();
    for (const QString& part : text.split(',')) {
        const QStringList ends = part.trimmed().split('-');
        bool okFirst = false, okLast = false;
        const int first = ends.value(0).toInt(&okFirst, 10);
        const int last = ends.size() == 2 ? ends[1].toInt(&okLast, 10) : first;
        if (ends.size() == 1) okLast = okFirst;
        if (ends.size() > 2 || !okFirst || !okLast || first < 1 || last > 254 || first > last)
            return "bad --addr '" + text + "': use addresses 1..254, as 1,2,5 or 1-8";
        for (int a = first; a <= last; ++a) {
            if (out.contains(a)) return QStringLiteral("bad --addr '%1': address %2 given twice").arg(text).arg(a);
            out << a;
        }
    }
    return {};
}

QString readLinkOptions(const QCommandLineParser& p, LinkOptions& out, bool addressList) {
    if (!p.isSet("port")) return "--port is required";
    out.request.portName = p.value("port");
    if (out.request.portName.trimmed().isEmpty()) return "--port is empty: give the serial port's path";

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

    bool ok = false;
    if (!addressList) {
        const int address = p.value("addr").trimmed().toInt(&ok, 10);
        if (!ok || address < 1 || address > 254) return "bad --addr '" + p.value("addr") + "': use 1..254";
        out.request.addressText = QString::number(address);
    }

    const QString model = p.value("model").toLower();
    const int m = model.toInt(&ok);
    if (model == "auto")
        out.request.modelItem = 0;
    else if (ok && m >= 0 && m <= 8)
        out.request.modelItem = m + 1;
    else
        return "bad --model '" + model + "': use auto or 0..8";

    const std::optional<LinkTiming> timing = parseLinkTiming(p.value("timing"));
    if (!timing) return "bad --timing '" + p.value("timing") + "': use fast or classic";
    out.timing.mode = *timing;
    const int gap = p.value("gap").trimmed().toInt(&ok, 10);
    if (!ok || gap < 0 || gap > kMaxExtraGapMs)
        return QStringLiteral("bad --gap '%1': use 0..%2 ms").arg(p.value("gap")).arg(kMaxExtraGapMs);
    out.timing.extraGapMs = gap;

    // Seconds times 1000 must stay well inside an int for the timer.
    out.timeoutSeconds = p.value("timeout").toInt(&ok);
    if (!ok || out.timeoutSeconds < 1 || out.timeoutSeconds > kMaxTimeoutSeconds)
        return QStringLiteral("bad --timeout '%1': use 1..%2 seconds").arg(p.value("timeout")).arg(kMaxTimeoutSeconds);
    return {};
}

int parseCommandLine(QCommandLineParser& p, const QStringList& args, const char* usage) {
    p.addOption({{"h", "help"}, "Show this help."});
    if (!p.parse(args)) return fail(ExitUsage, p.errorText() + "\n" + usage);
    if (p.isSet("help")) {
        std::fputs(usage, stdout);
        std::fputs(qPrintable(p.helpText().section('\n', 1)), stdout);
        return ExitOk;
    }
    return -1;
}

CtlLink::CtlLink(QCoreApplication& app, const LinkOptions& options)
    : app_(app), options_(options), scheduler_(channel_) {
    scheduler_.setTiming(options_.timing);
    tick_.setInterval(kTickMs);
    QObject::connect(&tick_, &QTimer::timeout, &scheduler_, &UpsSession::tick);
    QObject::connect(&scheduler_, &UpsSession::linkStateChanged, &app_, [this] {
        if (scheduler_.linkOk()) everLinked_ = true;
    });
    QObject::connect(&channel_, &QtSerialChannel::deviceLost, &app_, [this](const QString& reason) {
        portLostNow_ = true;
        lostReason_ = reason;
        note(QStringLiteral("port %1 lost (%2); waiting for it to come back").arg(options_.request.portName, reason));
    });
    QObject::connect(&scheduler_, &UpsSession::portRestored, &app_, [this] {
        portLostNow_ = false;
        note(QStringLiteral("port %1 is back").arg(options_.request.portName));
    });
}

CtlLink::~CtlLink() {
    scheduler_.disconnectLink();
}

int CtlLink::open() {
    switch (scheduler_.connectLink(options_.request)) {
    case ConnectResult::WrongAddress:
        return fail(ExitUsage, linkMessageText(LinkMessage::WrongAddress, 1) + " (use 1..254)");
    case ConnectResult::PortOpenFailed:
        return fail(ExitPort, linkMessageText(LinkMessage::PortOpenFailed, 1) + "\n  " + channel_.errorText());
    case ConnectResult::Connected:
        break;
    }
    return ExitOk;
}

QString CtlLink::describeAttempt() const {
    const ConnectRequest& r = options_.request;
    const QString baud = r.baudItem >= 0 && r.baudItem < int(kBaudItems.size())
                             ? QStringLiteral("%1 baud").arg(kBaudItems[size_t(r.baudItem)])
                             : QStringLiteral("every baud rate");
    return QStringLiteral("%1 at %2, Modbus %3, address %4")
        .arg(r.portName, baud, r.protocol == Protocol::Rtu ? "RTU" : "ASCII", r.addressText);
}

int CtlLink::noAnswer(const QString& what) {
    if (portLostNow_)
        return fail(ExitPort, QStringLiteral("%1: the port %2 was lost (%3) and did not come back")
                                  .arg(what, options_.request.portName, lostReason_));
    if (scheduler_.lateReplies() > 0 && !scheduler_.linkOk())
        return fail(ExitNoAnswer, QStringLiteral("%1: %2 (tried %3)")
                                      .arg(what, lateAnswerText(scheduler_.replyTimeout() * kTickMs, 1),
                                           describeAttempt()));
    if (!everLinked_)
        return fail(ExitNoAnswer,
                    QStringLiteral("%1: no reply from the UPS was accepted in %2 s (tried %3); check the "
                                   "cable, the address, the protocol and the baud rate")
                        .arg(what)
                        .arg(options_.timeoutSeconds)
                        .arg(describeAttempt()));
    if (!scheduler_.linkOk())
        return fail(ExitNoAnswer, QStringLiteral("%1: the UPS answered at first, then stopped answering (%2)")
                                      .arg(what, describeAttempt()));
    return fail(ExitNoAnswer, QStringLiteral("%1: not finished within %2 s").arg(what).arg(options_.timeoutSeconds));
}

int CtlLink::run() {
    if (finished_) return exitCode_;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setInterval(options_.timeoutSeconds * 1000);
    QObject::connect(&deadline, &QTimer::timeout, &app_, [this] {
        finish(onTimeout ? onTimeout() : noAnswer(QStringLiteral("gave up")));
    });
    tick_.start();
    deadline.start();
    if (!finished_) app_.exec();
    tick_.stop();
    return exitCode_;
}

void CtlLink::finish(int exitCode) {
    if (finished_) return; // the first verdict stands
    finished_ = true;
    exitCode_ = exitCode;
    app_.quit();
}

QByteArray nonZeroJson(const RegisterStore& store) {
    QByteArrayList items;
    for (int reg = store.first(); reg <= store.last(); ++reg)
        if (store[reg] != 0) items << '"' + QByteArray::number(reg) + "\":" + QByteArray::number(store[reg]);
    return '{' + items.join(',') + '}';
}

} // namespace zavctl
