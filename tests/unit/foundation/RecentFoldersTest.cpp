#include "foundation/ProfileFile.h"
#include "foundation/RecentFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zav;

TEST(RecentFolders, EachKindStartsWhereItsLastFileWentAndAGoneFolderFallsBack) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("logs/site A"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("stick"));
    ProfileFile profile(dir.filePath("ZAV.ini"));
    RecentFolders folders(&profile, "/opt/zav");

    EXPECT_EQ(folders.folder(FileKind::Records), "/opt/zav"); // nothing stored yet
    EXPECT_FALSE(QFile::exists(dir.filePath("ZAV.ini")));

    ASSERT_TRUE(folders.remember(FileKind::Records, dir.filePath("logs/site A/HisLog_1.csv")));
    ASSERT_TRUE(folders.remember(FileKind::FieldData, dir.filePath("stick/data.xlsx")));
    // A second object reads what the first wrote: it lasts to the next start.
    const RecentFolders next(&profile, "/opt/zav");
    EXPECT_EQ(next.folder(FileKind::Records), dir.filePath("logs/site A"));
    EXPECT_EQ(next.folder(FileKind::FieldData), dir.filePath("stick"));
    EXPECT_EQ(next.folder(FileKind::Logo), "/opt/zav");

    ASSERT_TRUE(QDir(dir.filePath("stick")).removeRecursively()); // the stick was pulled
    EXPECT_EQ(next.folder(FileKind::FieldData), "/opt/zav");

    const RecentFolders none(nullptr, "/opt/zav"); // no profile: the fallback, nothing written
    EXPECT_EQ(none.folder(FileKind::Records), "/opt/zav");
}
