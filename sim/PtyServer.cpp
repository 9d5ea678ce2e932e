#include "PtyServer.h"

#include "PtyLine.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace zav::sim {

PtyServer::PtyServer(VirtualUps& ups, QObject* parent) : QObject(parent), ups_(ups) {}

PtyServer::~PtyServer() {
    stop();
}

bool PtyServer::open(QString* error) {
    return pty_.open(ups_.baud(), error);
}

bool PtyServer::createLink(const QString& linkPath, QString* error) {
    return pty_.createLink(linkPath, error);
}

void PtyServer::start() {
    if (notifier_ || pty_.master() < 0) return;
    elapsed_.start();
    notifier_ = new QSocketNotifier(pty_.master(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &PtyServer::onReadable);
    clock_ = new QTimer(this);
    clock_->setInterval(100); // scenario events and the model move on even without requests
    connect(clock_, &QTimer::timeout, this, &PtyServer::sync);
    clock_->start();
    ups_.onLog = [this](const QString& line) { emit logLine(line); };
}

void PtyServer::stop() {
    delete notifier_;
    notifier_ = nullptr;
    delete clock_;
    clock_ = nullptr;
    ups_.onLog = nullptr;
}

void PtyServer::sync() {
    if (elapsed_.isValid()) ups_.advanceTo(elapsed_.elapsed());
}

void PtyServer::onReadable() {
    QByteArray batch;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(pty_.master(), buf, sizeof buf);
        if (n > 0) {
            batch.append(buf, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EIO) notifier_->setEnabled(false); // cannot happen while we hold the slave
        break;
    }
    if (batch.isEmpty()) return;
    sync();
    // The tool's rate at the moment its bytes arrive decides whether the UPS understands them.
    for (const Outgoing& reply : ups_.receive(batch, ptyLineBaud(pty_.master()))) {
        if (reply.delayMs <= 0)
            writeOut(reply.bytes);
        else
            QTimer::singleShot(reply.delayMs, this, [this, bytes = reply.bytes] { writeOut(bytes); });
    }
    if (ups_.logo().hangUpDue()) hangUp();
}

void PtyServer::hangUp() {
    if (pty_.master() < 0) return;
    // Not deleted inside its own activation: disabled now, deleted with the server.
    if (notifier_) notifier_->setEnabled(false);
    if (clock_) clock_->stop();
    pty_.hangUp();
    emit logLine(QStringLiteral("port hung up (the device is gone)"));
}

void PtyServer::writeOut(const QByteArray& bytes) {
    if (pty_.master() < 0) return; // a delayed reply after the hang-up
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(pty_.master(), bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break; // the tool does not read: what does not fit is lost, as on a real line
        }
    }
}

} // namespace zav::sim
