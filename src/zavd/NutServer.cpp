#include "zavd/NutServer.h"

#include "zavd/ZavdLog.h"

#include <QTcpSocket>
#include <QTimer>

namespace zav {

struct NutServer::Client {
    QTcpSocket* socket;
    NutSession session;
    QByteArray buffer; // the request line read so far
    QTimer idle;
    bool closing = false;
    Client(QTcpSocket* s, NutUps& ups, const QString& peer) : socket(s), session(ups, peer) {}
};

NutServer::NutServer(NutUps& ups, int maxConnections, QObject* parent)
    : QObject(parent), ups_(ups), maxConnections_(maxConnections) {
    connect(&server_, &QTcpServer::newConnection, this, &NutServer::accept);
}

NutServer::~NutServer() {
    for (Client* c : clients_) {
        c->socket->disconnect(this);
        c->socket->abort();
        c->socket->deleteLater();
        delete c;
    }
}

bool NutServer::listen(const QHostAddress& address, quint16 port) {
    // Connections beyond the limit wait in the kernel's backlog, not in this process.
    server_.setMaxPendingConnections(16);
    return server_.listen(address, port);
}

void NutServer::accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (clients_.size() >= maxConnections_) {
            if (!limitSaid_)
                zavdLog(LogLevel::Warning, "nut", QStringLiteral("%1 clients connected: further connections are closed")
                                                      .arg(maxConnections_));
            limitSaid_ = true;
            socket->abort();
            socket->deleteLater();
            continue;
        }
        limitSaid_ = false;
        const QString peer = QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
        auto* c = new Client(socket, ups_, peer);
        clients_ << c;
        c->idle.setSingleShot(true);
        c->idle.setInterval(kIdleMs);
        connect(&c->idle, &QTimer::timeout, this, [this, c] { drop(c, QStringLiteral("idle")); });
        connect(socket, &QTcpSocket::readyRead, this, [this, c] { readFrom(c); });
        connect(socket, &QTcpSocket::disconnected, this, [this, c] { drop(c, QString()); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, c] { drop(c, QString()); });
        c->idle.start();
    }
}

void NutServer::readFrom(Client* c) {
    if (c->closing) return;
    c->idle.start();
    while (c->socket->bytesAvailable() > 0) {
        char chunk[1024];
        const qint64 n = c->socket->read(chunk, sizeof chunk);
        if (n <= 0) break;
        for (qint64 i = 0; i < n; ++i) {
            const char ch = chunk[i];
            if (ch != '\n') {
                if (c->buffer.size() >= NutSession::kMaxLineBytes) {
                    c->socket->write("ERR INVALID-ARGUMENT\n");
                    c->socket->flush();
                    return drop(c, QStringLiteral("request line longer than %1 bytes").arg(NutSession::kMaxLineBytes));
                }
                c->buffer += ch;
                continue;
            }
            if (c->buffer.endsWith('\r')) c->buffer.chop(1);
            const NutSession::Reply reply = c->session.handle(c->buffer);
            c->buffer.clear();
            for (const QByteArray& line : reply.lines) c->socket->write(line + '\n');
            if (reply.close) {
                c->socket->flush();
                return drop(c, QString());
            }
            if (c->socket->bytesToWrite() > kMaxPendingOutput)
                return drop(c, QStringLiteral("does not read its replies"));
        }
    }
}

void NutServer::drop(Client* c, const QString& why) {
    if (c->closing) return;
    c->closing = true;
    if (!why.isEmpty()) zavdLog(LogLevel::Notice, "nut", QStringLiteral("%1: closed (%2)").arg(c->session.peer(), why));
    clients_.removeOne(c);
    c->idle.stop();
    c->socket->disconnect(this);
    // A graceful close lets the last replies go out; abort() would discard them.
    if (c->socket->state() == QAbstractSocket::ConnectedState && c->socket->bytesToWrite() > 0 &&
        c->socket->bytesToWrite() <= kMaxPendingOutput) {
        QTcpSocket* s = c->socket;
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        QTimer::singleShot(5000, s, [s] { s->abort(); });
        s->disconnectFromHost();
    } else {
        c->socket->abort();
        c->socket->deleteLater();
    }
    // The session (and its login count) goes after the signal handlers have returned.
    QTimer::singleShot(0, this, [c] { delete c; });
}

} // namespace zav
