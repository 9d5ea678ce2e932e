#pragma once
// Helpers for tests that talk to a VirtualUps directly: frames from hex text, one request in and
// its reply out, register values of a block reply.

#include "VirtualUps.h"
#include "link/ModbusCodec.h"

#include <QByteArray>
#include <QVector>

namespace zav::sim::test {

// "01 03 00 01" -> bytes (blanks ignored).
QByteArray hexBytes(const char* text);

// Sends one framed request and returns the bytes of the single reply; empty when the UPS stays
// silent. More than one reply fails the calling test.
QByteArray exchange(VirtualUps& ups, const QByteArray& frame, int lineBaud = 0);

// Reads `count` registers from `start` with a block function (0x03, 0x04, 0x65) and returns them;
// empty when the reply is not accepted by the tool's own reply check.
QVector<uint16_t> readBlock(VirtualUps& ups, uint8_t function, uint16_t start, uint16_t count);
uint16_t readRegister(VirtualUps& ups, uint8_t function, uint16_t reg);
QVector<uint16_t> readModule(VirtualUps& ups, uint16_t start, uint16_t count, uint16_t module);

// Writes one setting (0x10) or sends a command (0x68); returns the reply PDU (exception or echo).
QByteArray writeSetting(VirtualUps& ups, uint16_t reg, uint16_t value);
QByteArray sendCommand(VirtualUps& ups, uint16_t reg, uint16_t value);

// The PDU of a reply frame with a good check; empty otherwise.
QByteArray replyPdu(Protocol protocol, const QByteArray& frame);

} // namespace zav::sim::test
