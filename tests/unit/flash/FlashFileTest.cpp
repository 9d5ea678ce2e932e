#include "flash/FlashFile.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace zav {
namespace {

TEST(SwapNibbles67, SwapsSixAndSevenInBothNibbles) {
    const struct {
        uint8_t in, out;
    } cases[] = {{0x67, 0x76}, {0x66, 0x77}, {0x6A, 0x7A}, {0x12, 0x12}, {0x76, 0x67},
                 {0xA7, 0xA6}, {0x06, 0x07}, {0x70, 0x60}, {0x00, 0x00}, {0xFF, 0xFF}};
    for (const auto& c : cases) EXPECT_EQ(swapNibbles67(c.in), c.out) << std::hex << int(c.in);
}

TEST(SwapNibbles67, IsItsOwnInverse) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(char(b));
    EXPECT_EQ(swapNibbles67(swapNibbles67(all)), all);
    EXPECT_NE(swapNibbles67(all), all);
}

TEST(FileChecksum, SumsSwappedBigEndianWords) {
    const struct {
        QByteArray bytes;
        uint16_t sum;
    } cases[] = {
        {QByteArray(), 0},
        {QByteArray::fromHex("12"), 0},         // a lone byte is not counted
        {QByteArray::fromHex("6007ff"), 0x7006}, // 60 07 -> 70 06, the odd FF left out
        {QByteArray::fromHex("1234"), 0x1234},
        {QByteArray::fromHex("ffffffff"), 0xFFFE}, // modulo 65536
        {QByteArray::fromHex("67660001"), 0x7678},
    };
    for (const auto& c : cases) EXPECT_EQ(fileChecksum(c.bytes), c.sum) << c.bytes.toHex().constData();
}

TEST(FileChecksum, TextHasFourUpperCaseDigits) {
    EXPECT_EQ(checksumText(0x7006), "0x7006");
    EXPECT_EQ(checksumText(0x00ab), "0x00AB");
}

TEST(ReadFileBlocks, SplitsIn512AndStopsAtTheFirstShortRead) {
    const struct {
        int size;
        QList<int> blocks;
    } cases[] = {{0, {}}, {1, {1}}, {511, {511}}, {512, {512}}, {1024, {512, 512}}, {1025, {512, 512, 1}}};
    for (const auto& c : cases) {
        QByteArray data(c.size, '\0');
        for (int i = 0; i < c.size; ++i) data[i] = char(i * 7);
        QBuffer file(&data);
        file.open(QIODevice::ReadOnly);
        const QList<QByteArray> blocks = readFileBlocks(file);
        QList<int> sizes;
        for (const QByteArray& b : blocks) sizes << int(b.size());
        EXPECT_EQ(sizes, c.blocks) << c.size;
        EXPECT_EQ(blocks.join(), data);
    }
}

TEST(KernelFile, ChosenByProcessorAndEraseChoice) {
    const struct {
        int dsp, erase;
        const char* file;
    } cases[] = {{DspF28035, 0, "Flash28035_All_API.bin"}, {DspF28035, 1, "Flash28035_API.bin"},
                 {DspF2812, 1, "Flash2812_API.bin"},       {DspF28232, 0, "Flash28232_API.bin"},
                 {DspF28335, 1, "Flash28335_API.bin"},     {DspF28062, 0, "Flash28062_API.bin"},
                 {5, 0, ""}};
    for (const auto& c : cases) EXPECT_EQ(kernelFileName(c.dsp, c.erase), QString(c.file)) << c.dsp;
}

TEST(ProgramBaud, ItemsAndRates) {
    EXPECT_EQ(programBaudItems().size(), 12);
    EXPECT_EQ(programBaudRate(kDefaultProgramBaudItem), 115200);
    EXPECT_EQ(programBaudRate(0), 1200);
    EXPECT_EQ(programBaudRate(11), 256000);
    EXPECT_EQ(programBaudRate(12), 0);
}

} // namespace
} // namespace zav
