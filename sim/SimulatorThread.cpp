#include "SimulatorThread.h"

#include "PtyServer.h"

namespace zav::sim {

SimulatorThread::SimulatorThread(const SimConfig& config) : SimulatorThread(QVector<SimConfig>{config}) {}

SimulatorThread::SimulatorThread(const QVector<SimConfig>& units) {
    for (const SimConfig& config : units)
        units_.push_back(std::make_unique<VirtualUps>(config));
    thread_.setObjectName("zav-ups-sim");
}

SimulatorThread::~SimulatorThread() {
    stop();
}

bool SimulatorThread::start(QString* error) {
    if (server_) return true;
    QVector<VirtualUps*> line;
    for (const auto& unit : units_)
        line.append(unit.get());
    auto server = std::make_unique<PtyServer>(line);
    server->setPaced(paced_);
    if (!server->open(error)) return false;
    path_ = server->devicePath();
    server_ = std::move(server);
    server_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(
        server_.get(), [s = server_.get()] { s->start(); }, Qt::BlockingQueuedConnection);
    return true;
}

void SimulatorThread::stop() {
    if (!server_) return;
    QThread* home = QThread::currentThread();
    // Stop and hand the server back to this thread, so that it is deleted where it then lives.
    QMetaObject::invokeMethod(
        server_.get(),
        [s = server_.get(), home] {
            s->stop();
            s->moveToThread(home);
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    server_.reset();
}

void SimulatorThread::withUnit(int index, const std::function<void(VirtualUps&)>& f) {
    VirtualUps& ups = *units_.at(size_t(index));
    if (!server_) {
        f(ups);
        return;
    }
    QMetaObject::invokeMethod(
        server_.get(),
        [this, &f, &ups] {
            server_->sync();
            f(ups);
        },
        Qt::BlockingQueuedConnection);
}

LineCounts SimulatorThread::counts() {
    if (!server_) return {};
    LineCounts out;
    QMetaObject::invokeMethod(
        server_.get(), [&out, s = server_.get()] { out = s->counts(); }, Qt::BlockingQueuedConnection);
    return out;
}

} // namespace zav::sim
