#pragma once
// Desktop notifications for the events the user chose (the software settings dialog), sent to
// org.freedesktop.Notifications on the session bus. Nothing waits for the answer: the call is
// asynchronous, and a desktop without a notification service (or without a session bus) is no
// error: it is said once in the debug log and the notifications are counted as not delivered.

#include "journal/JournalConfig.h"

#include <QDBusConnection>
#include <QObject>
#include <optional>

namespace zav {

struct Notification {
    QString summary; // the event's title
    QString body;    // its whole text and the UPS
    int urgency = 1; // 0 low, 1 normal, 2 critical (the hint "urgency")
};
// The notification of an event, or none when the user did not choose its kind.
std::optional<Notification> notificationFor(const UpsEvent& event, const std::array<bool, kNotifyChoiceCount>& choices,
                                            int language);

class DesktopNotifier : public QObject {
    Q_OBJECT
  public:
    explicit DesktopNotifier(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    void setChoices(const std::array<bool, kNotifyChoiceCount>& choices) { choices_ = choices; }
    const std::array<bool, kNotifyChoiceCount>& choices() const { return choices_; }
    void setLanguage(int language) { language_ = language; }
    void notify(const UpsEvent& event);

    int delivered() const { return delivered_; }
    int undelivered() const { return undelivered_; }

  signals:
    void answered(bool delivered); // each notification's outcome, when the bus has answered

  private:
    void missing(const QString& why);

    QDBusConnection bus_;
    std::array<bool, kNotifyChoiceCount> choices_;
    int language_ = 1;
    int delivered_ = 0;
    int undelivered_ = 0;
    bool missingSaid_ = false;
};

} // namespace zav
