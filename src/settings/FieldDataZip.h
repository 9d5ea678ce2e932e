#pragma once
// A small zip reader for the .xlsx workbook: the central directory, stored and deflated entries,
// every size checked against the file and a limit before anything is unpacked, the CRC checked
// after. (libxlsxwriter brings its own minizip; a second zip library in the same process would
// share its symbol names, so the reader is kept here on plain zlib.)

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace zav {

class ZipReader {
  public:
    // Takes the whole archive; false when it has no readable central directory.
    bool open(const QByteArray& archive);
    bool contains(const QString& name) const { return entries_.contains(name); }
    QStringList names() const { return entries_.keys(); }
    // The unpacked size the directory states for an entry (0 when missing).
    qint64 size(const QString& name) const { return entries_.contains(name) ? qint64(entries_.value(name).size) : 0; }
    // The unpacked entry; false when missing, damaged or larger than `limit` bytes.
    bool read(const QString& name, QByteArray& out, qint64 limit) const;

  private:
    struct Entry {
        uint16_t method;
        uint32_t crc, packed, size, localOffset;
    };
    QByteArray archive_;
    QHash<QString, Entry> entries_;
};

} // namespace zav
