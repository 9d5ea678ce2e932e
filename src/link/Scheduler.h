#pragma once
// The poll scheduler: owns the connection, runs one Modbus transaction at a time on 50 ms ticks,
// chooses the next job by fixed priority (history, S-code, control command, write sequence,
// settings download, live poll), supervises the link and publishes `Activity` and `LinkOk`.
// It never reads the clock: tick(), onRxChar() and onRxFlag() drive it, so tests step it exactly.

#include "link/LinkTypes.h"
#include "link/ModbusCodec.h"
#include "link/RecordJob.h"
#include "link/SerialChannel.h"
#include "link/WriteJobs.h"
#include "monitor/LivePoll.h"
#include "monitor/LiveStores.h"
#include "settings/SettingStores.h"
#include "settings/SettingsDownload.h"

#include <QObject>
#include <algorithm>
#include <QVector>

namespace zav {

struct ConnectRequest {
    int modelItem = 0;                   // ComboBoxUpsType: 0 "Auto", k selects UpsModel k - 1
    int baudItem = kBaudAutoItem;        // ComboBox1: 0..6 a rate, 7 "Auto"
    QString portName;                    // ComboBox2 text
    Protocol protocol = Protocol::Ascii; // ComboBoxProto
    QString addressText = "1";           // EditUpsAddr
};

enum class ConnectResult { Connected, WrongAddress, PortOpenFailed };

class Scheduler : public QObject, private LinkIo {
    Q_OBJECT
  public:
    explicit Scheduler(SerialChannel& channel, QObject* parent = nullptr);

    // ButtonConnectClick, connect half. The window shows the message of a failed result.
    ConnectResult connectLink(const ConnectRequest& request);
    // ButtonConnectClick, disconnect half: closes the port, clears the live stores.
    void disconnectLink();
    bool connected() const { return connected_; } // the user's connection (caption "Disconnect")
    bool portOpen() const { return channel_.isOpen(); }

    void tick();                // Timer1Timer
    void onRxChar(int waiting); // ComPort1RxChar
    void onRxFlag();            // ComPort1RxFlag

    // ResetLinkState (part of FormStrInit).
    void resetLinkState();

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
    RecordJob* recordJob(int priority) const { return priority == 1 || priority == 2 ? recordJobs_[priority - 1] : nullptr; }
    void setActivity(int activity) override { activity_ = activity; }
    // A bypass command was clicked: the caption is corrected only after a full caption period.
    void restartBypassCaptionCount() { bypassCaptionTicks_ = 1; }
    // A snapshot is shown with the port closed: the pages are drawn for `model` (0..8). Refused
    // (false) while a port is open, where only the UPS itself says what it is.
    bool chooseModelOffline(int model);

    // State the pages read.
    int activity() const { return activity_; }
    bool linkOk() const { return linkOk_; }
    int upsModel() const override { return upsModel_; }
    bool autoModelPending() const { return autoModelPending_; }
    bool baudFixed() const { return baudFixed_; }
    int baudValue() const { return baudValue_; }
    int replyTimeout() const { return replyTimeout_; }
    int replyWait() const { return replyWait_; }
    int settleTicks() const { return settleTicks_; } // ticks the line must stay quiet before the next request
    // Whole replies that came after their reply wait since the last reply accepted in time: the UPS
    // answers, but too late to be heard (its answers are discarded, never stored).
    int lateReplies() const { return lateReplies_; }
    bool justConnected() const { return justConnected_; }
    Protocol protocol() const override { return protocol_; }
    uint8_t address() const override { return uint8_t(upsAddress_); }
    int liveStep() const { return livePoll_.step(); }
    int baudProbeIndex() const { return baudProbeIndex_; }

    LiveStores& live() { return live_; }
    const LiveStores& live() const { return live_; }
    SettingStores& settings() { return settings_; }
    const SettingStores& settings() const { return settings_; }
    const ControlCommandJob& controlJob() const { return control_; }
    const WriteSequenceJob& writeJob() const { return write_; }
    const SettingsDownload& settingsDownload() const { return download_; }

  signals:
    void liveStoresCleared();  // the live pages redraw empty (watchdog, disconnect, lost port)
    void liveCycleEnded();     // DataFlash, StsFlash, ModVoltAdjDisplay, CabVoltAdjDisplay (not
                               // after a cycle that found or rejected the model: its stores were reset)
    void moduleStageEnded();   // module data grid refresh
    void moduleListChanged();  // ComboBoxModIDSet refill
    void settingsDownloaded(); // SettingDisplay
    void baudFound(int comboItem);
    void modelDetected(int comboItem); // then FormStrInit's captions
    void modelRejected();              // the connection was dropped; show the model message
    void modelChosenOffline(int comboItem); // FormStrInit's captions for that model
    void linkStateChanged();           // end of every tick: StsBarDeal, StsConnectDeal, UpdateButtonStates
    void buttonsRefreshDue();          // a job ended or started mid-tick: UpdateButtonStates
    void bypassCaptionDue(bool cancelBypass);
    void controlCommandEnded(const zav::WriteResult& result);          // how the UPS answered it
    void writeSequenceEnded(const QVector<zav::WriteResult>& results); // one result per entry
    void linkReset();    // ResetLinkState ran
    void portLost();     // the device went away while connected
    void portRestored(); // ... and was reopened

  private:
    friend class LivePoll;

    // LinkIo
    void send(const QByteArray& frame) override;
    QByteArray receive(int maxBytes) override;
    void setLinkOk(bool ok) override;

    void dispatch();
    void startCycleIfDue();
    void endLiveCycle();
    void advanceBaudProbe();
    void endBaudSearch();
    void clearLiveStores();
    void checkPortPresence();
    bool settleTick(); // true when a noisy line is polled anyway

    SerialChannel& channel_;
    LiveStores live_;
    SettingStores settings_;
    LivePoll livePoll_;
    SettingsDownload download_;
    ControlCommandJob control_;
    WriteSequenceJob write_;
    RecordJob* recordJobs_[2] = {nullptr, nullptr};

    bool connected_ = false;
    bool portLost_ = false;
    int reopenTicks_ = 0;
    Protocol protocol_ = Protocol::Ascii;
    int upsAddress_ = 0;
    int upsModel_ = 1;
    bool autoModelPending_ = false;
    bool baudFixed_ = false;
    int baudProbeIndex_ = 0;
    int baudValue_ = 0;
    int replyTimeout_ = 0;
    int replyWait_ = 0;
    int rxWatchdog_ = kWatchdogTicks;
    bool linkOk_ = false;
    bool justConnected_ = true;
    int cycleTicks_ = 0;
    int bypassCaptionTicks_ = 0;
    int activity_ = ActIdle;
    // Line settling after a request without a whole reply (see receive()).
    // A late answer is still expected this many reply waits on, and at least 3 s on: how late a UPS
    // answers depends on its own work more than on the rate. A line never quiet for that long and one
    // more wait is polled anyway.
    static constexpr int kLateReplyWaits = 5;
    static constexpr int kLateReplyFloorTicks = 60;
    int lateReplyHorizon() const { return std::max(kLateReplyWaits * replyTimeout_, kLateReplyFloorTicks); }
    bool awaitingReply_ = false;
    bool replyOverdue_ = false; // the last request ended without a whole reply
    int settleTicks_ = 0;
    int settleSpent_ = 0;       // ticks settled since the last request ended
    static constexpr int kLateBytesKept = 1024;
    QByteArray lateBytes_;      // what arrived while settling, judged as one late reply
    int lateReplies_ = 0;
};

} // namespace zav
