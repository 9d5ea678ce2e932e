#include "flash/FlashFile.h"
#include "flash/FlashTexts.h"

#include <QDir>
#include <QFile>
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

const QByteArray kTwoBlocks = kHeader + words({2, 0x003E, 0x8000, 0x1111, 0x2222, 1, 0x003E, 0x9000, 0x3333, 0});

TEST(BootTable, OnlyAWholeTableIsTaken) {
    const struct {
        const char* name;
        QByteArray bytes;
        const char* problem; // a part of the reason, or nullptr for a good table
    } cases[] = {
        {"two blocks", kTwoBlocks, nullptr},
        {"one block of one word", kHeader + words({1, 0x003E, 0x8000, 0x1234, 0}), nullptr},
        // Erasing the flash to program nothing is not an image.
        {"header and closing block", kHeader + words({0}), "holds no data block"},
        // The kernel stops at the closing block: whatever follows is not part of the image.
        {"padding after the closing block", kTwoBlocks + QByteArray(64, '\xFF'), "64 byte(s) follow the closing block"},
        {"one byte after the closing block", kTwoBlocks + QByteArray(1, '\0'), "1 byte(s) follow the closing block"},
        {"a second table after the first", kTwoBlocks + kTwoBlocks, "follow the closing block"},
        {"empty file", QByteArray(), "key 0x08AA"},
        {"key in the wrong byte order", words({0xAA08}) + kHeader.mid(2) + words({0}), "key 0x08AA"},
        {"text file", QByteArray("0x12, 0x34, 0x56, 0x78, 0x9A"), "key 0x08AA"},
        {"header cut short", kHeader.left(10), "cut off after 0 block(s)"},
        {"header only", kHeader, "cut off after 0 block(s)"},
        {"data cut short", kTwoBlocks.left(kTwoBlocks.size() - 4), "cut off after 2 block(s)"},
        {"no closing block", kTwoBlocks.left(kTwoBlocks.size() - 2), "cut off after 2 block(s)"},
        {"closing block cut in half", kTwoBlocks.left(kTwoBlocks.size() - 1), "cut off after 2 block(s)"},
    };
    for (const auto& c : cases) {
        const QString problem = bootTableProblem(c.bytes);
        EXPECT_EQ(checkBootTable(c.bytes).whole(), c.problem == nullptr) << c.name;
        if (c.problem)
            EXPECT_TRUE(problem.contains(QLatin1String(c.problem))) << c.name << ": " << problem.toStdString();
        else
            EXPECT_TRUE(problem.isEmpty()) << c.name << ": " << problem.toStdString();
    }
}

TEST(BootTable, TheProjectsTestImagesAreWholeAndTheNonImageIsNot) {
    const QDir data(QStringLiteral(QT_TESTCASE_SOURCEDIR "/tests/data/flash"));
    QStringList images = data.entryList({"Flash*_API.bin"}, QDir::Files);
    ASSERT_EQ(images.size(), 6);
    images << "test-application.bin";
    for (const QString& name : images) {
        QFile f(data.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(bootTableProblem(f.readAll()), QString()) << name.toStdString();
    }
    QFile other(data.filePath("not-a-boot-table.bin"));
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(checkBootTable(other.readAll()).fault, BootImageFault::NoKey);
}

TEST(BootTable, RefusalIsSaidInThePagesLanguage) {
    const BootImageCheck cut{BootImageFault::CutOff, 2};
    const BootImageCheck extra{BootImageFault::BytesAfterEnd, 3, 64};
    EXPECT_EQ(imageRefusedText("app.bin", cut, 1),
              "app.bin is not a whole DSP boot image; nothing was sent: the boot table is cut off after 2 block(s) "
              "(no closing block of size 0)");
    EXPECT_EQ(imageRefusedText("app.bin", extra, 0),
              QString::fromUtf8("app.bin 不是完整的DSP引导映像，未发送任何数据：结束块之后多出 64 个字节"));
    EXPECT_EQ(imageRefusedText("app.bin", {BootImageFault::NoDataBlock}, 2),
              QString::fromUtf8("app.bin 不是完整的DSP引導映像，未發送任何數據：引導表中沒有數據塊（只有表頭和結束塊）"));
    EXPECT_EQ(imageRefusedText("app.bin", {BootImageFault::Unreadable}, 1),
              "app.bin is not a whole DSP boot image; nothing was sent: the file cannot be read");
}

} // namespace
} // namespace zav
