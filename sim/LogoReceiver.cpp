#include "LogoReceiver.h"

#include "link/ModbusCodec.h"

namespace zav::sim {

namespace {
constexpr qint64 kFrameGapMs = 300;     // a pause this long drops a partial frame
constexpr qint64 kIdleReleaseMs = 10000; // an upload that never comes gives the port back
constexpr int kMaxBlock = 256;

uint32_t get32(const QByteArray& b, int at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 | uint32_t(uint8_t(b[at + 2])) << 8 |
           uint32_t(uint8_t(b[at + 3]));
}

bool crcRight(const QByteArray& frame) {
    const int n = int(frame.size()) - 2;
    const uint16_t crc = uint16_t(uint8_t(frame[n]) | uint8_t(frame[n + 1]) << 8);
    return CrcMatches(reinterpret_cast<const uint8_t*>(frame.constData()), n, crc);
}
} // namespace

void LogoReceiver::activate(qint64 nowMs) {
    active_ = true;
    session_ = false;
    activatedMs_ = nowMs;
    lastByteMs_ = nowMs;
    pending_.clear();
    finishedOk_ = false;
}

bool LogoReceiver::active(qint64 nowMs) {
    const qint64 quietSince = session_ ? lastByteMs_ : activatedMs_;
    if (active_ && nowMs - quietSince > kIdleReleaseMs) active_ = false;
    return active_;
}

bool LogoReceiver::takes(const QByteArray& bytes, qint64 nowMs) {
    if (!active(nowMs) || bytes.isEmpty()) return false;
    const bool midFrame = !pending_.isEmpty() && nowMs - lastByteMs_ <= kFrameGapMs;
    const uint8_t first = uint8_t(bytes[0]);
    if (!session_ || midFrame || first == 0x00 || first == 0xFF) return true;
    active_ = false;
    pending_.clear();
    return false;
}

QByteArray LogoReceiver::frameReply(uint32_t tag, uint8_t status, uint8_t type) const {
    QByteArray r;
    for (int shift = 24; shift >= 0; shift -= 8) r.append(char(tag >> shift & 0xFF));
    r.append(2, '\0');
    r.append(char(status));
    r.append(char(type));
    const uint16_t crc = ModbusCrc16(reinterpret_cast<const uint8_t*>(r.constData()), 8);
    r.append(char(crc & 0xFF));
    r.append(char(crc >> 8));
    return r;
}

QByteArray LogoReceiver::received() const {
    QByteArray all;
    for (const QByteArray& block : memory_) all += block;
    return all;
}

bool LogoReceiver::bufferWhole() const {
    const QByteArray b = received();
    if (b.size() < 5) return false;
    const int n = uint8_t(b[0]) << 8 | uint8_t(b[1]);
    if (b.size() != n + 5 || uint8_t(b[2]) != 0xF0 || uint8_t(b[3]) != 0x28) return false;
    uint8_t sum = 0;
    for (char c : b) sum = uint8_t(sum + uint8_t(c));
    return sum == 0;
}

QByteArray LogoReceiver::receive(const QByteArray& bytes, qint64 nowMs) {
    if (nowMs - lastByteMs_ > kFrameGapMs) pending_.clear();
    lastByteMs_ = nowMs;
    pending_ += bytes;
    QByteArray out;
    while (pending_.size() >= 8) {
        const uint32_t tag = get32(pending_, 0);
        if (tag == 0xFFFFFFFF || tag == 0xFFFFFFFE) {
            const QByteArray frame = pending_.left(8);
            pending_.remove(0, 8);
            if (!crcRight(frame)) continue;
            if (tag == 0xFFFFFFFF) {
                ++handshakes_;
                session_ = true;
                memory_.clear();
                out += frameReply(tag, 1, fault_ == LogoFault::Type3 ? 3 : uint8_t(type_));
            } else {
                finishedOk_ = bufferWhole();
                out += frameReply(tag, finishedOk_ ? 1 : 0, 0);
                active_ = false; // back to Modbus
                pending_.clear();
                break;
            }
            continue;
        }
        const int length = uint8_t(pending_[4]) << 8 | uint8_t(pending_[5]);
        if (length < 1 || length > kMaxBlock) { // not a frame: drop what came
            pending_.clear();
            break;
        }
        if (pending_.size() < length + 8) break;
        const QByteArray frame = pending_.left(length + 8);
        pending_.remove(0, length + 8);
        if (!crcRight(frame)) continue;
        ++blocks_;
        memory_[tag] = frame.mid(6, length);
        if (fault_ == LogoFault::HangUp) {
            hangUpDue_ = true; // no reply: the line is gone
            pending_.clear();
            break;
        }
        QByteArray reply = frameReply(fault_ == LogoFault::WrongAddress ? tag + 1 : tag, 1, uint8_t(type_));
        if (fault_ == LogoFault::BadCrc) reply[8] = char(reply[8] ^ 0x5A);
        out += reply;
    }
    return out;
}

} // namespace zav::sim
