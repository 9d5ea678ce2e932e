// Decoding of history and S-code records into the texts of their grid rows: bit packing per model,
// unit naming, actions, calendar and running-time stamps, and the S-code rows.

#include "records/RecordDecode.h"
#include "records/RecordTexts.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zav;

namespace {

constexpr int CN = 0, EN = 1, CHT = 2;

// A history record of a calendar model: code/action/unit bytes and a BCD stamp.
HistoryBytes calendarRecord(uint8_t r0, uint8_t r1) {
    return {r0, r1, 0x09, 0x03, 0x08, 0x05, 0x07, 0x13}; // 2013-07-05 08:03:09
}

struct SplitCase {
    int model;
    uint8_t r0, r1;
    HistoryFields expected;
};

TEST(HistoryDecode, SplitsCodeActionAndUnitByModel) {
    const SplitCase cases[] = {
        // 9-bit code, 2-bit action, 5-bit unit: models 0, 3, 6
        {0, 0x15, 0b1'01'00011, {43, 1, 3}},
        {3, 0x63, 0b0'00'11111, {198, 0, 31}},
        {6, 0xFF, 0b1'11'00000, {511, 3, 0}},
        // 10-bit code, 2-bit action, 4-bit unit: the others
        {1, 0x0A, 0b11'01'0101, {43, 1, 5}},
        {2, 0x31, 0b10'10'0000, {198, 2, 0}},
        {4, 0xFF, 0b11'11'1111, {1023, 3, 15}},
        {5, 0x00, 0b00'01'0000, {0, 1, 0}},
        {7, 0x0B, 0b10'00'1100, {46, 0, 12}},
        {8, 0x01, 0b01'01'0001, {5, 1, 1}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(splitHistoryRecord(c.model, c.r0, c.r1), c.expected) << "model " << c.model;
}

struct RowCase {
    const char* what;
    int model;
    HistoryBytes record;
    int language;
    bool unitAfterName;
    QStringList cells;
};

TEST(HistoryDecode, RowCells) {
    // Model 1: code 46 "Module Exit" = r0 0x0B, r1 bits 7..6 = 2.
    const RowCase cases[] = {
        {"whole unit",
         1,
         calendarRecord(0x0A, 0b11'01'0000),
         EN,
         false,
         {"7", "43", "Fault Clear", "Set", "2013-07-05 08:03:09"}},
        {"unit first",
         1,
         calendarRecord(0x0B, 0b10'00'0101),
         EN,
         false,
         {"7", "46", "05#Module Exit", "Clear", "2013-07-05 08:03:09"}},
        {"unit 12",
         1,
         calendarRecord(0x0B, 0b10'01'1100),
         EN,
         false,
         {"7", "46", "12#Module Exit", "Set", "2013-07-05 08:03:09"}},
        {"unit after the name",
         1,
         calendarRecord(0x0B, 0b10'01'0101),
         EN,
         true,
         {"7", "46", "Module Exit05#", "Set", "2013-07-05 08:03:09"}},
        {"model 0 keeps the unit first",
         0,
         calendarRecord(0x17, 0b0'01'00101),
         EN,
         true,
         {"7", "46", "05#Module Exit", "Set", "2013-07-05 08:03:09"}},
        {"action 2 has no text",
         1,
         calendarRecord(0x00, 0b00'10'0000),
         EN,
         false,
         {"7", "0", "Load On UPS", "", "2013-07-05 08:03:09"}},
        {"action 3 has no text",
         1,
         calendarRecord(0x00, 0b00'11'0000),
         EN,
         false,
         {"7", "0", "Load On UPS", "", "2013-07-05 08:03:09"}},
        {"code 200: number and code only", 1, calendarRecord(0x32, 0b00'01'0000), EN, false, {"7", "200"}},
        {"Chinese",
         1,
         calendarRecord(0x00, 0b00'01'0000),
         CN,
         false,
         {"7", "0", "UPS供电", "发生", "2013-07-05 08:03:09"}},
        {"Traditional Chinese",
         1,
         calendarRecord(0x0C, 0b01'00'0011),
         CHT,
         false,
         {"7", "49", "03#變流故障", "消失", "2013-07-05 08:03:09"}},
        {"hour bit 7 ignored",
         1,
         {0x00, 0x10, 0x09, 0x03, 0x93, 0x05, 0x07, 0x13},
         EN,
         false,
         {"7", "0", "Load On UPS", "Set", "2013-07-05 13:03:09"}},
        {"BCD taken as it comes",
         2,
         {0x00, 0x10, 0x00, 0x7A, 0x00, 0x31, 0x12, 0x99},
         EN,
         false,
         {"7", "0", "Load On UPS", "Set", "2099-12-31 00:80:00"}},
        {"running time 90061 s",
         5,
         {0x00, 0x10, 0, 0, 0x5F, 0xCD, 0x00, 0x01},
         EN,
         false,
         {"7", "0", "Load On UPS", "Set", "00025:01:01"}},
        {"running time, words low first",
         7,
         {0x00, 0x10, 0, 0, 0x00, 0x00, 0x00, 0x01},
         EN,
         false,
         {"7", "0", "Load On UPS", "Set", "00018:12:16"}}, // 65536 s
        {"running time beyond 99999 h",
         8,
         {0x00, 0x10, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF},
         EN,
         false,
         {"7", "0", "Load On UPS", "Set", "1193046:28:15"}},
    };
    for (const RowCase& c : cases)
        EXPECT_EQ(historyRowCells(7, c.record, c.model, c.language, c.unitAfterName), c.cells) << c.what;
}

// The page labels the time column as running hours for exactly the models whose stamps the decoder
// writes as running time.
TEST(HistoryDecode, RunningTimeModelsAreTheOnesDecodedAsRunningTime) {
    const HistoryBytes r = {0x0b, 0x95, 0x00, 0x41, 0x07, 0x05, 0x00, 0x00};
    const QRegularExpression runningTime(QStringLiteral("^\\d{5}:\\d{2}:\\d{2}$"));
    for (int model = 0; model <= 8; ++model) {
        const QString text = historyTimeText(model, r);
        EXPECT_EQ(historyTimeIsRunningTime(model), runningTime.match(text).hasMatch()) << model << " " << qPrintable(text);
    }
    EXPECT_TRUE(historyTimeIsRunningTime(7));
    EXPECT_FALSE(historyTimeIsRunningTime(1));
}

TEST(HistoryTexts, EveryCodeHasATextInEveryLanguage) {
    for (int code = 0; code < kHistoryEventCount; ++code)
        for (int language : {CN, EN, CHT})
            EXPECT_FALSE(historyEventText(code, language).isEmpty()) << code << " " << language;
    EXPECT_TRUE(historyEventText(200, EN).isEmpty());
    EXPECT_TRUE(historyEventText(-1, EN).isEmpty());

    struct Sample {
        int code;
        const char *cn, *en, *cht;
    };
    const Sample samples[] = {
        {0, "UPS供电", "Load On UPS", "UPS供電"},
        {11, "紧急关机", "EPO", "緊急關機"},
        {44, "历史清除", "Log Clear", "歷史清除"},
        {45, "通信节点加入", "Module Inserted", "模組通訊加入"},
        {48, "整流故障", "Rectifier Fail", "整流故障"},
        {50, "逆变故障", "Inverter Fail", "變流故障"},
        {80, "本次累计时间", "This Timer", "本次時間"},
        {103, nullptr, "Battery Volt Detect fail", nullptr},
        {104, nullptr, "Battery Volt Detect Fail", nullptr},
        {155, "BMS通信故障", "BMS RS485 Error", "RS485通信故障"},
        {199, "功率单元数量异常", "Power Units Num. Error", "功率单元数量异常"},
    };
    for (const Sample& s : samples) {
        if (s.cn) {
            EXPECT_EQ(historyEventText(s.code, CN), QString::fromUtf8(s.cn)) << s.code;
        }
        EXPECT_EQ(historyEventText(s.code, EN), QString::fromUtf8(s.en)) << s.code;
        if (s.cht) {
            EXPECT_EQ(historyEventText(s.code, CHT), QString::fromUtf8(s.cht)) << s.code;
        }
    }
}

TEST(SCodeDecode, NineRowsPerRecord) {
    SCodeBytes r{};
    r[0] = 5;
    r[1] = 0xF1; // bits 7..4 are not part of the unit
    const uint8_t stamp[6] = {0x00, 0x05, 0x17, 0x09, 0x06, 0x14};
    std::copy(stamp, stamp + 6, r.begin() + 2);
    r[8] = 0x10;                              // S0 word 1 = 0x1000
    r[24] = 0x80, r[25] = 0x0C, r[31] = 0x01; // A0: 800C-0000-0000-0001
    r[70] = 0xAB, r[71] = 0xCD;               // A5 word 4
    EXPECT_EQ(
        scodeRowTexts(3, r),
        QStringList({"03 SCode 01# 2014-06-09 17:05:00", "S0: 1000-0000-0000-0000", "S1: 0000-0000-0000-0000",
                     "A0: 800C-0000-0000-0001", "A1: 0000-0000-0000-0000", "A2: 0000-0000-0000-0000",
                     "A3: 0000-0000-0000-0000", "A4: 0000-0000-0000-0000", "A5: 0000-0000-0000-ABCD"}));
}

TEST(SCodeDecode, Bit7OfEveryStampByteIsIgnored) {
    SCodeBytes r{};
    const uint8_t stamp[6] = {0x80, 0x81, 0x92, 0x09, 0x86, 0x94};
    std::copy(stamp, stamp + 6, r.begin() + 2);
    EXPECT_EQ(scodeRowTexts(112, r).first(), "112 SCode 00# 2014-06-09 12:01:00");
}

} // namespace
