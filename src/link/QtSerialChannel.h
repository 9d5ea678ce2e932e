#pragma once
// The Modbus channel over a real serial port (QSerialPort): 8N1, no flow control, DTR and RTS
// asserted, non-blocking reads of what is buffered, blocking writes with the write time-out.
// A device that disappears under an open port (USB adapter pulled, the far end of a pty closed) is
// closed at once and only once: QSerialPort would otherwise report the error on every event-loop
// pass, and it raises more errors while the dead port is cleared or closed. deviceLost follows from
// the event loop, never from inside a call of the link.

#include "link/SerialChannel.h"

#include <QObject>
#include <QSerialPort>
#include <QStringList>

namespace zav {

class QtSerialChannel : public QObject, public SerialChannel {
    Q_OBJECT
  public:
    explicit QtSerialChannel(QObject* parent = nullptr);
    ~QtSerialChannel() override;

    void setPortName(const QString& name) override { name_ = name; }
    QString portName() const override { return name_; }
    void setBaudRate(int baud) override;
    int baudRate() const override { return baud_; }
    bool open() override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    QString errorText() const override { return error_; }
    void purge() override;
    bool write(const QByteArray& bytes) override;
    QByteArray readAvailable(int maxBytes) override;
    QByteArray peekAvailable(int maxBytes) override;

    // Port names of the system (device paths), sorted case-insensitively.
    static QStringList availablePorts();
    static void sortPortNames(QStringList& names);

  signals:
    void deviceLost(const QString& reason);

  private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_; // a child, so tests can watch it open and close
    QString name_;
    int baud_ = 9600;
    QString error_;
    qint64 seen_ = 0; // bytes already announced through onRxChar
    bool closing_ = false; // errors Qt raises while the port closes are not a second loss
};

} // namespace zav
