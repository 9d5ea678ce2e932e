#include "foundation/NumberFormats.h"

#include <gtest/gtest.h>

namespace zav {
namespace {

struct FormatCase {
    uint16_t word;
    const char* tenths;
    const char* hundredths;
    const char* thousandths;
};

// Digits only, never rounded; words of 0x8000 and more are negative and show the zero text.
const FormatCase kFormatCases[] = {
    {0, "0.0", "0.00", "0.000"},           {5, "0.5", "0.05", "0.005"},
    {7, "0.7", "0.07", "0.007"},           {12, "1.2", "0.12", "0.012"},
    {50, "5.0", "0.50", "0.050"},          {55, "5.5", "0.55", "0.055"},
    {555, "55.5", "5.55", "0.555"},        {1250, "125.0", "12.50", "1.250"},
    {2205, "220.5", "22.05", "2.205"},     {4998, "499.8", "49.98", "4.998"},
    {5555, "555.5", "55.55", "5.555"},     {9999, "999.9", "99.99", "9.999"},
    {32767, "3276.7", "327.67", "32.767"}, {0x8000, "0.0", "0.00", "0.000"},
    {0xFF85, "0.0", "0.00", "0.000"},      {0xFFFF, "0.0", "0.00", "0.000"},
};

TEST(NumberFormats, UnsignedFormatsInsertThePointWithoutRounding) {
    for (const FormatCase& c : kFormatCases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(FormatTenths(c.word), c.tenths);
        EXPECT_EQ(FormatHundredths(c.word), c.hundredths);
        EXPECT_EQ(FormatThousandths(c.word), c.thousandths);
    }
}

TEST(NumberFormats, BatteryCurrentIsSigned) {
    const std::pair<uint16_t, const char*> cases[] = {
        {0, "0.0"},       {5, "0.5"},       {123, "12.3"},     {0xFF85, "-12.3"},
        {0xFFFB, "-0.5"}, {0xFFF6, "-1.0"}, {32767, "3276.7"}, {0x8000, "-3276.8"},
    };
    for (const auto& [word, text] : cases)
        EXPECT_EQ(FormatSignedTenths(word), text) << word;
}

TEST(NumberFormats, MonitorVersionPadsEachPartOrShowsStarsWhenUnknown) {
    EXPECT_EQ(FormatMonitorVersion(0, 0, 0), "** . *** . ***");
    EXPECT_EQ(FormatMonitorVersion(1, 2, 3), "01 . 002 . 003");
    EXPECT_EQ(FormatMonitorVersion(0, 0, 7), "00 . 000 . 007");
    EXPECT_EQ(FormatMonitorVersion(123, 4567, 65535), "123 . 4567 . 65535");
}

} // namespace
} // namespace zav
