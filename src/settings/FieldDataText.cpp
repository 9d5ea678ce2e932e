#include "settings/FieldDataText.h"

#include "foundation/BoundedFile.h"

#include "records/GridCsv.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <iconv.h>

namespace zav {

namespace {

struct RegisterRun {
    int firstLine; // 1-based
    int firstReg, lastReg;
};
// The register runs in line order; the history grid sits between 305 and 1306.
constexpr RegisterRun kRuns[] = {
    {1, 1, 80}, {81, 81, 240}, {241, 301, 335}, {276, 361, 390},
    {1306, 401, 480}, {1386, 2000, 2152}, {1539, 3071, 3190},
};
constexpr int kHistoryFirstLine = 306;
constexpr int kVersionLine = 1659;

// Lines needed before each run is read: "more than 1304" and "more than 1657".
int linesNeeded(const RegisterRun& run) {
    if (run.firstLine < 276) return 0;
    if (run.firstLine < 1306) return 1305;
    return 1658;
}

// A value line: blanks, one to five decimal digits, blanks, and nothing else (no sign, no NUL).
bool registerValue(const QByteArray& line, uint& value) {
    const QByteArray digits = line.trimmed();
    if (digits.isEmpty() || digits.size() > 5) return false;
    for (char c : digits)
        if (c < '0' || c > '9') return false;
    value = digits.toUInt();
    return value <= 0xFFFF;
}

} // namespace

QString fromGbk(const QByteArray& bytes) {
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == iconv_t(-1)) return QString::fromLocal8Bit(bytes);
    QByteArray in = bytes;
    QByteArray out(in.size() * 3 + 16, '\0');
    char* src = in.data();
    size_t srcLeft = size_t(in.size());
    char* dst = out.data();
    size_t dstLeft = size_t(out.size());
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1)) break;
        if (errno != EILSEQ && errno != EINVAL) break;
        *dst++ = '?'; // a byte that is not GBK
        --dstLeft;
        ++src;
        --srcLeft;
    }
    iconv_close(cd);
    out.truncate(int(dst - out.data()));
    return QString::fromUtf8(out);
}

bool parseCsvLine(const QString& line, QStringList& cells) {
    cells.clear();
    QString cell;
    bool quoted = false, wasQuoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar ch = line[i];
        if (quoted) {
            if (ch == u'"') {
                if (i + 1 < line.size() && line[i + 1] == u'"') {
                    cell += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += ch;
            }
        } else if (ch == u',') {
            cells << cell;
            cell.clear();
            wasQuoted = false;
        } else if (ch == u'"' && cell.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else {
            cell += ch;
        }
    }
    if (quoted) return false;
    cells << cell;
    return true;
}

QByteArray FieldDataText::encode(const FieldSnapshot& s) {
    QString text;
    text.reserve(64 * 1024);
    auto registers = [&](int first, int last) {
        for (int reg = first; reg <= last; ++reg) {
            const RegisterStore* store = s.storeOf(reg);
            text += QString::number(store ? store->value(reg) : 0) + QStringLiteral("\r\n");
        }
    };
    for (const RegisterRun& run : kRuns) {
        if (run.firstLine == 1306) {
            TextGrid grid(kFieldHistoryColumns, kFieldGridRows);
            copyGrid(s.history, grid);
            for (int r = 0; r < grid.rows(); ++r) text += csvLine(grid, r) + QStringLiteral("\r\n");
        }
        registers(run.firstReg, run.lastReg);
    }
    text += s.version + QStringLiteral("\r\n");
    return toGbk(text);
}

FieldImportResult FieldDataText::decode(const QByteArray& bytes, FieldSnapshot& into) {
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast(); // the end of the last line
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    const int count = int(lines.size());

    FieldImportResult result;
    auto fail = [&](int lineNo, const QString& why) {
        result.fatal = QStringLiteral("%1\nline %2: %3").arg(QLatin1String(FieldMsg::formatError)).arg(lineNo).arg(why);
        return result;
    };
    if (count < 275) return fail(count + 1, QStringLiteral("the file ends after %1 lines").arg(count));

    FieldSnapshot next = into; // taken only when the whole file reads
    for (const RegisterRun& run : kRuns) {
        if (count < linesNeeded(run)) continue;
        for (int reg = run.firstReg; reg <= run.lastReg; ++reg) {
            const int lineNo = run.firstLine + reg - run.firstReg;
            if (lineNo > count) break; // 1658 lines: the last alarm word is missing
            uint value = 0;
            if (!registerValue(lines[lineNo - 1], value))
                return fail(lineNo, QStringLiteral("\"%1\" is not a register value").arg(QString::fromLatin1(lines[lineNo - 1].left(40))));
            next.storeOf(reg)->set(reg, uint16_t(value));
        }
    }
    if (count >= 1305) {
        for (int r = 1; r < kFieldGridRows; ++r) {
            const int lineNo = kHistoryFirstLine + r;
            QStringList cells;
            if (!parseCsvLine(fromGbk(lines[lineNo - 1]), cells) || cells.size() > kFieldHistoryColumns)
                return fail(lineNo, QStringLiteral("not a history row"));
            for (int c = 0; c < kFieldHistoryColumns; ++c) next.history.set(c, r, c < cells.size() ? cells[c] : QString());
        }
    }
    if (count >= kVersionLine) next.version = fromGbk(lines[kVersionLine - 1]);
    into = std::move(next);
    return result;
}

QString FieldDataText::save(const QString& path, const FieldSnapshot& snapshot) {
    QSaveFile file(path); // written beside the target and renamed: never half a file
    if (!file.open(QIODevice::WriteOnly) || file.write(encode(snapshot)) < 0 || !file.commit())
        return QStringLiteral("%1\n%2: %3").arg(QLatin1String(FieldMsg::saveError), path, file.errorString());
    return {};
}

FieldImportResult FieldDataText::load(const QString& path, FieldSnapshot& into) {
    FieldImportResult result;
    const BoundedRead file = readRegularFile(path, FileLimit::fieldText);
    if (!file.ok()) {
        result.fatal = QStringLiteral("%1\n%2").arg(QLatin1String(FieldMsg::cannotOpen), file.error);
        return result;
    }
    return decode(file.bytes, into);
}

} // namespace zav
