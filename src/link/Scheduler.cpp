#include "link/Scheduler.h"

#include <algorithm>

namespace zav {

namespace {
constexpr int kReopenIntervalTicks = 20; // a lost device is looked for once a second
}

Scheduler::Scheduler(SerialChannel& channel, QObject* parent) : QObject(parent), channel_(channel) {
    channel_.onRxChar = [this](int waiting) { onRxChar(waiting); };
    channel_.onRxFlag = [this] { onRxFlag(); };
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

    bool isNumber = false;
    const int address = request.addressText.trimmed().toInt(&isNumber, 10);
    if (!isNumber || address < 1 || address > 254) {
        // Nothing is connected, so nothing is pending: the end-of-tick refresh (clock, icon,
        // buttons) must go on.
        autoModelPending_ = false;
        return ConnectResult::WrongAddress;
    }
    upsAddress_ = address;
    protocol_ = request.protocol;

    if (!channel_.open()) {
        autoModelPending_ = false; // nothing to detect on a port that is not open: keep the bar refreshed
        resetLinkState();
        return ConnectResult::PortOpenFailed;
    }
    justConnected_ = true;
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

bool Scheduler::chooseModelOffline(int model) {
    if (channel_.isOpen() || model < 0 || model > 8) return false;
    upsModel_ = model;
    autoModelPending_ = false;
    emit modelChosenOffline(model + 1); // model box item k is model k - 1
    return true;
}

void Scheduler::resetLinkState() {
    for (RecordJob* job : recordJobs_)
        if (job) job->reset();
    control_.reset();
    write_.reset();
    download_.reset();
    activity_ = ActIdle;
    bypassCaptionTicks_ = 0;
    justConnected_ = true;
    awaitingReply_ = false;
    replyOverdue_ = false;
    settleTicks_ = 0;
    settleSpent_ = 0;
    lateBytes_.clear();
    lateReplies_ = 0;
    clearLiveStores();
    livePoll_.startLiveCycle(live_.modules);
    // The battery command buttons and the beeper read 83 as "nothing known yet".
    live_.LiveStatus.set(83, 1);
    live_.PreviousStatus.set(83, 1);
    emit linkReset();
}

void Scheduler::clearLiveStores() {
    live_.clear();
}

void Scheduler::onRxChar(int waiting) {
    Q_UNUSED(waiting);
    if (awaitingReply_ || !baudFixed_) {
        // Only bytes that can be an answer keep the link alive: a UPS whose every answer comes after
        // its reply wait must lose the link like a silent one, although characters keep arriving.
        rxWatchdog_ = kWatchdogTicks;
        // RTU has no end marker: the reply is complete after a tick of silence.
        if (protocol_ == Protocol::Rtu) replyWait_ = rtuChunkWaitTicks(baudValue_);
        return;
    }
    // Bytes while no request is outstanding belong to an earlier request (or are noise): once they
    // stop, the line must stay quiet for a reply wait before the next request goes out.
    if (settleTicks_ <= 0) settleSpent_ = 0;
    settleTicks_ = std::max(settleTicks_, replyTimeout_);
}

void Scheduler::onRxFlag() {
    if (protocol_ == Protocol::Ascii) replyWait_ = 0; // LF ends an ASCII frame
}

void Scheduler::tick() {
    checkPortPresence();

    const bool busy = replyWait_ > 0;
    if (busy)
        --replyWait_;
    else
        replyWait_ = 0;

    if (rxWatchdog_ >= 0) {
        --rxWatchdog_;
        if (rxWatchdog_ < 0 && linkOk_) {
            linkOk_ = false;
            clearLiveStores();
            emit liveStoresCleared();
        }
    }

    startCycleIfDue();

    if (++bypassCaptionTicks_ > kBypassCaptionTicks) {
        bypassCaptionTicks_ = 0;
        emit bypassCaptionDue(live_.LiveStatus[81] == 2);
    }

    if (channel_.isOpen() && !busy) {
        if (settleTicks_ <= 0 || settleTick()) dispatch();
    }

    if (!autoModelPending_) {
        if (!channel_.isOpen()) linkOk_ = false;
        emit linkStateChanged();
    }
}

void Scheduler::startCycleIfDue() {
    if (!baudFixed_) {
        // During the baud search only the measurement block is asked for, over and over.
        if (activity_ != ActLiveData) {
            livePoll_.startLiveCycle(live_.modules);
            activity_ = ActLiveData;
            livePoll_.setStep(1);
        }
        return;
    }
    if (justConnected_) {
        if (activity_ == ActIdle) {
            download_.start();
            activity_ = ActSettingsDownload;
            justConnected_ = false;
        } else if (activity_ == ActWriteList || activity_ == ActSettingsDownload) {
            justConnected_ = false;
        }
        return;
    }
    ++cycleTicks_;
    if (activity_ == ActIdle && cycleTicks_ > kCycleIntervalTicks) {
        cycleTicks_ = 0;
        livePoll_.startLiveCycle(live_.modules);
        activity_ = ActLiveData;
        livePoll_.setStep(1);
    }
}

void Scheduler::dispatch() {
    // A fault inside one transaction must not stop the link: the job stays where it was and the
    // same step is tried on the next free tick.
    try {
        for (RecordJob* job : recordJobs_) {
            if (!job || job->state() == JobIdle) continue;
            if (job->state() == JobRequestDue)
                job->serveRequest(*this);
            else
                job->serveReply(*this);
            return;
        }
        if (control_.state() != JobIdle) {
            if (control_.serve(*this)) {
                activity_ = ActIdle;
                emit buttonsRefreshDue();
                emit controlCommandEnded(control_.lastResult());
            }
            return;
        }
        if (write_.state() != JobIdle) {
            if (write_.serve(*this, settings_)) {
                emit writeSequenceEnded(write_.results());
                download_.start(); // read back what the UPS now holds
                activity_ = ActSettingsDownload;
            }
            return;
        }
        if (download_.state() != JobIdle) {
            if (download_.serve(*this, settings_)) {
                activity_ = ActIdle;
                emit buttonsRefreshDue();
                emit settingsDownloaded();
            }
            return;
        }
        livePoll_.serve(*this);
    } catch (...) {
    }
}

void Scheduler::endLiveCycle() {
    if (autoModelPending_ && linkOk_) {
        const ModelDetection model = detectModel(live_.LiveData[78]);
        if (model.comboItem > 0) {
            upsModel_ = model.upsModel;
            resetLinkState(); // the settings are read again for the detected model
            autoModelPending_ = false;
            emit modelDetected(model.comboItem);
            return; // this cycle's values were cleared for the new model: the next cycle draws
        } else {
            // Nothing is pending any more: the end-of-tick refresh must go on (clock, icon, buttons).
            autoModelPending_ = false;
            channel_.close();
            connected_ = false;
            clearLiveStores();
            resetLinkState();
            emit liveStoresCleared();
            emit modelRejected();
            return; // the connection is gone: the pages show empty values, not this cycle
        }
    }
    emit liveCycleEnded();
}

void Scheduler::advanceBaudProbe() {
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

bool Scheduler::startControlCommand(uint16_t reg, uint16_t value) {
    if (!channel_.isOpen()) return false;
    control_.start(reg, value);
    activity_ = ActControl;
    return true;
}

bool Scheduler::startWriteSequence(const QVector<WriteEntry>& entries) {
    if (!channel_.isOpen()) return false;
    write_.start(entries, settings_);
    activity_ = ActWriteList;
    emit buttonsRefreshDue();
    return true;
}

bool Scheduler::startSettingsDownloadJob() {
    if (!channel_.isOpen()) return false;
    download_.start();
    activity_ = ActSettingsDownload;
    return true;
}

void Scheduler::requestSettingsRefresh() {
    justConnected_ = true;
}

void Scheduler::selectModule(int module) {
    if (!channel_.isOpen() || live_.modules.count < 1 || live_.modules.count > 30) return;
    live_.modules.selected = module;
    livePoll_.startModuleStage(module);
    livePoll_.setStep(5);
    activity_ = ActModuleData;
}

void Scheduler::setRecordJob(int priority, RecordJob* job) {
    if (priority == 1 || priority == 2) recordJobs_[priority - 1] = job;
}

void Scheduler::send(const QByteArray& frame) {
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
    // Replies carry no transaction number. When a request got nothing back within its wait, its
    // answer may still be on the way and would be taken for the answer to the next request. The next
    // request therefore waits until the answer has come (and the line has been quiet for a reply wait
    // after it) or until the line has stayed quiet for the late-reply horizon: answers up to that late
    // are discarded, never stored. A damaged or cut frame did come in time: a reply wait of quiet
    // after it is enough (a rest still on its way restarts the wait). The baud search is exempt: it
    // asks the same block over and over.
    if (baudFixed_ && !looksLikeWholeFrame(protocol_, bytes)) {
        replyOverdue_ = bytes.isEmpty();
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
