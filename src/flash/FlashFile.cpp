#include "flash/FlashFile.h"

#include "flash/FlashTexts.h"

#include <QIODevice>
#include <array>

namespace zav {

namespace {
constexpr std::array<const char*, 5> kDspTypes = {"F28035", "F2812", "F28232", "F28335", "F28062"};
constexpr std::array<int, 12> kProgramBauds = {1200,  2400,  4800,  9600,   14400,  19200,
                                               38400, 56000, 57600, 115200, 128000, 256000};
constexpr std::array<const char*, 5> kKernelFiles = {"Flash28035_All_API.bin", "Flash2812_API.bin",
                                                     "Flash28232_API.bin", "Flash28335_API.bin",
                                                     "Flash28062_API.bin"};

uint8_t swapNibble(uint8_t n) { return n == 6 ? 7 : n == 7 ? 6 : n; }
} // namespace

uint8_t swapNibbles67(uint8_t byte) {
    return uint8_t(swapNibble(byte >> 4) << 4 | swapNibble(byte & 0x0F));
}

QByteArray swapNibbles67(QByteArray bytes) {
    for (char& c : bytes) c = char(swapNibbles67(uint8_t(c)));
    return bytes;
}

uint16_t fileChecksum(const QByteArray& fileBytes) {
    uint16_t sum = 0;
    for (qsizetype i = 0; i + 1 < fileBytes.size(); i += 2) {
        const uint16_t word =
            uint16_t(swapNibbles67(uint8_t(fileBytes[i])) << 8 | swapNibbles67(uint8_t(fileBytes[i + 1])));
        sum = uint16_t(sum + word);
    }
    return sum;
}

QString checksumText(uint16_t checksum) {
    return QStringLiteral("0x") + QStringLiteral("%1").arg(checksum, 4, 16, QLatin1Char('0')).toUpper();
}

QList<QByteArray> readFileBlocks(QIODevice& file) {
    QList<QByteArray> blocks;
    for (;;) {
        const QByteArray block = file.read(kFileBlockBytes);
        if (!block.isEmpty()) blocks.append(block);
        if (block.size() < kFileBlockBytes) break;
    }
    return blocks;
}

BootImageCheck checkBootTable(const QByteArray& bytes) {
    const qsizetype size = bytes.size();
    auto word = [&](qsizetype at) { return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8); };
    if (size < 2 || word(0) != 0x08AA) return {BootImageFault::NoKey};
    constexpr qsizetype kHeaderBytes = 2 + 8 * 2 + 4; // key, reserved words, entry point
    qsizetype at = kHeaderBytes;
    int blocks = 0;
    for (;;) {
        if (at + 2 > size) return {BootImageFault::CutOff, blocks};
        const qsizetype words = word(at);
        if (words == 0) break;
        at += 2 + 4 + 2 * words; // size, address, data
        ++blocks;
    }
    at += 2; // the closing block
    if (blocks == 0) return {BootImageFault::NoDataBlock};
    if (at < size) return {BootImageFault::BytesAfterEnd, blocks, size - at};
    return {};
}

QString bootTableProblem(const QByteArray& bytes) {
    return bootImageProblemText(checkBootTable(bytes), 1);
}

QStringList dspTypeItems() {
    QStringList items;
    for (const char* t : kDspTypes) items << QString::fromLatin1(t);
    return items;
}

QStringList programBaudItems() {
    QStringList items;
    for (int b : kProgramBauds) items << QString::number(b);
    return items;
}

int programBaudRate(int item) {
    return item >= 0 && item < int(kProgramBauds.size()) ? kProgramBauds[size_t(item)] : 0;
}

QString kernelFileName(int dspType, int eraseItem) {
    if (dspType < 0 || dspType >= int(kKernelFiles.size())) return {};
    if (dspType == DspF28035 && eraseItem == 1) return QStringLiteral("Flash28035_API.bin");
    return QString::fromLatin1(kKernelFiles[size_t(dspType)]);
}

} // namespace zav
