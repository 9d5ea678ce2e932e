#include "link/AddressScan.h"

#include "link/LinkTypes.h"

#include <algorithm>

namespace zav {

AddressScan::AddressScan(SerialChannel& channel, QObject* parent) : QObject(parent), channel_(channel) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &AddressScan::onTimer);
}

AddressScan::~AddressScan() {
    if (running_) releaseChannel();
}

int AddressScan::replyWaitMs(int baud) {
    return replyTimeoutTicks(baud) * kTickMs;
}

int AddressScan::quietWaitMs(int baud) {
    return lateReplyHorizonTicks(replyTimeoutTicks(baud)) * kTickMs;
}

int AddressScan::perAddressMs(int baud) {
    // The reply wait, then at most the horizon and one reply wait of quiet (a line with noise on it).
    return 2 * replyWaitMs(baud) + quietWaitMs(baud);
}

qint64 AddressScan::durationMs(int protocolCount, const QVector<int>& rates, int addressCount) {
    qint64 total = 0;
    for (const int baud : rates) total += qint64(perAddressMs(baud)) * addressCount;
    return total * protocolCount;
}

qint64 AddressScan::remainingMs() const {
    if (!running_) return 0;
    const int passes = int(protocols_.size() * rates_.size());
    const int rateCount = int(rates_.size());
    qint64 left = std::max<qint64>(0, perAddressMs(baud()) - clock_.elapsed());
    left += qint64(perAddressMs(baud())) * (addresses_.size() - addressIndex_ - 1);
    for (int p = pass_ + 1; p < passes; ++p) left += qint64(perAddressMs(rates_[p % rateCount])) * addresses_.size();
    return left;
}

bool AddressScan::start(const QVector<Protocol>& protocols, const QVector<int>& rates, const QVector<int>& addresses) {
    if (running_ || protocols.isEmpty() || rates.isEmpty() || addresses.isEmpty()) return false;
    protocols_ = protocols;
    rates_ = rates;
    addresses_ = addresses;
    finds_.clear();
    pass_ = addressIndex_ = done_ = 0;
    total_ = int(protocols_.size() * rates_.size() * addresses_.size());
    end_ = ScanEnd::Done;
    channel_.setBaudRate(rates_.front());
    if (!channel_.open()) return false;
    running_ = true;
    // The channel's notifications are the scan's until it ends (the window's link keeps its own
    // handlers on the same channel).
    savedRxChar_ = std::move(channel_.onRxChar);
    savedRxFlag_ = std::move(channel_.onRxFlag);
    channel_.onRxChar = [this](int) { onRx(); };
    channel_.onRxFlag = [this] { onRx(); };
    sendNext();
    return true;
}

void AddressScan::stop() {
    if (running_) end(ScanEnd::Stopped);
}

void AddressScan::onTimer() {
    switch (phase_) {
    case Phase::Gap:
        sendNext();
        break;
    case Phase::Awaiting:
        judge();
        break;
    case Phase::Settling:
        absorbLate();
        if (phase_ != Phase::Settling) break;
        if (clock_.elapsed() >= std::min(quietUntilMs_, quietCapMs_)) {
            next();
            if (running_) sendNext();
        } else {
            armSettleTimer();
        }
        break;
    case Phase::Idle:
        break;
    }
}

void AddressScan::onRx() {
    if (phase_ == Phase::Awaiting) {
        // A whole frame ends the wait early; the next request still keeps the inter-frame gap.
        const QByteArray bytes = channel_.peekAvailable(blockReplyLength(protocol(), 1) + 16);
        if (looksLikeWholeFrame(protocol(), bytes)) {
            timer_.stop();
            judge();
        }
    } else if (phase_ == Phase::Settling) {
        absorbLate();
    }
}

void AddressScan::sendNext() {
    if (!channel_.isOpen()) {
        end(ScanEnd::PortLost);
        return;
    }
    if (addressIndex_ == 0) channel_.setBaudRate(baud());
    channel_.purge();
    credited_ = false;
    phase_ = Phase::Awaiting;
    clock_.start();
    if (!channel_.write(blockReadRequest(protocol(), uint8_t(address()), fn::ReadHolding, kModelRegister, 1)) &&
        !channel_.isOpen()) {
        end(ScanEnd::PortLost);
        return;
    }
    timer_.start(replyWaitMs(baud()));
}

void AddressScan::judge() {
    if (!channel_.isOpen()) {
        end(ScanEnd::PortLost);
        return;
    }
    const QByteArray raw = channel_.readAvailable(blockReplyLength(protocol(), 1));
    const BlockReply reply = examineBlockReply(protocol(), raw, uint8_t(address()), fn::ReadHolding, 1);
    if (reply.outcome == ReplyOutcome::Accepted) {
        channel_.purge();
        credit(reply, false);
        if (!running_) return; // stopped from a handler of found()
        const int gap = interFrameGapMs(baud());
        next();
        if (!running_) return;
        phase_ = Phase::Gap;
        timer_.start(gap);
        return;
    }
    // Nothing: the answer may still be on its way, so the horizon. Something that is not this
    // address's answer (cut, damaged, another address): a reply wait of quiet after it.
    overdue_ = raw.isEmpty();
    lateBytes_ = raw.size() > kLateBytesKept ? raw.right(kLateBytesKept) : raw;
    settle(overdue_ ? quietWaitMs(baud()) : replyWaitMs(baud()));
}

void AddressScan::settle(int quietMs) {
    phase_ = Phase::Settling;
    const qint64 now = clock_.elapsed();
    quietUntilMs_ = now + quietMs;
    quietCapMs_ = now + quietWaitMs(baud()) + replyWaitMs(baud());
    absorbLate();
    if (phase_ == Phase::Settling) armSettleTimer();
}

void AddressScan::absorbLate() {
    if (!channel_.isOpen()) {
        end(ScanEnd::PortLost);
        return;
    }
    const QByteArray bytes = channel_.readAvailable(kLateBytesKept);
    channel_.purge();
    if (bytes.isEmpty()) return;
    lateBytes_ += bytes;
    if (lateBytes_.size() > kLateBytesKept) lateBytes_ = lateBytes_.right(kLateBytesKept);
    const qint64 now = clock_.elapsed();
    // Bytes on the line: once they stop, it must stay quiet for a reply wait.
    quietUntilMs_ = std::max(quietUntilMs_, now + replyWaitMs(baud()));
    if (looksLikeWholeFrame(protocol(), lateBytes_)) {
        const BlockReply reply = examineBlockReply(protocol(), lateBytes_, uint8_t(address()), fn::ReadHolding, 1);
        if (reply.outcome == ReplyOutcome::Accepted && !credited_) credit(reply, true);
        if (!running_) return;
        lateBytes_.clear();
        // The overdue answer has come: a reply wait of quiet after it is enough.
        if (overdue_) quietUntilMs_ = now + replyWaitMs(baud());
        overdue_ = false;
    }
    armSettleTimer();
}

void AddressScan::armSettleTimer() {
    timer_.start(int(std::max<qint64>(0, std::min(quietUntilMs_, quietCapMs_) - clock_.elapsed())));
}

void AddressScan::credit(const BlockReply& reply, bool late) {
    credited_ = true;
    ScanFind f;
    f.address = address();
    f.baud = baud();
    f.protocol = protocol();
    f.modelCode = reply.registers.value(0);
    const ModelDetection m = detectModel(f.modelCode);
    f.modelItem = m.comboItem;
    if (m.comboItem > 0) f.model = m.upsModel;
    f.late = late;
    finds_ << f;
    emit found(f);
}

void AddressScan::next() {
    lateBytes_.clear();
    ++done_;
    emit progress(done_, total_);
    if (!running_) return; // stopped from a progress handler
    if (++addressIndex_ >= addresses_.size()) {
        addressIndex_ = 0;
        ++pass_;
    }
    if (pass_ >= protocols_.size() * rates_.size()) end(ScanEnd::Done);
}

void AddressScan::releaseChannel() {
    timer_.stop();
    phase_ = Phase::Idle;
    running_ = false;
    channel_.onRxChar = std::move(savedRxChar_);
    channel_.onRxFlag = std::move(savedRxFlag_);
    savedRxChar_ = nullptr;
    savedRxFlag_ = nullptr;
    channel_.close();
}

void AddressScan::end(ScanEnd how) {
    end_ = how;
    releaseChannel();
    emit finished();
}

} // namespace zav
