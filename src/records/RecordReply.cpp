#include "records/RecordReply.h"

namespace zav {

namespace {

constexpr uint8_t kBusy = 0x06; // Modbus exception "slave device busy"

const uint8_t* bytesOf(const QByteArray& a) {
    return reinterpret_cast<const uint8_t*>(a.constData());
}

// An exception reply is known by its length and the high bit of the function; nothing else of it
// is needed to end a download. A busy UPS only asks to be asked again, so a well-checked
// "busy" does not end the download (it would report a log cut short as complete).
RecordOutcome exceptionOutcome(Protocol mode, const QByteArray& raw) {
    if (mode == Protocol::Rtu) {
        const uint8_t* b = bytesOf(raw);
        const bool busy = b[2] == kBusy && CrcMatches(b, 3, uint16_t(b[4] << 8 | b[3]));
        return busy ? RecordOutcome::Busy : RecordOutcome::EndOfLog;
    }
    const QByteArray pdu = asciiPayload(raw);
    const bool busy =
        pdu.size() == 4 && uint8_t(pdu[2]) == kBusy && LrcMatches(bytesOf(pdu), 3, uint8_t(pdu[3]));
    return busy ? RecordOutcome::Busy : RecordOutcome::EndOfLog;
}

} // namespace

int recordReplyLength(Protocol mode, int dataBytes) {
    return frameLength(mode, 3 + dataBytes);
}

RecordReply examineRecordReply(Protocol mode, const QByteArray& raw, uint8_t address, uint8_t function,
                               int dataBytes) {
    RecordReply reply;
    const int n = 3 + dataBytes; // address, function, byte count, data
    if (mode == Protocol::Rtu) {
        const uint8_t* b = bytesOf(raw);
        if (raw.size() == 5 && b[1] == uint8_t(function | 0x80)) {
            reply.outcome = exceptionOutcome(mode, raw);
            return reply;
        }
        if (raw.size() != n + 2 || b[0] != address || b[1] != function || b[2] != uint8_t(dataBytes))
            return reply;
        if (!CrcMatches(b, n, uint16_t(b[n + 1] << 8 | b[n]))) {
            reply.outcome = RecordOutcome::Ignored;
            return reply;
        }
        reply.outcome = RecordOutcome::Accepted;
        reply.data = raw.mid(3, dataBytes);
        return reply;
    }

    const int len = int(raw.size());
    if (len == 11 && raw[3] == 'E' && raw[9] == '\r' && raw[10] == '\n') {
        reply.outcome = exceptionOutcome(mode, raw);
        return reply;
    }
    if (len != frameLength(mode, n)) return reply;
    const QByteArray pdu = asciiPayload(raw); // empty when ':' or CR LF is missing
    if (pdu.isEmpty()) return reply;
    // The byte count is not compared in ASCII: the LRC covers it.
    const uint8_t* b = bytesOf(pdu);
    if (b[0] != address || b[1] != function || !LrcMatches(b, n, b[n])) {
        reply.outcome = RecordOutcome::Ignored;
        return reply;
    }
    reply.outcome = RecordOutcome::Accepted;
    reply.data = pdu.mid(3, dataBytes);
    return reply;
}

} // namespace zav
