#include "BootloaderServer.h"

#include "PtyLine.h"

#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

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
    lastMs_ = 0;
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
    const int baud = std::max(ptyLineBaud(pty_.master()), 300);
    const double bytesPerMs = baud / 10000.0;
    // Budgets do not pile up while the line is idle: a line cannot send faster later.
    inBudget_ = std::min(inBudget_ + bytesPerMs * double(now - lastMs_), bytesPerMs * 20 + 1);
    outBudget_ = std::min(outBudget_ + bytesPerMs * double(now - lastMs_), bytesPerMs * 20 + 1);
    lastMs_ = now;

    // From the tool, as fast as the line carries it.
    const int want = int(inBudget_);
    if (want > 0) {
        QByteArray bytes(want, '\0');
        const ssize_t n = ::read(pty_.master(), bytes.data(), size_t(want));
        if (n > 0) {
            bytes.truncate(n);
            inBudget_ -= double(n);
            for (const BootReply& r : boot_.receive(bytes, baud)) {
                if (r.delayMs <= 0)
                    outQueue_ += r.bytes;
                else
                    later_.append({r.bytes, now + r.delayMs});
            }
        } else {
            inBudget_ = std::min(inBudget_, 1.0); // nothing waiting: no credit
        }
    }
    for (qsizetype i = 0; i < later_.size();) {
        if (later_[i].dueMs <= now) {
            outQueue_ += later_[i].bytes;
            later_.removeAt(i);
        } else {
            ++i;
        }
    }
    // To the tool, at the same pace.
    const int give = std::min<qsizetype>(qsizetype(outBudget_), outQueue_.size());
    if (give > 0) {
        const ssize_t n = ::write(pty_.master(), outQueue_.constData(), size_t(give));
        if (n > 0) {
            outQueue_.remove(0, n);
            outBudget_ -= double(n);
        }
    } else if (outQueue_.isEmpty()) {
        outBudget_ = std::min(outBudget_, 1.0);
    }
    if (int(boot_.stage()) != lastStage_) {
        lastStage_ = int(boot_.stage());
        emit logLine(QString("bootloader: %1 (%2 baud)").arg(kStageNames[lastStage_]).arg(baud));
    }
    if (boot_.hangUpDue() && outQueue_.isEmpty() && later_.isEmpty()) {
        pty_.hangUp();
        timer_->stop(); // not deleted here: this is its own timeout
        emit logLine(QStringLiteral("bootloader: hung up (the line is gone)"));
    }
}

} // namespace zav::sim
