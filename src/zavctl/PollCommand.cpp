// zavctl poll: connects as the Connect button would and prints one JSON line per complete live
// cycle. Succeeds only when the UPS answered and still answers at the end. With several addresses
// (--addr 1,2,5) the UPSes share the port as on an RS-485 bus, one line per UPS and cycle.

#include "CtlCommon.h"
#include "Commands.h"
#include "link/LineBus.h"

#include <cstdio>
#include <memory>
#include <vector>

using namespace zav;

namespace zavctl {

namespace {

const char* kPollUsage = "usage: zavctl poll --port PATH [--baud 9600|...|auto] [--proto ascii|rtu] [--addr N[,N...]]\n"
                         "                   [--model auto|0..8] [--cycles K] [--timeout S]\n"
                         "  Several addresses (1,2,5 or 1-8) share the port as UPSes on one RS-485 bus: give\n"
                         "  --baud; one line per UPS and cycle, with its \"address\". An address that misses two\n"
                         "  requests in a row without ever answering is given up (about 14 s at 9600 baud).\n";

QByteArray cycleLine(int cycle, const UpsSession& scheduler, int address = 0) {
    const LiveStores& live = scheduler.live();
    return "{\"cycle\":" + QByteArray::number(cycle) +
           (address > 0 ? ",\"address\":" + QByteArray::number(address) : QByteArray()) +
           ",\"LinkOk\":" + (scheduler.linkOk() ? "true" : "false") +
           ",\"UpsModel\":" + QByteArray::number(scheduler.upsModel()) +
           ",\"BaudValue\":" + QByteArray::number(scheduler.baudValue()) + ",\"LiveData\":" + nonZeroJson(live.LiveData) +
           ",\"LiveStatus\":" + nonZeroJson(live.LiveStatus) + ",\"ModuleStatus\":" + nonZeroJson(live.ModuleStatus) +
           ",\"ModuleData\":" + nonZeroJson(live.ModuleData) +
           ",\"SettingData\":" + nonZeroJson(scheduler.settings().SettingData) + "}";
}

// Several UPSes on one port: one session per address on a LineBus.
int pollBus(QCoreApplication& app, const LinkOptions& options, const QVector<int>& addresses, int cycles) {
    if (options.request.baudItem == kBaudAutoItem)
        return fail(ExitUsage, QStringLiteral("several addresses share one rate: give --baud\n") + kPollUsage);
    QtSerialChannel port;
    LineBus bus(port);
    struct Member {
        int address;
        std::unique_ptr<UpsSession> session;
        int printed = 0;
        bool linked = false;
        QString failure; // why this address was given up
    };
    std::vector<Member> members;
    for (const int a : addresses) {
        Member m{a, std::make_unique<UpsSession>(bus.addChannel())};
        bus.join(*m.session);
        m.session->setTiming(options.timing);
        members.push_back(std::move(m));
    }
    int exitCode = -1;
    auto finish = [&](int code) {
        if (exitCode >= 0) return;
        exitCode = code;
        app.quit();
    };
    auto verdict = [&] {
        QStringList silent;
        for (const Member& m : members)
            if (m.printed < cycles)
                silent << QStringLiteral("address %1: %2").arg(m.address)
                              .arg(m.failure.isEmpty() ? QStringLiteral("%1 of %2 cycles").arg(m.printed).arg(cycles) : m.failure);
        if (silent.isEmpty()) return int(ExitOk);
        for (const Member& m : members)
            if (m.failure.contains(QLatin1String("model"))) return fail(ExitModel, silent.join("; "));
        return fail(ExitNoAnswer, QStringLiteral("poll: %1 (port %2)").arg(silent.join("; "), options.request.portName));
    };
    auto allDone = [&] {
        return std::all_of(members.begin(), members.end(),
                           [&](const Member& m) { return m.printed >= cycles || !m.failure.isEmpty(); });
    };
    for (Member& m : members) {
        UpsSession& s = *m.session;
        QObject::connect(&s, &UpsSession::liveCycleEnded, &app, [&, mp = &m] {
            if (!mp->session->linkOk() || mp->printed >= cycles) return; // a cycle of a silent UPS is no data
            std::printf("%s\n", cycleLine(++mp->printed, *mp->session, mp->address).constData());
            std::fflush(stdout);
            if (allDone()) finish(verdict());
        });
        QObject::connect(&s, &UpsSession::modelRejected, &app, [&, mp = &m] {
            mp->failure = QStringLiteral("model code %1 not recognised; give --model").arg(mp->session->live().LiveData[78]);
            if (allDone()) finish(verdict());
        });
        ConnectRequest r = options.request;
        r.addressText = QString::number(m.address);
        if (s.connectLink(r) == ConnectResult::PortOpenFailed)
            return fail(ExitPort, linkMessageText(LinkMessage::PortOpenFailed, 1) + "\n  " + port.errorText());
    }
    QTimer tick;
    tick.setInterval(kTickMs);
    QObject::connect(&tick, &QTimer::timeout, &app, [&] {
        bus.tick();
        for (Member& m : members) {
            m.linked = m.linked || m.session->linkOk();
            // Never heard and two requests missed: nobody is at this address (at this rate).
            if (!m.linked && m.failure.isEmpty() && m.session->missedReplies() >= 2)
                m.failure = QStringLiteral("no reply accepted");
        }
        if (allDone()) finish(verdict());
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &app, [&] { finish(verdict()); });
    tick.start();
    deadline.start(options.timeoutSeconds * 1000);
    if (exitCode < 0) app.exec();
    for (Member& m : members) m.session->disconnectLink();
    return exitCode;
}

} // namespace

int runPoll(QCoreApplication& app, const QStringList& args) {
    QCommandLineParser p;
    addLinkOptions(p);
    p.addOption({"cycles", "Live cycles to print before exiting (default 1).", "k", "1"});
    if (int code = parseCommandLine(p, args, kPollUsage); code >= 0) return code;
    if (!p.positionalArguments().isEmpty())
        return fail(ExitUsage, "unexpected argument: " + p.positionalArguments().first() + "\n" + kPollUsage);
    QVector<int> addresses;
    if (QString error = parseAddressList(p.value("addr"), addresses); !error.isEmpty())
        return fail(ExitUsage, error + "\n" + kPollUsage);
    LinkOptions options;
    if (QString error = readLinkOptions(p, options, addresses.size() > 1); !error.isEmpty())
        return fail(ExitUsage, error + "\n" + kPollUsage);
    bool ok = false;
    const int cycles = p.value("cycles").toInt(&ok);
    if (!ok || cycles < 1 || cycles > 1'000'000) return fail(ExitUsage, "bad --cycles: use 1..1000000");
    if (addresses.size() > 1) return pollBus(app, options, addresses, cycles);

    CtlLink link(app, options);
    if (int code = link.open(); code != ExitOk) return code;
    UpsSession& scheduler = link.scheduler();

    int cycle = 0;
    QObject::connect(&scheduler, &UpsSession::liveCycleEnded, &app, [&] {
        std::printf("%s\n", cycleLine(++cycle, scheduler).constData());
        std::fflush(stdout);
        if (cycle < cycles) return;
        // A cycle also ends when every request went unanswered: only a live link is a success.
        link.finish(scheduler.linkOk() ? ExitOk : link.noAnswer(QStringLiteral("poll")));
    });
    QObject::connect(&scheduler, &UpsSession::modelRejected, &app, [&] {
        link.finish(fail(ExitModel, linkMessageText(LinkMessage::SelectModel, 1) +
                                        QStringLiteral(" (model code %1 not recognised; give --model)")
                                            .arg(scheduler.live().LiveData[78])));
    });
    link.onTimeout = [&] {
        if (!link.everLinked() || !scheduler.linkOk() || link.portLost()) return link.noAnswer(QStringLiteral("poll"));
        return fail(ExitNoAnswer, QStringLiteral("gave up after %1 s with %2 of %3 cycles")
                                      .arg(options.timeoutSeconds)
                                      .arg(cycle)
                                      .arg(cycles));
    };
    return link.run();
}

} // namespace zavctl
