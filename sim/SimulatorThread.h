#pragma once
// A virtual UPS on a pseudo-terminal, served from a thread of its own, for programs and tests that
// run the tool in the same process: start it, open devicePath() with the tool, change its state or
// faults at run time with withUps(), stop it. Paced, the pty carries bytes at the line's rate.

#include "PacedLine.h"
#include "VirtualUps.h"

#include <QString>
#include <QThread>
#include <functional>
#include <memory>
#include <vector>
#include <QVector>

namespace zav::sim {

class PtyServer;

class SimulatorThread {
  public:
    explicit SimulatorThread(const SimConfig& config = {});
    // Several UPSes sharing the pty as on one bus, each with its own address.
    explicit SimulatorThread(const QVector<SimConfig>& units);
    ~SimulatorThread();
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    // Before start(): bytes cross the pty no faster than the line's baud rate allows.
    void setPaced(bool paced) { paced_ = paced; }

    bool start(QString* error = nullptr);
    void stop();
    bool running() const { return thread_.isRunning(); }
    QString devicePath() const { return path_; }

    // Runs f with the UPS on the simulator's thread (its time brought up to date first) and waits.
    void withUps(const std::function<void(VirtualUps&)>& f) { withUnit(0, f); }
    // The same for the unit at `index` (the order given to the constructor).
    void withUnit(int index, const std::function<void(VirtualUps&)>& f);

    // The bytes that crossed the pty since start(), and their wire time.
    LineCounts counts();

  private:
    std::vector<std::unique_ptr<VirtualUps>> units_;
    std::unique_ptr<PtyServer> server_;
    QThread thread_;
    QString path_;
    bool paced_ = false;
};

} // namespace zav::sim
