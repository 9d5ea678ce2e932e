#pragma once
// Builds what a UPS would answer, for feeding fake channels in unit tests.

#include "link/ModbusCodec.h"

#include <QVector>

namespace zav::test {

// A block-read reply (0x03, 0x04, 0x65, 0x6D) carrying the given registers.
QByteArray blockReply(Protocol mode, uint8_t address, uint8_t function, const QVector<uint16_t>& registers);
// Registers first..first+count-1 each holding its own register number (easy to check in stores).
QVector<uint16_t> numberedRegisters(int first, int count);
// The echo a UPS sends for a one-register write.
QByteArray writeEcho(Protocol mode, uint8_t address, uint16_t reg);

} // namespace zav::test
