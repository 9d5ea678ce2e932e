#pragma once
// A virtual UPS on a pseudo-terminal, served from a thread of its own, for programs and tests that
// run the tool in the same process: start it, open devicePath() with the tool, change its state or
// faults at run time with withUps(), stop it.

#include "VirtualUps.h"

#include <QString>
#include <QThread>
#include <functional>
#include <memory>

namespace zav::sim {

class PtyServer;

class SimulatorThread {
  public:
    explicit SimulatorThread(const SimConfig& config = {});
    ~SimulatorThread();
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    bool start(QString* error = nullptr);
    void stop();
    bool running() const { return thread_.isRunning(); }
    QString devicePath() const { return path_; }

    // Runs f with the UPS on the simulator's thread (its time brought up to date first) and waits.
    void withUps(const std::function<void(VirtualUps&)>& f);

  private:
    VirtualUps ups_;
    std::unique_ptr<PtyServer> server_;
    QThread thread_;
    QString path_;
};

} // namespace zav::sim
