#include "app/CommandLine.h"
#include "app/SatelliteLoader.h"
#include "foundation/AppTexts.h"

#include <gtest/gtest.h>

using namespace zav;

TEST(CommandLine, Options) {
    const CommandLineOptions none = parseCommandLine({"zav"});
    EXPECT_TRUE(none.error.isEmpty());
    EXPECT_FALSE(none.demo);
    EXPECT_FALSE(none.connect);
    EXPECT_EQ(none.page, -1);

    const CommandLineOptions all =
        parseCommandLine({"zav", "--demo", "--connect", "--page", "11", "--config", "/tmp/a.ini"});
    EXPECT_TRUE(all.error.isEmpty()) << all.error.toStdString();
    EXPECT_TRUE(all.demo);
    EXPECT_TRUE(all.connect);
    EXPECT_EQ(all.page, 11);
    EXPECT_EQ(all.configPath, "/tmp/a.ini");

    EXPECT_EQ(parseCommandLine({"zav", "--page=0"}).page, 0);
    EXPECT_TRUE(parseCommandLine({"zav", "--help"}).help);
    EXPECT_TRUE(parseCommandLine({"zav", "-h"}).help);
}

TEST(CommandLine, BadArgumentsAreReported) {
    for (const QStringList& args : {QStringList{"zav", "--page", QString::number(kPageCount)}, QStringList{"zav", "--page", "x"},
                                    QStringList{"zav", "--page", "-1"}, QStringList{"zav", "--page"},
                                    QStringList{"zav", "--frobnicate"}, QStringList{"zav", "stray"},
                                    QStringList{"zav", "--config", ""}})
        EXPECT_FALSE(parseCommandLine(args).error.isEmpty()) << args.join(' ').toStdString();
    EXPECT_TRUE(parseCommandLine({"zav", "--page", QString::number(kPageCount - 1)}).error.isEmpty());
}

TEST(SatelliteLoader, FileNamesFollowTheExecutable) {
    SatelliteLoader loader("/opt/zav/zav");
    EXPECT_EQ(loader.candidates(2052), (QStringList{"/opt/zav/zav.CHS", "/opt/zav/zav.CH"}));
    EXPECT_EQ(loader.candidates(1033), (QStringList{"/opt/zav/zav.ENU", "/opt/zav/zav.EN"}));
    EXPECT_EQ(loader.candidates(1028), (QStringList{"/opt/zav/zav.CHT", "/opt/zav/zav.CH"}));
    EXPECT_TRUE(loader.candidates(1031).isEmpty());
    EXPECT_EQ(SatelliteLoader("C:/ZAV/ZAV.exe").candidates(1033).first(), "C:/ZAV/ZAV.ENU");
    EXPECT_FALSE(loader.load(2052)); // nothing there
    EXPECT_TRUE(loader.loadedFile().isEmpty());
}
