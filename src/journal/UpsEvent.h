#pragma once
// One thing that happened to the UPS or to its protection, as the journal keeps it, the
// notifications show it and the command hook passes it on. Every event has a type with a fixed
// name (the hook's ZAV_EVENT, the journal's "event" column) and a kind that groups the types for the
// filters; its text is written in the language chosen when it happened.

#include "foundation/LanguageText.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace zav {

enum class EventType : int {
    LinkUp,
    LinkLost,
    Disconnected,
    ModelDetected,
    ModelRejected,
    PowerFail,
    PowerBack,
    BatteryLow,
    BatteryLowGone,
    BypassOn,
    BypassOff,
    OutputOff,
    OutputOn,
    AlarmRaised,
    AlarmCleared,
    Command,
    SettingWrite,
    CountdownStarted,
    CountdownCancelled,
    ShutdownBegun,
    Count
};
inline constexpr int kEventTypeCount = int(EventType::Count);

struct EventTypeInfo {
    EventType type;
    const char* name; // "power-fail", ...
    const char* kind; // "link", "power", "alarm", "command", "protection"
    Texts3 title;
};
const EventTypeInfo& eventTypeInfo(EventType type);
// The type of a name, or Count for an unknown name.
EventType eventTypeFromName(const QString& name);
// The kinds in the order the filters list them.
QStringList eventKinds();
QString eventKindTitle(const QString& kind, int language);
QString eventTitle(EventType type, int language);

struct UpsEvent {
    EventType type = EventType::LinkUp;
    QDateTime time;  // UTC, milliseconds
    QString ups;     // the UPS's name ("zav" in zavd, the port in the window)
    QString text;    // what the user reads: the title, then what it concerns
    QString details; // for the record: registers, values, codes ("reg=358 value=60 outcome=Done")

    QString name() const { return QString::fromLatin1(eventTypeInfo(type).name); }
    QString kind() const { return QString::fromLatin1(eventTypeInfo(type).kind); }
};

} // namespace zav
