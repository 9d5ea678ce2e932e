#include "flash/LogoUpload.h"

#include "foundation/BoundedFile.h"
#include "flash/LogoFile.h"

#include <QFile>
#include <algorithm>

namespace zav {

LogoUpload::LogoUpload(SerialChannel& port2, LinkHandover& link, QObject* parent)
    : QObject(parent), port2_(port2), link_(link) {}

bool LogoUpload::start(const QString& logoPath) {
    if (running_) return false;
    if (!link_.linkOpen()) {
        emit messageDue(LogoMessage::NotConnected);
        return false;
    }
    if (logoPath.trimmed().isEmpty()) {
        emit messageDue(LogoMessage::NoFile);
        return false;
    }
    // Only a regular file of a logo's size: a FIFO or a device is a file error, not a hang.
    const BoundedRead file = readRegularFile(logoPath, FileLimit::logo);
    std::optional<QByteArray> buffer;
    if (file.ok()) buffer = buildLogoBuffer(parseLogoText(file.bytes));
    if (!buffer) { // unreadable, no byte in it, or more than the buffer holds
        emit messageDue(LogoMessage::FileError);
        return false;
    }
    if (!link_.startLogoCommand()) {
        emit messageDue(LogoMessage::NotConnected);
        return false;
    }
    buffer_ = *buffer;
    running_ = true;
    step_ = End;
    wait_ = 0;
    logoOffset_ = 0;
    switchDelay_ = kSwitchDelayTicks;
    switchPending_ = true;
    progress_ = -1;
    setProgress(0);
    emit started();
    return true;
}

void LogoUpload::setProgress(int value) {
    if (value == progress_) return;
    progress_ = value;
    emit progressChanged(value);
}

void LogoUpload::tick() {
    if (!running_) return;
    if (switchDelay_ > 0) {
        --switchDelay_;
        return;
    }
    if (switchPending_) {
        switchPorts();
        return;
    }
    runStep();
}

void LogoUpload::switchPorts() {
    link_.releaseLink();
    port2_.setBaudRate(link_.baudRate());
    port2_.setPortName(link_.portName());
    switchPending_ = false;
    if (!port2_.open()) {
        // The port is gone or taken: say so once and give the link its port back.
        emit messageDue(LogoMessage::PortFailed);
        step_ = End;
        return;
    }
    step_ = HandshakeDue;
}

bool LogoUpload::send(const QByteArray& frame) {
    port2_.purge();
    return port2_.write(frame);
}

QByteArray LogoUpload::readReply() {
    const QByteArray reply = port2_.readAvailable(10);
    port2_.purge();
    return reply;
}

void LogoUpload::endUpload(LogoMessage message) {
    step_ = End;
    wait_ = 0;
    emit messageDue(message);
}

void LogoUpload::runStep() {
    if (wait_ > 0) {
        --wait_;
        return;
    }
    if (step_ == End) {
        finishUpload();
        return;
    }
    if (!port2_.isOpen()) {
        // The port went away mid-transfer: end it, so the Modbus link gets its port back.
        endUpload(LogoMessage::BlockFailed);
        return;
    }
    const int total = int(buffer_.size());
    switch (step_) {
    case HandshakeDue:
        send(logoHandshakeRequest());
        step_ = HandshakeReply;
        wait_ = kHandshakeWaitTicks;
        break;
    case HandshakeReply: {
        const std::optional<uint8_t> type = logoHandshakeReply(readReply());
        if (!type) {
            if (++handshakeFailures_ < kHandshakeTries) {
                step_ = HandshakeDue;
            } else {
                handshakeFailures_ = 0;
                endUpload(LogoMessage::HandshakeFailed);
            }
            break;
        }
        handshakeFailures_ = 0;
        if (*type != 1 && *type != 2) {
            endUpload(LogoMessage::UnidentifiedType);
            break;
        }
        if (*type == 1) logoBase_ = kLogoBaseType1;
        logoOffset_ = 0;
        step_ = BlockDue;
        break;
    }
    case BlockDue:
        if (total - logoOffset_ <= 0) {
            setProgress(100);
            step_ = FinishDue;
            break;
        }
        blockLength_ = std::min(kLogoBlockBytes, total - logoOffset_);
        setProgress(logoOffset_ * 100 / total);
        send(logoBlockRequest(logoBase_ + uint32_t(logoOffset_), buffer_.mid(logoOffset_, blockLength_)));
        step_ = BlockReply;
        wait_ = kBlockWaitTicks;
        break;
    case BlockReply:
        if (logoBlockReplyAccepted(readReply(), logoBase_ + uint32_t(logoOffset_))) {
            blockFailures_ = 0;
            logoOffset_ += blockLength_;
            step_ = BlockDue;
        } else if (++blockFailures_ < kBlockTries) {
            step_ = BlockDue; // the same block again
        } else {
            blockFailures_ = 0;
            endUpload(LogoMessage::BlockFailed);
        }
        break;
    case FinishDue:
        send(logoFinishRequest());
        step_ = FinishReply; // read on the next tick
        break;
    case FinishReply:
        if (logoFinishReplyAccepted(readReply())) {
            finishFailures_ = 0;
            endUpload(LogoMessage::Success);
        } else if (++finishFailures_ < kFinishTries) {
            step_ = FinishDue;
        } else {
            finishFailures_ = 0;
            endUpload(LogoMessage::FinishFailed);
        }
        break;
    default:
        break;
    }
}

void LogoUpload::finishUpload() {
    port2_.close();
    running_ = false;
    setProgress(0);
    const bool restored = link_.restoreLink();
    emit ended();
    if (!restored) emit messageDue(LogoMessage::PortFailed);
}

} // namespace zav
