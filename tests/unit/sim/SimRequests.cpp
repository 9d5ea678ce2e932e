#include "SimRequests.h"

#include "RequestFramer.h"

#include <gtest/gtest.h>

namespace zav::sim::test {

QByteArray hexBytes(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray exchange(VirtualUps& ups, const QByteArray& frame, int lineBaud) {
    const QList<Outgoing> out = ups.receive(frame, lineBaud);
    EXPECT_LE(out.size(), 1) << "one request, more than one reply";
    return out.isEmpty() ? QByteArray() : out.first().bytes;
}

QVector<uint16_t> readBlock(VirtualUps& ups, uint8_t function, uint16_t start, uint16_t count) {
    const Protocol p = ups.config().protocol;
    const uint8_t a = uint8_t(ups.config().address);
    const QByteArray reply = exchange(ups, blockReadRequest(p, a, function, start, count));
    const BlockReply r = examineBlockReply(p, reply, a, function, count);
    return r.outcome == ReplyOutcome::Accepted ? r.registers : QVector<uint16_t>{};
}

uint16_t readRegister(VirtualUps& ups, uint8_t function, uint16_t reg) {
    const QVector<uint16_t> v = readBlock(ups, function, reg, 1);
    EXPECT_EQ(v.size(), 1) << "register " << reg;
    return v.isEmpty() ? 0xDEAD : v.first();
}

QVector<uint16_t> readModule(VirtualUps& ups, uint16_t start, uint16_t count, uint16_t module) {
    const Protocol p = ups.config().protocol;
    const uint8_t a = uint8_t(ups.config().address);
    const QByteArray reply = exchange(ups, moduleReadRequest(p, a, start, count, module));
    const BlockReply r = examineBlockReply(p, reply, a, fn::ReadModule, count);
    return r.outcome == ReplyOutcome::Accepted ? r.registers : QVector<uint16_t>{};
}

static QByteArray oneRegister(VirtualUps& ups, uint8_t function, uint16_t reg, uint16_t value) {
    const Protocol p = ups.config().protocol;
    return replyPdu(
        p, exchange(ups, oneRegisterRequest(p, uint8_t(ups.config().address), function, reg, value)));
}

QByteArray writeSetting(VirtualUps& ups, uint16_t reg, uint16_t value) {
    return oneRegister(ups, fn::WriteMultiple, reg, value);
}

QByteArray sendCommand(VirtualUps& ups, uint16_t reg, uint16_t value) {
    return oneRegister(ups, fn::ControlCommand, reg, value);
}

QByteArray replyPdu(Protocol protocol, const QByteArray& frame) {
    return checkedPdu(protocol, frame).value_or(QByteArray());
}

} // namespace zav::sim::test
