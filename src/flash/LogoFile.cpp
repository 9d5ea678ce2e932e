#include "flash/LogoFile.h"

#include "link/ModbusCodec.h"

namespace zav {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

void put32(QByteArray& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.append(char(v >> shift & 0xFF));
}

uint32_t get32(const QByteArray& b, int at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 | uint32_t(uint8_t(b[at + 2])) << 8 |
           uint32_t(uint8_t(b[at + 3]));
}

QByteArray withCrc(QByteArray frame) {
    const uint16_t crc = ModbusCrc16(reinterpret_cast<const uint8_t*>(frame.constData()), int(frame.size()));
    frame.append(char(crc & 0xFF));
    frame.append(char(crc >> 8));
    return frame;
}

// 10 bytes, the CRC right and the status 1 (accepted).
bool replyAccepted(const QByteArray& r) {
    if (r.size() != 10) return false;
    const uint16_t crc = uint16_t(uint8_t(r[8]) | uint8_t(r[9]) << 8);
    return CrcMatches(reinterpret_cast<const uint8_t*>(r.constData()), 8, crc) && uint8_t(r[6]) == 1;
}

QByteArray tagRequest(uint32_t tag) {
    QByteArray frame;
    put32(frame, tag);
    frame.append(2, '\0');
    return withCrc(frame);
}

} // namespace

QByteArray parseLogoText(const QByteArray& text) {
    QByteArray bytes;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] != '0') {
            ++i;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == 'x') {
            const char high = i + 2 < text.size() ? text[i + 2] : '0';
            const char low = i + 3 < text.size() ? text[i + 3] : '0';
            bytes.append(char(hexDigit(high) << 4 | hexDigit(low)));
            i += 4;
        } else {
            i += 2; // the '0' and the character after it
        }
    }
    return bytes;
}

std::optional<QByteArray> buildLogoBuffer(const QByteArray& pictureBytes) {
    const qsizetype n = pictureBytes.size();
    if (n == 0 || n > kLogoMaxBytes) return std::nullopt;
    QByteArray buffer;
    buffer.append(char(n >> 8));
    buffer.append(char(n & 0xFF));
    buffer.append(char(0xF0));
    buffer.append(char(0x28));
    buffer.append(pictureBytes);
    uint8_t sum = 0;
    for (char c : buffer) sum = uint8_t(sum + uint8_t(c));
    buffer.append(char(uint8_t(-sum)));
    return buffer;
}

QByteArray logoHandshakeRequest() { return tagRequest(kLogoHandshakeTag); }
QByteArray logoFinishRequest() { return tagRequest(kLogoFinishTag); }

QByteArray logoBlockRequest(uint32_t address, const QByteArray& data) {
    QByteArray frame;
    put32(frame, address);
    frame.append(char(data.size() >> 8));
    frame.append(char(data.size() & 0xFF));
    frame.append(data);
    return withCrc(frame);
}

QByteArray logoReply(uint32_t tag, uint8_t status, uint8_t type) {
    QByteArray frame;
    put32(frame, tag);
    frame.append(2, '\0');
    frame.append(char(status));
    frame.append(char(type));
    return withCrc(frame);
}

std::optional<uint8_t> logoHandshakeReply(const QByteArray& reply) {
    if (!replyAccepted(reply) || get32(reply, 0) != kLogoHandshakeTag || reply[4] != 0 || reply[5] != 0)
        return std::nullopt;
    return uint8_t(reply[7]);
}

bool logoBlockReplyAccepted(const QByteArray& reply, uint32_t address) {
    return replyAccepted(reply) && get32(reply, 0) == address;
}

bool logoFinishReplyAccepted(const QByteArray& reply) {
    return replyAccepted(reply) && get32(reply, 0) == kLogoFinishTag && reply[4] == 0 && reply[5] == 0;
}

} // namespace zav
