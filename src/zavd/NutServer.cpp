#include "zavd/NutServer.h"

#include "zavd/ZavdLog.h"

#include "zavd/NutConnection.h"

#include <QTimer>

namespace zav {

struct NutServer::Client {
    NutConnection* socket;
    NutSession session;
    QString address;
    QByteArray input; // received, not yet served
    QTimer idle;
    QTimer held; // serves the input again when the address's penalty is over
    bool closing = false;
    Client(NutConnection* s, const QVector<NutUps*>& upses, const QString& peer, QString a)
        : socket(s), session(upses, peer), address(std::move(a)) {}
};

NutServer::NutServer(NutUps& ups, int maxConnections, QObject* parent)
    : NutServer(QVector<NutUps*>{&ups}, maxConnections, parent) {}

NutServer::NutServer(QVector<NutUps*> upses, int maxConnections, QObject* parent)
    : QObject(parent), upses_(std::move(upses)), maxConnections_(maxConnections) {
    connect(&server_, &DescriptorServer::descriptorAccepted, this, &NutServer::accept);
    clock_.start();
}

NutServer::~NutServer() {
    for (Client* c : clients_) {
        c->socket->disconnect(this);
        delete c->socket;
        delete c;
    }
}

bool NutServer::listen(const QHostAddress& address, quint16 port) {
    // Connections beyond the limit wait in the kernel's backlog, not in this process.
    server_.setMaxPendingConnections(16);
    return server_.listen(address, port);
}

void NutServer::accept(qintptr descriptor) {
    auto* socket = new NutConnection(descriptor, this);
    {
        if (clients_.size() >= maxConnections_) {
            if (!limitSaid_)
                zavdLog(LogLevel::Warning, "nut", QStringLiteral("%1 clients connected: further connections are closed")
                                                      .arg(maxConnections_));
            limitSaid_ = true;
            socket->abort();
            return;
        }
        limitSaid_ = false;
        const QString address = socket->peerAddress().toString();
        if (addresses_.size() > kMaxAddresses) forgetIdleAddresses();
        Address& a = addresses_[address];
        if (a.clients >= perAddressLimit()) {
            if (!addressLimitSaid_)
                zavdLog(LogLevel::Warning, "nut", QStringLiteral("%1 has %2 connections: further ones are closed")
                                                      .arg(address).arg(a.clients));
            addressLimitSaid_ = true;
            socket->abort();
            return;
        }
        addressLimitSaid_ = false;
        ++a.clients;
        const QString peer = QStringLiteral("%1:%2").arg(address).arg(socket->peerPort());
        auto* c = new Client(socket, upses_, peer, address);
        clients_ << c;
        c->held.setSingleShot(true);
        connect(&c->held, &QTimer::timeout, this, [this, c] { serveLines(c); });
        c->idle.setSingleShot(true);
        c->idle.setInterval(kIdleMs);
        connect(&c->idle, &QTimer::timeout, this, [this, c] { drop(c, QStringLiteral("idle")); });
        connect(socket, &NutConnection::readyRead, this, [this, c] { readFrom(c); });
        connect(socket, &NutConnection::broken, this, [this, c] { drop(c, QString()); });
        c->idle.start();
    }
}

void NutServer::forgetIdleAddresses() {
    // Penalties of addresses without a client are forgotten first when many addresses came by.
    for (auto a = addresses_.begin(); a != addresses_.end();)
        a = a->clients <= 0 ? addresses_.erase(a) : std::next(a);
}

void NutServer::readFrom(Client* c) {
    if (c->closing) return;
    c->idle.start();
    // A bounded piece a call: more than a request line or the held-back input may hold is cut off
    // by serveLines.
    c->input += c->socket->read(NutSession::kMaxLineBytes + kMaxPendingInput + 1);
    serveLines(c);
    if (c->closing) return;
    // What is served is gone: an idle client holds no input block.
    if (c->input.isEmpty()) c->input = QByteArray();
    if (c->socket->atEnd()) drop(c, QString());
}

void NutServer::serveLines(Client* c) {
    if (c->closing) return;
    for (;;) {
        Address& a = addresses_[c->address];
        const qint64 now = clock_.elapsed();
        if (a.failures > 0 && now - a.lastFailureMs > kForgetFailuresMs) a.failures = 0;
        const qsizetype end = c->input.indexOf('\n');
        if (end < 0) {
            if (c->input.size() > NutSession::kMaxLineBytes) {
                c->socket->write("ERR INVALID-ARGUMENT\n");
                return drop(c, QStringLiteral("request line longer than %1 bytes").arg(NutSession::kMaxLineBytes));
            }
            return;
        }
        if (now < a.heldUntilMs) {
            // Held back after a refusal: the requests wait (bounded) until the penalty is over.
            if (c->input.size() > kMaxPendingInput) return drop(c, QStringLiteral("sends too much while held back"));
            c->held.start(int(a.heldUntilMs - now));
            return;
        }
        QByteArray line = c->input.left(end);
        c->input.remove(0, end + 1);
        if (line.size() > NutSession::kMaxLineBytes) {
            c->socket->write("ERR INVALID-ARGUMENT\n");
            return drop(c, QStringLiteral("request line longer than %1 bytes").arg(NutSession::kMaxLineBytes));
        }
        if (line.endsWith('\r')) line.chop(1);
        const NutSession::Reply reply = c->session.handle(line);
        // One reply, one send.
        QByteArray out;
        for (const QByteArray& l : reply.lines) out += l + '\n';
        c->socket->write(out);
        if (reply.lines.size() == 1 && reply.lines[0] == "ERR ACCESS-DENIED") {
            a.failures = std::min(a.failures + 1, kMaxPenaltyMs / kPenaltyStepMs);
            a.lastFailureMs = now;
            a.heldUntilMs = now + qint64(a.failures) * kPenaltyStepMs;
        }
        if (reply.close) return drop(c, QString());
        if (c->socket->pending() > kMaxPendingOutput) return drop(c, QStringLiteral("does not read its replies"));
    }
}

void NutServer::drop(Client* c, const QString& why) {
    if (c->closing) return;
    c->closing = true;
    if (!why.isEmpty()) zavdLog(LogLevel::Notice, "nut", QStringLiteral("%1: closed (%2)").arg(c->session.peer(), why));
    clients_.removeOne(c);
    if (auto a = addresses_.find(c->address); a != addresses_.end() && --a->clients <= 0 && a->failures == 0)
        addresses_.erase(a);
    c->idle.stop();
    c->held.stop();
    c->socket->disconnect(this);
    // A graceful close lets the last replies go out (a client that does not read them gets 5 s).
    if (c->socket->pending() <= kMaxPendingOutput) c->socket->closeAfterWriting(5000);
    else c->socket->abort();
    // The session (and its login count) goes after the signal handlers have returned.
    QTimer::singleShot(0, this, [c] { delete c; });
}

} // namespace zav
