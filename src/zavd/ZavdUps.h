#pragma once
// One UPS of zavd: its session on the line (a member of its port's bus), reconnection when the
// port is missing or the model is not recognised, the commands and settings NUT clients hand over,
// the variables built from its stores, and the log of its link changes and alarms. It is the NUT
// device behind one UPS name. The PC protection, which may follow several UPSes, is the service's.

#include "session/UpsSession.h"
#include "zavd/NutProtocol.h"
#include "zavd/ZavdConfig.h"
#include "zavd/ZavdLog.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <functional>

namespace zav {

class ZavdUps : public QObject, public NutDevice {
    Q_OBJECT
  public:
    // `channel` is this UPS's channel on its port's bus; `named`: log lines start with the UPS's
    // name (a service of several UPSes).
    ZavdUps(const ZavdUpsConfig& config, const TimingOptions& timing, const QVector<NutUser>& users,
            SerialChannel& channel, bool named, QObject* parent = nullptr);
    ~ZavdUps() override;

    void start();
    void stop();
    const QString& name() const { return config_.name; }
    NutUps& nut() { return nut_; }
    UpsSession& session() { return session_; }
    const UpsSession& session() const { return session_; }
    // Once a second: alarms to the log, queued commands to the UPS.
    void secondTick();

    // The PC protection's switch-off order (register 358) goes before anything NUT clients queued.
    void queueSwitchOff(uint16_t delay);
    // Called when a switch-off order could not be sent (port closed, link reset).
    std::function<void()> switchOffNotSent;
    // The second the UPS's switch-off order falls due on the service's steady clock (-1: none).
    std::function<qint64()> upsOffAt;
    std::function<qint64()> steadySeconds;

    // NutDevice
    bool online() const override;
    QVector<NutVar> variables() const override;
    QVector<Command> commands() const override;
    QString runCommand(const QString& name, const QString& parameter) override;
    QString setVariable(const QString& name, const QString& value) override;
    bool settingPending() const override { return settingQueued_; }
    // The configured model, or the one the UPS reported: before that, no command list is right.
    bool modelKnown() const override { return config_.link.modelItem != 0 || modelDetected_; }

  private:
    void log(LogLevel level, const char* area, const QString& text) const;
    void tryConnect();
    void startNextCommand();
    void startNextWrite();
    void failQueuedWork();
    void logAlarms();
    void onLinkState();

    ZavdUpsConfig config_;
    bool named_;
    SerialChannel& channel_;
    UpsSession session_;
    NutUps nut_;
    QTimer reconnect_;
    bool lastLinkOk_ = false;
    bool lateSaid_ = false; // the late-answer warning was logged
    bool modelDetected_ = false;
    bool portMissingSaid_ = false;
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
    mutable qint64 cacheOffAt_ = -1;
    LogThrottle nutLogThrottle_{20, 1000}; // NUT client lines: at most 20 a second
    QElapsedTimer logClock_;
    QSet<QString> alarms_;
    bool liveFresh_ = false;    // a whole live cycle since the stores were last cleared
    bool settingsRead_ = false; // the settings of the final model were downloaded
};

} // namespace zav
