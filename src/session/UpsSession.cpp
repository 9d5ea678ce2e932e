#include "session/UpsSession.h"

namespace zav {

namespace {
int slot(JobPriority priority) { return int(priority); }
bool isRecordSlot(int priority) {
    return priority == slot(JobPriority::History) || priority == slot(JobPriority::SCodes);
}
} // namespace

UpsSession::UpsSession(SerialChannel& channel, QObject* parent) : Scheduler(channel, parent) {
    setJob(slot(JobPriority::Control), &control_);
    setJob(slot(JobPriority::Writes), &write_);
    setJob(slot(JobPriority::SettingsDownload), &download_);
    setJob(slot(JobPriority::LivePoll), &livePoll_);
    connect(&livePoll_, &LivePoll::moduleStageEnded, this, &UpsSession::moduleStageEnded);
    connect(&livePoll_, &LivePoll::moduleListChanged, this, &UpsSession::moduleListChanged);
}

void UpsSession::clearLiveStores() {
    live_.clear();
}

void UpsSession::resetSession() {
    bypassCaptionTicks_ = 0;
    justConnected_ = true;
    firstCycleDue_ = true;
    livePoll_.startLiveCycle(live_.modules);
    // The battery command buttons and the beeper read 83 as "nothing known yet".
    live_.LiveStatus.set(83, 1);
    live_.PreviousStatus.set(83, 1);
}

void UpsSession::beforeDispatch() {
    startCycleIfDue();
    if (++bypassCaptionTicks_ > kBypassCaptionTicks) {
        bypassCaptionTicks_ = 0;
        emit bypassCaptionDue(live_.LiveStatus[81] == 2);
    }
}

void UpsSession::startCycleIfDue() {
    if (!baudFixed()) {
        // During the baud search only the measurement block is asked for, over and over.
        if (activity() != ActLiveData) {
            livePoll_.startLiveCycle(live_.modules);
            setActivity(ActLiveData);
            livePoll_.setStep(1);
        }
        return;
    }
    if (justConnected_) {
        if (activity() == ActIdle) {
            download_.start();
            setActivity(ActSettingsDownload);
            justConnected_ = false;
        } else if (activity() == ActWriteList || activity() == ActSettingsDownload) {
            justConnected_ = false;
        }
        return;
    }
    ++cycleTicks_;
    if (activity() == ActIdle && cycleTicks_ > kCycleIntervalTicks) {
        cycleTicks_ = 0;
        livePoll_.startLiveCycle(live_.modules);
        setActivity(ActLiveData);
        livePoll_.setStep(1);
    }
}

void UpsSession::jobEnded(LinkJob& job) {
    if (&job == &control_) {
        setActivity(ActIdle);
        emit buttonsRefreshDue();
        emit controlCommandEnded(control_.lastResult());
    } else if (&job == &write_) {
        emit writeSequenceEnded(write_.results());
        download_.start(); // read back what the UPS now holds
        setActivity(ActSettingsDownload);
    } else if (&job == &download_) {
        if (firstCycleDue_ && timing().mode == LinkTiming::Fast)
            cycleTicks_ = kCycleIntervalTicks; // the values appear at once instead of a cycle later
        firstCycleDue_ = false;
        setActivity(ActIdle);
        emit buttonsRefreshDue();
        emit settingsDownloaded();
    } else if (&job == &livePoll_) {
        endLiveCycle();
    }
    // A record download ends itself (Activity 0 and its own signals).
}

void UpsSession::endLiveCycle() {
    if (autoModelPending() && linkOk()) {
        const ModelDetection model = detectModel(live_.LiveData[78]);
        if (model.comboItem > 0) {
            setUpsModel(model.upsModel);
            resetLinkState(); // the settings are read again for the detected model
            setAutoModelPending(false);
            emit modelDetected(model.comboItem);
            return; // this cycle's values were cleared for the new model: the next cycle draws
        } else {
            // Nothing is pending any more: the end-of-tick refresh must go on (clock, icon, buttons).
            setAutoModelPending(false);
            dropConnection();
            clearLiveStores();
            resetLinkState();
            emit liveStoresCleared();
            emit modelRejected();
            return; // the connection is gone: the pages show empty values, not this cycle
        }
    }
    emit liveCycleEnded();
}

bool UpsSession::startControlCommand(uint16_t reg, uint16_t value) {
    if (!portOpen()) return false;
    control_.start(reg, value);
    setActivity(ActControl);
    return true;
}

bool UpsSession::startWriteSequence(const QVector<WriteEntry>& entries) {
    if (!portOpen()) return false;
    write_.start(entries);
    setActivity(ActWriteList);
    emit buttonsRefreshDue();
    return true;
}

bool UpsSession::startSettingsDownloadJob() {
    if (!portOpen()) return false;
    download_.start();
    setActivity(ActSettingsDownload);
    return true;
}

void UpsSession::requestSettingsRefresh() {
    justConnected_ = true;
}

void UpsSession::selectModule(int module) {
    if (!portOpen() || live_.modules.count < 1 || live_.modules.count > 30) return;
    live_.modules.selected = module;
    livePoll_.startModuleStage(module);
    livePoll_.setStep(5);
    setActivity(ActModuleData);
}

void UpsSession::setRecordJob(int priority, RecordJob* job) {
    if (isRecordSlot(priority)) setJob(priority, job);
}

RecordJob* UpsSession::recordJob(int priority) const {
    return isRecordSlot(priority) ? static_cast<RecordJob*>(job(priority)) : nullptr;
}

} // namespace zav
