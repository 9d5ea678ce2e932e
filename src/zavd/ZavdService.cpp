#include "zavd/ZavdService.h"

#include "zavd/ZavdLog.h"

namespace zav {

namespace {
constexpr int kStatusInputFail = 88;
constexpr int kStatusBatteryLow = 107;
} // namespace

ZavdService::ZavdService(const ZavdConfig& config, PowerOff& powerOff, QObject* parent)
    : QObject(parent), config_(config) {
    steadyClock_.start();
    const bool named = config_.upses.size() > 1;
    QStringList portNames;
    for (const ZavdUpsConfig& u : config_.upses) {
        // UPSes on the same port are members of one bus.
        qsizetype p = portNames.indexOf(u.link.portName);
        if (p < 0) {
            p = portNames.size();
            portNames << u.link.portName;
            Port port;
            port.channel = std::make_unique<QtSerialChannel>();
            port.bus = std::make_unique<LineBus>(*port.channel);
            const QString name = u.link.portName;
            connect(port.channel.get(), &QtSerialChannel::deviceLost, this, [name](const QString& reason) {
                zavdLog(LogLevel::Warning, "link", QStringLiteral("port %1 lost (%2); waiting for it to come back").arg(name, reason));
            });
            ports_.push_back(std::move(port));
        }
        LineBus& bus = *ports_[size_t(p)].bus;
        auto ups = std::make_unique<ZavdUps>(u, config_.timing, config_.users, bus.addChannel(), named, this);
        bus.join(ups->session());
        const int index = int(upses_.size());
        ups->steadySeconds = [this] { return steadySeconds(); };
        ups->upsOffAt = [this, index] { return orderedOff_[size_t(index)] ? policy_.upsOffAt() : -1; };
        ups->switchOffNotSent = [this] { policy_.switchOffNotSent(); };
        connect(&ups->session(), &UpsSession::modelDetected, this, [this] { protectionSaid_ = false; });
        if (config_.fedBy.contains(u.name)) feeding_.push_back(index);
        upses_.push_back(std::move(ups));
        orderedOff_.push_back(false);
    }
    tick_.setInterval(kTickMs);
    connect(&tick_, &QTimer::timeout, this, [this] {
        for (Port& p : ports_) p.bus->tick();
    });
    second_.setInterval(1000);
    connect(&second_, &QTimer::timeout, this, &ZavdService::secondTick);

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

QVector<NutUps*> ZavdService::nutUpses() const {
    QVector<NutUps*> out;
    for (const auto& u : upses_) out << &u->nut();
    return out;
}

void ZavdService::start() {
    for (auto& u : upses_) {
        journals_.push_back(std::make_unique<JournalFeed>(
            u->session(), config_.journal, u->name(), [](bool warning, const QString& line) {
                zavdLog(warning ? LogLevel::Warning : LogLevel::Info, "journal", line);
            }));
        trends_.push_back(std::make_unique<TrendFeed>(
            u->session(), config_.journal, u->name(), [](bool warning, const QString& line) {
                zavdLog(warning ? LogLevel::Warning : LogLevel::Info, "trends", line);
            }));
        u->start();
    }
    tick_.start();
    second_.start();
}

void ZavdService::stop() {
    tick_.stop();
    second_.stop();
    for (auto& u : upses_) u->stop();
}

ZavdService::Combined ZavdService::combine(const QVector<FeedState>& feeds, bool all) {
    Combined c;
    int linked = 0, failing = 0, low = 0;
    c.protectionModels = true;
    for (int i = 0; i < feeds.size(); ++i) {
        const FeedState& f = feeds[i];
        if (!f.linkOk) continue;
        ++linked;
        failing += f.inputFail;
        low += f.batteryLow;
        c.protectionModels = c.protectionModels && protectionModel(f.model);
        // Only a UPS that is itself on battery is told to switch off: one still on the mains
        // keeps feeding whatever it feeds.
        if (f.inputFail) c.switchOff << i;
    }
    if (all) {
        // Every feed must be known to be failing: a UPS not heard holds the decision.
        c.linkOk = linked == feeds.size() && linked > 0;
        c.inputFail = c.linkOk && failing == linked;
        c.batteryLow = c.linkOk && low == linked;
    } else {
        c.linkOk = linked > 0;
        c.inputFail = failing > 0;
        c.batteryLow = low > 0;
    }
    c.protectionModels = c.protectionModels && linked > 0;
    return c;
}

void ZavdService::secondTick() {
    QVector<FeedState> feeds;
    for (const int i : feeding_) {
        const UpsSession& s = upses_[size_t(i)]->session();
        feeds << FeedState{s.linkOk(), s.live().LiveStatus[kStatusInputFail] == 1,
                           s.live().LiveStatus[kStatusBatteryLow] == 1, s.upsModel()};
    }
    const Combined c = combine(feeds, config_.fedByAll);
    if (config_.shutdown.enabled && c.linkOk && !c.protectionModels && !protectionSaid_) {
        QStringList models;
        for (const FeedState& f : feeds)
            if (f.linkOk && !protectionModel(f.model)) models << QString::number(f.model);
        zavdLog(LogLevel::Warning, "protect", QStringLiteral("the shutdown policy does not run for UPS model %1").arg(models.join(", ")));
        protectionSaid_ = true;
    }
    PolicyInputs in;
    in.linkOk = c.linkOk;
    in.enabled = config_.shutdown.enabled && c.protectionModels;
    in.utilityUpsOff = config_.shutdown.utilityUpsOff;
    in.batteryUpsOff = config_.shutdown.batteryUpsOff;
    in.inputFail = c.inputFail;
    in.batteryLow = c.batteryLow;
    in.windowVisible = policy_.windowWanted(); // no window: the countdown is only logged
    in.now = steadySeconds(); // when a switch-off order the UPS holds falls due
    const PolicyActions a = policy_.secondTick(in);
    for (const QString& reason : a.reasons) zavdLog(LogLevel::Notice, "protect", reason);
    for (const QString& warning : a.warnings) zavdLog(LogLevel::Warning, "protect", warning);
    if (policy_.upsOffAt() < 0) std::fill(orderedOff_.begin(), orderedOff_.end(), false);
    for (uint16_t delay : a.upsOffDelays) {
        std::fill(orderedOff_.begin(), orderedOff_.end(), false); // a later order replaces the earlier
        for (const int k : c.switchOff) {
            const int index = feeding_[size_t(k)];
            orderedOff_[size_t(index)] = true;
            upses_[size_t(index)]->queueSwitchOff(delay);
        }
    }
    for (auto& u : upses_) u->secondTick();
    if (a.startSequence) {
        // The NUT clients of the UPSes that feed this machine shut down with it.
        for (const int i : feeding_) upses_[size_t(i)]->nut().setForcedShutdown();
        SequenceSetup setup;
        setup.runProgram = config_.shutdown.runProgram;
        setup.programLine = config_.shutdown.programLine;
        setup.programWaitSeconds = config_.shutdown.maxRunMinutes * 60;
        setup.closeApps = false; // a server has no desktop applications to close
        sequence_->start(setup);
    }
    sequence_->secondTick();
    for (auto& journal : journals_) journal->protectionStepped(policy_);
}

} // namespace zav
