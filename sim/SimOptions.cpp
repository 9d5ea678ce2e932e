#include "SimOptions.h"

#include "link/LinkTypes.h"

#include <QCommandLineParser>
#include <QFile>
#include <algorithm>

namespace zav::sim {

namespace {
bool intIn(const QString& text, int lo, int hi, int* out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < lo || v > hi) return false;
    *out = v;
    return true;
}
} // namespace

OptionsParse parseSimOptions(const QStringList& arguments) {
    OptionsParse result;
    QCommandLineParser p;
    p.setApplicationDescription(
        "A virtual UPS: a Modbus slave on a pseudo-terminal. Prints the device path to open.");
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption model("model", "UPS model 0-8 (default 1).", "n", "1");
    const QCommandLineOption modelCode("model-code",
                                       "Raw model code in register 78 (0 makes detection fail).", "n");
    const QCommandLineOption address("address", "Slave address 1-254 (default 1).", "n", "1");
    const QCommandLineOption proto("proto", "ascii or rtu (default ascii).", "mode", "ascii");
    const QCommandLineOption baud("baud", "1200, 2400, 4800, 9600, 14400, 19200 or 38400 (default 9600).",
                                  "rate", "9600");
    const QCommandLineOption link("link", "Also reach the device through this symbolic link.", "path");
    const QCommandLineOption scenario("scenario", "Timed events, one a line: 'at 10s utility-fail'.", "file");
    const QCommandLineOption event("event", "One timed event, e.g. '10s utility-fail' (repeatable).", "event");
    const QCommandLineOption fault("fault",
                                   "checksum, byte-count, truncate, exception or garbage, on every reply or "
                                   "on every n-th with KIND:n (repeatable).",
                                   "kind[:n]");
    const QCommandLineOption delay("delay", "Answer every request this many ms late.", "ms");
    const QCommandLineOption load("load", "Load in percent of the rating (default 45).", "percent");
    const QCommandLineOption restore("restore-delay",
                                     "After a switch-off with the mains present, back on after this many s "
                                     "(default 10).",
                                     "s");
    const QCommandLineOption modules("modules", "Modules (power units) present at start.", "n");
    const QCommandLineOption mismatch("baud-mismatch", "Frames at another rate: silent (default) or garbage.",
                                      "how");
    const QCommandLineOption history("history", "Events in the history log at start (default 60).", "n");
    const QCommandLineOption scodes("scodes", "Maintenance codes at start (default 6).", "n");
    const QCommandLineOption clock("clock", "UPS clock at start, yyyy-MM-ddTHH:mm:ss.", "time");
    const QCommandLineOption unit("unit",
                                  "One of several UPSes on the line: its address, model and optionally a "
                                  "scenario file of its own (repeatable; other addresses stay silent).",
                                  "addr:model[:scenario]");
    const QCommandLineOption verbose({"v", "verbose"}, "Log every request, reply and event to stderr.");
    const QCommandLineOption pace("pace", "Carry bytes both ways no faster than the line's baud rate allows.");
    const QCommandLineOption stats("stats",
                                   "Write the bytes that crossed the line and their wire time to this file, "
                                   "on SIGUSR1 and at the end.",
                                   "file");
    p.addOptions({help, model, modelCode, address, proto, baud, link, scenario, event, fault, delay, load,
                  restore, modules, mismatch, history, scodes, clock, unit, verbose, pace, stats});
    addFirmwareOptions(p);
    result.helpText = p.helpText();

    auto bad = [&result](const QString& text) {
        result.error = text;
        return result;
    };
    if (!p.parse(arguments)) return bad(p.errorText());
    if (!p.positionalArguments().isEmpty())
        return bad(QString("unexpected argument '%1'").arg(p.positionalArguments().first()));
    SimOptions& o = result.options;
    SimConfig& c = o.config;
    o.help = p.isSet(help);
    o.verbose = p.isSet(verbose);
    o.paced = p.isSet(pace);
    o.statsPath = p.value(stats);
    if (!intIn(p.value(model), 0, 8, &c.upsModel)) return bad("--model must be 0 to 8");
    if (p.isSet(modelCode) && !intIn(p.value(modelCode), 0, 65535, &c.modelCode))
        return bad("--model-code must be 0 to 65535");
    if (!intIn(p.value(address), 1, 254, &c.address)) return bad("--address must be 1 to 254");
    const QString protoText = p.value(proto).toLower();
    if (protoText == "ascii")
        c.protocol = Protocol::Ascii;
    else if (protoText == "rtu")
        c.protocol = Protocol::Rtu;
    else
        return bad("--proto must be ascii or rtu");
    int rate = 0;
    if (!intIn(p.value(baud), 1, 10'000'000, &rate) ||
        std::find(kBaudItems.begin(), kBaudItems.end(), rate) == kBaudItems.end())
        return bad("--baud must be one of 1200, 2400, 4800, 9600, 14400, 19200, 38400");
    c.baud = rate;
    o.linkPath = p.value(link);
    int number = 0;
    if (p.isSet(load)) {
        if (!intIn(p.value(load), 0, 200, &number)) return bad("--load must be 0 to 200");
        c.loadPercent = number;
    }
    if (p.isSet(restore) && !intIn(p.value(restore), 0, 86400, &c.restoreDelaySeconds))
        return bad("--restore-delay must be 0 to 86400 seconds");
    if (p.isSet(modules)) {
        const int slotCount = isModular(profileFor(c.upsModel)) ? profileFor(c.upsModel).moduleSlots : 10;
        if (!intIn(p.value(modules), 0, slotCount, &c.modules))
            return bad(QString("--modules must be 0 to %1 for model %2").arg(slotCount).arg(c.upsModel));
    }
    if (p.isSet(mismatch)) {
        const QString how = p.value(mismatch);
        if (how == "silent")
            c.mismatch = BaudMismatch::Silent;
        else if (how == "garbage")
            c.mismatch = BaudMismatch::Garbage;
        else
            return bad("--baud-mismatch must be silent or garbage");
    }
    if (p.isSet(history) && !intIn(p.value(history), 0, kHistoryCapacity, &c.historyEvents))
        return bad(QString("--history must be 0 to %1").arg(kHistoryCapacity));
    if (p.isSet(scodes) && !intIn(p.value(scodes), 0, kSCodeCapacity, &c.scodeRecords))
        return bad(QString("--scodes must be 0 to %1").arg(kSCodeCapacity));
    if (p.isSet(clock)) {
        c.clockStart = QDateTime::fromString(p.value(clock), Qt::ISODate);
        if (!c.clockStart.isValid() || c.clockStart.date().year() < 2000 || c.clockStart.date().year() > 2099)
            return bad("--clock must be a time such as 2024-06-01T08:00:00 in 2000-2099");
    }
    for (const QString& rule : p.values(fault)) {
        const QStringList parts = rule.split(':');
        const auto kind = faultKindFromName(parts[0]);
        FaultOption f{kind.value_or(FaultKind::Checksum), 1};
        if (!kind || parts.size() > 2 || (parts.size() == 2 && !intIn(parts[1], 1, 1'000'000, &f.every)))
            return bad(QString("--fault '%1': expected checksum, byte-count, truncate, exception or garbage, "
                               "optionally :n")
                           .arg(rule));
        o.faults.append(f);
    }
    if (p.isSet(delay) && !intIn(p.value(delay), 0, 60'000, &o.delayMs))
        return bad("--delay must be 0 to 60000 ms");
    if (p.isSet(scenario)) {
        QFile file(p.value(scenario));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return bad(QString("cannot read the scenario %1: %2").arg(file.fileName(), file.errorString()));
        const ScenarioParse parsed = parseScenario(QString::fromUtf8(file.readAll()));
        if (!parsed.ok()) return bad(QString("%1: %2").arg(file.fileName(), parsed.error));
        o.scenario = parsed.scenario;
    }
    for (const QString& timedEvent : p.values(event)) {
        ScenarioEvent e;
        QString error;
        if (!parseEvent(timedEvent, &e, &error)) return bad(QString("--event '%1': %2").arg(timedEvent, error));
        o.scenario.events.append(e);
    }
    if (const QString e = readFirmwareOptions(p, o.firmware); !e.isEmpty()) return bad(e);
    std::stable_sort(o.scenario.events.begin(), o.scenario.events.end(),
                     [](const ScenarioEvent& a, const ScenarioEvent& b) { return a.atMs < b.atMs; });
    if (p.isSet(unit) && (p.isSet(address) || p.isSet(model)))
        return bad("--unit gives each UPS its address and model: leave out --address and --model");
    for (const QString& text : p.values(unit)) {
        // The scenario path may itself hold colons: only the first two separate.
        const int first = text.indexOf(':');
        const int second = first < 0 ? -1 : text.indexOf(':', first + 1);
        UnitOption u;
        const QString modelText = second < 0 ? text.mid(first + 1) : text.mid(first + 1, second - first - 1);
        if (first < 0 || !intIn(text.left(first), 1, 254, &u.address) || !intIn(modelText, 0, 8, &u.model))
            return bad(QString("--unit '%1': expected ADDRESS:MODEL[:SCENARIO], address 1-254, model 0-8").arg(text));
        for (const UnitOption& other : o.units)
            if (other.address == u.address) return bad(QString("--unit: address %1 given twice").arg(u.address));
        if (second >= 0) {
            QFile file(text.mid(second + 1));
            if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
                return bad(QString("cannot read the scenario %1: %2").arg(file.fileName(), file.errorString()));
            const ScenarioParse parsed = parseScenario(QString::fromUtf8(file.readAll()));
            if (!parsed.ok()) return bad(QString("%1: %2").arg(file.fileName(), parsed.error));
            u.scenario = parsed.scenario;
            u.ownScenario = true;
        }
        o.units.append(u);
    }
    return result;
}

QVector<SimConfig> unitConfigs(const SimOptions& options) {
    if (options.units.isEmpty()) return {options.config};
    QVector<SimConfig> configs;
    for (const UnitOption& u : options.units) {
        SimConfig c = options.config;
        c.address = u.address;
        c.upsModel = u.model;
        configs.append(c);
    }
    return configs;
}

void applyOptions(const SimOptions& options, VirtualUps& ups, int unit) {
    for (const FaultOption& f : options.faults)
        ups.faults().add(f.kind, f.every);
    if (options.delayMs > 0) ups.faults().setDelay(options.delayMs);
    const bool own = unit < options.units.size() && options.units[unit].ownScenario;
    ups.schedule(own ? options.units[unit].scenario : options.scenario, 0);
    if (unit == 0) applyFirmwareOptions(options.firmware, ups, nullptr);
}

} // namespace zav::sim
