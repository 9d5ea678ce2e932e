#include "link/QtSerialChannel.h"

#include "link/SerialLoss.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

namespace zav {

QtSerialChannel::QtSerialChannel(QObject* parent) : QObject(parent), port_(this) {
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialChannel::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialChannel::onError);
}

QtSerialChannel::~QtSerialChannel() {
    close();
}

void QtSerialChannel::setBaudRate(int baud) {
    baud_ = baud;
    if (port_.isOpen()) port_.setBaudRate(baud); // the baud search changes the rate of an open port
}

static QString openErrorText(const QString& name, QSerialPort::SerialPortError error, const QString& detail) {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("%1: no such serial port").arg(name);
    case QSerialPort::PermissionError:
        if (QFileInfo::exists(name) || QFileInfo::exists("/dev/" + name))
            return QStringLiteral("%1: permission denied or the port is in use by another program "
                                  "(to get access: sudo usermod -aG dialout $USER, then log in again)")
                .arg(name);
        return QStringLiteral("%1: permission denied").arg(name);
    default:
        return QStringLiteral("%1: %2").arg(name, detail);
    }
}

bool QtSerialChannel::open() {
    if (port_.isOpen()) return true;
    error_.clear();
    if (name_.trimmed().isEmpty()) {
        error_ = QStringLiteral("no serial port chosen");
        return false;
    }
    port_.setPortName(name_);
    port_.setBaudRate(baud_);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(0);
    if (!port_.open(QIODevice::ReadWrite)) {
        error_ = openErrorText(name_, port_.error(), port_.errorString());
        port_.clearError();
        return false;
    }
    // Many converters power their line drivers from DTR/RTS. A pty has no modem lines: not fatal.
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(true);
    port_.clearError();
    seen_ = 0;
    return true;
}

void QtSerialChannel::close() {
    seen_ = 0;
    if (closing_ || !port_.isOpen()) return;
    closing_ = true;
    port_.close();
    port_.clearError();
    closing_ = false;
}

void QtSerialChannel::purge() {
    if (!port_.isOpen()) return;
    port_.clear(QSerialPort::AllDirections); // on a vanished device this fails and closes the port
    if (port_.isOpen()) port_.readAll();
    seen_ = 0;
}

bool QtSerialChannel::write(const QByteArray& bytes) {
    if (!port_.isOpen()) return false;
    if (port_.write(bytes) != bytes.size()) return false;
    const int timeoutMs = 100 * int(bytes.size()) + 1000;
    while (port_.isOpen() && port_.bytesToWrite() > 0)
        if (!port_.waitForBytesWritten(timeoutMs)) return false;
    return port_.isOpen();
}

QByteArray QtSerialChannel::readAvailable(int maxBytes) {
    if (!port_.isOpen() || maxBytes <= 0) return {};
    const QByteArray bytes = port_.read(maxBytes);
    seen_ = port_.bytesAvailable();
    return bytes;
}

QByteArray QtSerialChannel::peekAvailable(int maxBytes) {
    if (!port_.isOpen() || maxBytes <= 0) return {};
    return port_.peek(maxBytes);
}

void QtSerialChannel::onReadyRead() {
    const qint64 waiting = port_.bytesAvailable();
    if (waiting <= seen_) {
        seen_ = waiting;
        return;
    }
    const QByteArray fresh = port_.peek(waiting).mid(seen_);
    seen_ = waiting;
    if (onRxChar) onRxChar(int(waiting));
    if (fresh.contains('\n') && onRxFlag) onRxFlag();
}

void QtSerialChannel::onError(QSerialPort::SerialPortError error) {
    // UnsupportedOperationError (modem lines on a pty) and the like are not fatal.
    if (closing_ || !port_.isOpen() || !isDeviceLoss(error)) return;
    const QString reason = deviceLossText(error);
    close();
    QMetaObject::invokeMethod(this, [this, reason] { emit deviceLost(reason); }, Qt::QueuedConnection);
}

void QtSerialChannel::sortPortNames(QStringList& names) {
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

QStringList QtSerialChannel::availablePorts() {
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names << info.systemLocation();
    sortPortNames(names);
    return names;
}

} // namespace zav
