#include "RequestFramer.h"

namespace zav::sim {

namespace {
constexpr int kMaxAsciiFrame = 513; // ':' + 2 x 255 hex digits + CR LF
const uint8_t* bytesOf(const QByteArray& a) {
    return reinterpret_cast<const uint8_t*>(a.constData());
}
} // namespace

int rtuRequestPduLength(const QByteArray& head) {
    if (head.size() < 2) return 0;
    switch (uint8_t(head[1])) {
    case fn::ReadHolding:
    case fn::ReadInput:
    case fn::ReadSettings:
    case fn::ReadHistory:
    case fn::ReadSCode:
        return 6;
    case fn::ReadModule:
    case fn::ControlCommand:
        return 9;
    case fn::WriteMultiple:
        return head.size() < 7 ? 0 : 7 + uint8_t(head[6]);
    default:
        return -1;
    }
}

QList<QByteArray> RequestFramer::push(const QByteArray& bytes) {
    buffer_.append(bytes);
    return protocol_ == Protocol::Ascii ? pushAscii() : pushRtu();
}

QList<QByteArray> RequestFramer::pushAscii() {
    QList<QByteArray> frames;
    for (;;) {
        const int start = int(buffer_.indexOf(':'));
        if (start < 0) {
            buffer_.clear(); // noise between frames
            break;
        }
        buffer_.remove(0, start);
        // A second ':' before the end starts the frame again: the first one was broken off.
        const int end = int(buffer_.indexOf("\r\n"));
        const int restart = int(buffer_.indexOf(':', 1));
        if (restart > 0 && (end < 0 || restart < end)) {
            buffer_.remove(0, restart);
            continue;
        }
        if (end < 0) {
            if (buffer_.size() > kMaxAsciiFrame) buffer_.clear();
            break;
        }
        frames.append(buffer_.left(end + 2));
        buffer_.remove(0, end + 2);
    }
    return frames;
}

QList<QByteArray> RequestFramer::pushRtu() {
    QList<QByteArray> frames;
    while (!buffer_.isEmpty()) {
        const int pdu = rtuRequestPduLength(buffer_);
        if (pdu == 0) break; // wait for more
        if (pdu < 0) {
            // Unknown function: everything up to now is one frame (the line would go quiet here).
            frames.append(buffer_);
            buffer_.clear();
            break;
        }
        if (buffer_.size() < pdu + 2) break;
        frames.append(buffer_.left(pdu + 2));
        buffer_.remove(0, pdu + 2);
    }
    return frames;
}

std::optional<QByteArray> checkedPdu(Protocol protocol, const QByteArray& raw) {
    if (protocol == Protocol::Rtu) {
        const int n = int(raw.size()) - 2;
        if (n < 2) return std::nullopt;
        const uint8_t* b = bytesOf(raw);
        if (!CrcMatches(b, n, uint16_t(b[n + 1] << 8 | b[n]))) return std::nullopt;
        return raw.left(n);
    }
    if ((raw.size() - 3) % 2 != 0) return std::nullopt; // an odd number of hex digits
    const QByteArray decoded = asciiPayload(raw);
    const int n = int(decoded.size()) - 1;
    if (n < 2) return std::nullopt;
    if (!LrcMatches(bytesOf(decoded), n, uint8_t(decoded[n]))) return std::nullopt;
    return decoded.left(n);
}

} // namespace zav::sim
