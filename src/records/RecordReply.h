#pragma once
// Judging the reply to one record request (history 0x66, S-code 0x6A).

#include "link/ModbusCodec.h"

#include <QByteArray>

namespace zav {

enum class RecordOutcome {
    Accepted, // a good record: `data` holds its bytes
    Ignored,  // the frame came whole but its CRC/LRC, address or function is wrong: asked again, not counted
    Unusable, // missing, cut short, wrong length or count: asked again and counted
    Busy,     // the UPS answers "busy" (exception 6): counted like an unusable reply, asked again
    EndOfLog, // any other exception reply: the UPS has no such record
};

struct RecordReply {
    RecordOutcome outcome = RecordOutcome::Unusable;
    QByteArray data; // the data bytes of an accepted reply
};

// The wire length of a good reply carrying `dataBytes` bytes.
int recordReplyLength(Protocol mode, int dataBytes);

// `raw` is what the port held, at most recordReplyLength() bytes.
RecordReply examineRecordReply(Protocol mode, const QByteArray& raw, uint8_t address, uint8_t function,
                               int dataBytes);

} // namespace zav
