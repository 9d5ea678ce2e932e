#include "journal/UpsEvents.h"

#include "foundation/Branding.h"
#include "monitor/BeeperEvents.h"
#include "protect/ShutdownPolicy.h"
#include "service/ControlCommands.h"
#include "session/UpsSession.h"

namespace zav {

namespace {

UpsEvent make(EventType type, int language, const QString& about = {}, const QString& details = {}) {
    UpsEvent e;
    e.type = type;
    e.text = eventTitle(type, language);
    if (!about.isEmpty()) e.text += QStringLiteral(": ") + about;
    e.details = details;
    return e;
}

// One row per flag that has an event on each edge.
struct FlagEvents {
    bool PowerState::*flag;
    EventType raised;
    EventType gone;
};
constexpr FlagEvents kFlagEvents[] = {
    {&PowerState::outputOff, EventType::OutputOff, EventType::OutputOn},
    {&PowerState::onBattery, EventType::PowerFail, EventType::PowerBack},
    {&PowerState::batteryLow, EventType::BatteryLow, EventType::BatteryLowGone},
    {&PowerState::onBypass, EventType::BypassOn, EventType::BypassOff},
};

// Alarm events that are the power state's own words (utility 88, battery low 107): said once, as
// the power event, not a second time as an alarm.
bool saidAsPowerState(const PresentAlarm& a) { return a.unit == 0 && (a.event == 4 || a.event == 16); }

const char* const kOutcomeNames[] = {"accepted", "refused", "no-answer", "damaged", "unchanged", "abandoned"};

QString outcomeDetails(const WriteResult& r) {
    QString d = QStringLiteral("reg=%1 value=%2 outcome=%3").arg(r.reg).arg(r.value).arg(QLatin1String(kOutcomeNames[int(r.outcome)]));
    if (r.outcome == WriteOutcome::Refused) d += QStringLiteral(" exception=%1").arg(r.exceptionCode);
    return d;
}

} // namespace

UpsCondition upsCondition(const LiveStores& live) {
    return {true, powerState(live.LiveStatus), presentAlarms(live)};
}

QVector<UpsEvent> conditionEvents(const UpsCondition& before, const UpsCondition& now, int upsModel, int language) {
    QVector<UpsEvent> out;
    for (const FlagEvents& f : kFlagEvents) {
        const bool was = before.power.*f.flag, is = now.power.*f.flag;
        if (was != is) out << make(is ? f.raised : f.gone, language);
    }
    const auto alarmText = [&](const PresentAlarm& a) { return alarmWarningText(a.event, a.unit, upsModel, language).simplified(); };
    const auto alarmDetails = [](const PresentAlarm& a) { return QStringLiteral("event=%1 unit=%2").arg(a.event).arg(a.unit); };
    for (const PresentAlarm& a : now.alarms)
        if (!saidAsPowerState(a) && !before.alarms.contains(a)) out << make(EventType::AlarmRaised, language, alarmText(a), alarmDetails(a));
    for (const PresentAlarm& a : before.alarms)
        if (!saidAsPowerState(a) && !now.alarms.contains(a)) out << make(EventType::AlarmCleared, language, alarmText(a), alarmDetails(a));
    return out;
}

ProtectionState protectionState(const ShutdownPolicy& policy) {
    ProtectionState s;
    s.countdown = policy.windowWanted();
    s.cancelled = policy.cancelled();
    s.shutdown = policy.started();
    for (const ShutdownPolicy::Event e : {ShutdownPolicy::Utility, ShutdownPolicy::Battery})
        if (policy.active(e)) s.seconds = std::max(s.seconds, policy.delay(e));
    return s;
}

QVector<UpsEvent> protectionEvents(const ProtectionState& before, const ProtectionState& now, int language) {
    QVector<UpsEvent> out;
    if (now.countdown && !before.countdown) {
        const QString seconds = QString::number(now.seconds);
        out << make(EventType::CountdownStarted, language, seconds + QStringLiteral(" s"), QStringLiteral("seconds=") + seconds);
    }
    if (now.cancelled && !before.cancelled) out << make(EventType::CountdownCancelled, language);
    if (now.shutdown && !before.shutdown) out << make(EventType::ShutdownBegun, language);
    return out;
}

UpsEvents::UpsEvents(UpsSession& session, QObject* parent) : QObject(parent), session_(session) {
    connect(&session, &Scheduler::linkStateChanged, this, &UpsEvents::linkChecked);
    connect(&session, &UpsSession::liveCycleEnded, this, &UpsEvents::cycleEnded);
    connect(&session, &UpsSession::controlCommandEnded, this, &UpsEvents::commandEnded);
    connect(&session, &UpsSession::writeSequenceEnded, this, &UpsEvents::writesEnded);
    connect(&session, &UpsSession::modelDetected, this, [this](int comboItem) {
        const QStringList models = brandingModelItems();
        const QString name = comboItem >= 0 && comboItem < models.size() ? models[comboItem] : QString::number(comboItem - 1);
        emitEvent(make(EventType::ModelDetected, lang(), name, QStringLiteral("model=%1").arg(comboItem - 1)));
    });
    connect(&session, &UpsSession::modelRejected, this, [this] { emitEvent(make(EventType::ModelRejected, lang())); });
}

void UpsEvents::emitEvent(UpsEvent e) {
    e.time = clock_ ? clock_() : QDateTime::currentDateTimeUtc();
    e.ups = upsOf_ ? upsOf_() : ups_;
    emit happened(e);
}

void UpsEvents::linkChecked() {
    const bool ok = session_.linkOk();
    if (ok == linkOk_) return;
    linkOk_ = ok;
    if (ok) emitEvent(make(EventType::LinkUp, lang()));
    else emitEvent(make(session_.connected() ? EventType::LinkLost : EventType::Disconnected, lang()));
}

void UpsEvents::cycleEnded() {
    // A cycle can end before the tick's link report; the link is up once a cycle was read.
    linkChecked();
    const UpsCondition now = upsCondition(session_.live());
    for (UpsEvent& e : conditionEvents(condition_, now, session_.upsModel(), lang())) emitEvent(std::move(e));
    // Kept across a lost link: what changed meanwhile is said when the link is back.
    condition_ = now;
}

void UpsEvents::commandEnded(const WriteResult& result) {
    const ControlCommand* c = findCommand(result.reg, result.value);
    const QString what = c ? QString::fromUtf8(c->caption[monitorLanguageIndex(lang())])
                           : QStringLiteral("%1 = %2").arg(result.reg).arg(result.value);
    emitEvent(make(EventType::Command, lang(), writeResultText(result, what, lang()), outcomeDetails(result)));
}

void UpsEvents::writesEnded(const QVector<WriteResult>& results) {
    for (const WriteResult& r : results) {
        if (r.outcome == WriteOutcome::Unchanged) continue; // nothing was sent
        const QString what = QStringLiteral("%1 = %2").arg(r.reg).arg(r.value);
        emitEvent(make(EventType::SettingWrite, lang(), writeResultText(r, what, lang()), outcomeDetails(r)));
    }
}

void UpsEvents::protectionStepped(const ShutdownPolicy& policy) {
    const ProtectionState now = protectionState(policy);
    for (UpsEvent& e : protectionEvents(protection_, now, lang())) emitEvent(std::move(e));
    protection_ = now;
}

} // namespace zav
