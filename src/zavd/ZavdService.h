#pragma once
// zavd's running service: one ZavdUps per configured UPS, the UPSes on one port sharing that
// port's bus (one 50 ms tick for all), and the PC-protection policy stepped once a second on the
// UPSes that feed this machine ("any" or "all" of them), with its shutdown sequence.

#include "link/LineBus.h"
#include "link/QtSerialChannel.h"
#include "journal/JournalFeed.h"
#include "journal/TrendFeed.h"
#include "protect/PowerOff.h"
#include "protect/ProcessRunner.h"
#include "protect/ShutdownPolicy.h"
#include "protect/ShutdownSequence.h"
#include "zavd/ZavdConfig.h"
#include "zavd/ZavdUps.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

namespace zav {

class ZavdService : public QObject {
    Q_OBJECT
  public:
    ZavdService(const ZavdConfig& config, PowerOff& powerOff, QObject* parent = nullptr);
    ~ZavdService() override;

    void start();
    void stop();
    // The NUT devices, in the order of the configuration.
    QVector<NutUps*> nutUpses() const;
    int upsCount() const { return int(upses_.size()); }
    ZavdUps& ups(int index) { return *upses_.at(size_t(index)); }

    // What the policy sees of the feeding UPSes, combined by the rule. Pure, for tests.
    struct FeedState {
        bool linkOk = false;
        bool inputFail = false;
        bool batteryLow = false;
        int model = 0;
    };
    struct Combined {
        bool linkOk = false;
        uint16_t inputFail = 0;
        uint16_t batteryLow = 0;
        bool protectionModels = false; // every linked feeding UPS is a model the protection runs for
        QVector<int> switchOff;        // indexes (into the states) of the UPSes an order may go to
    };
    static Combined combine(const QVector<FeedState>& feeds, bool all);

  private:
    struct Port {
        std::unique_ptr<QtSerialChannel> channel;
        std::unique_ptr<LineBus> bus;
    };
    qint64 steadySeconds() const { return steadyClock_.elapsed() / 1000; }
    void secondTick();

    ZavdConfig config_;
    std::vector<Port> ports_;
    std::vector<std::unique_ptr<ZavdUps>> upses_;
    std::vector<int> feeding_;      // indexes of the UPSes that feed this machine
    std::vector<bool> orderedOff_;  // the last switch-off order went to this UPS
    QTimer tick_;
    QTimer second_;
    QElapsedTimer steadyClock_; // the policy's seconds: a wall-clock change moves no order
    ShutdownPolicy policy_;
    QtProcessRunner runner_;
    std::unique_ptr<ShutdownSequence> sequence_;
    bool protectionSaid_ = false;
    // The event journal and the event command, one feed per UPS (all into one journal file).
    std::vector<std::unique_ptr<JournalFeed>> journals_;
    std::vector<std::unique_ptr<TrendFeed>> trends_; // one per UPS, all in one journal-trends.sqlite
};

} // namespace zav
