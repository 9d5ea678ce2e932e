// zavctl command: sends one remote-control command, as the remote-control page does, and says how
// the UPS answered. `zavctl command --list` names the commands the connected model accepts. The
// command goes out after the first live cycle, so the model, the battery conditions and the
// modules present are known and checked first, with the page's own rules.

#include "CtlCommon.h"
#include "Commands.h"
#include "foundation/AppTexts.h"
#include "service/ControlCommands.h"

#include <cstdio>

using namespace zav;

namespace zavctl {

namespace {

const char* kCommandUsage =
    "usage: zavctl command NAME [--module N|all] --port PATH [--baud 9600|...|auto] [--proto ascii|rtu]\n"
    "                      [--addr N] [--model auto|0..8] [--timeout S]\n"
    "       zavctl command --list --port PATH [...]   (the commands the connected model accepts)\n";

// What to send: register, value and a name for messages; or the reason it cannot be sent.
struct Planned {
    uint16_t reg = 0;
    uint16_t value = 0;
    QString what;
    QString refusal;
};

Planned plan(const QString& name, const QString& moduleText, const UpsSession& s) {
    Planned p;
    p.what = name;
    const int model = s.upsModel();
    if (const ControlCommand* c = findCommand(name)) {
        if (!moduleText.isEmpty()) {
            p.refusal = "--module belongs to the module commands only";
            return p;
        }
        if (!modelHasCommand(*c, model)) {
            p.refusal = QStringLiteral("UPS model %1 has no command '%2'").arg(model).arg(name);
            return p;
        }
        // The battery conditions of the test buttons: the UPS could not carry the command out.
        if (const QString why = conditionFailure(c->condition, s.live().LiveStatus); !why.isEmpty()) {
            p.refusal = QStringLiteral("'%1' not sent: %2").arg(name, why);
            return p;
        }
        p.reg = c->reg;
        p.value = c->value;
        return p;
    }
    const int action = moduleActionIndex(name);
    if (action < 0) {
        p.refusal = QStringLiteral("unknown command '%1' (zavctl command --list names them)").arg(name);
        return p;
    }
    if (!modelHasModuleCommands(model)) {
        p.refusal = QStringLiteral("UPS model %1 has no module commands").arg(model);
        return p;
    }
    if (moduleText.isEmpty()) {
        p.refusal = QStringLiteral("'%1' needs --module N or --module all").arg(name);
        return p;
    }
    // The modules the page's module box would offer now.
    const BoxItems box = moduleIdBox(model, s.live().modules, s.live().LiveStatus, 0, LangEN);
    const bool all = moduleText.compare("all", Qt::CaseInsensitive) == 0;
    if (all ? !box.items.contains(moduleAllText(LangEN)) : !box.items.contains(moduleText)) {
        p.refusal = QStringLiteral("module '%1' is not present (present: %2)")
                        .arg(moduleText, box.items.isEmpty() ? QStringLiteral("none") : box.items.join(", ").replace(moduleAllText(LangEN), QStringLiteral("all")));
        return p;
    }
    if (all && action < 4) {
        p.refusal = QStringLiteral("'%1' goes to one module at a time, not to all").arg(name);
        return p;
    }
    p.reg = 356;
    p.value = moduleCommandValue(all ? kAllModules : moduleText.toInt(), action);
    p.what = QStringLiteral("%1 --module %2").arg(name, moduleText);
    return p;
}

void printList(const UpsSession& s) {
    std::printf("name,register,value,description\n");
    for (const ControlCommand& c : controlCommands())
        if (modelHasCommand(c, s.upsModel()))
            std::printf("%s,%d,%d,%s\n", c.name, c.reg, c.value, c.description);
    if (modelHasModuleCommands(s.upsModel())) {
        for (int a = 0; a < kModuleActionCount; ++a)
            std::printf("%s,356,,%s (--module N%s)\n", moduleAction(a).name, moduleAction(a).description,
                        a >= 4 ? "|all" : "");
    }
    std::fflush(stdout);
}

const char* outcomeName(WriteOutcome o) {
    switch (o) {
    case WriteOutcome::Accepted: return "accepted";
    case WriteOutcome::Refused: return "refused";
    case WriteOutcome::NoAnswer: return "no-answer";
    case WriteOutcome::Damaged: return "damaged";
    case WriteOutcome::Unchanged: return "unchanged";
    case WriteOutcome::Abandoned: return "abandoned";
    }
    return "";
}

} // namespace

int runCommand(QCoreApplication& app, const QStringList& args) {
    QCommandLineParser p;
    addLinkOptions(p, 30);
    p.addOption({"list", "Print the commands the connected model accepts (CSV) and exit."});
    p.addOption({"module", "Module of a module command: its number, or 'all'.", "n"});
    p.addPositionalArgument("name", "The command, as --list names it.");
    if (int code = parseCommandLine(p, args, kCommandUsage); code >= 0) return code;
    const bool list = p.isSet("list");
    const QStringList names = p.positionalArguments();
    if (list ? !names.isEmpty() : names.size() != 1)
        return fail(ExitUsage, QStringLiteral("give one command name, or --list\n") + kCommandUsage);
    const QString name = list ? QString() : names.first();
    const QString moduleText = p.value("module").trimmed();
    // Names are checked before the port is touched.
    if (!list && !findCommand(name) && moduleActionIndex(name) < 0)
        return fail(ExitUsage, QStringLiteral("unknown command '%1' (zavctl command --list names them)").arg(name));
    LinkOptions options;
    if (QString error = readLinkOptions(p, options); !error.isEmpty()) return fail(ExitUsage, error + "\n" + kCommandUsage);

    CtlLink link(app, options);
    if (int code = link.open(); code != ExitOk) return code;
    UpsSession& scheduler = link.scheduler();
    bool sent = false;
    Planned planned;

    QObject::connect(&scheduler, &UpsSession::liveCycleEnded, &app, [&] {
        if (sent) return;
        if (!scheduler.linkOk()) return link.finish(link.noAnswer(QStringLiteral("command")));
        if (list) {
            printList(scheduler);
            return link.finish(ExitOk);
        }
        planned = plan(name, moduleText, scheduler);
        if (!planned.refusal.isEmpty()) return link.finish(fail(ExitRefused, planned.refusal));
        sent = scheduler.startControlCommand(planned.reg, planned.value);
        if (!sent) link.finish(link.noAnswer(QStringLiteral("command")));
    });
    QObject::connect(&scheduler, &UpsSession::controlCommandEnded, &app, [&](const WriteResult& r) {
        if (!sent) return;
        std::printf("{\"command\":\"%s\",\"register\":%d,\"value\":%d,\"outcome\":\"%s\",\"exception\":%d}\n",
                    qPrintable(planned.what), r.reg, r.value, outcomeName(r.outcome), r.exceptionCode);
        std::fflush(stdout);
        const QString text = writeResultText(r, planned.what, LangEN);
        switch (r.outcome) {
        case WriteOutcome::Accepted: note(text); return link.finish(ExitOk);
        case WriteOutcome::Refused: return link.finish(fail(ExitRefused, text));
        case WriteOutcome::Abandoned: return link.finish(fail(ExitFailed, text));
        default: return link.finish(fail(ExitNoAnswer, text));
        }
    });
    QObject::connect(&scheduler, &UpsSession::modelRejected, &app, [&] {
        link.finish(fail(ExitModel, QStringLiteral("model code %1 not recognised; give --model")
                                        .arg(scheduler.live().LiveData[78])));
    });
    return link.run();
}

} // namespace zavctl
