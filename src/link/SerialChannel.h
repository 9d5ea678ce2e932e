#pragma once
// The Modbus channel as the scheduler sees it. QtSerialChannel drives a real port; tests use a fake.
// Notifications arrive on the thread that runs the scheduler: rxChar(waiting) after bytes arrived,
// then rxFlag() when the batch held an LF.

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>

namespace zav {

class SerialChannel {
  public:
    virtual ~SerialChannel() = default;

    virtual void setPortName(const QString& name) = 0;
    virtual QString portName() const = 0;
    virtual void setBaudRate(int baud) = 0; // applied at once when open
    virtual int baudRate() const = 0;
    // Opens 8N1, no flow control. On failure returns false and errorText() says why.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString errorText() const = 0;
    virtual void purge() = 0;                           // both directions
    virtual bool write(const QByteArray& bytes) = 0;    // blocking, with the write time-out
    virtual QByteArray readAvailable(int maxBytes) = 0; // what is buffered, at most maxBytes
    // What is buffered, left in the buffer (the fast timing looks whether a reply is whole). A
    // channel that cannot look gives nothing, and replies are then ended by the tick rules.
    virtual QByteArray peekAvailable(int maxBytes) {
        Q_UNUSED(maxBytes);
        return {};
    }

    std::function<void(int waiting)> onRxChar;
    std::function<void()> onRxFlag;
};

} // namespace zav
