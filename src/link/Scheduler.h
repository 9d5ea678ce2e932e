#pragma once
// The poll scheduler: owns the connection, runs one Modbus transaction at a time on 50 ms ticks,
// gives every free tick to the registered job with the highest priority that wants the line,
// supervises the link (reply wait, late replies, watchdog, lost port, baud search) and publishes
// `Activity` and `LinkOk`. It knows jobs only through LinkJob; which jobs run for a UPS, and in
// which order, is decided above the link (session/UpsSession).
// It never reads the clock: tick(), onRxChar() and onRxFlag() drive it, so tests step it exactly.
// The fast timing adds one timer, for the inter-frame gap after a whole reply; it calls prompt(),
// which tests call themselves.

#include "link/LinkJob.h"
#include "link/LinkTypes.h"
#include "link/ModbusCodec.h"
#include "link/SerialChannel.h"

#include <QObject>
#include <QTimer>
#include <algorithm>
#include <map>

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
    // The link's port is open: while disconnected the channel may be open for a bus scan, which is
    // not the link's (no job may start on it, no button may offer one).
    bool portOpen() const { return connected_ && channel_.isOpen(); }

    void tick();                // Timer1Timer
    void onRxChar(int waiting); // ComPort1RxChar
    void onRxFlag();            // ComPort1RxFlag

    // Classic until set: the programs set what their configuration says (fast unless told otherwise).
    void setTiming(const TimingOptions& timing);
    const TimingOptions& timing() const { return timing_; }
    // Fast timing: the reply awaited has come whole and the gap after it has passed: judge it and
    // send the next request at once. Does nothing when no whole reply is awaited.
    void prompt();
    bool promptPending() const { return promptDue_; }

    // Sharing the line with the schedulers of other addresses (link/LineBus). While held, another
    // has the line: this one keeps its own time (cycle and caption counters, reconnects) but sends
    // nothing, and its watchdog stands still, since silence it did not ask for says nothing of its UPS.
    void setLineHeld(bool held) { lineHeld_ = held; }
    bool lineHeld() const { return lineHeld_; }
    // Nothing on the line is this scheduler's any more: no reply awaited or about to be judged, no
    // quiet wait for a late answer running. Only then may another address have the line.
    bool lineQuiet() const {
        return !awaitingReply_ && replyWait_ <= 0 && settleTicks_ <= 0 && !promptDue_;
    }
    // A job has a request to send or a reply to judge.
    bool jobWantsLine() const;
    // Requests that got nothing back within their reply wait, since the connect.
    int missedReplies() const { return missedReplies_; }

    // ResetLinkState (part of FormStrInit): every job stops, the line starts afresh.
    void resetLinkState();

    // The job table: on a free tick the job with the lowest priority number that wants the line is
    // served. A null job empties the slot.
    void setJob(int priority, LinkJob* job);
    LinkJob* job(int priority) const;

    void setActivity(int activity) override { activity_ = activity; }
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
    Protocol protocol() const override { return protocol_; }
    uint8_t address() const override { return uint8_t(upsAddress_); }
    int baudProbeIndex() const { return baudProbeIndex_; }

  signals:
    void liveStoresCleared();  // the live pages redraw empty (watchdog, disconnect, lost port)
    void baudFound(int comboItem);
    void modelChosenOffline(int comboItem); // FormStrInit's captions for that model
    void linkStateChanged();           // end of every tick: StsBarDeal, StsConnectDeal, UpdateButtonStates
    void buttonsRefreshDue();          // a job ended or started mid-tick: UpdateButtonStates
    void linkReset();    // ResetLinkState ran
    void portLost();     // the device went away while connected
    void portRestored(); // ... and was reopened

  protected:
    // What the owner of the jobs adds to the line's life. Each is called at the point named.
    virtual void clearLiveStores() {}    // the link's data is no longer the UPS's
    virtual void resetSession() {}        // inside resetLinkState, after the jobs were reset
    virtual void beforeDispatch() {}      // every tick, before a free tick is given to a job
    virtual void jobEnded(LinkJob& job) { Q_UNUSED(job); } // serve() returned true, or the job was abandoned

    // The model the jobs decode for, and whether it is still to be found from the first answers.
    void setUpsModel(int model) { upsModel_ = model; }
    void setAutoModelPending(bool pending) { autoModelPending_ = pending; }
    // The connection ends without the user (the UPS is not a known model).
    void dropConnection();

  private:
    // LinkIo
    void send(const QByteArray& frame) override;
    QByteArray receive(int maxBytes) override;
    void setLinkOk(bool ok) override;
    bool baudSearching() const override { return !baudFixed_; }
    void endBaudSearch() override;
    void tryNextBaud() override;

    void serveFreeTick();
    bool dispatch(); // true when a job was served
    bool serve(LinkJob& job);
    void abandonJob(LinkJob& job, const QString& reason);
    bool fast() const { return timing_.mode == LinkTiming::Fast; }
    bool awaitedReplyWhole();
    void promptWhenWhole();
    void checkPortPresence();
    bool settleTick(); // true when a noisy line is polled anyway

    SerialChannel& channel_;
    std::map<int, LinkJob*> jobs_; // by priority, served first to last
    TimingOptions timing_{LinkTiming::Classic, 0};
    LinkJob* serving_ = nullptr;    // the job in serve() now
    LinkJob* replyOwner_ = nullptr; // the job whose request awaits its reply
    QTimer promptTimer_;
    bool promptDue_ = false;
    // Fast timing: job steps run one after the other until one sends; bounded, so that a job that
    // never sends cannot hold the thread.
    static constexpr int kMaxStepsAtOnce = 8;
    static constexpr int kLongestReply = 1024;

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
    int activity_ = ActIdle;
    // Line settling after a request without a whole reply (see receive()).
    // The late-reply horizon (lateReplyHorizonTicks). A line never quiet for that long and one more
    // wait is polled anyway.
    int lateReplyHorizon() const { return lateReplyHorizonTicks(replyTimeout_); }
    bool awaitingReply_ = false;
    bool replyOverdue_ = false; // the last request ended without a whole reply
    int settleTicks_ = 0;
    int settleSpent_ = 0;       // ticks settled since the last request ended
    static constexpr int kLateBytesKept = 1024;
    QByteArray lateBytes_;      // what arrived while settling, judged as one late reply
    int lateReplies_ = 0;
    int missedReplies_ = 0;
    bool lineHeld_ = false;
};

} // namespace zav
