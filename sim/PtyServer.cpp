#include "PtyServer.h"

#include "PtyLine.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace zav::sim {

namespace {
constexpr int kPumpMs = 1; // a paced line moves on in steps this short (about a byte at 9600 baud)
} // namespace

PtyServer::PtyServer(VirtualUps& ups, QObject* parent) : PtyServer(QVector<VirtualUps*>{&ups}, parent) {}

PtyServer::PtyServer(const QVector<VirtualUps*>& units, QObject* parent)
    : QObject(parent), units_(units), ups_(*units.front()) {}

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
    if (serving() || pty_.master() < 0) return;
    elapsed_.start();
    notifier_ = new QSocketNotifier(pty_.master(), QSocketNotifier::Read, this);
    if (paced_) {
        // The notifier only notes when the tool's bytes reach an idle line; the pump reads them at
        // the line's pace. It is off while the line carries them (they stay readable meanwhile).
        connect(notifier_, &QSocketNotifier::activated, this, [this] {
            line_.arrived(nowMs());
            notifier_->setEnabled(false);
        });
        pump_ = new QTimer(this);
        pump_->setTimerType(Qt::PreciseTimer);
        pump_->setInterval(kPumpMs);
        connect(pump_, &QTimer::timeout, this, &PtyServer::pump);
        pump_->start();
    } else {
        connect(notifier_, &QSocketNotifier::activated, this, &PtyServer::onReadable);
    }
    clock_ = new QTimer(this);
    clock_->setInterval(100); // scenario events and the model move on even without requests
    connect(clock_, &QTimer::timeout, this, &PtyServer::sync);
    clock_->start();
    for (VirtualUps* unit : units_) {
        // With several units every line names the address it comes from.
        const QString prefix = units_.size() > 1 ? QString("[%1] ").arg(unit->config().address) : QString();
        unit->onLog = [this, prefix](const QString& line) { emit logLine(prefix + line); };
    }
}

void PtyServer::stop() {
    delete notifier_;
    notifier_ = nullptr;
    delete pump_;
    pump_ = nullptr;
    delete clock_;
    clock_ = nullptr;
    for (VirtualUps* unit : units_)
        unit->onLog = nullptr;
}

int PtyServer::lineBaud() const {
    return pty_.master() < 0 ? 0 : ptyLineBaud(pty_.master());
}

void PtyServer::sync() {
    if (!elapsed_.isValid()) return;
    for (VirtualUps* unit : units_)
        unit->advanceTo(elapsed_.elapsed());
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
    // The tool's rate at the moment its bytes arrive decides whether the UPS understands them.
    const int baud = ptyLineBaud(pty_.master());
    counts_.addIn(batch.size(), baud);
    answer(batch, baud);
    if (ups_.logo().hangUpDue()) hangUp();
}

double PtyServer::nowMs() const {
    return double(elapsed_.nsecsElapsed()) / 1e6;
}

void PtyServer::pump() {
    if (pty_.master() < 0) return;
    const double now = nowMs();
    if (const QByteArray batch = line_.read(now); !batch.isEmpty()) answer(batch, line_.baud());
    line_.write(now);
    if (line_.inputIdle() && notifier_ && !notifier_->isEnabled()) notifier_->setEnabled(true);
    // The port goes away once what the UPS said before has left.
    if (ups_.logo().hangUpDue() && line_.idle()) hangUp();
}

void PtyServer::answer(const QByteArray& batch, int lineBaud) {
    sync();
    const double now = paced_ ? line_.lastByteInMs() : nowMs();
    QList<Outgoing> replies;
    for (VirtualUps* unit : units_)
        replies += unit->receive(batch, lineBaud); // only the unit addressed answers
    for (const Outgoing& reply : replies) {
        if (paced_)
            line_.send(reply.bytes, now + std::max(reply.delayMs, 0));
        else if (reply.delayMs <= 0)
            writeOut(reply.bytes);
        else
            QTimer::singleShot(reply.delayMs, this, [this, bytes = reply.bytes] { writeOut(bytes); });
    }
}

void PtyServer::hangUp() {
    if (pty_.master() < 0) return;
    // Not deleted inside its own activation: disabled now, deleted with the server.
    if (notifier_) notifier_->setEnabled(false);
    if (pump_) pump_->stop();
    if (clock_) clock_->stop();
    pty_.hangUp();
    emit logLine(QStringLiteral("port hung up (the device is gone)"));
}

void PtyServer::writeOut(const QByteArray& bytes) {
    if (pty_.master() < 0) return; // a delayed reply after the hang-up
    const int baud = ptyLineBaud(pty_.master());
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(pty_.master(), bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            counts_.addOut(n, baud);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break; // the tool does not read: what does not fit is lost, as on a real line
        }
    }
}

} // namespace zav::sim
