#include "foundation/BoundedFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zav {

namespace {

QString whatItIs(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("a directory");
    if (S_ISFIFO(mode)) return QStringLiteral("a FIFO (named pipe)");
    if (S_ISCHR(mode)) return QStringLiteral("a character device");
    if (S_ISBLK(mode)) return QStringLiteral("a block device");
    if (S_ISSOCK(mode)) return QStringLiteral("a socket");
    return QStringLiteral("not a plain file");
}

QString statProblem(const QString& path, const struct stat& st, qint64 limit) {
    if (!S_ISREG(st.st_mode)) return QStringLiteral("%1: is %2, not a regular file").arg(path, whatItIs(st.st_mode));
    if (st.st_size > limit)
        return QStringLiteral("%1: is %2 bytes, over the limit of %3 bytes for this kind of file")
            .arg(path).arg(qint64(st.st_size)).arg(limit);
    return {};
}

QString errnoProblem(const QString& path, int error) {
    if (error == ENOENT) return QStringLiteral("%1: no such file").arg(path);
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace

QString regularFileProblem(const QString& path, qint64 limit) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return errnoProblem(path, errno);
    return statProblem(path, st, limit);
}

BoundedRead readRegularFile(const QString& path, qint64 limit) {
    BoundedRead r;
    // O_NONBLOCK: opening a FIFO without a writer must not wait; the descriptor is refused below.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        r.error = errnoProblem(path, errno);
        return r;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) r.error = errnoProblem(path, errno);
    else r.error = statProblem(path, st, limit);
    if (r.ok()) {
        // Read up to one byte past the limit: a file that grew since fstat is refused, not cut.
        r.bytes.resize(qsizetype(std::min<qint64>(st.st_size, limit) + 1));
        qint64 got = 0;
        while (got < r.bytes.size()) {
            const ssize_t n = ::read(fd, r.bytes.data() + got, size_t(r.bytes.size() - got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                r.error = errnoProblem(path, errno);
                break;
            }
            if (n == 0) break;
            got += n;
            if (got == r.bytes.size() && got <= limit) r.bytes.resize(qsizetype(std::min<qint64>(got * 2, limit + 1)));
        }
        if (r.ok() && got > limit)
            r.error = QStringLiteral("%1: is over the limit of %2 bytes for this kind of file").arg(path).arg(limit);
        r.bytes.truncate(qsizetype(got));
        if (!r.ok()) r.bytes.clear();
    }
    ::close(fd);
    return r;
}

} // namespace zav
