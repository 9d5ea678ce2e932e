#include "zavd/ZavdUps.h"

#include "zavd/NutCommands.h"
#include "zavd/NutSettings.h"
#include "protect/ShutdownPolicy.h"

#include <QDateTime>
#include <algorithm>

namespace zav {

namespace {

constexpr int kReconnectMs = 5000;

const char* outcomeText(WriteOutcome o) {
    switch (o) {
    case WriteOutcome::Accepted: return "accepted";
    case WriteOutcome::Refused: return "refused";
    case WriteOutcome::NoAnswer: return "no answer";
    case WriteOutcome::Damaged: return "damaged reply";
    case WriteOutcome::Unchanged: return "unchanged";
    case WriteOutcome::Abandoned: return "stopped by zavd";
    }
    return "";
}

} // namespace

ZavdUps::ZavdUps(const ZavdUpsConfig& config, const TimingOptions& timing, const QVector<NutUser>& users,
                 SerialChannel& channel, bool named, QObject* parent)
    : QObject(parent), config_(config), named_(named), channel_(channel), session_(channel),
      nut_(*this, config.name, config.description, users) {
    // A client that repeats a refused request must not flood the journal.
    nut_.log = [this](const QString& line) {
        if (const QString out = nutLogThrottle_.pass(line, logClock_.elapsed()); !out.isEmpty())
            zavdLog(LogLevel::Notice, QStringLiteral("nut"), out);
    };
    logClock_.start();
    session_.setTiming(timing);
    reconnect_.setInterval(kReconnectMs);
    reconnect_.setSingleShot(true);
    connect(&reconnect_, &QTimer::timeout, this, &ZavdUps::tryConnect);

    connect(&session_, &UpsSession::linkStateChanged, this, &ZavdUps::onLinkState);
    connect(&session_, &UpsSession::portRestored, this, [this] {
        log(LogLevel::Notice, "link", QStringLiteral("port %1 is back").arg(config_.link.portName));
    });
    connect(&session_, &UpsSession::modelDetected, this, [this] {
        log(LogLevel::Info, "link", QStringLiteral("UPS model %1 detected").arg(session_.upsModel()));
        modelDetected_ = true;
    });
    connect(&session_, &UpsSession::settingsDownloaded, this, [this] {
        // A queued setting is planned against what the UPS holds after the read-back.
        QTimer::singleShot(0, this, &ZavdUps::startNextWrite);
        if (!session_.autoModelPending()) settingsRead_ = true;
    });
    // Any change of the stores makes the variables be built again.
    using StoreSignal = void (UpsSession::*)();
    for (StoreSignal signal : std::initializer_list<StoreSignal>{&UpsSession::liveCycleEnded, &UpsSession::settingsDownloaded,
                                                                 &UpsSession::linkReset, &UpsSession::liveStoresCleared,
                                                                 &UpsSession::moduleStageEnded})
        connect(&session_, signal, this, [this] { ++storesGeneration_; });
    // Cleared stores are not data: reads wait for the next whole live cycle.
    connect(&session_, &UpsSession::liveCycleEnded, this, [this] { liveFresh_ = session_.linkOk(); });
    connect(&session_, &UpsSession::linkReset, this, [this] { settingsRead_ = liveFresh_ = false; });
    connect(&session_, &UpsSession::liveStoresCleared, this, [this] { settingsRead_ = liveFresh_ = false; });
    connect(&session_, &UpsSession::modelRejected, this, [this] {
        log(LogLevel::Error, "link", QStringLiteral("model code %1 not recognised; set Model in [Link]; retrying")
                                         .arg(session_.live().LiveData[78]));
        reconnect_.start();
    });
    connect(&session_, &UpsSession::controlCommandEnded, this, [this](const WriteResult& r) {
        if (runningCommandFromNut_) nut_.trackingEnded(NutUps::Tracked::Command, r.outcome == WriteOutcome::Accepted);
        runningCommandFromNut_ = false;
        QTimer::singleShot(0, this, &ZavdUps::startNextCommand);
        log(r.outcome == WriteOutcome::Accepted ? LogLevel::Info : LogLevel::Warning, "command",
            QStringLiteral("register %1 = %2: %3%4")
                .arg(r.reg)
                .arg(r.value)
                .arg(QLatin1String(outcomeText(r.outcome)))
                .arg(r.exceptionCode ? QStringLiteral(" (exception %1)").arg(r.exceptionCode) : QString()));
    });
    // A link reset drops the jobs in flight without an end: what NUT clients handed over has failed.
    connect(&session_, &UpsSession::linkReset, this, &ZavdUps::failQueuedWork);
    connect(&session_, &UpsSession::writeSequenceEnded, this, [this](const QVector<WriteResult>& results) {
        writeRunning_ = false;
        bool held = true;
        for (const WriteResult& r : results)
            held = held && (r.outcome == WriteOutcome::Accepted || r.outcome == WriteOutcome::Unchanged);
        nut_.trackingEnded(NutUps::Tracked::Setting, held);
        for (const WriteResult& r : results)
            log(r.outcome == WriteOutcome::Accepted ? LogLevel::Info : LogLevel::Warning, "settings",
                QStringLiteral("register %1 = %2: %3").arg(r.reg).arg(r.value).arg(QLatin1String(outcomeText(r.outcome))));
    });
}

ZavdUps::~ZavdUps() {
    stop();
}

void ZavdUps::log(LogLevel level, const char* area, const QString& text) const {
    zavdLog(level, QString::fromLatin1(area), named_ ? config_.name + QStringLiteral(": ") + text : text);
}

void ZavdUps::start() {
    tryConnect();
}

void ZavdUps::stop() {
    reconnect_.stop();
    if (session_.connected()) session_.disconnectLink();
}

void ZavdUps::tryConnect() {
    if (session_.connected()) session_.disconnectLink();
    switch (session_.connectLink(config_.link)) {
    case ConnectResult::Connected:
        log(LogLevel::Info, "link", QStringLiteral("port %1 open, waiting for the UPS").arg(config_.link.portName));
        portMissingSaid_ = false;
        return;
    case ConnectResult::WrongAddress:
        log(LogLevel::Error, "link", QStringLiteral("address %1 refused").arg(config_.link.addressText));
        return;
    case ConnectResult::PortOpenFailed:
        if (!portMissingSaid_)
            log(LogLevel::Warning, "link", QStringLiteral("port %1 cannot be opened (%2); trying every %3 s")
                                               .arg(config_.link.portName, channel_.errorText())
                                               .arg(kReconnectMs / 1000));
        portMissingSaid_ = true;
        reconnect_.start();
        return;
    }
}

void ZavdUps::onLinkState() {
    const bool ok = session_.linkOk();
    // A UPS that answers only after the reply wait looks silent; say why once, until it is heard again.
    if (!ok && session_.lateReplies() > 0 && !lateSaid_) {
        lateSaid_ = true;
        log(LogLevel::Warning, "link", lateAnswerText(session_.replyTimeout() * kTickMs, 1));
    }
    if (ok) lateSaid_ = false;
    if (ok == lastLinkOk_) return;
    lastLinkOk_ = ok;
    if (ok)
        log(LogLevel::Notice, "link", QStringLiteral("UPS answers (model %1, %2 baud)")
                                          .arg(session_.upsModel())
                                          .arg(session_.baudValue()));
    else
        log(LogLevel::Warning, "link", QStringLiteral("UPS does not answer"));
}

void ZavdUps::logAlarms() {
    // Without a whole live cycle the status words are not known: nothing starts or ends.
    if (!online()) return;
    QSet<QString> now;
    for (const QString& a : nutAlarms(session_.live(), session_.upsModel())) now.insert(a);
    for (const QString& a : now)
        if (!alarms_.contains(a)) log(LogLevel::Warning, "event", QStringLiteral("alarm: ") + a);
    for (const QString& a : alarms_)
        if (!now.contains(a)) log(LogLevel::Notice, "event", QStringLiteral("alarm gone: ") + a);
    alarms_ = now;
}

void ZavdUps::secondTick() {
    logAlarms();
    startNextCommand();
}

void ZavdUps::queueSwitchOff(uint16_t delay) {
    // The switch-off goes before any command a NUT client queued, and never replaces one in flight.
    commandQueue_.prepend({ShutdownPolicy::kUpsOffRegister, delay, false});
}

bool ZavdUps::online() const {
    return liveFresh_ && session_.linkOk() && !session_.autoModelPending();
}

QVector<NutVar> ZavdUps::variables() const {
    // Built once per change of the stores (and at most once a second for the clock's sake), not per
    // request: a client polling with GET VAR costs a lookup.
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    const bool fsd = nut_.forcedShutdown();
    const qint64 dueAt = upsOffAt ? upsOffAt() : -1;
    if (cacheValid_ && cacheGeneration_ == storesGeneration_ && cacheSecond_ == second && cacheFsd_ == fsd &&
        cacheOffAt_ == dueAt)
        return variablesCache_;
    NutStatusInputs in{&session_.live(), session_.upsModel(), fsd,
                       settingsRead_ ? &session_.settings().SettingData : nullptr};
    QVector<NutVar> v = nutLiveVariables(in, QStringLiteral(ZAVD_VERSION));
    // The switch-off order the UPS holds (register 358), in NUT's terms: seconds left, -1 for none.
    const qint64 now = steadySeconds ? steadySeconds() : 0;
    v.append({QStringLiteral("ups.timer.shutdown"),
              QString::number(dueAt < 0 ? -1 : std::max<qint64>(0, dueAt - now)),
              QStringLiteral("Time before the UPS switches its output off (seconds, -1: none)"), false,
              QStringLiteral("NUMBER"), {}, {}, {}});
    if (settingsRead_)
        v += nutSettingVariables(session_.settings().SettingData, session_.upsModel(), QDateTime::currentDateTime());
    variablesCache_ = v;
    cacheValid_ = true;
    cacheGeneration_ = storesGeneration_;
    cacheSecond_ = second;
    cacheFsd_ = fsd;
    cacheOffAt_ = dueAt;
    return v;
}

QVector<NutDevice::Command> ZavdUps::commands() const {
    return nutCommands(session_.upsModel());
}

QString ZavdUps::runCommand(const QString& name, const QString& parameter) {
    if (!online()) return QStringLiteral("DRIVER-NOT-CONNECTED");
    const NutCommandPlan p = planNutCommand(name, parameter, session_.upsModel(), session_.live());
    if (!p.error.isEmpty()) return p.error;
    if (commandQueue_.size() >= kMaxQueued)
        return QStringLiteral("INSTCMD-FAILED: %1 commands are waiting for the UPS").arg(kMaxQueued);
    // Commands go to the UPS one at a time, in the order they came, as upsd passes them on.
    commandQueue_.append({p.reg, p.value, true});
    // On the next pass: the client's tracking id is made after this returns.
    QTimer::singleShot(0, this, &ZavdUps::startNextCommand);
    return {};
}

void ZavdUps::startNextCommand() {
    while (session_.controlJob().state() == JobIdle && !commandQueue_.isEmpty()) {
        const QueuedCommand c = commandQueue_.takeFirst();
        if (session_.startControlCommand(c.reg, c.value)) {
            runningCommandFromNut_ = c.fromNut;
            return;
        }
        if (c.fromNut)
            nut_.trackingEnded(NutUps::Tracked::Command, false);
        else if (switchOffNotSent)
            switchOffNotSent(); // the UPS holds no order
        log(LogLevel::Error, c.fromNut ? "command" : "protect",
            QStringLiteral("port closed: register %1 = %2 was not sent").arg(c.reg).arg(c.value));
    }
}

void ZavdUps::failQueuedWork() {
    int failed = 0;
    if (runningCommandFromNut_) {
        nut_.trackingEnded(NutUps::Tracked::Command, false);
        ++failed;
    }
    for (const QueuedCommand& c : commandQueue_) {
        if (c.fromNut) {
            nut_.trackingEnded(NutUps::Tracked::Command, false);
            ++failed;
        } else {
            if (switchOffNotSent) switchOffNotSent();
            log(LogLevel::Error, "protect", QStringLiteral("link reset: the UPS switch-off was not sent"));
        }
    }
    if (writeRunning_) {
        nut_.trackingEnded(NutUps::Tracked::Setting, false);
        ++failed;
    }
    for (int i = 0; i < writeQueue_.size(); ++i) nut_.trackingEnded(NutUps::Tracked::Setting, false);
    failed += int(writeQueue_.size());
    runningCommandFromNut_ = writeRunning_ = false;
    commandQueue_.clear();
    writeQueue_.clear();
    if (failed > 0)
        log(LogLevel::Warning, "link", QStringLiteral("link reset: %1 commands and settings of NUT clients dropped").arg(failed));
}

QString ZavdUps::setVariable(const QString& name, const QString& value) {
    settingQueued_ = false;
    if (!online()) return QStringLiteral("DRIVER-NOT-CONNECTED");
    const NutWrite w = nutSettingWrite(name, value, session_.settings().SettingData, session_.upsModel(),
                                       QDateTime::currentDateTime());
    if (!w.error.isEmpty()) return w.error;
    const bool busy = session_.writeJob().state() != JobIdle || !writeQueue_.isEmpty();
    if (w.entries.isEmpty() && !busy) return {}; // the UPS holds the value already
    if (writeQueue_.size() >= kMaxQueued)
        return QStringLiteral("SET-FAILED: %1 settings are waiting for the UPS").arg(kMaxQueued);
    // A setting behind another is planned again when its turn comes: the first may change what the
    // UPS holds.
    writeQueue_.append({name, value});
    settingQueued_ = true;
    QTimer::singleShot(0, this, &ZavdUps::startNextWrite);
    return {};
}

void ZavdUps::startNextWrite() {
    while (session_.writeJob().state() == JobIdle && session_.settingsDownload().state() == JobIdle &&
           !writeQueue_.isEmpty()) {
        const auto [name, value] = writeQueue_.takeFirst();
        const NutWrite w = nutSettingWrite(name, value, session_.settings().SettingData, session_.upsModel(),
                                           QDateTime::currentDateTime());
        if (w.error.isEmpty() && w.entries.isEmpty()) {
            nut_.trackingEnded(NutUps::Tracked::Setting, true); // held already
            continue;
        }
        if (w.error.isEmpty() && session_.startWriteSequence(w.entries)) {
            writeRunning_ = true;
            return;
        }
        nut_.trackingEnded(NutUps::Tracked::Setting, false);
        log(LogLevel::Warning, "settings",
            QStringLiteral("SET VAR %1 \"%2\" not written: %3")
                .arg(name, value, w.error.isEmpty() ? QStringLiteral("port closed") : w.error));
    }
}

} // namespace zav
