#pragma once
// Reading a file the user names (a workbook, a text snapshot, a logo, a flash image, a profile):
// only a regular file, and only up to a size that fits its kind. A FIFO would block the reader
// forever and a device such as /dev/zero has no end, so both are refused before a byte is read,
// with what they are; a file over its limit is refused with the limit it broke.

#include <QByteArray>
#include <QString>

namespace zav {

// The size limits of the kinds of file the tools read.
namespace FileLimit {
inline constexpr qint64 workbook = 64 * 1024 * 1024;   // a snapshot workbook (real ones: < 1 MB)
inline constexpr qint64 fieldText = 4 * 1024 * 1024;   // the field-data text file (real ones: ~100 KB)
inline constexpr qint64 profile = 4 * 1024 * 1024;     // ZAV.ini, zavd.conf, CLOSEAPP.INI
// The logo text file: 9595 picture bytes as "0x.." literals with separators and comments; the
// byte count itself is checked when the text is parsed.
inline constexpr qint64 logo = 256 * 1024;
// A DSP boot image or kernel: the largest flash of the supported DSPs is 256 K words (512 KB, F2812
// and F28335); the boot table adds a few words a block.
inline constexpr qint64 flashImage = 1024 * 1024;
} // namespace FileLimit

struct BoundedRead {
    QByteArray bytes;
    QString error; // empty on success: "<path>: is a FIFO (named pipe), not a regular file", ...
    bool ok() const { return error.isEmpty(); }
};

// Empty when `path` is a regular file of at most `limit` bytes, else why not. Does not open the file.
QString regularFileProblem(const QString& path, qint64 limit);
// Reads the whole of `path` under the same rules; the file is checked on the open descriptor, so a
// name swapped for a FIFO between a check and the read is refused too.
BoundedRead readRegularFile(const QString& path, qint64 limit);

} // namespace zav
