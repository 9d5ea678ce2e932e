// The link timing as ZAV.ini keeps it.
#include "foundation/ProfileFile.h"
#include "session/TimingProfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zav;

namespace {

TimingOptions readFrom(const QByteArray& ini) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ZAV.ini");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ini);
    file.close();
    ProfileFile profile(path);
    return readTimingOptions(profile);
}

TEST(TimingProfile, UnknownOrMissingValuesGiveTheFastTiming) {
    const struct {
        const char* ini;
        TimingOptions timing;
    } table[] = {
        {"", {LinkTiming::Fast, 0}},
        {"[Link]\nTiming=classic\nExtraGapMs=250\n", {LinkTiming::Classic, 250}},
        {"[Link]\nTiming=Fast\n", {LinkTiming::Fast, 0}},
        {"[Link]\nTiming=turbo\nExtraGapMs=5000\n", {LinkTiming::Fast, kMaxExtraGapMs}},
        {"[Link]\nExtraGapMs=-7\n", {LinkTiming::Fast, 0}},
    };
    for (const auto& row : table)
        EXPECT_EQ(readFrom(row.ini), row.timing) << row.ini;
}

TEST(TimingProfile, WhatIsWrittenIsReadBack) {
    QTemporaryDir dir;
    ProfileFile profile(dir.filePath("ZAV.ini"));
    for (const TimingOptions timing : {TimingOptions{LinkTiming::Classic, 40}, TimingOptions{LinkTiming::Fast, 0}}) {
        ASSERT_TRUE(writeTimingOptions(profile, timing));
        EXPECT_EQ(readTimingOptions(ProfileFile(dir.filePath("ZAV.ini"))), timing);
    }
}

} // namespace
