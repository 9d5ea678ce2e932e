#include "flash/FlashFile.h"

#include <gtest/gtest.h>

namespace zav {
namespace {

// Words low byte first, as the boot ROM reads them.
QByteArray words(std::initializer_list<uint16_t> ws) {
    QByteArray out;
    for (uint16_t w : ws) {
        out.append(char(w & 0xFF));
        out.append(char(w >> 8));
    }
    return out;
}

const QByteArray kHeader = words({0x08AA, 0, 0, 0, 0, 0, 0, 0, 0, 0x0000, 0x8000}); // key, reserved, entry

TEST(BootTable, OnlyAWholeTableIsTaken) {
    const QByteArray twoBlocks =
        kHeader + words({2, 0x003E, 0x8000, 0x1111, 0x2222, 1, 0x003E, 0x9000, 0x3333, 0});
    const struct {
        const char* name;
        QByteArray bytes;
        const char* problem; // a part of the reason, or nullptr for a good table
    } cases[] = {
        {"header and closing block", kHeader + words({0}), nullptr},
        {"two blocks", twoBlocks, nullptr},
        {"padding after the closing block", twoBlocks + QByteArray(64, '\xFF'), nullptr},
        {"empty file", QByteArray(), "key 0x08AA"},
        {"key in the wrong byte order", words({0xAA08}) + kHeader.mid(2) + words({0}), "key 0x08AA"},
        {"text file", QByteArray("0x12, 0x34, 0x56, 0x78, 0x9A"), "key 0x08AA"},
        {"header only", kHeader, "cut off after 0 block(s)"},
        {"data cut short", twoBlocks.left(twoBlocks.size() - 4), "cut off after 2 block(s)"},
        {"no closing block", twoBlocks.left(twoBlocks.size() - 2), "cut off after 2 block(s)"},
    };
    for (const auto& c : cases) {
        const QString problem = bootTableProblem(c.bytes);
        if (c.problem)
            EXPECT_TRUE(problem.contains(QLatin1String(c.problem))) << c.name << ": " << problem.toStdString();
        else
            EXPECT_TRUE(problem.isEmpty()) << c.name << ": " << problem.toStdString();
    }
}

} // namespace
} // namespace zav
