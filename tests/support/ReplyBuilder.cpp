#include "ReplyBuilder.h"

namespace zav::test {

QByteArray blockReply(Protocol mode, uint8_t address, uint8_t function, const QVector<uint16_t>& registers) {
    QByteArray pdu;
    pdu.append(char(address));
    pdu.append(char(function));
    pdu.append(char((2 * registers.size()) & 0xFF));
    for (uint16_t r : registers) {
        pdu.append(char(r >> 8));
        pdu.append(char(r & 0xFF));
    }
    return frame(mode, pdu);
}

QVector<uint16_t> numberedRegisters(int first, int count) {
    QVector<uint16_t> regs;
    for (int i = 0; i < count; ++i)
        regs.append(uint16_t(first + i));
    return regs;
}

QByteArray writeEcho(Protocol mode, uint8_t address, uint16_t reg) {
    QByteArray pdu;
    pdu.append(char(address));
    pdu.append(char(fn::WriteMultiple));
    pdu.append(char(reg >> 8));
    pdu.append(char(reg & 0xFF));
    pdu.append(char(0));
    pdu.append(char(1));
    return frame(mode, pdu);
}

} // namespace zav::test
