// The virtual UPS as a Modbus slave: request bytes in, reply bytes out, in both framings.

#include "SimRequests.h"
#include "VirtualUps.h"
#include "link/LinkTypes.h"

#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

SimConfig configFor(Protocol p, int model = 1) {
    SimConfig c;
    c.protocol = p;
    c.upsModel = model;
    return c;
}

TEST(SimSlave, ReplyBytesOfAOneRegisterReadInBothFramings) {
    // Register 78 holds the model code: 2 for model 1.
    VirtualUps rtu(configFor(Protocol::Rtu));
    EXPECT_EQ(exchange(rtu, blockReadRequest(Protocol::Rtu, 1, fn::ReadHolding, 78, 1)).toHex(' '),
              "01 03 02 00 02 39 85");
    VirtualUps ascii(configFor(Protocol::Ascii));
    EXPECT_EQ(exchange(ascii, blockReadRequest(Protocol::Ascii, 1, fn::ReadHolding, 78, 1)),
              ":0103020002F8\r\n");
}

TEST(SimSlave, ExceptionBytesForARecordPastTheEnd) {
    SimConfig c = configFor(Protocol::Rtu);
    c.historyEvents = 3;
    VirtualUps ups(c);
    EXPECT_EQ(exchange(ups, recordRequest(Protocol::Rtu, 1, fn::ReadHistory, 4, 5)).toHex(' '),
              "01 e6 02 eb a1");
    c.protocol = Protocol::Ascii;
    VirtualUps ascii(c);
    EXPECT_EQ(exchange(ascii, recordRequest(Protocol::Ascii, 1, fn::ReadHistory, 4, 5)), ":01E60217\r\n");
}

class SimSlaveBoth : public ::testing::TestWithParam<Protocol> {
  protected:
    VirtualUps ups{configFor(GetParam(), 1)};
    Protocol p = GetParam();
};

INSTANTIATE_TEST_SUITE_P(Framings, SimSlaveBoth, ::testing::Values(Protocol::Ascii, Protocol::Rtu),
                         [](const auto& info) { return info.param == Protocol::Rtu ? "Rtu" : "Ascii"; });

TEST_P(SimSlaveBoth, EveryBlockTheToolPollsIsAcceptedByTheToolsCheck) {
    struct Block {
        uint8_t function;
        uint16_t start, count, module;
    };
    const Block blocks[] = {
        {fn::ReadHolding, 1, 80, 0},    {fn::ReadInput, 81, 80, 0},     {fn::ReadInput, 161, 80, 0},
        {fn::ReadInput, 3071, 120, 0},  {fn::ReadSettings, 301, 35, 0}, {fn::ReadSettings, 361, 30, 0},
        {fn::ReadSettings, 421, 60, 0}, {fn::ReadModule, 2000, 73, 3},  {fn::ReadModule, 2073, 80, 3},
    };
    for (const Block& b : blocks) {
        const QByteArray request = b.function == fn::ReadModule
                                       ? moduleReadRequest(p, 1, b.start, b.count, b.module)
                                       : blockReadRequest(p, 1, b.function, b.start, b.count);
        const QByteArray reply = exchange(ups, request);
        ASSERT_EQ(reply.size(), blockReplyLength(p, b.count)) << "start " << b.start;
        const BlockReply r = examineBlockReply(p, reply, 1, b.function, b.count);
        EXPECT_EQ(r.outcome, ReplyOutcome::Accepted) << "start " << b.start;
    }
    EXPECT_EQ(readModule(ups, 2000, 1, 3).value(0), 3) << "register 2000 names the module asked for";
}

TEST_P(SimSlaveBoth, RequestsTheUpsCannotServeGetExceptions) {
    struct Case {
        const char* what;
        QByteArray request;
        uint8_t function;
        int code;
    };
    const Case cases[] = {
        {"0x03 past register 80", blockReadRequest(p, 1, fn::ReadHolding, 80, 2), fn::ReadHolding, 2},
        {"0x03 count 0", blockReadRequest(p, 1, fn::ReadHolding, 1, 0), fn::ReadHolding, 3},
        {"0x04 below 81", blockReadRequest(p, 1, fn::ReadInput, 80, 2), fn::ReadInput, 2},
        {"0x65 past 480", blockReadRequest(p, 1, fn::ReadSettings, 470, 20), fn::ReadSettings, 2},
        {"0x66 past the end", recordRequest(p, 1, fn::ReadHistory, 999, 5), fn::ReadHistory, 2},
        {"0x66 record 0", recordRequest(p, 1, fn::ReadHistory, 0, 5), fn::ReadHistory, 2},
        {"0x66 wrong size", recordRequest(p, 1, fn::ReadHistory, 1, 4), fn::ReadHistory, 3},
        {"0x6A past the end", recordRequest(p, 1, fn::ReadSCode, 999, 0x24), fn::ReadSCode, 2},
        {"0x6D module 0", moduleReadRequest(p, 1, 2000, 73, 0), fn::ReadModule, 2},
        {"0x6D module 31", moduleReadRequest(p, 1, 2000, 73, 31), fn::ReadModule, 2},
        {"unknown function", blockReadRequest(p, 1, 0x07, 1, 1), 0x07, 1},
        {"0x10 outside the settings", oneRegisterRequest(p, 1, fn::WriteMultiple, 500, 1), fn::WriteMultiple,
         2},
        {"0x10 to a command register", oneRegisterRequest(p, 1, fn::WriteMultiple, 353, 255),
         fn::WriteMultiple, 2},
        {"0x68 unknown register", oneRegisterRequest(p, 1, fn::ControlCommand, 360, 1), fn::ControlCommand,
         2},
        {"0x68 unknown value", oneRegisterRequest(p, 1, fn::ControlCommand, 355, 7), fn::ControlCommand, 3},
    };
    for (const Case& c : cases) {
        const QByteArray pdu = replyPdu(p, exchange(ups, c.request));
        EXPECT_EQ(pdu.toHex(), exceptionPdu(1, c.function, ModbusError(c.code)).toHex()) << c.what;
    }
}

TEST_P(SimSlaveBoth, DamagedFramesAndOtherAddressesGetNoReply) {
    QByteArray request = blockReadRequest(p, 1, fn::ReadHolding, 1, 80);
    QByteArray damaged = request;
    if (p == Protocol::Rtu)
        damaged[damaged.size() - 1] = char(damaged[damaged.size() - 1] ^ 1);
    else
        damaged[damaged.size() - 3] = damaged[damaged.size() - 3] == '0' ? '1' : '0'; // LRC digit
    EXPECT_TRUE(exchange(ups, damaged).isEmpty());
    EXPECT_TRUE(exchange(ups, blockReadRequest(p, 2, fn::ReadHolding, 1, 80)).isEmpty());
    EXPECT_EQ(ups.stats().badCheck, 1);
    EXPECT_EQ(ups.stats().otherAddress, 1);
    // The line is not left confused: the next good request is answered.
    EXPECT_FALSE(exchange(ups, request).isEmpty());
}

TEST_P(SimSlaveBoth, ByteByByteDeliveryGivesTheSameReplyAsOnePiece) {
    const QByteArray request = blockReadRequest(p, 1, fn::ReadSettings, 301, 35);
    const QByteArray whole = exchange(ups, request);
    QList<Outgoing> pieces;
    for (char b : request)
        pieces += ups.receive(QByteArray(1, b));
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(pieces.first().bytes, whole);
    // Two requests in one batch give two replies, in order.
    const QList<Outgoing> two = ups.receive(request + blockReadRequest(p, 1, fn::ReadHolding, 78, 1));
    ASSERT_EQ(two.size(), 2);
    EXPECT_EQ(two[0].bytes, whole);
}

TEST_P(SimSlaveBoth, WrittenSettingIsReadBackAndARefusedOneIsNot) {
    const uint16_t before = readRegister(ups, fn::ReadSettings, 312);
    EXPECT_EQ(writeSetting(ups, 312, 150).toHex(), "0110013800"
                                                   "01");
    EXPECT_EQ(readBlock(ups, fn::ReadSettings, 301, 35).value(312 - 301), 150);
    EXPECT_NE(before, 150);

    EXPECT_EQ(writeSetting(ups, 312, 0).toHex(), "019003") << "0 Ah is refused";
    EXPECT_EQ(readRegister(ups, fn::ReadSettings, 312), 150);
    EXPECT_EQ(writeSetting(ups, 301, 3).toHex(), "019003") << "no system mode 3";
    EXPECT_EQ(writeSetting(ups, 301, 6).toHex(), "0110012d0001");
    EXPECT_EQ(readRegister(ups, fn::ReadSettings, 301), 6);
}

TEST_P(SimSlaveBoth, BroadcastWriteIsCarriedOutButNotAnswered) {
    EXPECT_TRUE(exchange(ups, oneRegisterRequest(p, 0, fn::WriteMultiple, 387, 45)).isEmpty());
    EXPECT_EQ(readRegister(ups, fn::ReadSettings, 387), 45);
}

TEST(SimSlave, RtuFrameBrokenByAPauseIsDropped) {
    VirtualUps ups(configFor(Protocol::Rtu));
    const QByteArray request = blockReadRequest(Protocol::Rtu, 1, fn::ReadHolding, 1, 80);
    EXPECT_TRUE(ups.receive(request.left(4)).isEmpty());
    ups.advanceTo(500);
    EXPECT_TRUE(ups.receive(request.mid(4)).isEmpty()) << "the tail alone is no frame";
    ups.advanceTo(1000);
    EXPECT_EQ(ups.receive(request).size(), 1);
}

TEST(SimSlave, FramesAtAnotherRateAreNotUnderstood) {
    SimConfig c = configFor(Protocol::Rtu);
    c.baud = 19200;
    VirtualUps ups(c);
    const QByteArray request = blockReadRequest(Protocol::Rtu, 1, fn::ReadHolding, 1, 80);
    for (int rate : kBaudProbeRates) {
        const QList<Outgoing> out = ups.receive(request, rate);
        EXPECT_EQ(out.size(), rate == 19200 ? 1 : 0) << rate;
        ups.receive(request, rate); // the same rate again is not listed again
    }
    EXPECT_EQ(ups.stats().lineRates, (QVector<int>{9600, 14400, 4800, 19200, 2400, 1200, 38400}));
    c.mismatch = BaudMismatch::Garbage;
    VirtualUps noisy(c);
    const QList<Outgoing> out = noisy.receive(request, 9600);
    ASSERT_EQ(out.size(), 1);
    EXPECT_NE(examineBlockReply(Protocol::Rtu, out.first().bytes, 1, fn::ReadHolding, 80).outcome,
              ReplyOutcome::Accepted);
}

TEST(SimSlave, ClockRegistersRunAndTakeAWrite) {
    SimConfig c = configFor(Protocol::Rtu);
    c.clockStart = QDateTime(QDate(2024, 6, 1), QTime(8, 0, 0));
    VirtualUps ups(c);
    ups.advanceTo(61'000);
    EXPECT_EQ(readBlock(ups, fn::ReadSettings, 424, 3), (QVector<uint16_t>{0x0101, 0x0801, 0x0624}));
    // 2013-02-27 23:59:30, one register at a time as the tool writes it.
    EXPECT_EQ(writeSetting(ups, 424, 0x3059).size(), 6);
    EXPECT_EQ(writeSetting(ups, 425, 0x2327).size(), 6);
    EXPECT_EQ(writeSetting(ups, 426, 0x0213).size(), 6);
    ups.advanceTo(61'000 + 45'000);
    EXPECT_EQ(readBlock(ups, fn::ReadSettings, 424, 3), (QVector<uint16_t>{0x1500, 0x0028, 0x0213}));
    EXPECT_EQ(writeSetting(ups, 425, 0x2432).toHex(), "019003") << "hour 24 and day 32 are refused";
    EXPECT_EQ(writeSetting(ups, 424, 0x5A00).toHex(), "019003") << "not BCD";
}

TEST(SimSlave, ClockRefusesADateThatDoesNotExistAndRunsOn) {
    SimConfig c = configFor(Protocol::Rtu);
    c.clockStart = QDateTime(QDate(2024, 6, 15), QTime(8, 0, 0));
    VirtualUps ups(c);
    // 31 July from a June date: the day comes before its month and must not be refused.
    EXPECT_EQ(writeSetting(ups, 425, 0x0931).size(), 6);
    EXPECT_EQ(writeSetting(ups, 426, 0x0724).size(), 6);
    EXPECT_EQ(readBlock(ups, fn::ReadSettings, 425, 2), (QVector<uint16_t>{0x0931, 0x0724}));
    // 31 June does not exist: the month is refused and the clock keeps 31 July, running.
    EXPECT_EQ(writeSetting(ups, 425, 0x1031).size(), 6);
    EXPECT_EQ(writeSetting(ups, 426, 0x0624).toHex(), "019003");
    ups.advanceTo(3'600'000); // an hour later: 11 o'clock
    EXPECT_EQ(readBlock(ups, fn::ReadSettings, 425, 2), (QVector<uint16_t>{0x1131, 0x0724}));
    // 29 February only in a leap year.
    EXPECT_EQ(writeSetting(ups, 425, 0x1029).size(), 6);
    EXPECT_EQ(writeSetting(ups, 426, 0x0225).toHex(), "019003");
    EXPECT_EQ(writeSetting(ups, 425, 0x1029).size(), 6);
    EXPECT_EQ(writeSetting(ups, 426, 0x0228).size(), 6);
    EXPECT_EQ(readBlock(ups, fn::ReadSettings, 425, 2), (QVector<uint16_t>{0x1029, 0x0228}));
}

} // namespace
