#pragma once
// Modbus framing for the UPS link: RTU (binary, CRC-16) and ASCII (':' hex LRC CR LF).
// Everything here is pure: frames in, frames out. The scheduler decides when to send and when to
// judge a reply; the jobs decide where the values go.

#include <QByteArray>
#include <QVector>
#include <cstdint>

namespace zav {

enum class Protocol : int { Ascii = 0, Rtu = 1 };

namespace fn {
constexpr uint8_t ReadHolding = 0x03;   // live measurement block
constexpr uint8_t ReadInput = 0x04;     // live status block
constexpr uint8_t WriteMultiple = 0x10; // one setting register
constexpr uint8_t ReadSettings = 0x65;
constexpr uint8_t ReadHistory = 0x66;
constexpr uint8_t ControlCommand = 0x68;
constexpr uint8_t ReadSCode = 0x6A;
constexpr uint8_t ReadModule = 0x6D;
} // namespace fn

uint16_t ModbusCrc16(const uint8_t* bytes, int n);
bool CrcMatches(const uint8_t* bytes, int n, uint16_t crc);
uint8_t ModbusLrc(const uint8_t* bytes, int n);
bool LrcMatches(const uint8_t* bytes, int n, uint8_t lrc);
char HexDigit(int nibble);
int HexValue(char c);
uint8_t ToBcd(int v);
int FromBcd(uint8_t b);

// Puts a PDU on the wire in the chosen framing.
QByteArray frame(Protocol mode, const QByteArray& pdu);

// Request builders, one per PDU shape the tool sends.
QByteArray blockReadRequest(Protocol mode, uint8_t address, uint8_t function, uint16_t start, uint16_t count);
QByteArray recordRequest(Protocol mode, uint8_t address, uint8_t function, uint16_t index, uint16_t size);
QByteArray moduleReadRequest(Protocol mode, uint8_t address, uint16_t start, uint16_t count, uint16_t module);
QByteArray oneRegisterRequest(Protocol mode, uint8_t address, uint8_t function, uint16_t reg, uint16_t value);

// Wire lengths: a block read reply of n registers, and a fixed PDU of n bytes.
int blockReplyLength(Protocol mode, int registers);
int frameLength(Protocol mode, int pduBytes);

enum class ReplyOutcome { Accepted, Missing, Damaged };

struct BlockReply {
    ReplyOutcome outcome = ReplyOutcome::Missing;
    QVector<uint16_t> registers;
};

// Judges what was read for a block read (0x03, 0x04, 0x65, 0x6D). `raw` is what the port had buffered,
// at most blockReplyLength() bytes; a short reply is missing, a complete one with wrong content damaged.
BlockReply examineBlockReply(Protocol mode, const QByteArray& raw, uint8_t address, uint8_t function,
                             int count);

// Judges a one-register write reply (0x10): only length, framing, address and function are checked.
bool writeReplyAccepted(Protocol mode, const QByteArray& raw, uint8_t address);

// Decodes the PDU bytes of a complete ASCII frame (':' ... CR LF), LRC byte included; empty when the
// framing characters are wrong. Non-hex characters decode as 0, as on the UPS.
QByteArray asciiPayload(const QByteArray& raw);

// True when `raw` is exactly one frame with a correct check (CRC for RTU; ':' ... LRC CR LF for
// ASCII), whatever it answers. The scheduler uses it to tell a finished transaction from one whose
// reply may still be on its way.
// The reads whose replies carry a byte count after the function code.
bool replyHasByteCount(uint8_t function);
// RTU: the length of the reply whose first bytes are `head`, as its function code and byte count
// announce it (exception 5, one-register echo 8, reads 5 + byte count); 0 while too few bytes have
// come to tell, -1 for a function whose reply length cannot be told from its head.
int rtuAnnouncedLength(const QByteArray& head);
bool looksLikeWholeFrame(Protocol mode, const QByteArray& raw);

} // namespace zav
