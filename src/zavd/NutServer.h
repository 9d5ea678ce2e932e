#pragma once
// The NUT network server: QTcpServer on the configured address and port, one NutSession per
// client. Hostile clients cannot hurt the service: request lines are bounded (a longer one is
// answered with an error and the connection closed), a client that does not read its replies is
// dropped once its unsent output passes a bound, the number of clients is limited, and a client
// that says nothing for a minute is closed.

#include "zavd/NutProtocol.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

namespace zav {

class NutServer : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxPendingOutput = 64 * 1024;
    static constexpr int kIdleMs = 60 * 1000;

    NutServer(NutUps& ups, int maxConnections, QObject* parent = nullptr);
    ~NutServer() override;

    bool listen(const QHostAddress& address, quint16 port);
    QString errorString() const { return server_.errorString(); }
    quint16 port() const { return server_.serverPort(); }
    int clients() const { return int(clients_.size()); }

  private:
    struct Client;
    void accept();
    void readFrom(Client* c);
    void drop(Client* c, const QString& why);

    NutUps& ups_;
    int maxConnections_;
    QTcpServer server_;
    QList<Client*> clients_;
    bool limitSaid_ = false;
};

} // namespace zav
