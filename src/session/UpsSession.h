#pragma once
// One UPS on the link: the jobs that run for it and in which order, the stores they fill, the live
// cycle (every 2 s, the settings first after a connect), the model found from the first answers and
// the signals the pages and programs redraw on. The line itself (reply waits, late replies, watchdog,
// lost port, baud search) is the scheduler's, which this class extends.

#include "link/RecordJob.h"
#include "link/Scheduler.h"
#include "link/WriteJobs.h"
#include "monitor/LivePoll.h"
#include "monitor/LiveStores.h"
#include "settings/SettingStores.h"
#include "settings/SettingsDownload.h"

#include <QVector>

namespace zav {

// Which job gets a free tick: the first in this order that wants the line.
enum class JobPriority : int {
    History = 1,          // record downloads run to their end before anything else
    SCodes = 2,
    Control = 3,          // a user's command goes before the write sequence
    Writes = 4,
    SettingsDownload = 5, // after a connect and after every write sequence (the read-back)
    LivePoll = 6,         // takes every tick nobody else wants
};

class UpsSession : public Scheduler {
    Q_OBJECT
  public:
    explicit UpsSession(SerialChannel& channel, QObject* parent = nullptr);

    // Jobs started by pages; each returns false (and does nothing) while the port is closed.
    bool startControlCommand(uint16_t reg, uint16_t value);
    bool startWriteSequence(const QVector<WriteEntry>& entries);
    bool startSettingsDownloadJob(); // StartSettingsDownload + Activity 5
    // Pages 8-10 ask for fresh settings: the download runs on the next tick with Activity 0.
    void requestSettingsRefresh();
    // Module selection: polls `module` from now on and jumps a running cycle to its module stage.
    void selectModule(int module);
    // Record downloads plug in at priority 1 (history) and 2 (S-code).
    void setRecordJob(int priority, RecordJob* job);
    RecordJob* recordJob(int priority) const;
    // A bypass command was clicked: the caption is corrected only after a full caption period.
    void restartBypassCaptionCount() { bypassCaptionTicks_ = 1; }

    bool justConnected() const { return justConnected_; }
    int liveStep() const { return livePoll_.step(); }

    LiveStores& live() { return live_; }
    const LiveStores& live() const { return live_; }
    SettingStores& settings() { return settings_; }
    const SettingStores& settings() const { return settings_; }
    const ControlCommandJob& controlJob() const { return control_; }
    const WriteSequenceJob& writeJob() const { return write_; }
    const SettingsDownload& settingsDownload() const { return download_; }

  signals:
    void liveCycleEnded();     // DataFlash, StsFlash, ModVoltAdjDisplay, CabVoltAdjDisplay (not
                               // after a cycle that found or rejected the model: its stores were reset)
    void moduleStageEnded();   // module data grid refresh
    void moduleListChanged();  // ComboBoxModIDSet refill
    void settingsDownloaded(); // SettingDisplay
    void modelDetected(int comboItem); // then FormStrInit's captions
    void modelRejected();              // the connection was dropped; show the model message
    void bypassCaptionDue(bool cancelBypass);
    void controlCommandEnded(const zav::WriteResult& result);          // how the UPS answered it
    void writeSequenceEnded(const QVector<zav::WriteResult>& results); // one result per entry

  protected:
    void clearLiveStores() override;
    void resetSession() override;
    void beforeDispatch() override;
    void jobEnded(LinkJob& job) override;

  private:
    void startCycleIfDue();
    void endLiveCycle();

    LiveStores live_;
    SettingStores settings_;
    LivePoll livePoll_{live_};
    SettingsDownload download_{settings_.SettingData};
    ControlCommandJob control_;
    WriteSequenceJob write_{settings_.SettingNew, settings_.SettingData};

    bool justConnected_ = true;
    bool firstCycleDue_ = true; // fast timing: the first live cycle follows the first settings download
    int cycleTicks_ = 0;
    int bypassCaptionTicks_ = 0;
};

} // namespace zav
