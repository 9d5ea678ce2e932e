#pragma once
// Comm1: the programming serial channel, independent of the Modbus link. Writes are queued and
// return at once; QSerialPort sends them completely and in order from the event loop, so the window
// never waits on the line. Received bytes are handed on in chunks: a chunk ends after 100 ms without
// a new byte, or at 2048 bytes. Open failures throw CommsError with one of the texts below.
// A device that goes away under the open port (adapter pulled, pty closed) ends it once: the bytes
// received before are handed on, the port is closed without touching the dead device again, and
// requestHangup follows from the event loop, so no caller is re-entered in the middle of a call.

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <stdexcept>

namespace zav {

class CommsError : public std::runtime_error {
  public:
    explicit CommsError(const char* text) : std::runtime_error(text) {}
    QString text() const { return QString::fromLatin1(what()); }
};

namespace commtext {
inline constexpr char kAlreadyOpen[] = "This serial port already opened";
inline constexpr char kOpenFailed[] = "Error opening serial port";
inline constexpr char kNotComm[] = "File handle is not a comm handle ";
inline constexpr char kBuffers[] = "Cannot setup comm buffer";
} // namespace commtext

class ProgramChannel : public QObject {
    Q_OBJECT
  public:
    static constexpr int kChunkGapMs = 100;
    static constexpr int kChunkMaxBytes = 2048;

    explicit ProgramChannel(QObject* parent = nullptr);
    ~ProgramChannel() override;

    void setCommName(const QString& name) { name_ = name; } // takes effect at the next open
    QString commName() const { return name_; }
    void setBaudRate(int baud); // applied at once to an open port
    int baudRate() const { return baud_; }

    void open(); // 8N1, no flow control, DTR and RTS on; throws CommsError
    void close(); // unsent data is discarded
    bool isOpen() const { return port_.isOpen(); }
    // Queues a copy of the bytes; false (nothing queued) when closed or empty.
    bool queueData(const QByteArray& bytes);
    bool sending() const { return port_.isOpen() && port_.bytesToWrite() > 0; }
    qint64 bytesToWrite() const { return port_.isOpen() ? port_.bytesToWrite() : 0; }

  signals:
    void receiveData(const QByteArray& bytes); // OnReceiveData
    void requestHangup(const QString& reason); // the device went away; the port is closed already
    void sendDataEmpty();                      // the queue ran dry

  private:
    void onReadyRead();
    void deliver(qsizetype count);
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_; // a child, so tests can watch it open and close
    QTimer gap_;
    QByteArray pending_;
    QString name_ = QStringLiteral("COM2");
    int baud_ = 9600;
    bool closing_ = false; // errors Qt raises while the port closes are not a second loss
    bool lost_ = false;    // the device of this opening has gone away
};

} // namespace zav
