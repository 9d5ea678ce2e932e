#pragma once
// The virtual UPS as one object: line settings, the physical model, settings, logs, scenario and
// faults. Bytes from the master go in (receive), reply bytes come out. It has no clock of its own:
// advanceTo() moves its time, so tests step it and the pty server feeds it the elapsed time.

#include "Faults.h"
#include "LogoReceiver.h"
#include "Records.h"
#include "RequestFramer.h"
#include "Scenario.h"
#include "SettingsBank.h"
#include "UpsClock.h"
#include "UpsPlant.h"
#include "UpsProfile.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <functional>
#include <memory>

namespace zav::sim {

enum class BaudMismatch { Silent, Garbage };

struct SimConfig {
    int upsModel = 1;
    int modelCode = -1; // register 78; -1 = the model's own code
    int address = 1;
    Protocol protocol = Protocol::Ascii;
    int baud = 9600;
    BaudMismatch mismatch = BaudMismatch::Silent;
    double loadPercent = 45;
    int restoreDelaySeconds = 10; // a switch-off with the mains present: back on after this long
    int modules = -1;       // modules (power units) present at start; -1 = the model's default
    QDateTime clockStart;   // UPS clock at time 0; invalid = 2024-06-01 08:00:00
    int historyEvents = 60; // plausible past events in the log at start
    int scodeRecords = 6;   // and maintenance codes
};

struct Outgoing {
    QByteArray bytes;
    int delayMs = 0;
};

struct SimStats {
    int frames = 0;       // complete frames seen on the line
    int badCheck = 0;     // dropped for a wrong CRC or LRC
    int otherAddress = 0; // well formed, for another slave
    int replies = 0;
    int exceptions = 0;
    int wrongBaud = 0;      // batches received at another rate
    int unheard = 0;        // batches lost to silence
    QVector<int> lineRates; // rates the master's bytes came at, in order, repeats merged
};

class VirtualUps : private PlantListener {
  public:
    explicit VirtualUps(const SimConfig& config = {});
    VirtualUps(const VirtualUps&) = delete; // the parts refer to each other
    VirtualUps& operator=(const VirtualUps&) = delete;

    const SimConfig& config() const { return config_; }
    const UpsProfile& profile() const { return profile_; }

    // Simulator time in ms since start; runs the scenario and the physical model up to it.
    void advanceTo(qint64 ms);
    qint64 now() const { return nowMs_; }

    // Bytes from the master; lineBaud is the rate the master's port is set to (0 = not known,
    // taken as right). Returns the replies to send, in order.
    QList<Outgoing> receive(const QByteArray& bytes, int lineBaud = 0);

    // The reply PDU to one request PDU, as the UPS computes it (no faults).
    QByteArray answer(const QByteArray& requestPdu);

    // Scenario events, their times counted from `offsetMs` (default: now).
    void schedule(const Scenario& scenario, qint64 offsetMs = -1);
    void apply(const ScenarioEvent& e);

    void setBaud(int baud) { config_.baud = baud; }
    int baud() const { return config_.baud; }

    UpsPlant& plant() { return *plant_; }
    const UpsPlant& plant() const { return *plant_; }
    SettingsBank& settings() { return *settings_; }
    UpsClock& clock() { return clock_; }
    HistoryLog& history() { return history_; }
    SCodeLog& scodes() { return scodes_; }
    FaultInjector& faults() { return faults_; }
    LogoReceiver& logo() { return logo_; } // the port after the command 357 = 1
    const SimStats& stats() const { return stats_; }

    // A line for each event, request and reply (the program's --verbose log).
    std::function<void(const QString&)> onLog;

  private:
    void historyEvent(int code, int action, int unit) override;
    void clearLogs(bool history, bool scodes) override;
    void checkSCodeTrigger();
    void seedLogs();
    QByteArray blockRead(const QByteArray& pdu, int first, int last, const RegisterStore& source);
    QByteArray recordRead(const QByteArray& pdu);
    QByteArray writeRegisters(const QByteArray& pdu);
    QByteArray controlCommand(const QByteArray& pdu);
    void log(const QString& line) {
        if (onLog) onLog(line);
    }

    SimConfig config_;
    const UpsProfile& profile_;
    UpsClock clock_;
    std::unique_ptr<SettingsBank> settings_;
    std::unique_ptr<UpsPlant> plant_;
    HistoryLog history_{kHistoryCapacity};
    SCodeLog scodes_{kSCodeCapacity};
    FaultInjector faults_;
    LogoReceiver logo_;
    RequestFramer framer_;
    QVector<ScenarioEvent> pending_; // scheduled events, time order
    std::array<uint16_t, 32> lastSCode_{};
    int lastEventUnit_ = 0;
    qint64 nowMs_ = 0;
    qint64 lastRxMs_ = -1;
    uint32_t noiseSeed_ = 1;
    SimStats stats_;
};

// A Modbus exception reply PDU.
QByteArray exceptionPdu(uint8_t address, uint8_t function, ModbusError error);

} // namespace zav::sim
