#include "link/AddressScan.h"

#include "link/LinkTypes.h"

namespace zav {

AddressScan::AddressScan(SerialChannel& channel, QObject* parent) : QObject(parent), channel_(channel) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { awaiting_ ? judge() : sendNext(); });
}

AddressScan::~AddressScan() {
    if (running_) {
        channel_.onRxChar = nullptr;
        channel_.close();
    }
}

int AddressScan::perAddressMs(Protocol protocol, int baud) {
    const qsizetype chars = blockReadRequest(protocol, 1, fn::ReadHolding, kModelRegister, 1).size() +
                            blockReplyLength(protocol, 1);
    const int wireMs = int((chars * 10 * 1000 + baud - 1) / baud);
    return wireMs + kTurnaroundMs + interFrameGapMs(baud);
}

qint64 AddressScan::durationMs(Protocol protocol, const QVector<int>& rates, int addressCount) {
    qint64 total = 0;
    for (const int baud : rates) total += qint64(perAddressMs(protocol, baud)) * addressCount;
    return total;
}

bool AddressScan::start(Protocol protocol, const QVector<int>& rates, const QVector<int>& addresses) {
    if (running_ || rates.isEmpty() || addresses.isEmpty()) return false;
    protocol_ = protocol;
    rates_ = rates;
    addresses_ = addresses;
    finds_.clear();
    rateIndex_ = addressIndex_ = 0;
    channel_.setBaudRate(rates_.front());
    if (!channel_.open()) return false;
    running_ = true;
    channel_.onRxChar = [this](int) { onRx(); };
    sendNext();
    return true;
}

void AddressScan::stop() {
    if (running_) end();
}

void AddressScan::sendNext() {
    if (!channel_.isOpen() || rateIndex_ >= rates_.size()) {
        end();
        return;
    }
    const int baud = rates_[rateIndex_];
    if (addressIndex_ == 0) channel_.setBaudRate(baud);
    const int address = addresses_[addressIndex_];
    channel_.purge();
    awaiting_ = true;
    channel_.write(blockReadRequest(protocol_, uint8_t(address), fn::ReadHolding, kModelRegister, 1));
    timer_.start(perAddressMs(protocol_, baud) - interFrameGapMs(baud));
}

void AddressScan::onRx() {
    if (!awaiting_) return;
    // A whole frame ends the wait early; the next request still keeps the inter-frame gap.
    const QByteArray bytes = channel_.peekAvailable(blockReplyLength(protocol_, 1) + 16);
    if (looksLikeWholeFrame(protocol_, bytes)) {
        timer_.stop();
        judge();
    }
}

void AddressScan::judge() {
    awaiting_ = false;
    const int baud = rates_[rateIndex_];
    const int address = addresses_[addressIndex_];
    const QByteArray raw = channel_.readAvailable(blockReplyLength(protocol_, 1));
    channel_.purge();
    const BlockReply reply = examineBlockReply(protocol_, raw, uint8_t(address), fn::ReadHolding, 1);
    if (reply.outcome == ReplyOutcome::Accepted) {
        ScanFind f{address, baud, reply.registers.value(0), -1};
        const ModelDetection m = detectModel(f.modelCode);
        if (m.comboItem > 0) f.model = m.upsModel;
        finds_ << f;
        emit found(f);
    }
    const int done = rateIndex_ * int(addresses_.size()) + addressIndex_ + 1;
    emit progress(done, int(rates_.size() * addresses_.size()));
    if (++addressIndex_ >= addresses_.size()) {
        addressIndex_ = 0;
        ++rateIndex_;
    }
    if (!channel_.isOpen() || rateIndex_ >= rates_.size()) {
        end();
        return;
    }
    timer_.start(interFrameGapMs(baud));
}

void AddressScan::end() {
    timer_.stop();
    awaiting_ = false;
    running_ = false;
    channel_.onRxChar = nullptr;
    channel_.close();
    emit finished();
}

} // namespace zav
