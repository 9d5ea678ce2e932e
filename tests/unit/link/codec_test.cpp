#include "ReplyBuilder.h"
#include "link/ModbusCodec.h"

#include <gtest/gtest.h>

using namespace zav;
using zav::test::blockReply;

namespace {

QByteArray hex(const char* h) {
    return QByteArray::fromHex(h);
}
const uint8_t* bytes(const QByteArray& a) {
    return reinterpret_cast<const uint8_t*>(a.constData());
}

TEST(Checks, CrcAndLrcOfKnownFrames) {
    const QByteArray pdu = hex("010300010050");
    EXPECT_EQ(ModbusCrc16(bytes(pdu), 6), 0x3614);
    EXPECT_TRUE(CrcMatches(bytes(pdu), 6, 0x3614));
    EXPECT_EQ(ModbusLrc(bytes(pdu), 6), 0xAB);
    EXPECT_EQ(ModbusLrc(bytes(hex("010400510050")), 6), 0x5A);
    EXPECT_TRUE(LrcMatches(bytes(hex("010400510050")), 6, 0x5A));
    EXPECT_FALSE(LrcMatches(bytes(hex("010400510050")), 6, 0x5B));
}

TEST(Checks, HexAndBcdConversions) {
    EXPECT_EQ(HexDigit(0), '0');
    EXPECT_EQ(HexDigit(10), 'A');
    EXPECT_EQ(HexDigit(15), 'F');
    EXPECT_EQ(HexDigit(16), '0');
    EXPECT_EQ(HexDigit(-1), '0');
    EXPECT_EQ(HexValue('7'), 7);
    EXPECT_EQ(HexValue('b'), 11);
    EXPECT_EQ(HexValue('B'), 11);
    EXPECT_EQ(HexValue('G'), 0);
    EXPECT_EQ(ToBcd(59), 0x59);
    EXPECT_EQ(ToBcd(7), 0x07);
    EXPECT_EQ(FromBcd(0x23), 23);
    for (int v = 0; v < 100; ++v)
        EXPECT_EQ(FromBcd(ToBcd(v)), v);
}

struct RequestCase {
    const char* name;
    QByteArray frame;
    QByteArray expected;
};

TEST(Requests, EveryShapeInBothFramings) {
    const RequestCase cases[] = {
        {"measure rtu", blockReadRequest(Protocol::Rtu, 1, fn::ReadHolding, 1, 80), hex("0103000100501436")},
        {"measure ascii", blockReadRequest(Protocol::Ascii, 1, fn::ReadHolding, 1, 80),
         ":010300010050AB\r\n"},
        {"status ascii", blockReadRequest(Protocol::Ascii, 1, fn::ReadInput, 0x51, 80),
         ":0104005100505A\r\n"},
        {"settings ascii", blockReadRequest(Protocol::Ascii, 1, fn::ReadSettings, 301, 35),
         ":0165012D002349\r\n"},
        {"module rtu", moduleReadRequest(Protocol::Rtu, 2, 2000, 73, 3),
         frame(Protocol::Rtu, hex("026D07D00049920003"))},
        {"write rtu", oneRegisterRequest(Protocol::Rtu, 1, fn::WriteMultiple, 304, 220),
         frame(Protocol::Rtu, hex("0110013000010200DC"))},
        {"command ascii", oneRegisterRequest(Protocol::Ascii, 5, fn::ControlCommand, 351, 1),
         frame(Protocol::Ascii, hex("0568015F0001020001"))},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.frame, c.expected) << c.name;

    // Wire lengths of the table every part of the link relies on.
    EXPECT_EQ(blockReadRequest(Protocol::Ascii, 1, fn::ReadHistory, 0, 5).size(), 17);
    EXPECT_EQ(moduleReadRequest(Protocol::Ascii, 1, 2000, 73, 1).size(), 23);
    EXPECT_EQ(moduleReadRequest(Protocol::Rtu, 1, 2000, 73, 1).size(), 11);
    EXPECT_EQ(blockReplyLength(Protocol::Rtu, 80), 165);
    EXPECT_EQ(blockReplyLength(Protocol::Ascii, 80), 331);
    EXPECT_EQ(frameLength(Protocol::Rtu, 3), 5);
    EXPECT_EQ(frameLength(Protocol::Ascii, 3), 11);
    // The module request's byte count is the low byte of twice the count.
    EXPECT_EQ(uint8_t(moduleReadRequest(Protocol::Rtu, 1, 2073, 160, 1)[6]), uint8_t(320 & 0xFF));
}

TEST(BlockReplies, AcceptedValuesInBothFramings) {
    const QVector<uint16_t> regs = {0x0001, 0x8000, 0xFFFF};
    for (Protocol mode : {Protocol::Rtu, Protocol::Ascii}) {
        const BlockReply r =
            examineBlockReply(mode, blockReply(mode, 7, fn::ReadInput, regs), 7, fn::ReadInput, 3);
        EXPECT_EQ(r.outcome, ReplyOutcome::Accepted);
        EXPECT_EQ(r.registers, regs);
    }
    // Lower-case hex digits are as good as upper-case ones.
    const QByteArray lower = blockReply(Protocol::Ascii, 7, fn::ReadInput, regs).toLower();
    EXPECT_EQ(examineBlockReply(Protocol::Ascii, lower, 7, fn::ReadInput, 3).outcome, ReplyOutcome::Accepted);
}

TEST(BlockReplies, MissingVersusDamaged) {
    const QVector<uint16_t> regs = {1, 2};
    const QByteArray rtu = blockReply(Protocol::Rtu, 1, fn::ReadHolding, regs);
    const QByteArray ascii = blockReply(Protocol::Ascii, 1, fn::ReadHolding, regs);
    auto rtuWith = [&](int at, char v) {
        QByteArray b = rtu;
        b[at] = v;
        return b;
    };
    auto asciiWith = [&](int at, char v) {
        QByteArray b = ascii;
        b[at] = v;
        return b;
    };
    struct Case {
        const char* name;
        Protocol mode;
        QByteArray raw;
        ReplyOutcome expected;
    } cases[] = {
        {"rtu nothing", Protocol::Rtu, {}, ReplyOutcome::Missing},
        {"rtu short", Protocol::Rtu, rtu.left(rtu.size() - 1), ReplyOutcome::Missing},
        {"rtu wrong address", Protocol::Rtu, rtuWith(0, 2), ReplyOutcome::Missing},
        {"rtu wrong function", Protocol::Rtu, rtuWith(1, 4), ReplyOutcome::Missing},
        {"rtu wrong byte count", Protocol::Rtu, rtuWith(2, 6), ReplyOutcome::Missing},
        {"rtu bad crc", Protocol::Rtu, rtuWith(rtu.size() - 1, char(rtu.back() ^ 1)), ReplyOutcome::Damaged},
        {"rtu bad data", Protocol::Rtu, rtuWith(4, 9), ReplyOutcome::Damaged},
        {"ascii short", Protocol::Ascii, ascii.left(ascii.size() - 1), ReplyOutcome::Missing},
        {"ascii no colon", Protocol::Ascii, asciiWith(0, '!'), ReplyOutcome::Missing},
        {"ascii no CR", Protocol::Ascii, asciiWith(ascii.size() - 2, ' '), ReplyOutcome::Missing},
        {"ascii wrong address", Protocol::Ascii, asciiWith(2, '2'), ReplyOutcome::Damaged},
        {"ascii wrong function", Protocol::Ascii, asciiWith(4, '4'), ReplyOutcome::Damaged},
        {"ascii bad lrc", Protocol::Ascii,
         asciiWith(ascii.size() - 3, ascii[ascii.size() - 3] == '0' ? '1' : '0'), ReplyOutcome::Damaged},
        {"ascii garbage digit", Protocol::Ascii, asciiWith(10, 'Z'), ReplyOutcome::Damaged},
    };
    for (const auto& c : cases)
        EXPECT_EQ(int(examineBlockReply(c.mode, c.raw, 1, fn::ReadHolding, 2).outcome), int(c.expected))
            << c.name;
}

TEST(BlockReplies, AsciiByteCountIsNotCompared) {
    // Only address, function and LRC decide in ASCII: a wrong byte count with a matching LRC passes.
    QByteArray pdu = hex("01030500010002");
    const QByteArray raw = frame(Protocol::Ascii, pdu);
    EXPECT_EQ(examineBlockReply(Protocol::Ascii, raw, 1, fn::ReadHolding, 2).outcome, ReplyOutcome::Accepted);
}

TEST(WriteReplies, OnlyLengthFramingAddressAndFunctionCount) {
    const QByteArray rtuEcho = zav::test::writeEcho(Protocol::Rtu, 1, 304);
    EXPECT_TRUE(writeReplyAccepted(Protocol::Rtu, rtuEcho, 1));
    QByteArray badCrc = rtuEcho;
    badCrc[7] = char(badCrc[7] ^ 0xFF);
    EXPECT_TRUE(writeReplyAccepted(Protocol::Rtu, badCrc, 1)); // the echo's CRC is not examined
    EXPECT_FALSE(writeReplyAccepted(Protocol::Rtu, rtuEcho, 2));
    EXPECT_FALSE(writeReplyAccepted(Protocol::Rtu, rtuEcho.left(7), 1));
    EXPECT_FALSE(writeReplyAccepted(Protocol::Rtu, hex("0190020000"), 1)); // exception reply

    QByteArray asciiEcho = zav::test::writeEcho(Protocol::Ascii, 1, 304);
    ASSERT_EQ(asciiEcho.size(), 17);
    asciiEcho[13] = 'F'; // wrong LRC: still accepted, the content is not examined
    EXPECT_TRUE(writeReplyAccepted(Protocol::Ascii, asciiEcho, 1));
    EXPECT_FALSE(writeReplyAccepted(Protocol::Ascii, asciiEcho.left(16), 1));
}

// The fast timing ends an RTU reply at the length its head announces.
TEST(RtuReplyLength, AnnouncedByFunctionAndByteCount) {
    const struct {
        const char* head;
        int length;
    } table[] = {
        {"", 0},
        {"01", 0},
        {"0103", 0},           // a read: the byte count is still to come
        {"0103a0", 165},       // 80 registers
        {"0104f0", 245},       // the module fault block, 120 registers
        {"01660a", 15},        // a history record
        {"016a48", 77},        // an S-code record
        {"0110", 8},           // a write echo
        {"0168", 8},           // a command echo
        {"0183", 5},           // an exception reply
        {"01e8", 5},           // an exception to a command
        {"0107", -1},          // a function whose reply length the head cannot tell
    };
    for (const auto& row : table)
        EXPECT_EQ(rtuAnnouncedLength(hex(row.head)), row.length) << row.head;
    const QByteArray reply = blockReply(Protocol::Rtu, 1, 0x03, {1, 2, 3});
    EXPECT_EQ(rtuAnnouncedLength(reply), reply.size());
}

} // namespace

