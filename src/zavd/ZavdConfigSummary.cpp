#include "zavd/ZavdConfigSummary.h"

#include "journal/TrendStore.h"

#include <QStringList>

namespace zav {

namespace {

QString linkText(const ConnectRequest& l) {
    const QString baud = l.baudItem >= 0 && l.baudItem < int(kBaudItems.size())
                             ? QString::number(kBaudItems[size_t(l.baudItem)])
                             : QStringLiteral("auto");
    const QString model = l.modelItem == 0 ? QStringLiteral("auto") : QString::number(l.modelItem - 1);
    return QStringLiteral("Port=%1 Protocol=%2 Baud=%3 Address=%4 Model=%5")
        .arg(l.portName, l.protocol == Protocol::Rtu ? QStringLiteral("rtu") : QStringLiteral("ascii"), baud,
             l.addressText, model);
}

QString linkLine(const ZavdConfig& c) {
    return QStringLiteral("[Link] %1 Timing=%2 ExtraGapMs=%3")
        .arg(linkText(c.link), linkTimingName(c.timing.mode))
        .arg(c.timing.extraGapMs);
}

QString userLine(const NutUser& u) {
    QStringList rights;
    if (u.maySet) rights << QStringLiteral("SET");
    if (u.mayForceShutdown) rights << QStringLiteral("FSD");
    QString line = QStringLiteral("[User %1] Actions=%2 InstCmds=%3")
                       .arg(u.name, rights.join(u' '), u.commands.join(u' '));
    if (!u.upsmon.isEmpty()) line += QStringLiteral(" Upsmon=") + u.upsmon;
    return line;
}

// Every key of the policy from the tables the reader uses, so a new control shows up here too.
QString policyLine(const ShutdownConfig& s) {
    QStringList keys;
    for (const ShutdownCheckBox& k : kShutdownCheckBoxes)
        keys << QStringLiteral("%1=%2").arg(QLatin1String(k.name)).arg(s.*k.field ? 1 : 0);
    for (const ShutdownRange& k : kShutdownRanges) keys << QStringLiteral("%1=%2").arg(QLatin1String(k.name)).arg(s.*k.field);
    if (s.runProgram) keys << QStringLiteral("EditRunExProcedureAddr=") + s.programLine.trimmed();
    return QStringLiteral("[ShutEvents] ") + keys.join(u' ');
}

} // namespace

QString describeZavdConfig(const ZavdConfig& c) {
    QStringList lines;
    lines << linkLine(c);
    lines << QStringLiteral("[Server] Listen=%1 ListenPort=%2 MaxConnections=%3 UpsName=%4 Description=%5")
                 .arg(c.listenAddress)
                 .arg(c.listenPort)
                 .arg(c.maxConnections)
                 .arg(c.upsName, c.description);
    if (c.users.isEmpty()) lines << QStringLiteral("[Server] Users= (none)");
    for (const NutUser& u : c.users) lines << userLine(u);
    if (c.upses.size() > 1)
        for (const ZavdUpsConfig& u : c.upses)
            lines << QStringLiteral("[Ups %1] Description=%2 %3").arg(u.name, u.description, linkText(u.link));
    QString power = QStringLiteral("[Power] PowerOff=%1").arg(c.dryRun ? QStringLiteral("dry-run") : QStringLiteral("system"));
    if (!c.fedBy.isEmpty())
        power += QStringLiteral(" FedBy=%1 FedByRule=%2").arg(c.fedBy.join(u' '), c.fedByAll ? QStringLiteral("all") : QStringLiteral("any"));
    lines << power;
    lines << policyLine(c.shutdown);
    lines << (c.journal.database.isEmpty()
                  ? QStringLiteral("[Journal] off")
                  : QStringLiteral("[Journal] Database=%1 MaxAgeDays=%2 MaxSizeMB=%3 Trends=%4 TrendMaxSizeMB=%5")
                        .arg(c.journal.database)
                        .arg(c.journal.retention.maxAgeDays)
                        .arg(c.journal.retention.maxSizeMb)
                        .arg(trendDatabasePath(c.journal.database))
                        .arg(c.journal.trends.maxSizeMb));
    if (!c.journal.hook.commandLine.isEmpty())
        lines << QStringLiteral("[EventCommand] Program=%1 TimeoutSeconds=%2")
                     .arg(c.journal.hook.commandLine)
                     .arg(c.journal.hook.timeoutSeconds);
    return lines.join(u'\n') + u'\n';
}

} // namespace zav
