#include "flash/ProgramChannel.h"

#include "link/SerialLoss.h"

#include <QFile>
#include <sys/stat.h>

namespace zav {

namespace {
QString devicePath(const QString& name) {
    return name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
}
} // namespace

ProgramChannel::ProgramChannel(QObject* parent) : QObject(parent), port_(this) {
    gap_.setSingleShot(true);
    gap_.setInterval(kChunkGapMs);
    connect(&gap_, &QTimer::timeout, this, [this] { deliver(pending_.size()); });
    connect(&port_, &QSerialPort::readyRead, this, &ProgramChannel::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &ProgramChannel::onError);
    connect(&port_, &QSerialPort::bytesWritten, this, [this] {
        if (port_.bytesToWrite() == 0) emit sendDataEmpty();
    });
}

ProgramChannel::~ProgramChannel() { close(); }

void ProgramChannel::setBaudRate(int baud) {
    baud_ = baud;
    if (port_.isOpen()) port_.setBaudRate(baud);
}

void ProgramChannel::open() {
    if (port_.isOpen()) throw CommsError(commtext::kAlreadyOpen);
    const QString path = devicePath(name_.trimmed());
    struct stat info {};
    if (!name_.trimmed().isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0 &&
        !S_ISCHR(info.st_mode))
        throw CommsError(commtext::kNotComm); // a file or folder, not a serial device
    port_.setPortName(path);
    port_.setBaudRate(baud_);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (name_.trimmed().isEmpty() || !port_.open(QIODevice::ReadWrite)) {
        port_.clearError();
        throw CommsError(commtext::kOpenFailed);
    }
    // A pty has no modem lines; a converter may need them.
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(true);
    port_.clear(QSerialPort::AllDirections);
    port_.clearError();
    pending_.clear();
    lost_ = false;
}

void ProgramChannel::close() {
    gap_.stop();
    pending_.clear();
    if (closing_ || !port_.isOpen()) return;
    closing_ = true;
    // What was not sent yet is dropped. A vanished device is not cleared: the call fails and Qt
    // reports that failure as one more error.
    if (!lost_) port_.clear(QSerialPort::AllDirections);
    port_.close();
    port_.clearError();
    closing_ = false;
}

bool ProgramChannel::queueData(const QByteArray& bytes) {
    if (!port_.isOpen() || bytes.isEmpty()) return false;
    return port_.write(bytes) == bytes.size();
}

void ProgramChannel::onReadyRead() {
    pending_ += port_.readAll();
    while (pending_.size() >= kChunkMaxBytes) {
        deliver(kChunkMaxBytes);
        if (!port_.isOpen()) return; // the receiver ended the run
    }
    if (!pending_.isEmpty()) gap_.start(); // the chunk ends after 100 ms without a new byte
}

void ProgramChannel::deliver(qsizetype count) {
    if (count <= 0) return;
    const QByteArray chunk = pending_.left(count);
    pending_.remove(0, count);
    emit receiveData(chunk);
}

void ProgramChannel::onError(QSerialPort::SerialPortError error) {
    // Qt repeats the error on every event-loop pass while the port stays open, and raises more
    // while it closes: only the first one of an opening counts.
    if (closing_ || lost_ || !port_.isOpen() || !isDeviceLoss(error)) return;
    lost_ = true;
    const QString reason = deviceLossText(error);
    gap_.stop();
    deliver(pending_.size()); // the target's last words came before the loss
    close();                  // unless the receiver has closed it already
    QMetaObject::invokeMethod(this, [this, reason] { emit requestHangup(reason); }, Qt::QueuedConnection);
}

} // namespace zav
