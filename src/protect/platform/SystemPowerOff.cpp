#include "protect/platform/SystemPowerOff.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QProcess>

namespace zav {

namespace {

// D-Bus errors that mean "you may not", as opposed to "nobody answered".
bool isRefusal(const QDBusError& e) {
    const QString n = e.name();
    return e.type() == QDBusError::AccessDenied || n.contains(QLatin1String("InteractiveAuthorizationRequired")) ||
           n.contains(QLatin1String("BlockedByInhibitor")) || n.contains(QLatin1String("NotAuthorized"));
}

} // namespace

void SystemPowerOff::powerOff(std::function<void(const PowerOffResult&)> done) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return viaSystemctl(QStringLiteral("no system D-Bus: ") + bus.lastError().message(), done);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << false; // not interactive: nobody may be at the desk to type a password
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 20000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [this, watcher, done] {
        watcher->deleteLater();
        const QDBusPendingReply<> reply = *watcher;
        if (!reply.isError()) return done({PowerOffOutcome::Started, QStringLiteral("logind accepted PowerOff")});
        const QDBusError e = reply.error();
        const QString what = e.name() + QStringLiteral(": ") + e.message();
        if (isRefusal(e)) return done({PowerOffOutcome::Refused, QStringLiteral("logind refused: ") + what});
        viaSystemctl(QStringLiteral("logind not reachable (") + what + u')', done);
    });
}

void SystemPowerOff::viaSystemctl(const QString& why, std::function<void(const PowerOffResult&)> done) {
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(process, &QProcess::finished, process, [process, why, done](int code, QProcess::ExitStatus st) {
        process->deleteLater();
        const QString out = QString::fromLocal8Bit(process->readAll()).trimmed();
        if (st == QProcess::NormalExit && code == 0)
            return done({PowerOffOutcome::Started, why + QStringLiteral("; systemctl poweroff accepted")});
        // systemctl says "Access denied" or asks for authentication when the user has no right.
        const bool denied = out.contains(QLatin1String("denied"), Qt::CaseInsensitive) ||
                            out.contains(QLatin1String("authentication"), Qt::CaseInsensitive) ||
                            out.contains(QLatin1String("not authorized"), Qt::CaseInsensitive);
        done({denied ? PowerOffOutcome::Refused : PowerOffOutcome::Failed,
              why + QStringLiteral("; systemctl poweroff: status %1: %2").arg(code).arg(out)});
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, why, done](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart) return;
        process->deleteLater();
        done({PowerOffOutcome::Failed, why + QStringLiteral("; systemctl could not be started")});
    });
    process->start(QStringLiteral("systemctl"), {QStringLiteral("poweroff"), QStringLiteral("--no-ask-password"),
                                                  QStringLiteral("-i")});
}

} // namespace zav
