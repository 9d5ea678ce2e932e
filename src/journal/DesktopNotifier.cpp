#include "journal/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>

namespace zav {

Q_LOGGING_CATEGORY(lcNotify, "zav.notify")

namespace {
constexpr Texts3 kAppName{"ZAV UPS", "ZAV UPS", "ZAV UPS"};
} // namespace

std::optional<Notification> notificationFor(const UpsEvent& event, const std::array<bool, kNotifyChoiceCount>& choices,
                                            int language) {
    const NotifyChoice c = notifyChoiceOf(event.type);
    if (c == NotifyChoice::Count || !choices[size_t(c)]) return std::nullopt;
    Notification n;
    n.summary = eventTitle(event.type, language);
    n.body = event.text;
    if (!event.ups.isEmpty()) n.body += QStringLiteral("\n") + event.ups;
    switch (event.type) {
    case EventType::PowerFail:
    case EventType::BatteryLow:
    case EventType::OutputOff:
    case EventType::LinkLost: n.urgency = 2; break;
    case EventType::PowerBack:
    case EventType::LinkUp: n.urgency = 0; break;
    default: n.urgency = 1;
    }
    return n;
}

DesktopNotifier::DesktopNotifier(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(std::move(bus)) {
    choices_.fill(true);
}

void DesktopNotifier::missing(const QString& why) {
    ++undelivered_;
    if (!missingSaid_) qCDebug(lcNotify).noquote() << "no desktop notifications:" << why;
    missingSaid_ = true;
    emit answered(false);
}

void DesktopNotifier::notify(const UpsEvent& event) {
    const std::optional<Notification> n = notificationFor(event, choices_, language_);
    if (!n) return;
    if (!bus_.isConnected()) {
        missing(QStringLiteral("no session bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                                       QStringLiteral("/org/freedesktop/Notifications"),
                                                       QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(n->urgency)));
    call << pickText(kAppName, language_) << uint(0) << QStringLiteral("battery") << n->summary << n->body
         << QStringList() << hints << int(-1);
    // No auto-start: a desktop without the service answers at once instead of after a timeout.
    call.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError()) {
            missing(w->error().message());
            return;
        }
        ++delivered_;
        emit answered(true);
    });
}

} // namespace zav
