#include "zavd/ZavdService.h"

#include "zavd/NutCommands.h"
#include "zavd/NutSettings.h"
#include "zavd/ZavdLog.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <algorithm>

namespace zav {

namespace {

constexpr int kStatusInputFail = 88;
constexpr int kStatusBatteryLow = 107;
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

ZavdService::ZavdService(const ZavdConfig& config, PowerOff& powerOff, QObject* parent)
    : QObject(parent), config_(config), scheduler_(channel_), ups_(*this, config.upsName, config.description, config.users) {
    // A client that repeats a refused request must not flood the journal.
    ups_.log = [this](const QString& line) {
        if (const QString out = nutLogThrottle_.pass(line, logClock_.elapsed()); !out.isEmpty())
            zavdLog(LogLevel::Notice, QStringLiteral("nut"), out);
    };
    logClock_.start();
    steadyClock_.start();
    scheduler_.setTiming(config_.timing);
    tick_.setInterval(kTickMs);
    connect(&tick_, &QTimer::timeout, &scheduler_, &UpsSession::tick);
    second_.setInterval(1000);
    connect(&second_, &QTimer::timeout, this, &ZavdService::secondTick);
    reconnect_.setInterval(kReconnectMs);
    reconnect_.setSingleShot(true);
    connect(&reconnect_, &QTimer::timeout, this, &ZavdService::tryConnect);

    connect(&scheduler_, &UpsSession::linkStateChanged, this, &ZavdService::onLinkState);
    connect(&channel_, &QtSerialChannel::deviceLost, this, [this](const QString& reason) {
        zavdLog(LogLevel::Warning, "link", QStringLiteral("port %1 lost (%2); waiting for it to come back")
                                               .arg(config_.link.portName, reason));
    });
    connect(&scheduler_, &UpsSession::portRestored, this, [this] {
        zavdLog(LogLevel::Notice, "link", QStringLiteral("port %1 is back").arg(config_.link.portName));
    });
    connect(&scheduler_, &UpsSession::modelDetected, this, [this] {
        zavdLog(LogLevel::Info, "link", QStringLiteral("UPS model %1 detected").arg(scheduler_.upsModel()));
        modelDetected_ = true;
        protectionSaid_ = false;
    });
    connect(&scheduler_, &UpsSession::settingsDownloaded, this, [this] {
        // A queued setting is planned against what the UPS holds after the read-back.
        QTimer::singleShot(0, this, &ZavdService::startNextWrite);
        if (!scheduler_.autoModelPending()) settingsRead_ = true;
    });
    // Any change of the stores makes the variables be built again.
    using StoreSignal = void (UpsSession::*)();
    for (StoreSignal signal : std::initializer_list<StoreSignal>{&UpsSession::liveCycleEnded, &UpsSession::settingsDownloaded,
                                                                 &UpsSession::linkReset, &UpsSession::liveStoresCleared,
                                                                 &UpsSession::moduleStageEnded})
        connect(&scheduler_, signal, this, [this] { ++storesGeneration_; });
    // Cleared stores are not data: reads wait for the next whole live cycle.
    connect(&scheduler_, &UpsSession::liveCycleEnded, this, [this] { liveFresh_ = scheduler_.linkOk(); });
    connect(&scheduler_, &UpsSession::linkReset, this, [this] { settingsRead_ = liveFresh_ = false; });
    connect(&scheduler_, &UpsSession::liveStoresCleared, this, [this] { settingsRead_ = liveFresh_ = false; });
    connect(&scheduler_, &UpsSession::modelRejected, this, [this] {
        zavdLog(LogLevel::Error, "link", QStringLiteral("model code %1 not recognised; set Model in [Link]; retrying")
                                             .arg(scheduler_.live().LiveData[78]));
        reconnect_.start();
    });
    connect(&scheduler_, &UpsSession::controlCommandEnded, this, [this](const WriteResult& r) {
        if (runningCommandFromNut_) ups_.trackingEnded(NutUps::Tracked::Command, r.outcome == WriteOutcome::Accepted);
        runningCommandFromNut_ = false;
        QTimer::singleShot(0, this, &ZavdService::startNextCommand);
        zavdLog(r.outcome == WriteOutcome::Accepted ? LogLevel::Info : LogLevel::Warning, "command",
                QStringLiteral("register %1 = %2: %3%4")
                    .arg(r.reg)
                    .arg(r.value)
                    .arg(QLatin1String(outcomeText(r.outcome)))
                    .arg(r.exceptionCode ? QStringLiteral(" (exception %1)").arg(r.exceptionCode) : QString()));
    });
    // A link reset drops the jobs in flight without an end: what NUT clients handed over has failed.
    connect(&scheduler_, &UpsSession::linkReset, this, &ZavdService::failQueuedWork);
    connect(&scheduler_, &UpsSession::writeSequenceEnded, this, [this](const QVector<WriteResult>& results) {
        writeRunning_ = false;
        bool held = true;
        for (const WriteResult& r : results)
            held = held && (r.outcome == WriteOutcome::Accepted || r.outcome == WriteOutcome::Unchanged);
        ups_.trackingEnded(NutUps::Tracked::Setting, held);
        for (const WriteResult& r : results)
            zavdLog(r.outcome == WriteOutcome::Accepted ? LogLevel::Info : LogLevel::Warning, "settings",
                    QStringLiteral("register %1 = %2: %3").arg(r.reg).arg(r.value).arg(QLatin1String(outcomeText(r.outcome))));
    });

    sequence_ = std::make_unique<ShutdownSequence>(runner_, powerOff);
    runner_.finished = [this](int run, int code, bool normal) { sequence_->processEnded(run, code, normal); };
    runner_.output = [](int, const QString& line) { zavdLog(LogLevel::Info, "protect", QStringLiteral("  | ") + line); };
    sequence_->log = [](const QString& line) {
        zavdLog(line.startsWith(QLatin1String("POWER-OFF")) ? LogLevel::Error : LogLevel::Notice, "protect", line);
    };
    sequence_->tellUser = [](ShutdownSequence::Notice, const QString& detail) {
        if (!detail.isEmpty()) zavdLog(LogLevel::Warning, "protect", detail);
    };
    policy_.load(config_.shutdown);
}

ZavdService::~ZavdService() {
    runner_.finished = nullptr;
    runner_.output = nullptr;
    stop();
}

void ZavdService::start() {
    journal_ = std::make_unique<JournalFeed>(scheduler_, config_.journal, config_.upsName, [](bool warning, const QString& line) {
        zavdLog(warning ? LogLevel::Warning : LogLevel::Info, "journal", line);
    });
    tryConnect();
    second_.start();
}

void ZavdService::stop() {
    tick_.stop();
    second_.stop();
    reconnect_.stop();
    if (scheduler_.connected()) scheduler_.disconnectLink();
}

void ZavdService::tryConnect() {
    if (scheduler_.connected()) scheduler_.disconnectLink();
    switch (scheduler_.connectLink(config_.link)) {
    case ConnectResult::Connected:
        zavdLog(LogLevel::Info, "link", QStringLiteral("port %1 open, waiting for the UPS").arg(config_.link.portName));
        portMissingSaid_ = false;
        tick_.start();
        return;
    case ConnectResult::WrongAddress:
        zavdLog(LogLevel::Error, "link", QStringLiteral("address %1 refused").arg(config_.link.addressText));
        return;
    case ConnectResult::PortOpenFailed:
        if (!portMissingSaid_)
            zavdLog(LogLevel::Warning, "link", QStringLiteral("port %1 cannot be opened (%2); trying every %3 s")
                                                   .arg(config_.link.portName, channel_.errorText())
                                                   .arg(kReconnectMs / 1000));
        portMissingSaid_ = true;
        reconnect_.start();
        return;
    }
}

void ZavdService::onLinkState() {
    const bool ok = scheduler_.linkOk();
    // A UPS that answers only after the reply wait looks silent; say why once, until it is heard again.
    if (!ok && scheduler_.lateReplies() > 0 && !lateSaid_) {
        lateSaid_ = true;
        zavdLog(LogLevel::Warning, "link", lateAnswerText(scheduler_.replyTimeout() * kTickMs, 1));
    }
    if (ok) lateSaid_ = false;
    if (ok == lastLinkOk_) return;
    lastLinkOk_ = ok;
    if (ok)
        zavdLog(LogLevel::Notice, "link", QStringLiteral("UPS answers (model %1, %2 baud)")
                                              .arg(scheduler_.upsModel())
                                              .arg(scheduler_.baudValue()));
    else
        zavdLog(LogLevel::Warning, "link", QStringLiteral("UPS does not answer"));
}

void ZavdService::logAlarms() {
    // Without a whole live cycle the status words are not known: nothing starts or ends.
    if (!online()) return;
    QSet<QString> now;
    for (const QString& a : nutAlarms(scheduler_.live(), scheduler_.upsModel())) now.insert(a);
    for (const QString& a : now)
        if (!alarms_.contains(a)) zavdLog(LogLevel::Warning, "event", QStringLiteral("alarm: ") + a);
    for (const QString& a : alarms_)
        if (!now.contains(a)) zavdLog(LogLevel::Notice, "event", QStringLiteral("alarm gone: ") + a);
    alarms_ = now;
}

void ZavdService::secondTick() {
    logAlarms();
    const int model = scheduler_.upsModel();
    const bool available = protectionModel(model);
    if (config_.shutdown.enabled && scheduler_.linkOk() && !available && !protectionSaid_) {
        zavdLog(LogLevel::Warning, "protect", QStringLiteral("the shutdown policy does not run for UPS model %1").arg(model));
        protectionSaid_ = true;
    }
    PolicyInputs in;
    in.linkOk = scheduler_.linkOk();
    in.enabled = config_.shutdown.enabled && available;
    in.utilityUpsOff = config_.shutdown.utilityUpsOff;
    in.batteryUpsOff = config_.shutdown.batteryUpsOff;
    in.inputFail = scheduler_.live().LiveStatus[kStatusInputFail];
    in.batteryLow = scheduler_.live().LiveStatus[kStatusBatteryLow];
    in.windowVisible = policy_.windowWanted(); // no window: the countdown is only logged
    in.now = steadySeconds(); // when a switch-off order the UPS holds falls due
    const PolicyActions a = policy_.secondTick(in);
    for (const QString& reason : a.reasons) zavdLog(LogLevel::Notice, "protect", reason);
    for (const QString& warning : a.warnings) zavdLog(LogLevel::Warning, "protect", warning);
    // The switch-off goes before any command a NUT client queued, and never replaces one in flight.
    for (uint16_t delay : a.upsOffDelays) commandQueue_.prepend({ShutdownPolicy::kUpsOffRegister, delay, false});
    startNextCommand();
    if (a.startSequence) {
        // The NUT clients of this UPS shut down with it.
        ups_.setForcedShutdown();
        SequenceSetup setup;
        setup.runProgram = config_.shutdown.runProgram;
        setup.programLine = config_.shutdown.programLine;
        setup.programWaitSeconds = config_.shutdown.maxRunMinutes * 60;
        setup.closeApps = false; // a server has no desktop applications to close
        sequence_->start(setup);
    }
    sequence_->secondTick();
    if (journal_) journal_->protectionStepped(policy_);
}

bool ZavdService::online() const {
    return liveFresh_ && scheduler_.linkOk() && !scheduler_.autoModelPending();
}

QVector<NutVar> ZavdService::variables() const {
    // Built once per change of the stores (and at most once a second for the clock's sake), not per
    // request: a client polling with GET VAR costs a lookup.
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    const bool fsd = ups_.forcedShutdown();
    if (cacheValid_ && cacheGeneration_ == storesGeneration_ && cacheSecond_ == second && cacheFsd_ == fsd)
        return variablesCache_;
    NutStatusInputs in{&scheduler_.live(), scheduler_.upsModel(), fsd,
                       settingsRead_ ? &scheduler_.settings().SettingData : nullptr};
    QVector<NutVar> v = nutLiveVariables(in, QStringLiteral(ZAVD_VERSION));
    // The switch-off order the UPS holds (register 358), in NUT's terms: seconds left, -1 for none.
    const qint64 dueAt = policy_.upsOffAt();
    v.append({QStringLiteral("ups.timer.shutdown"),
              QString::number(dueAt < 0 ? -1 : std::max<qint64>(0, dueAt - steadySeconds())),
              QStringLiteral("Time before the UPS switches its output off (seconds, -1: none)"), false,
              QStringLiteral("NUMBER"), {}, {}, {}});
    if (settingsRead_)
        v += nutSettingVariables(scheduler_.settings().SettingData, scheduler_.upsModel(), QDateTime::currentDateTime());
    variablesCache_ = v;
    cacheValid_ = true;
    cacheGeneration_ = storesGeneration_;
    cacheSecond_ = second;
    cacheFsd_ = fsd;
    return v;
}

QVector<NutDevice::Command> ZavdService::commands() const {
    return nutCommands(scheduler_.upsModel());
}

QString ZavdService::runCommand(const QString& name, const QString& parameter) {
    if (!online()) return QStringLiteral("DRIVER-NOT-CONNECTED");
    const NutCommandPlan p = planNutCommand(name, parameter, scheduler_.upsModel(), scheduler_.live());
    if (!p.error.isEmpty()) return p.error;
    if (commandQueue_.size() >= kMaxQueued)
        return QStringLiteral("INSTCMD-FAILED: %1 commands are waiting for the UPS").arg(kMaxQueued);
    // Commands go to the UPS one at a time, in the order they came, as upsd passes them on.
    commandQueue_.append({p.reg, p.value, true});
    // On the next pass: the client's tracking id is made after this returns.
    QTimer::singleShot(0, this, &ZavdService::startNextCommand);
    return {};
}

void ZavdService::startNextCommand() {
    while (scheduler_.controlJob().state() == JobIdle && !commandQueue_.isEmpty()) {
        const QueuedCommand c = commandQueue_.takeFirst();
        if (scheduler_.startControlCommand(c.reg, c.value)) {
            runningCommandFromNut_ = c.fromNut;
            return;
        }
        if (c.fromNut)
            ups_.trackingEnded(NutUps::Tracked::Command, false);
        else
            policy_.switchOffNotSent(); // the UPS holds no order
        zavdLog(LogLevel::Error, c.fromNut ? "command" : "protect",
                QStringLiteral("port closed: register %1 = %2 was not sent").arg(c.reg).arg(c.value));
    }
}

void ZavdService::failQueuedWork() {
    int failed = 0;
    if (runningCommandFromNut_) {
        ups_.trackingEnded(NutUps::Tracked::Command, false);
        ++failed;
    }
    for (const QueuedCommand& c : commandQueue_) {
        if (c.fromNut) {
            ups_.trackingEnded(NutUps::Tracked::Command, false);
            ++failed;
        } else {
            policy_.switchOffNotSent();
            zavdLog(LogLevel::Error, "protect", QStringLiteral("link reset: the UPS switch-off was not sent"));
        }
    }
    if (writeRunning_) {
        ups_.trackingEnded(NutUps::Tracked::Setting, false);
        ++failed;
    }
    for (int i = 0; i < writeQueue_.size(); ++i) ups_.trackingEnded(NutUps::Tracked::Setting, false);
    failed += int(writeQueue_.size());
    runningCommandFromNut_ = writeRunning_ = false;
    commandQueue_.clear();
    writeQueue_.clear();
    if (failed > 0)
        zavdLog(LogLevel::Warning, "link", QStringLiteral("link reset: %1 commands and settings of NUT clients dropped").arg(failed));
}

QString ZavdService::setVariable(const QString& name, const QString& value) {
    settingQueued_ = false;
    if (!online()) return QStringLiteral("DRIVER-NOT-CONNECTED");
    const NutWrite w = nutSettingWrite(name, value, scheduler_.settings().SettingData, scheduler_.upsModel(),
                                       QDateTime::currentDateTime());
    if (!w.error.isEmpty()) return w.error;
    const bool busy = scheduler_.writeJob().state() != JobIdle || !writeQueue_.isEmpty();
    if (w.entries.isEmpty() && !busy) return {}; // the UPS holds the value already
    if (writeQueue_.size() >= kMaxQueued)
        return QStringLiteral("SET-FAILED: %1 settings are waiting for the UPS").arg(kMaxQueued);
    // A setting behind another is planned again when its turn comes: the first may change what the
    // UPS holds.
    writeQueue_.append({name, value});
    settingQueued_ = true;
    QTimer::singleShot(0, this, &ZavdService::startNextWrite);
    return {};
}

void ZavdService::startNextWrite() {
    while (scheduler_.writeJob().state() == JobIdle && scheduler_.settingsDownload().state() == JobIdle &&
           !writeQueue_.isEmpty()) {
        const auto [name, value] = writeQueue_.takeFirst();
        const NutWrite w = nutSettingWrite(name, value, scheduler_.settings().SettingData, scheduler_.upsModel(),
                                           QDateTime::currentDateTime());
        if (w.error.isEmpty() && w.entries.isEmpty()) {
            ups_.trackingEnded(NutUps::Tracked::Setting, true); // held already
            continue;
        }
        if (w.error.isEmpty() && scheduler_.startWriteSequence(w.entries)) {
            writeRunning_ = true;
            return;
        }
        ups_.trackingEnded(NutUps::Tracked::Setting, false);
        zavdLog(LogLevel::Warning, "settings",
                QStringLiteral("SET VAR %1 \"%2\" not written: %3")
                    .arg(name, value, w.error.isEmpty() ? QStringLiteral("port closed") : w.error));
    }
}

} // namespace zav
