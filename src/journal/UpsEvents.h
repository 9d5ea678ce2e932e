#pragma once
// The one source of UPS events, in the window and in zavd: it watches what the session reports
// (link state, model, each live cycle's status and alarm words against the previous cycle, how the
// UPS answered each command and settings write) and what the PC protection decided each second, and
// says each change once as an UpsEvent. The journal, the desktop notifications and the command hook
// all take their events from here.

#include "journal/UpsEvent.h"
#include "monitor/PowerState.h"

#include <QObject>
#include <QVector>
#include <functional>

namespace zav {

class UpsSession;
class ShutdownPolicy;
struct WriteResult;

// What one live cycle said about the UPS.
struct UpsCondition {
    bool known = false; // false: nothing read yet; compared as a UPS on line without alarms
    PowerState power;
    QVector<PresentAlarm> alarms;
};
UpsCondition upsCondition(const LiveStores& live);

// The events between two cycles, in a fixed order: output, utility, battery, bypass, alarms raised,
// alarms cleared. Time and UPS name are left to the caller.
QVector<UpsEvent> conditionEvents(const UpsCondition& before, const UpsCondition& now, int upsModel, int language);

// The protection's state that events are made of.
struct ProtectionState {
    bool countdown = false; // a countdown window is wanted (an event is active while enabled)
    bool cancelled = false; // the user cancelled the running countdown
    bool shutdown = false;  // the shutdown sequence has started
    int seconds = 0;        // the countdown's start, for the text
};
ProtectionState protectionState(const ShutdownPolicy& policy);
QVector<UpsEvent> protectionEvents(const ProtectionState& before, const ProtectionState& now, int language);

class UpsEvents : public QObject {
    Q_OBJECT
  public:
    explicit UpsEvents(UpsSession& session, QObject* parent = nullptr);

    void setUpsName(const QString& name) { ups_ = name; }
    // The UPS's name asked at each event (the window: the port it is connected on).
    void setUpsNameSource(std::function<QString()> name) { upsOf_ = std::move(name); }
    void setLanguage(int language) { language_ = language; }
    // The language of the texts, asked at each event (the window's current choice).
    void setLanguageSource(std::function<int()> language) { languageOf_ = std::move(language); }
    // The events' time; default QDateTime::currentDateTimeUtc. Tests give their own.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    // After each second of the protection policy.
    void protectionStepped(const ShutdownPolicy& policy);

  signals:
    void happened(const zav::UpsEvent& event);

  private:
    void emitEvent(UpsEvent e);
    int lang() const { return languageOf_ ? languageOf_() : language_; }
    void linkChecked();
    void cycleEnded();
    void commandEnded(const WriteResult& result);
    void writesEnded(const QVector<WriteResult>& results);

    UpsSession& session_;
    QString ups_;
    int language_ = 1;
    std::function<int()> languageOf_;
    std::function<QString()> upsOf_;
    std::function<QDateTime()> clock_;
    bool linkOk_ = false;
    UpsCondition condition_;
    ProtectionState protection_;
};

} // namespace zav
