#pragma once
// One NUT client's TCP connection on its plain descriptor. QTcpSocket keeps a read block of 16 KiB
// and a write block of 32 KiB per socket for as long as it lives; with hundreds of clients that is
// most of zavd's memory. Here a reply goes straight to the kernel, requests are read in small
// pieces, and only what the kernel does not take at once waits (pending()), so an idle client costs
// a descriptor, two notifiers and its session.

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QSocketNotifier>

namespace zav {

class NutConnection : public QObject {
    Q_OBJECT
  public:
    // Takes the descriptor over (it is closed with the connection).
    explicit NutConnection(qintptr descriptor, QObject* parent = nullptr);
    ~NutConnection() override;
    NutConnection(const NutConnection&) = delete;
    NutConnection& operator=(const NutConnection&) = delete;

    QHostAddress peerAddress() const { return peerAddress_; }
    quint16 peerPort() const { return peerPort_; }

    // What has arrived; at most `limit` bytes a call, the rest stays in the kernel for the next.
    QByteArray read(qsizetype limit);
    // The peer closed its side or the connection failed: nothing more will arrive.
    bool atEnd() const { return atEnd_; }
    // Sends what the kernel takes now; the rest waits and goes out as the peer reads.
    void write(const QByteArray& data);
    qsizetype pending() const { return output_.size(); }

    // Ends the connection and deletes this object: at once, or after what waits has gone out
    // (at most `graceMs` later).
    void abort();
    void closeAfterWriting(int graceMs);

  signals:
    void readyRead();
    // The connection failed or the peer is gone (queued: never from inside write() or read()).
    void broken();

  private:
    void flushOutput();
    void fail();
    void closeDescriptor();

    int fd_ = -1;
    QSocketNotifier readable_;
    QSocketNotifier writable_;
    QByteArray output_;
    QHostAddress peerAddress_;
    quint16 peerPort_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    bool closing_ = false;
};

} // namespace zav
