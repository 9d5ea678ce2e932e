// The programs find their own files beside the executable (build folder) or, installed, in
// <prefix>/share/zav and <prefix>/lib/zav relative to <prefix>/bin.

#include "foundation/InstallLayout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zav;

namespace {

void touch(const QString& path) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST(InstallLayout, BesideTheExecutableWinsThenTheInstalledFolderThenBesideAgain) {
    QTemporaryDir root;
    const QString bin = root.filePath("usr/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    touch(root.filePath("usr/share/zav/Flash2812_API.bin"));
    touch(root.filePath("usr/lib/zav/zav-closeapp"));
    touch(root.filePath("usr/bin/zav.ENU"));
    touch(root.filePath("usr/share/zav/zav.ENU"));
    const struct {
        ProgramFileKind kind;
        const char* name;
        const char* expected; // relative to the root
    } cases[] = {
        {ProgramFileKind::Data, "Flash2812_API.bin", "usr/share/zav/Flash2812_API.bin"},
        {ProgramFileKind::Helper, "zav-closeapp", "usr/lib/zav/zav-closeapp"},
        // A data file in the helper folder is not taken for a helper, nor the other way round.
        {ProgramFileKind::Helper, "Flash2812_API.bin", "usr/bin/Flash2812_API.bin"},
        {ProgramFileKind::Data, "zav-closeapp", "usr/bin/zav-closeapp"},
        {ProgramFileKind::Data, "zav.ENU", "usr/bin/zav.ENU"},   // the build folder's copy wins
        {ProgramFileKind::Data, "missing", "usr/bin/missing"}, // named where it was looked for first
    };
    for (const auto& c : cases)
        EXPECT_EQ(programFile(bin, c.kind, QString::fromLatin1(c.name)), root.filePath(QLatin1String(c.expected)))
            << c.name;
}

TEST(InstallLayout, TheInstalledFoldersFollowTheExecutableWhereverTheTreeIs) {
    EXPECT_EQ(installedFolder("/usr/bin", ProgramFileKind::Data), "/usr/share/zav");
    EXPECT_EQ(installedFolder("/usr/bin", ProgramFileKind::Helper), "/usr/lib/zav");
    EXPECT_EQ(installedFolder("/tmp/root/usr/local/bin/", ProgramFileKind::Data), "/tmp/root/usr/local/share/zav");
}
