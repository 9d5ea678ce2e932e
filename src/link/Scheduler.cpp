#include "link/Scheduler.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <algorithm>
#include <exception>

namespace zav {

namespace {
constexpr int kReopenIntervalTicks = 20; // a lost device is looked for once a second
Q_LOGGING_CATEGORY(lcLink, "zav.link")
} // namespace

Scheduler::Scheduler(SerialChannel& channel, QObject* parent) : QObject(parent), channel_(channel) {
    channel_.onRxChar = [this](int waiting) { onRxChar(waiting); };
    channel_.onRxFlag = [this] { onRxFlag(); };
    promptTimer_.setSingleShot(true);
    promptTimer_.setTimerType(Qt::PreciseTimer);
    connect(&promptTimer_, &QTimer::timeout, this, &Scheduler::prompt);
}

void Scheduler::setTiming(const TimingOptions& timing) {
    timing_ = timing;
    timing_.extraGapMs = std::clamp(timing.extraGapMs, 0, kMaxExtraGapMs);
    if (!fast()) {
        promptTimer_.stop();
        promptDue_ = false;
    }
}

bool Scheduler::awaitedReplyWhole() {
    if (!awaitingReply_ || !baudFixed_) return false; // the baud search stays on ticks
    const QByteArray bytes = channel_.peekAvailable(kLongestReply);
    if (protocol_ == Protocol::Ascii) return bytes.contains('\n');
    // RTU has no end marker: the length its head announces, and a good check at that length (a
    // head that lies leaves the reply to the silence rule).
    const int length = rtuAnnouncedLength(bytes);
    return length > 0 && bytes.size() >= length && looksLikeWholeFrame(Protocol::Rtu, bytes.left(length));
}

void Scheduler::promptWhenWhole() {
    if (!fast() || promptDue_ || !awaitedReplyWhole()) return;
    promptDue_ = true;
    // Without an application (unit tests) no loop would run the timer: the test prompts itself.
    if (QCoreApplication::instance()) promptTimer_.start(interFrameGapMs(baudValue_) + timing_.extraGapMs);
}

void Scheduler::prompt() {
    promptDue_ = false;
    if (!fast() || !channel_.isOpen() || !awaitedReplyWhole()) return;
    replyWait_ = 0;
    serveFreeTick();
}

ConnectResult Scheduler::connectLink(const ConnectRequest& request) {
    baudFixed_ = true;
    baudProbeIndex_ = 0;
    autoModelPending_ = false;

    if (request.modelItem == 0)
        autoModelPending_ = true;
    else
        upsModel_ = request.modelItem - 1;

    if (request.baudItem >= 0 && request.baudItem < int(kBaudItems.size())) {
        baudValue_ = kBaudItems[size_t(request.baudItem)];
        channel_.setBaudRate(baudValue_);
    } else {
        channel_.setBaudRate(kBaudProbeRates[0]);
        baudFixed_ = false; // BaudValue keeps its last value until a probe answers
    }
    replyTimeout_ = replyTimeoutTicks(baudValue_);
    channel_.setPortName(request.portName);

    const std::optional<int> address = upsAddress(request.addressText);
    if (!address) {
        // Nothing is connected, so nothing is pending: the end-of-tick refresh (clock, icon,
        // buttons) must go on.
        autoModelPending_ = false;
        return ConnectResult::WrongAddress;
    }
    upsAddress_ = *address;
    protocol_ = request.protocol;

    if (!channel_.open()) {
        autoModelPending_ = false; // nothing to detect on a port that is not open: keep the bar refreshed
        resetLinkState();
        return ConnectResult::PortOpenFailed;
    }
    connected_ = true;
    portLost_ = false;
    resetLinkState();
    return ConnectResult::Connected;
}

void Scheduler::disconnectLink() {
    baudFixed_ = true;
    baudProbeIndex_ = 0;
    autoModelPending_ = false;
    channel_.close();
    connected_ = false;
    portLost_ = false;
    clearLiveStores();
    emit liveStoresCleared();
}

void Scheduler::dropConnection() {
    channel_.close();
    connected_ = false;
}

bool Scheduler::chooseModelOffline(int model) {
    if (channel_.isOpen() || model < 0 || model > 8) return false;
    upsModel_ = model;
    autoModelPending_ = false;
    emit modelChosenOffline(model + 1); // model box item k is model k - 1
    return true;
}

void Scheduler::resetLinkState() {
    for (auto& [priority, job] : jobs_)
        if (job) job->reset();
    activity_ = ActIdle;
    awaitingReply_ = false;
    replyOwner_ = nullptr;
    replyOverdue_ = false;
    settleTicks_ = 0;
    settleSpent_ = 0;
    lateBytes_.clear();
    lateReplies_ = 0;
    clearLiveStores();
    resetSession();
    emit linkReset();
}

void Scheduler::setJob(int priority, LinkJob* job) {
    if (replyOwner_ && replyOwner_ == this->job(priority)) replyOwner_ = nullptr;
    if (job)
        jobs_[priority] = job;
    else
        jobs_.erase(priority);
}

bool Scheduler::jobWantsLine() const {
    return std::any_of(jobs_.begin(), jobs_.end(), [](const auto& entry) { return entry.second && entry.second->wantsLine(); });
}

LinkJob* Scheduler::job(int priority) const {
    const auto it = jobs_.find(priority);
    return it == jobs_.end() ? nullptr : it->second;
}

void Scheduler::onRxChar(int waiting) {
    Q_UNUSED(waiting);
    if (awaitingReply_ || !baudFixed_) {
        // Only bytes that can be an answer keep the link alive: a UPS whose every answer comes after
        // its reply wait must lose the link like a silent one, although characters keep arriving.
        rxWatchdog_ = kWatchdogTicks;
        // RTU has no end marker: the reply is complete after a tick of silence.
        if (protocol_ == Protocol::Rtu) replyWait_ = rtuChunkWaitTicks(baudValue_);
        promptWhenWhole();
        return;
    }
    // Bytes while no request is outstanding belong to an earlier request (or are noise): once they
    // stop, the line must stay quiet for a reply wait before the next request goes out.
    if (settleTicks_ <= 0) settleSpent_ = 0;
    settleTicks_ = std::max(settleTicks_, replyTimeout_);
}

void Scheduler::onRxFlag() {
    if (protocol_ == Protocol::Ascii) replyWait_ = 0; // LF ends an ASCII frame
    promptWhenWhole();
}

void Scheduler::tick() {
    checkPortPresence();

    const bool busy = replyWait_ > 0;
    if (busy)
        --replyWait_;
    else
        replyWait_ = 0;

    if (rxWatchdog_ >= 0 && !lineHeld_) {
        --rxWatchdog_;
        if (rxWatchdog_ < 0 && linkOk_) {
            linkOk_ = false;
            clearLiveStores();
            emit liveStoresCleared();
        }
    }

    beforeDispatch();

    // The line is served only while the user is connected: a disconnected link's channel may be
    // open for someone else (the address scan borrows it), whose bytes are not the link's to read.
    if (connected_ && channel_.isOpen() && !busy) {
        // A held scheduler still sees out the quiet wait of what it heard last: the line is free
        // for the next address only after it.
        const bool free = settleTicks_ <= 0 || settleTick();
        if (free && !lineHeld_) serveFreeTick();
    }

    if (!autoModelPending_) {
        if (!channel_.isOpen()) linkOk_ = false;
        emit linkStateChanged();
    }
}

void Scheduler::serveFreeTick() {
    promptTimer_.stop();
    promptDue_ = false;
    if (!fast()) {
        dispatch();
        return;
    }
    // The gap after the last reply has passed: once a reply is judged, the next request goes out
    // in the same breath instead of on the next tick.
    for (int step = 0; step < kMaxStepsAtOnce; ++step) {
        if (!channel_.isOpen() || !dispatch() || awaitingReply_ || settleTicks_ > 0 || replyWait_ > 0) break;
    }
}

bool Scheduler::dispatch() {
    // Fast timing: a job whose request awaits its reply judges it before any other job sends,
    // since every tick finds a request under way and a job taking the line then would purge that
    // reply and leave its owner to judge silence (and wait the late-reply horizon). The classic
    // timing keeps its rule: the job of highest priority takes the line.
    if (fast() && replyOwner_ && replyOwner_->wantsLine()) return serve(*replyOwner_);
    for (auto& [priority, job] : jobs_)
        if (job && job->wantsLine()) return serve(*job);
    return false;
}

bool Scheduler::serve(LinkJob& job) {
    bool ended = false;
    serving_ = &job;
    try {
        ended = job.serve(*this);
    } catch (const std::exception& e) {
        serving_ = nullptr;
        // A job that fails inside its step is ended with its reason rather than retried on every
        // tick; the line and the other jobs go on.
        abandonJob(job, QString::fromLocal8Bit(e.what()));
        return true;
    }
    serving_ = nullptr;
    if (ended) jobEnded(job);
    return true;
}

void Scheduler::abandonJob(LinkJob& job, const QString& reason) {
    if (replyOwner_ == &job) replyOwner_ = nullptr;
    qCWarning(lcLink, "%s stopped: %s", job.name(), qUtf8Printable(reason));
    job.abandon(reason);
    activity_ = ActIdle;
    awaitingReply_ = false; // whatever the job sent is answered into a purge, never read as data
    emit buttonsRefreshDue();
    jobEnded(job);
}

void Scheduler::tryNextBaud() {
    clearLiveStores();
    linkOk_ = false;
    baudProbeIndex_ = (baudProbeIndex_ + 1) % int(kBaudProbeRates.size());
    baudValue_ = kBaudProbeRates[size_t(baudProbeIndex_)];
    replyTimeout_ = replyTimeoutTicks(baudValue_);
    channel_.setBaudRate(baudValue_);
}

void Scheduler::endBaudSearch() {
    baudFixed_ = true;
    baudValue_ = kBaudProbeRates[size_t(baudProbeIndex_)];
    replyTimeout_ = replyTimeoutTicks(baudValue_);
    emit baudFound(kBaudProbeItems[size_t(baudProbeIndex_)]);
}

void Scheduler::checkPortPresence() {
    if (!connected_ || channel_.isOpen()) return;
    if (!portLost_) {
        // The device went away under an open connection (adapter pulled, pty closed).
        portLost_ = true;
        reopenTicks_ = 0;
        linkOk_ = false;
        clearLiveStores();
        emit liveStoresCleared();
        emit portLost();
    }
    if (++reopenTicks_ < kReopenIntervalTicks) return;
    reopenTicks_ = 0;
    if (channel_.open()) {
        portLost_ = false;
        replyWait_ = 0;
        emit portRestored();
    }
}

void Scheduler::send(const QByteArray& frame) {
    replyOwner_ = serving_;
    channel_.purge();
    awaitingReply_ = true;
    replyOverdue_ = false;
    channel_.write(frame);
    replyWait_ = replyTimeout_;
}

QByteArray Scheduler::receive(int maxBytes) {
    const QByteArray bytes = channel_.readAvailable(maxBytes);
    channel_.purge();
    awaitingReply_ = false;
    replyOwner_ = nullptr;
    // Replies carry no transaction number. When a request got nothing back within its wait, its
    // answer may still be on the way and would be taken for the answer to the next request. The next
    // request therefore waits until the answer has come (and the line has been quiet for a reply wait
    // after it) or until the line has stayed quiet for the late-reply horizon: answers up to that late
    // are discarded, never stored. A damaged or cut frame did come in time: a reply wait of quiet
    // after it is enough (a rest still on its way restarts the wait). The baud search is exempt: it
    // asks the same block over and over.
    if (baudFixed_ && !looksLikeWholeFrame(protocol_, bytes)) {
        replyOverdue_ = bytes.isEmpty();
        if (replyOverdue_) ++missedReplies_;
        settleTicks_ = replyOverdue_ ? lateReplyHorizon() : replyTimeout_;
        settleSpent_ = 0;
        lateBytes_.clear();
    }
    return bytes;
}

bool Scheduler::settleTick() {
    // What arrives now is not read as data; it is only looked at to tell a late answer from noise.
    lateBytes_ += channel_.readAvailable(kLateBytesKept);
    if (lateBytes_.size() > kLateBytesKept) lateBytes_ = lateBytes_.right(kLateBytesKept);
    if (looksLikeWholeFrame(protocol_, lateBytes_)) {
        ++lateReplies_;
        lateBytes_.clear();
        // The overdue answer has come: a reply wait of quiet after it is enough.
        if (replyOverdue_) settleTicks_ = std::min(settleTicks_, replyTimeout_);
        replyOverdue_ = false;
    }
    channel_.purge();
    --settleTicks_;
    // Bounded, so that a line full of noise is still polled (and its failures reported): the next
    // request goes out at once, before the noise restarts the wait.
    if (++settleSpent_ < lateReplyHorizon() + replyTimeout_) return false;
    settleTicks_ = 0;
    settleSpent_ = 0;
    return true;
}

void Scheduler::setLinkOk(bool ok) {
    linkOk_ = ok;
    if (ok) lateReplies_ = 0; // answered in time: whatever came late before is history
}

} // namespace zav
