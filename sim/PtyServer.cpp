#include "PtyServer.h"

#include "PtyLine.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace zav::sim {

PtyServer::PtyServer(VirtualUps& ups, QObject* parent) : QObject(parent), ups_(ups) {}

PtyServer::~PtyServer() {
    stop();
    if (!link_.isEmpty()) ::unlink(QFile::encodeName(link_).constData());
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
}

bool PtyServer::open(QString* error) {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        if (error) *error = QString("cannot open a pseudo-terminal: %1").arg(std::strerror(errno));
        return false;
    }
    path_ = QString::fromLocal8Bit(name);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    // Until the tool sets its own, the line is raw 8N1 at the UPS's rate (no echo of replies).
    configurePtyLine(slave_, ups_.baud());
    return true;
}

bool PtyServer::createLink(const QString& linkPath, QString* error) {
    const QByteArray target = QFile::encodeName(linkPath);
    const QFileInfo info(linkPath);
    if (info.isSymLink()) {
        ::unlink(target.constData());
    } else if (info.exists()) {
        if (error) *error = QString("%1 exists and is not a symbolic link").arg(linkPath);
        return false;
    }
    if (::symlink(QFile::encodeName(path_).constData(), target.constData()) != 0) {
        if (error) *error = QString("cannot create the link %1: %2").arg(linkPath, std::strerror(errno));
        return false;
    }
    link_ = linkPath;
    return true;
}

void PtyServer::start() {
    if (notifier_ || master_ < 0) return;
    elapsed_.start();
    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
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
        const ssize_t n = ::read(master_, buf, sizeof buf);
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
    for (const Outgoing& reply : ups_.receive(batch, ptyLineBaud(master_))) {
        if (reply.delayMs <= 0)
            writeOut(reply.bytes);
        else
            QTimer::singleShot(reply.delayMs, this, [this, bytes = reply.bytes] { writeOut(bytes); });
    }
}

void PtyServer::writeOut(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
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
