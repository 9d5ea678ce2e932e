#include "settings/SettingFormats.h"

#include <gtest/gtest.h>

using namespace zav;

TEST(SettingFormats, IntegerIsUnsigned) {
    EXPECT_EQ(integerText(0), QString("0"));
    EXPECT_EQ(integerText(65535), QString("65535"));
}

TEST(SettingFormats, DecimalTextToScaledTruncatesAndPads) {
    struct Case {
        const char* text;
        int decimals;
        const char* scaled;
    };
    const Case cases[] = {
        {"2.25", 2, "225"}, {"5", 1, "50"},      {"0.5", 1, "5"}, {".5", 1, "5"},    {"5.", 1, "50"},
        {"1.29", 1, "12"},  {"-1.5", 2, "-150"}, {"", 1, "0"},    {"10", 2, "1000"}, {"1,5", 1, "15"},
        {"2.2x", 2, "220"}, {"007", 0, "007"},   {"0.0", 2, "0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecimalTextToScaled(c.text, c.decimals), QString(c.scaled)) << c.text;

    int v = -1;
    EXPECT_TRUE(decimalTextToScaled("12.0", 2, &v));
    EXPECT_EQ(v, 1200);
    EXPECT_FALSE(decimalTextToScaled("默认", 2, &v));
}

TEST(SettingFormats, SerialNumberPadsBothHalves) {
    EXPECT_EQ(serialNumberText(12, 345), QString("0012345"));
    EXPECT_EQ(serialNumberText(0, 0), QString("0000000"));
    EXPECT_EQ(serialNumberText(12345, 7), QString("12345007")); // wider values are not cut
}

TEST(SettingFormats, RegisterTextStopsAtTheFirstNonPrintableByte) {
    RegisterStore s(301, 480);
    s.set(432, 0x4142);
    s.set(433, 0x4320);
    s.set(434, 0x2020);
    EXPECT_EQ(registerText(s, 432, 8), QString("ABC")); // zeros end it, trailing blanks go

    s.set(427, 0x5550);
    s.set(428, 0x5307); // 'S', then a control byte
    s.set(429, 0x4142);
    EXPECT_EQ(registerText(s, 427, 5), QString("UPS"));

    s.set(427, 0x7F41); // DEL first: empty
    EXPECT_EQ(registerText(s, 427, 5), QString());

    for (int r = 427; r <= 431; ++r)
        s.set(r, 0x4142);
    EXPECT_EQ(registerText(s, 427, 5), QString("ABABABABAB")); // never reads past its registers
}

TEST(SettingFormats, UpsClockValidOrPlainNumbers) {
    RegisterStore s(301, 480);
    auto setClock = [&](uint16_t minSec, uint16_t dayHour, uint16_t yearMonth) {
        s.set(424, minSec);
        s.set(425, dayHour);
        s.set(426, yearMonth);
    };
    setClock(0x0907, 0x1405, 0x0324); // 2024-03-05 14:07:09
    ClockRegisters c = decodeUpsClock(s);
    EXPECT_TRUE(c.valid());
    EXPECT_EQ(c.text(), QString("2024-03-05 14:07"));
    EXPECT_EQ(c.toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));

    setClock(0x0907, 0x9405, 0x0324); // bit 15 of 425 is a flag, not part of the hours
    EXPECT_EQ(decodeUpsClock(s).text(), QString("2024-03-05 14:07"));

    setClock(0x0005, 0x1030, 0x0213); // 2013-02-30 10:05
    c = decodeUpsClock(s);
    EXPECT_FALSE(c.valid());
    EXPECT_EQ(c.text(), QString("2013-2-30 10:5"));

    setClock(0x0000, 0x2401, 0x0124); // hour 24
    EXPECT_FALSE(decodeUpsClock(s).valid());
    setClock(0x6000, 0x0001, 0x0124); // second 60
    EXPECT_FALSE(decodeUpsClock(s).valid());
    setClock(0x0000, 0x0001, 0x1324); // month 13
    EXPECT_FALSE(decodeUpsClock(s).valid());
    setClock(0, 0, 0); // nothing read yet: day and month 0
    EXPECT_EQ(decodeUpsClock(s).text(), QString("2000-0-0 0:0"));
}

TEST(SettingFormats, PickerDateKeepsTheCentury) {
    EXPECT_EQ(pickerDateInRange(QDate(2150, 5, 6)), QDate(2000, 5, 6));
    EXPECT_EQ(pickerDateInRange(QDate(1999, 12, 31)), QDate(2000, 12, 31));
    EXPECT_EQ(pickerDateInRange(QDate(1996, 2, 29)), QDate(2000, 2, 29));
    EXPECT_EQ(pickerDateInRange(QDate(2099, 12, 31)), QDate(2099, 12, 31));
    EXPECT_EQ(pickerDateInRange(QDate(2000, 1, 1)), QDate(2000, 1, 1));
}
