#include "Scenario.h"

#include <QRegularExpression>
#include <algorithm>

namespace zav::sim {

namespace {
struct Plain {
    const char* name;
    EventKind kind;
};
// Events without arguments.
constexpr Plain kPlain[] = {
    {"utility-fail", EventKind::UtilityFail},
    {"utility-restore", EventKind::UtilityRestore},
    {"bypass-fail", EventKind::BypassFail},
    {"bypass-restore", EventKind::BypassRestore},
    {"battery-low", EventKind::BatteryLow},
    {"battery-disconnect", EventKind::BatteryDisconnect},
    {"battery-connect", EventKind::BatteryConnect},
    {"epo", EventKind::Epo},
    {"epo-clear", EventKind::EpoClear},
    {"switch-on", EventKind::SwitchOn},
    {"faults-clear", EventKind::FaultsClear},
};

bool toInt(const QString& s, int lo, int hi, int* out) {
    bool ok = false;
    const int v = s.toInt(&ok);
    if (!ok || v < lo || v > hi) return false;
    *out = v;
    return true;
}

bool fail(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}

// "for <duration>" at words[i], if present.
bool takeFor(const QStringList& w, int& i, qint64* duration, QString* error) {
    if (i >= w.size()) return true;
    if (w[i] != QLatin1String("for") || i + 1 >= w.size()) return fail(error, "expected 'for DURATION'");
    *duration = parseDuration(w[i + 1]);
    if (*duration <= 0) return fail(error, QString("bad duration '%1'").arg(w[i + 1]));
    i += 2;
    return true;
}
} // namespace

qint64 parseDuration(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^(\\d+(?:\\.\\d+)?)(ms|s|m|h)?$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch()) return -1;
    const double v = m.captured(1).toDouble();
    const QString unit = m.captured(2);
    const double factor = unit == QLatin1String("ms")  ? 1
                          : unit == QLatin1String("m") ? 60'000
                          : unit == QLatin1String("h") ? 3'600'000
                                                       : 1000;
    return qint64(v * factor + 0.5);
}

bool parseEvent(const QString& line, ScenarioEvent* out, QString* error) {
    QStringList w = line.simplified().split(' ', Qt::SkipEmptyParts);
    if (!w.isEmpty() && w[0] == QLatin1String("at")) w.removeFirst();
    if (w.size() < 2) return fail(error, "expected 'at TIME EVENT'");
    ScenarioEvent e;
    e.text = line.simplified();
    e.atMs = parseDuration(w[0]);
    if (e.atMs < 0) return fail(error, QString("bad time '%1'").arg(w[0]));
    const QString name = w[1];
    int i = 2;
    bool known = false;
    for (const Plain& p : kPlain) {
        if (name == QLatin1String(p.name)) {
            e.kind = p.kind;
            known = true;
        }
    }
    auto need = [&](int n) { return w.size() >= i + n; };
    if (known) {
        // no arguments
    } else if (name == QLatin1String("load") || name == QLatin1String("battery-capacity")) {
        e.kind = name == QLatin1String("load") ? EventKind::Load : EventKind::BatteryCapacity;
        const int hi = e.kind == EventKind::Load ? 200 : 100;
        if (!need(1) || !toInt(w[i], 0, hi, &e.number))
            return fail(error, QString("%1 needs a percent 0-%2").arg(name).arg(hi));
        ++i;
    } else if (name == QLatin1String("module")) {
        if (!need(2) || !toInt(w[i], 1, 30, &e.number))
            return fail(error, "module needs a number 1-30 and an action");
        const QString action = w[i + 1];
        i += 2;
        if (action == QLatin1String("remove"))
            e.kind = EventKind::ModuleRemove;
        else if (action == QLatin1String("insert"))
            e.kind = EventKind::ModuleInsert;
        else if (action == QLatin1String("clear"))
            e.kind = EventKind::ModuleClear;
        else if (action == QLatin1String("fault")) {
            e.kind = EventKind::ModuleFault;
            if (!need(1) || !toInt(w[i], 1, 33, &e.item))
                return fail(error, "module fault needs an item 1-33");
            ++i;
        } else {
            return fail(error, QString("unknown module action '%1'").arg(action));
        }
    } else if (name == QLatin1String("silent")) {
        e.kind = EventKind::Silent;
        if (!need(1) || (e.durationMs = parseDuration(w[i])) <= 0)
            return fail(error, "silent needs a duration");
        ++i;
    } else if (name == QLatin1String("fault")) {
        e.kind = EventKind::Fault;
        const auto kind = need(1) ? faultKindFromName(w[i]) : std::nullopt;
        if (!kind)
            return fail(error, "fault needs a kind: checksum, byte-count, truncate, exception, garbage");
        e.fault = *kind;
        ++i;
        if (i < w.size() && w[i] == QLatin1String("every")) {
            if (!need(2) || !toInt(w[i + 1], 1, 1000000, &e.every)) return fail(error, "every needs a count");
            i += 2;
        }
        if (!takeFor(w, i, &e.durationMs, error)) return false;
    } else if (name == QLatin1String("delay")) {
        e.kind = EventKind::Delay;
        const qint64 d = need(1) ? parseDuration(w[i]) : -1;
        if (d < 0 || d > 60'000) return fail(error, "delay needs a duration up to 60s");
        e.delayMs = int(d);
        ++i;
        if (!takeFor(w, i, &e.durationMs, error)) return false;
    } else if (name == QLatin1String("baud")) {
        e.kind = EventKind::Baud;
        if (!need(1) || !toInt(w[i], 1, 10'000'000, &e.number)) return fail(error, "baud needs a rate");
        ++i;
    } else if (name == QLatin1String("model-code")) {
        e.kind = EventKind::ModelCode;
        if (!need(1) || !toInt(w[i], 0, 65535, &e.number))
            return fail(error, "model-code needs a number 0-65535");
        ++i;
    } else {
        return fail(error, QString("unknown event '%1'").arg(name));
    }
    if (i < w.size()) return fail(error, QString("unexpected '%1'").arg(w.mid(i).join(' ')));
    *out = e;
    return true;
}

ScenarioParse parseScenario(const QString& text) {
    ScenarioParse result;
    const QStringList lines = text.split('\n');
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        ScenarioEvent e;
        QString error;
        if (!parseEvent(line, &e, &error)) {
            result.error = QString("line %1: %2").arg(n + 1).arg(error);
            return result;
        }
        result.scenario.events.append(e);
    }
    std::stable_sort(result.scenario.events.begin(), result.scenario.events.end(),
                     [](const ScenarioEvent& a, const ScenarioEvent& b) { return a.atMs < b.atMs; });
    return result;
}

} // namespace zav::sim
