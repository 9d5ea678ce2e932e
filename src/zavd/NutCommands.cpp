#include "zavd/NutCommands.h"

#include "foundation/AppTexts.h"
#include "monitor/LiveStores.h"
#include "protect/ShutdownConfig.h"
#include "protect/ShutdownPolicy.h"
#include "service/ControlCommands.h"

namespace zav {

namespace {

const char* const kStandardNames[][2] = {
    {"mute", "beeper.mute"},          {"mute-off", "beeper.enable"},
    {"bypass", "bypass.start"},       {"bypass-off", "bypass.stop"},
    {"battery-test", "test.battery.start"}, {"stop-test", "test.battery.stop"},
};
// Second names: NUT's runtime calibration is the maintenance (deep) discharge, which the status
// shows as CAL; the stop command ends it as it ends a self-test. The zav.* names stay for the
// scripts that use them.
const char* const kAliases[][3] = {
    {"battery-maintenance", "calibrate.start", "Start run time calibration (battery maintenance discharge)"},
    {"stop-test", "calibrate.stop", "Stop run time calibration (stops any battery test)"},
};
const char* const kLoadOff = "load.off.delay";
const char* const kModulePrefix = "zav.module.";

QString nutName(const ControlCommand& c) {
    for (const auto& n : kStandardNames)
        if (qstrcmp(c.name, n[0]) == 0) return QLatin1String(n[1]);
    return QStringLiteral("zav.") + QLatin1String(c.name);
}

NutCommandPlan refuse(const QString& error) {
    NutCommandPlan p;
    p.error = error;
    return p;
}

// The command of a NUT name: its own name or its second one.
bool namesCommand(const ControlCommand& c, const QString& name) {
    if (nutName(c) == name) return true;
    for (const auto& a : kAliases)
        if (qstrcmp(c.name, a[0]) == 0 && name == QLatin1String(a[1])) return true;
    return false;
}

} // namespace

QVector<NutDevice::Command> nutCommands(int model) {
    QVector<NutDevice::Command> out;
    for (const ControlCommand& c : controlCommands())
        if (modelHasCommand(c, model)) out.append({nutName(c), QLatin1String(c.description)});
    for (const auto& a : kAliases)
        for (const ControlCommand& c : controlCommands())
            if (qstrcmp(c.name, a[0]) == 0 && modelHasCommand(c, model)) out.append({QLatin1String(a[1]), QLatin1String(a[2])});
    if (modelHasModuleCommands(model))
        for (int a = 0; a < kModuleActionCount; ++a)
            out.append({QLatin1String(kModulePrefix) + QLatin1String(moduleAction(a).name),
                        QLatin1String(moduleAction(a).description) + QStringLiteral(" (parameter: module number") +
                            (a >= 4 ? QStringLiteral(" or all)") : QStringLiteral(")"))});
    if (protectionModel(model))
        out.append({QLatin1String(kLoadOff), QStringLiteral("Switch the UPS off after the given seconds (1..32767)")});
    return out;
}

NutCommandPlan planNutCommand(const QString& name, const QString& parameter, int model, const LiveStores& live) {
    for (const ControlCommand& c : controlCommands()) {
        if (!namesCommand(c, name) || !modelHasCommand(c, model)) continue;
        if (!parameter.isEmpty()) return refuse(QStringLiteral("INVALID-ARGUMENT: takes no parameter"));
        if (const QString why = conditionFailure(c.condition, live.LiveStatus); !why.isEmpty())
            return refuse(QStringLiteral("INSTCMD-FAILED: ") + why);
        return {c.reg, c.value, {}};
    }
    if (name == QLatin1String(kLoadOff) && protectionModel(model)) {
        bool ok = false;
        const int seconds = parameter.toInt(&ok);
        if (!ok || seconds < 1 || seconds > ShutdownPolicy::kMaxUpsDelay)
            return refuse(QStringLiteral("INVALID-ARGUMENT: give the delay in seconds, 1..32767"));
        return {ShutdownPolicy::kUpsOffRegister, uint16_t(seconds), {}};
    }
    if (name.startsWith(QLatin1String(kModulePrefix)) && modelHasModuleCommands(model)) {
        const int action = moduleActionIndex(name.mid(int(qstrlen(kModulePrefix))));
        if (action < 0) return refuse(QStringLiteral("CMD-NOT-SUPPORTED"));
        const bool all = parameter.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0;
        if (parameter.isEmpty()) return refuse(QStringLiteral("INVALID-ARGUMENT: give the module number or all"));
        if (all && action < 4) return refuse(QStringLiteral("INVALID-ARGUMENT: goes to one module at a time"));
        // The modules the remote-control page would offer now.
        const BoxItems box = moduleIdBox(model, live.modules, live.LiveStatus, 0, LangEN);
        if (all ? !box.items.contains(moduleAllText(LangEN)) : !box.items.contains(parameter))
            return refuse(QStringLiteral("INVALID-ARGUMENT: module %1 is not present").arg(parameter));
        return {356, moduleCommandValue(all ? kAllModules : parameter.toInt(), action), {}};
    }
    return refuse(QStringLiteral("CMD-NOT-SUPPORTED"));
}

} // namespace zav
