#include "records/GridCsv.h"

#include "records/RecordView.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <cerrno>
#include <iconv.h>

namespace zav {

QString csvCell(const QString& cell) {
    bool quote = false;
    for (QChar c : cell)
        if (c.unicode() <= 32 || c == '"' || c == ',') quote = true;
    if (!quote) return cell;
    QString out = cell;
    out.replace('"', QStringLiteral("\"\""));
    return '"' + out + '"';
}

QString csvLine(const TextGrid& grid, int row) {
    if (grid.columns() == 1 && grid.at(0, row).isEmpty()) return QStringLiteral("\"\"");
    QStringList cells;
    for (int c = 0; c < grid.columns(); ++c)
        cells << csvCell(grid.at(c, row));
    return cells.join(',');
}

QByteArray gridCsvBytes(const TextGrid& grid) {
    QString text;
    for (int r = 0; r < grid.rows(); ++r)
        text += csvLine(grid, r) + QStringLiteral("\r\n");
    return toGbk(text);
}

QByteArray toGbk(const QString& text) {
    QByteArray in = text.toUtf8();
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == iconv_t(-1)) return in; // no converter: ASCII stays right, Chinese comes out as UTF-8
    QByteArray out(in.size() * 2 + 16, '\0');
    char* src = in.data();
    size_t srcLeft = size_t(in.size());
    char* dst = out.data();
    size_t dstLeft = size_t(out.size());
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1)) break;
        if (errno != EILSEQ && errno != EINVAL) break; // E2BIG cannot happen: two bytes per byte in
        // A character GBK lacks: write '?' and step over its UTF-8 bytes.
        *dst++ = '?';
        --dstLeft;
        do {
            ++src;
            --srcLeft;
        } while (srcLeft > 0 && (uint8_t(*src) & 0xC0) == 0x80);
    }
    iconv_close(cd);
    out.truncate(int(dst - out.data()));
    return out;
}

QString csvFileName(const QString& chosen) {
    const QFileInfo info(chosen);
    const QString name = info.fileName();
    const int dot = name.lastIndexOf('.');
    if (dot > 0 && name.mid(dot) == QLatin1String(".csv")) return chosen;
    const QString stem = dot > 0 ? name.left(dot) : name; // a leading dot is part of the name
    return chosen.left(chosen.size() - name.size()) + stem + QStringLiteral(".csv");
}

QString defaultRecordFileName(const QString& prefix, const QDateTime& now) {
    return prefix + now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + QStringLiteral(".csv");
}

QString saveGridCsv(const QString& path, const TextGrid& grid) {
    const QByteArray bytes = gridCsvBytes(grid);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return {};
    const QString reason = file.errorString();
    file.cancelWriting();
    return QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason);
}

QVector<bool> rowsMatching(const TextGrid& grid, const QString& filter) {
    return recordsMatching(grid, kHistoryLayout, filter);
}

} // namespace zav
