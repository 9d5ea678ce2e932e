#pragma once
// The NUT network server: QTcpServer on the configured address and port, one NutSession per
// client. Hostile clients cannot hurt the service: request lines are bounded (a longer one is
// answered with an error and the connection closed), a client that does not read its replies is
// dropped once its unsent output passes a bound, the number of clients is limited, and a client
// that says nothing for a minute is closed; one address takes at most half the slots, and refused
// authentications slow that address down.

#include "zavd/NutProtocol.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <algorithm>


namespace zav {

// Hands accepted connections over as plain descriptors (see NutConnection).
class DescriptorServer : public QTcpServer {
    Q_OBJECT
  public:
    using QTcpServer::QTcpServer;
  signals:
    void descriptorAccepted(qintptr descriptor);

  protected:
    void incomingConnection(qintptr descriptor) override { emit descriptorAccepted(descriptor); }
};

class NutServer : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxPendingOutput = 64 * 1024;
    static constexpr int kMaxPendingInput = 64 * 1024; // unread requests of a client held back
    static constexpr int kIdleMs = 60 * 1000;
    // A refused authentication holds every client of that address back for a while that grows with
    // each refusal (kPenaltyStepMs a refusal, at most kMaxPenaltyMs), so passwords cannot be guessed
    // at network speed; a minute without refusal forgets them.
    static constexpr int kPenaltyStepMs = 250;
    static constexpr int kMaxPenaltyMs = 5000;
    static constexpr int kForgetFailuresMs = 60 * 1000;
    static constexpr int kMaxAddresses = 4096; // addresses remembered

    NutServer(NutUps& ups, int maxConnections, QObject* parent = nullptr);
    // Several UPSes served under their names (at least one; they outlive the server).
    NutServer(QVector<NutUps*> upses, int maxConnections, QObject* parent = nullptr);
    ~NutServer() override;

    bool listen(const QHostAddress& address, quint16 port);
    QString errorString() const { return server_.errorString(); }
    quint16 port() const { return server_.serverPort(); }
    int clients() const { return int(clients_.size()); }

  private:
    struct Client;
    void accept(qintptr descriptor);
    void readFrom(Client* c);
    void serveLines(Client* c);
    void forgetIdleAddresses();
    void drop(Client* c, const QString& why);
    struct Address {
        int clients = 0;
        int failures = 0;
        qint64 lastFailureMs = 0;
        qint64 heldUntilMs = 0;
    };
    int perAddressLimit() const { return std::max(1, maxConnections_ / 2); }

    QVector<NutUps*> upses_;
    int maxConnections_;
    DescriptorServer server_;
    QList<Client*> clients_;
    QHash<QString, Address> addresses_; // by peer address
    QElapsedTimer clock_;
    bool limitSaid_ = false;
    bool addressLimitSaid_ = false;
};

} // namespace zav
