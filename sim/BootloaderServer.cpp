#include "BootloaderServer.h"

#include <QTimer>

#include <algorithm>

namespace zav::sim {

namespace {
constexpr int kPumpMs = 2;
constexpr int kStartBaud = 38400; // until the tool sets its own
const char* const kStageNames[] = {"waiting for the first lock", "loading the kernel", "kernel running, waiting for keys",
                                   "unlocked, waiting for the second lock", "receiving the application",
                                   "done", "silent"};
} // namespace

BootloaderServer::BootloaderServer(Bootloader& boot, QObject* parent) : QObject(parent), boot_(boot) {}

BootloaderServer::~BootloaderServer() {
    stop();
}

bool BootloaderServer::open(QString* error) {
    return pty_.open(kStartBaud, error);
}

bool BootloaderServer::createLink(const QString& linkPath, QString* error) {
    return pty_.createLink(linkPath, error);
}

void BootloaderServer::start() {
    if (timer_ || pty_.master() < 0) return;
    clock_.start();
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(kPumpMs);
    connect(timer_, &QTimer::timeout, this, &BootloaderServer::pump);
    timer_->start();
}

void BootloaderServer::stop() {
    delete timer_;
    timer_ = nullptr;
}

void BootloaderServer::pump() {
    if (pty_.master() < 0) return;
    const qint64 now = clock_.elapsed();
    // From the tool, as fast as the line carries it; to the tool at the same pace.
    if (const QByteArray bytes = line_.read(now); !bytes.isEmpty()) {
        for (const BootReply& r : boot_.receive(bytes, line_.baud()))
            line_.send(r.bytes, now + std::max(r.delayMs, 0));
    }
    line_.write(now);
    if (int(boot_.stage()) != lastStage_) {
        lastStage_ = int(boot_.stage());
        emit logLine(QString("bootloader: %1 (%2 baud)").arg(kStageNames[lastStage_]).arg(line_.baud()));
    }
    if (boot_.hangUpDue() && line_.idle()) {
        pty_.hangUp();
        timer_->stop(); // not deleted here: this is its own timeout
        emit logLine(QStringLiteral("bootloader: hung up (the line is gone)"));
    }
}

} // namespace zav::sim
