#pragma once
// zavd's running UPS: the serial link on the real scheduler (50 ms tick), reconnection when the
// port is missing at start or the model is not recognised, the PC-protection policy stepped once a
// second with its shutdown sequence, and the log of link changes, alarm events and decisions. It is
// the NUT device behind the protocol: variables from the live and settings stores, commands and
// writes through the scheduler's jobs.

#include "link/QtSerialChannel.h"
#include "session/UpsSession.h"
#include "journal/JournalFeed.h"
#include "protect/PowerOff.h"
#include "protect/ProcessRunner.h"
#include "protect/ShutdownPolicy.h"
#include "protect/ShutdownSequence.h"
#include "zavd/NutProtocol.h"
#include "zavd/ZavdConfig.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <memory>

namespace zav {

class ZavdService : public QObject, public NutDevice {
    Q_OBJECT
  public:
    ZavdService(const ZavdConfig& config, PowerOff& powerOff, QObject* parent = nullptr);
    ~ZavdService() override;

    void start();
    void stop();
    NutUps& ups() { return ups_; }
    UpsSession& scheduler() { return scheduler_; }

    // NutDevice
    bool online() const override;
    QVector<NutVar> variables() const override;
    QVector<Command> commands() const override;
    QString runCommand(const QString& name, const QString& parameter) override;
    QString setVariable(const QString& name, const QString& value) override;
    // After a successful setVariable: whether the setting waits for the UPS (written or queued).
    bool settingPending() const override { return settingQueued_; }
    // The configured model, or the one the UPS reported: before that, no command list is right.
    bool modelKnown() const override { return config_.link.modelItem != 0 || modelDetected_; }

  private:
    void tryConnect();
    void startNextCommand();
    void startNextWrite();
    void failQueuedWork();
    qint64 steadySeconds() const { return steadyClock_.elapsed() / 1000; }
    void secondTick();
    void logAlarms();
    void onLinkState();

    ZavdConfig config_;
    QtSerialChannel channel_;
    UpsSession scheduler_;
    NutUps ups_;
    QTimer tick_;
    QTimer second_;
    QTimer reconnect_;
    bool lastLinkOk_ = false;
    bool lateSaid_ = false;
    bool modelDetected_ = false;
    // Commands and settings handed over by NUT clients wait here for the UPS, in order.
    static constexpr int kMaxQueued = 16;
    struct QueuedCommand {
        uint16_t reg;
        uint16_t value;
        bool fromNut; // else the PC protection's switch-off
    };
    QList<QueuedCommand> commandQueue_;
    bool runningCommandFromNut_ = false;
    QList<std::pair<QString, QString>> writeQueue_; // NUT name and value
    bool settingQueued_ = false;
    bool writeRunning_ = false;
    // The variables as last built (see variables()).
    quint64 storesGeneration_ = 0;
    mutable QVector<NutVar> variablesCache_;
    mutable bool cacheValid_ = false;
    mutable quint64 cacheGeneration_ = 0;
    mutable qint64 cacheSecond_ = 0;
    mutable bool cacheFsd_ = false;
    LogThrottle nutLogThrottle_{20, 1000}; // NUT client lines: at most 20 a second
    QElapsedTimer logClock_;
    QElapsedTimer steadyClock_; // the policy's seconds: a wall-clock change moves no order // the late-answer warning was logged
    bool portMissingSaid_ = false;
    QSet<QString> alarms_;
    ShutdownPolicy policy_;
    QtProcessRunner runner_;
    std::unique_ptr<ShutdownSequence> sequence_;
    bool protectionSaid_ = false;
    bool liveFresh_ = false;    // a whole live cycle since the stores were last cleared
    bool settingsRead_ = false; // the settings of the final model were downloaded
    std::unique_ptr<JournalFeed> journal_; // the event journal and the event command
};

} // namespace zav
