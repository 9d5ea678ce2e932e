#include "SimHarness.h"

namespace zav::sim::test {

SimHarness::SimHarness(const SimConfig& config) : simulator_(config) {
    scheduler_ = std::make_unique<UpsSession>(channel_);
    timer_.setInterval(kTickMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        ++ticks_;
        scheduler_->tick();
    });
}

SimHarness::~SimHarness() {
    timer_.stop();
    if (scheduler_->portOpen()) scheduler_->disconnectLink();
    simulator_.stop();
}

bool SimHarness::startSimulator(QString* error) {
    return simulator_.start(error);
}

ConnectResult SimHarness::connect(int modelItem, int baudItem, Protocol protocol,
                                  const QString& addressText) {
    ConnectRequest r;
    r.modelItem = modelItem;
    r.baudItem = baudItem;
    r.portName = simulator_.devicePath();
    r.protocol = protocol;
    r.addressText = addressText;
    const ConnectResult result = scheduler_->connectLink(r);
    if (result == ConnectResult::Connected) timer_.start();
    return result;
}

} // namespace zav::sim::test
