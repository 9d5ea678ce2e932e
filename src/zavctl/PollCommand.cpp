// zavctl poll: connects as the Connect button would and prints one JSON line per complete live
// cycle. Succeeds only when the UPS answered and still answers at the end.

#include "CtlCommon.h"
#include "Commands.h"

#include <cstdio>

using namespace zav;

namespace zavctl {

namespace {

const char* kPollUsage = "usage: zavctl poll --port PATH [--baud 9600|...|auto] [--proto ascii|rtu] [--addr N]\n"
                         "                   [--model auto|0..8] [--cycles K] [--timeout S]\n";

QByteArray cycleLine(int cycle, const UpsSession& scheduler) {
    const LiveStores& live = scheduler.live();
    return "{\"cycle\":" + QByteArray::number(cycle) + ",\"LinkOk\":" + (scheduler.linkOk() ? "true" : "false") +
           ",\"UpsModel\":" + QByteArray::number(scheduler.upsModel()) +
           ",\"BaudValue\":" + QByteArray::number(scheduler.baudValue()) + ",\"LiveData\":" + nonZeroJson(live.LiveData) +
           ",\"LiveStatus\":" + nonZeroJson(live.LiveStatus) + ",\"ModuleStatus\":" + nonZeroJson(live.ModuleStatus) +
           ",\"ModuleData\":" + nonZeroJson(live.ModuleData) +
           ",\"SettingData\":" + nonZeroJson(scheduler.settings().SettingData) + "}";
}

} // namespace

int runPoll(QCoreApplication& app, const QStringList& args) {
    QCommandLineParser p;
    addLinkOptions(p);
    p.addOption({"cycles", "Live cycles to print before exiting (default 1).", "k", "1"});
    if (int code = parseCommandLine(p, args, kPollUsage); code >= 0) return code;
    if (!p.positionalArguments().isEmpty())
        return fail(ExitUsage, "unexpected argument: " + p.positionalArguments().first() + "\n" + kPollUsage);
    LinkOptions options;
    if (QString error = readLinkOptions(p, options); !error.isEmpty()) return fail(ExitUsage, error + "\n" + kPollUsage);
    bool ok = false;
    const int cycles = p.value("cycles").toInt(&ok);
    if (!ok || cycles < 1 || cycles > 1'000'000) return fail(ExitUsage, "bad --cycles: use 1..1000000");

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
