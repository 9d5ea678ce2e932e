#include "link/ModbusCodec.h"

namespace zav {

uint16_t ModbusCrc16(const uint8_t* bytes, int n) {
    uint16_t crc = 0xFFFF;
    for (int i = 0; i < n; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

bool CrcMatches(const uint8_t* bytes, int n, uint16_t crc) {
    return ModbusCrc16(bytes, n) == crc;
}

uint8_t ModbusLrc(const uint8_t* bytes, int n) {
    uint8_t sum = 0;
    for (int i = 0; i < n; ++i)
        sum = uint8_t(sum + bytes[i]);
    return uint8_t(-sum);
}

bool LrcMatches(const uint8_t* bytes, int n, uint8_t lrc) {
    return ModbusLrc(bytes, n) == lrc;
}

char HexDigit(int nibble) {
    static const char digits[] = "0123456789ABCDEF";
    return (nibble >= 0 && nibble < 16) ? digits[nibble] : '0';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

uint8_t ToBcd(int v) {
    return uint8_t(((v / 10) % 10) * 16 + v % 10);
}
int FromBcd(uint8_t b) {
    return (b / 16) * 10 + (b % 16);
}

static const uint8_t* bytesOf(const QByteArray& a) {
    return reinterpret_cast<const uint8_t*>(a.constData());
}

QByteArray frame(Protocol mode, const QByteArray& pdu) {
    if (mode == Protocol::Rtu) {
        const uint16_t crc = ModbusCrc16(bytesOf(pdu), int(pdu.size()));
        QByteArray out = pdu;
        out.append(char(crc & 0xFF));
        out.append(char(crc >> 8));
        return out;
    }
    QByteArray out(":");
    auto putHex = [&out](uint8_t b) {
        out.append(HexDigit(b >> 4));
        out.append(HexDigit(b & 0x0F));
    };
    for (char b : pdu)
        putHex(uint8_t(b));
    putHex(ModbusLrc(bytesOf(pdu), int(pdu.size())));
    out.append("\r\n");
    return out;
}

static void put16(QByteArray& pdu, uint16_t v) {
    pdu.append(char(v >> 8));
    pdu.append(char(v & 0xFF));
}

QByteArray blockReadRequest(Protocol mode, uint8_t address, uint8_t function, uint16_t start,
                            uint16_t count) {
    QByteArray pdu;
    pdu.append(char(address));
    pdu.append(char(function));
    put16(pdu, start);
    put16(pdu, count);
    return frame(mode, pdu);
}

QByteArray recordRequest(Protocol mode, uint8_t address, uint8_t function, uint16_t index, uint16_t size) {
    return blockReadRequest(mode, address, function, index, size);
}

QByteArray moduleReadRequest(Protocol mode, uint8_t address, uint16_t start, uint16_t count,
                             uint16_t module) {
    QByteArray pdu;
    pdu.append(char(address));
    pdu.append(char(fn::ReadModule));
    put16(pdu, start);
    put16(pdu, count);
    pdu.append(char((2 * count) & 0xFF));
    put16(pdu, module);
    return frame(mode, pdu);
}

QByteArray oneRegisterRequest(Protocol mode, uint8_t address, uint8_t function, uint16_t reg,
                              uint16_t value) {
    QByteArray pdu;
    pdu.append(char(address));
    pdu.append(char(function));
    put16(pdu, reg);
    put16(pdu, 1);
    pdu.append(char(2));
    put16(pdu, value);
    return frame(mode, pdu);
}

int frameLength(Protocol mode, int pduBytes) {
    return mode == Protocol::Rtu ? pduBytes + 2 : 2 * (pduBytes + 1) + 3;
}

int blockReplyLength(Protocol mode, int registers) {
    return frameLength(mode, 3 + 2 * registers);
}

QByteArray asciiPayload(const QByteArray& raw) {
    const int len = int(raw.size());
    if (len < 5 || raw[0] != ':' || raw[len - 2] != '\r' || raw[len - 1] != '\n') return {};
    QByteArray bytes;
    const int n = (len - 3) / 2;
    bytes.reserve(n);
    for (int k = 0; k < n; ++k)
        bytes.append(char(HexValue(raw[2 * k + 1]) * 16 + HexValue(raw[2 * k + 2])));
    return bytes;
}

BlockReply examineBlockReply(Protocol mode, const QByteArray& raw, uint8_t address, uint8_t function,
                             int count) {
    BlockReply reply;
    const int expected = blockReplyLength(mode, count);
    if (raw.size() != expected) return reply; // missing: short (or over-long) read is never parsed

    QByteArray pdu; // address, function, byte count, data (without the check)
    if (mode == Protocol::Rtu) {
        const uint8_t* b = bytesOf(raw);
        // Address, function or byte count wrong: not our reply at all, treated like no reply.
        if (b[0] != address || b[1] != function || b[2] != uint8_t((2 * count) & 0xFF)) return reply;
        const int n = 3 + 2 * count;
        const uint16_t crc = uint16_t(b[n + 1] << 8 | b[n]);
        if (!CrcMatches(b, n, crc)) {
            reply.outcome = ReplyOutcome::Damaged;
            return reply;
        }
        pdu = raw.left(n);
    } else {
        const QByteArray decoded = asciiPayload(raw);
        if (decoded.isEmpty()) return reply; // framing characters wrong: missing
        const uint8_t* b = bytesOf(decoded);
        const int n = 3 + 2 * count;
        if (b[0] != address || b[1] != function || !LrcMatches(b, n, b[n])) {
            reply.outcome = ReplyOutcome::Damaged;
            return reply;
        }
        pdu = decoded.left(n);
    }
    reply.outcome = ReplyOutcome::Accepted;
    reply.registers.resize(count);
    const uint8_t* d = bytesOf(pdu) + 3;
    for (int i = 0; i < count; ++i)
        reply.registers[i] = uint16_t(d[2 * i] << 8 | d[2 * i + 1]);
    return reply;
}

bool writeReplyAccepted(Protocol mode, const QByteArray& raw, uint8_t address) {
    if (mode == Protocol::Rtu)
        return raw.size() == 8 && uint8_t(raw[0]) == address && uint8_t(raw[1]) == fn::WriteMultiple;
    return raw.size() == 17 && raw[0] == ':' && raw[15] == '\r' && raw[16] == '\n';
}


bool replyHasByteCount(uint8_t function) {
    switch (function) {
    case fn::ReadHolding:
    case fn::ReadInput:
    case fn::ReadSettings:
    case fn::ReadHistory:
    case fn::ReadSCode:
    case fn::ReadModule:
        return true;
    default:
        return false;
    }
}

int rtuAnnouncedLength(const QByteArray& head) {
    if (head.size() < 2) return 0;
    const uint8_t function = uint8_t(head[1]);
    if (function & 0x80) return 5; // address, function, exception code, CRC
    if (function == fn::WriteMultiple || function == fn::ControlCommand)
        return 8; // the echo of address, function, register and value
    if (replyHasByteCount(function)) return head.size() < 3 ? 0 : 5 + uint8_t(head[2]);
    return -1;
}

bool looksLikeWholeFrame(Protocol mode, const QByteArray& raw) {
    if (mode == Protocol::Rtu) {
        const int n = int(raw.size()) - 2;
        if (n < 2) return false;
        const auto* b = reinterpret_cast<const uint8_t*>(raw.constData());
        return CrcMatches(b, n, uint16_t(b[n] | (b[n + 1] << 8)));
    }
    if (raw.size() % 2 == 0) return false; // ':' + pairs of hex digits + CR LF is odd
    const QByteArray decoded = asciiPayload(raw);
    if (decoded.size() < 2) return false;
    const int n = int(decoded.size()) - 1;
    return LrcMatches(reinterpret_cast<const uint8_t*>(decoded.constData()), n, uint8_t(decoded[n]));
}

} // namespace zav
