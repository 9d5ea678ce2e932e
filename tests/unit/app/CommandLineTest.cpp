#include "app/CommandLine.h"
#include "app/SatelliteLoader.h"
#include "foundation/AppTexts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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
    // Beside the executable, then in the installed data folder <prefix>/share/zav.
    EXPECT_EQ(loader.candidates(2052), (QStringList{"/opt/zav/zav.CHS", "/opt/zav/zav.CH",
                                                    "/opt/share/zav/zav.CHS", "/opt/share/zav/zav.CH"}));
    EXPECT_EQ(loader.candidates(1033), (QStringList{"/opt/zav/zav.ENU", "/opt/zav/zav.EN",
                                                    "/opt/share/zav/zav.ENU", "/opt/share/zav/zav.EN"}));
    EXPECT_EQ(loader.candidates(1028), (QStringList{"/opt/zav/zav.CHT", "/opt/zav/zav.CH",
                                                    "/opt/share/zav/zav.CHT", "/opt/share/zav/zav.CH"}));
    EXPECT_TRUE(loader.candidates(1031).isEmpty());
    EXPECT_EQ(SatelliteLoader("C:/ZAV/ZAV.exe").candidates(1033).first(), "C:/ZAV/ZAV.ENU");
    EXPECT_FALSE(loader.load(2052)); // nothing there
    EXPECT_TRUE(loader.loadedFile().isEmpty());
}

// An installed zav (/usr/bin/zav) loads its language files from /usr/share/zav.
TEST(SatelliteLoader, AnInstalledProgramLoadsItsFilesFromTheDataFolder) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir().mkpath(root.filePath("usr/bin")));
    ASSERT_TRUE(QDir().mkpath(root.filePath("usr/share/zav")));
    // A compiled translation with no messages: the file's magic number alone.
    const QByteArray emptyQm = QByteArray::fromHex("3cb86418caef9c95cd211cbf60a1bddd");
    QFile qm(root.filePath("usr/share/zav/zav.ENU"));
    ASSERT_TRUE(qm.open(QIODevice::WriteOnly));
    qm.write(emptyQm);
    qm.close();
    SatelliteLoader loader(root.filePath("usr/bin/zav"));
    EXPECT_TRUE(loader.load(1033));
    EXPECT_EQ(loader.loadedFile(), root.filePath("usr/share/zav/zav.ENU"));
    EXPECT_FALSE(loader.load(2052));
}
