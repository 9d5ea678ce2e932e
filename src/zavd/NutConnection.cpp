#include "zavd/NutConnection.h"

#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <netinet/in.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zav {

NutConnection::NutConnection(qintptr descriptor, QObject* parent)
    : QObject(parent), fd_(int(descriptor)), readable_(descriptor, QSocketNotifier::Read),
      writable_(descriptor, QSocketNotifier::Write) {
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    sockaddr_storage peer{};
    socklen_t size = sizeof peer;
    if (::getpeername(fd_, reinterpret_cast<sockaddr*>(&peer), &size) == 0) {
        peerAddress_ = QHostAddress(reinterpret_cast<const sockaddr*>(&peer));
        if (peer.ss_family == AF_INET) peerPort_ = ntohs(reinterpret_cast<const sockaddr_in*>(&peer)->sin_port);
        if (peer.ss_family == AF_INET6) peerPort_ = ntohs(reinterpret_cast<const sockaddr_in6*>(&peer)->sin6_port);
    }
    writable_.setEnabled(false);
    connect(&readable_, &QSocketNotifier::activated, this, [this] {
        // The notifier fires while data waits; the reader takes it in readyRead's handler.
        emit readyRead();
    });
    connect(&writable_, &QSocketNotifier::activated, this, &NutConnection::flushOutput);
}

NutConnection::~NutConnection() { closeDescriptor(); }

QByteArray NutConnection::read(qsizetype limit) {
    QByteArray in;
    char piece[1024];
    while (!atEnd_ && in.size() < limit) {
        const ssize_t n = ::recv(fd_, piece, size_t(std::min<qsizetype>(sizeof piece, limit - in.size())), MSG_DONTWAIT);
        if (n > 0) {
            in.append(piece, n);
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            fail(); // 0: the peer closed its side; else an error
        }
    }
    return in;
}

void NutConnection::write(const QByteArray& data) {
    if (failed_ || fd_ < 0 || data.isEmpty()) return;
    output_.append(data);
    if (output_.size() == data.size()) flushOutput(); // nothing waited before: try at once
}

void NutConnection::flushOutput() {
    while (!output_.isEmpty() && !failed_) {
        const ssize_t n = ::send(fd_, output_.constData(), size_t(output_.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            output_.remove(0, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            writable_.setEnabled(true); // the rest when the peer has read
            return;
        } else {
            fail();
        }
    }
    writable_.setEnabled(false);
    output_ = QByteArray(); // an empty output holds no block
    if (closing_) {
        closeDescriptor();
        deleteLater();
    }
}

void NutConnection::fail() {
    atEnd_ = true;
    readable_.setEnabled(false);
    writable_.setEnabled(false);
    if (failed_) return;
    failed_ = true;
    output_ = QByteArray();
    QMetaObject::invokeMethod(this, &NutConnection::broken, Qt::QueuedConnection);
}

void NutConnection::abort() {
    closing_ = true;
    closeDescriptor();
    deleteLater();
}

void NutConnection::closeAfterWriting(int graceMs) {
    readable_.setEnabled(false);
    if (output_.isEmpty() || failed_) return abort();
    closing_ = true;
    QTimer::singleShot(graceMs, this, &NutConnection::abort);
}

void NutConnection::closeDescriptor() {
    readable_.setEnabled(false);
    writable_.setEnabled(false);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

} // namespace zav
