#pragma once
// The tool's link (UpsSession on a real QSerialPort channel) on a virtual UPS over a pseudo-terminal,
// ticked by a 50 ms timer like the window's Timer1. Tests wait on the link's state with a bound.

#include "SimulatorThread.h"
#include "link/QtSerialChannel.h"
#include "session/UpsSession.h"

#include <QTimer>
#include <memory>

namespace zav::sim::test {

class SimHarness {
  public:
    explicit SimHarness(const SimConfig& config);
    ~SimHarness();

    // Starts the simulator; false (with the reason) when no pseudo-terminal could be made.
    bool startSimulator(QString* error = nullptr);
    // Connects the tool to the simulator's device with the bar's choices and starts ticking.
    ConnectResult connect(int modelItem, int baudItem, Protocol protocol, const QString& addressText = "1");

    UpsSession& scheduler() { return *scheduler_; }
    QtSerialChannel& channel() { return channel_; }
    SimulatorThread& simulator() { return simulator_; }
    int ticks() const { return ticks_; }

    // Runs f on the simulator's thread; the result is copied back.
    template <class T> T fromUps(const std::function<T(VirtualUps&)>& f) {
        T result{};
        simulator_.withUps([&](VirtualUps& ups) { result = f(ups); });
        return result;
    }

  private:
    SimulatorThread simulator_;
    QtSerialChannel channel_;
    std::unique_ptr<UpsSession> scheduler_;
    QTimer timer_;
    int ticks_ = 0;
};

} // namespace zav::sim::test
