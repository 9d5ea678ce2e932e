// Files the user names are read only when they are regular files within their kind's size: a FIFO,
// a device or a directory is refused at once with what it is, a file over its limit with the limit.

#include "foundation/BoundedFile.h"
#include "foundation/ProfileFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zav;

namespace {

QString write(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QLatin1String(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

} // namespace

TEST(BoundedFile, OnlyARegularFileWithinItsLimitIsRead) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString atLimit = write(dir, "ten", QByteArray(10, 'x'));
    const QString over = write(dir, "eleven", QByteArray(11, 'x'));
    const struct {
        QString path;
        QString error; // empty: read
    } cases[] = {
        {atLimit, {}},
        {over, over + ": is 11 bytes, over the limit of 10 bytes for this kind of file"},
        {fifo, fifo + ": is a FIFO (named pipe), not a regular file"},
        {dir.path(), dir.path() + ": is a directory, not a regular file"},
        {"/dev/zero", "/dev/zero: is a character device, not a regular file"},
        {dir.filePath("none"), dir.filePath("none") + ": no such file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const BoundedRead r = readRegularFile(c.path, 10);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(regularFileProblem(c.path, 10), c.error);
        EXPECT_EQ(r.bytes.size(), c.error.isEmpty() ? 10 : 0);
    }
}

// A file with no size of its own (as under /proc) is still read up to the limit and no further.
TEST(BoundedFile, AFileWithoutAStatedSizeIsReadUpToTheLimit) {
    if (!QFile::exists("/proc/self/status")) GTEST_SKIP() << "no /proc";
    const BoundedRead whole = readRegularFile("/proc/self/status", FileLimit::profile);
    EXPECT_TRUE(whole.ok()) << whole.error.toStdString();
    EXPECT_TRUE(whole.bytes.startsWith("Name:"));
    const BoundedRead cut = readRegularFile("/proc/self/status", 8);
    EXPECT_TRUE(cut.error.contains("over the limit of 8 bytes")) << cut.error.toStdString();
}

// A profile that is not a regular file reads as empty and is never replaced by a write.
TEST(BoundedFile, AProfileThatIsNoRegularFileIsNeitherReadNorReplaced) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("ZAV.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ProfileFile profile(fifo);
    EXPECT_EQ(profile.readString("Main", "Key", "fallback"), "fallback");
    EXPECT_FALSE(profile.writeString("Main", "Key", "v"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    const QString big = write(dir, "big.ini", "[Main]\nKey=old\n" + QByteArray(FileLimit::profile, ';'));
    ProfileFile large(big);
    EXPECT_EQ(large.readString("Main", "Key", "fallback"), "fallback");
    EXPECT_FALSE(large.writeString("Main", "Key", "new"));
    EXPECT_GT(QFileInfo(big).size(), FileLimit::profile);
}
