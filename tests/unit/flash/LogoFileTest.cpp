#include "flash/LogoFile.h"

#include <gtest/gtest.h>

namespace zav {
namespace {

QByteArray hex(const char* h) { return QByteArray::fromHex(h); }

TEST(LogoParser, TakesLowerCaseHexLiterals) {
    const struct {
        const char* text;
        const char* bytes;
    } cases[] = {
        {"0x12, 0xAB,", "12ab"},
        {"const unsigned char logo[] = {0x01,0x02,\n0x03};", "010203"},
        {"0X12 0x34", "34"},  // upper-case X is not a literal
        {"00x12", ""},        // the first '0' takes the second with it, so "x12" is plain text
        {"0xG1 0x1z", "0110"}, // a non-hex digit counts as 0
        {"10x5", "50"},        // a digit cut off by the end of the text counts as 0
        {"no literals", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(parseLogoText(c.text).toHex(), QByteArray(c.bytes)) << c.text;
}

TEST(LogoBuffer, HeaderBytesAndLrc) {
    EXPECT_EQ(buildLogoBuffer(hex("010203"))->toHex(), QByteArray("0003f028010203df"));
    const std::optional<QByteArray> one = buildLogoBuffer(hex("00"));
    ASSERT_TRUE(one);
    uint8_t sum = 0;
    for (char c : *one) sum = uint8_t(sum + uint8_t(c));
    EXPECT_EQ(sum, 0); // the LRC makes the sum of the whole buffer zero
}

TEST(LogoBuffer, RefusesNothingAndWhatDoesNotFit) {
    EXPECT_FALSE(buildLogoBuffer(QByteArray()));
    const std::optional<QByteArray> full = buildLogoBuffer(QByteArray(kLogoMaxBytes, '\x11'));
    ASSERT_TRUE(full);
    EXPECT_EQ(full->size(), kLogoBufferBytes);
    EXPECT_EQ(full->left(2).toHex(), QByteArray("257b")); // 9595
    EXPECT_FALSE(buildLogoBuffer(QByteArray(kLogoMaxBytes + 1, '\x11')));
}

TEST(LogoFrames, RequestsCarryTheirCrcLowByteFirst) {
    EXPECT_EQ(logoHandshakeRequest().toHex(), QByteArray("ffffffff00000024"));
    EXPECT_EQ(logoFinishRequest().toHex(), QByteArray("fffffffe000051e4"));
    const QByteArray block = logoBlockRequest(0x3D8000, hex("0003f028010203df"));
    EXPECT_EQ(block.size(), 8 + 8);
    EXPECT_EQ(block.left(6).toHex(), QByteArray("003d80000008"));
    EXPECT_EQ(block.mid(6, 8).toHex(), QByteArray("0003f028010203df"));
}

TEST(LogoFrames, ReplyChecks) {
    const QByteArray hs = logoReply(kLogoHandshakeTag, 1, 1);
    EXPECT_EQ(logoHandshakeReply(hs), std::optional<uint8_t>(1));
    EXPECT_EQ(logoHandshakeReply(logoReply(kLogoHandshakeTag, 1, 3)), std::optional<uint8_t>(3));
    QByteArray badCrc = hs;
    badCrc[9] = char(badCrc[9] ^ 1);
    const struct {
        const char* name;
        QByteArray reply;
    } refusedHandshakes[] = {
        {"status 0", logoReply(kLogoHandshakeTag, 0, 1)},
        {"bad CRC", badCrc},
        {"finish tag", logoReply(kLogoFinishTag, 1, 1)},
        {"short", hs.left(9)},
        {"long", hs + '\0'},
    };
    for (const auto& c : refusedHandshakes) EXPECT_FALSE(logoHandshakeReply(c.reply)) << c.name;

    EXPECT_TRUE(logoBlockReplyAccepted(logoReply(0x3D8100, 1, 7), 0x3D8100));
    EXPECT_FALSE(logoBlockReplyAccepted(logoReply(0x3D8000, 1, 0), 0x3D8100)); // another block's address
    EXPECT_FALSE(logoBlockReplyAccepted(logoReply(0x3D8100, 2, 0), 0x3D8100));
    EXPECT_TRUE(logoFinishReplyAccepted(logoReply(kLogoFinishTag, 1, 0)));
    EXPECT_FALSE(logoFinishReplyAccepted(logoReply(kLogoHandshakeTag, 1, 0)));
}

} // namespace
} // namespace zav
