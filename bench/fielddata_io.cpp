// Field-data file speed: a full snapshot (every register, 1000 history rows, 999 S-code rows)
// written and read back as the workbook and as the text file, in wall-clock time. Each figure is
// the median of several runs; the files go to a temporary folder.
//
//   bench_fielddata_io [RUNS]      (default 9)

#include "settings/FieldData.h"
#include "settings/FieldDataText.h"
#include "settings/FieldDataWorkbook.h"
#include "settings/FieldDataZip.h"

#include <zlib.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <functional>
#include <vector>

using namespace zav;

namespace {

constexpr int kEnglish = 1;
constexpr int kModel = 5;

// Registers with varied values and the grids filled as the record pages fill them.
FieldSnapshot fullSnapshot() {
    FieldSnapshot s;
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return uint16_t(seed >> 16);
    };
    for (RegisterStore* store : {&s.LiveData, &s.LiveStatus, &s.ModuleData, &s.ModuleStatus, &s.SettingData})
        for (int reg = store->first(); reg <= store->last(); ++reg) store->set(reg, next());
    s.history.set(0, 0, QStringLiteral("No."));
    for (int row = 1; row < kFieldGridRows; ++row) {
        s.history.set(0, row, QString::number(row));
        s.history.set(1, row, QStringLiteral("2026-12-%1 14:%2:%3").arg(1 + row % 28).arg(row % 60, 2, 10, QChar(u'0')).arg(row % 57, 2, 10, QChar(u'0')));
        s.history.set(2, row, QStringLiteral("Utility failure, battery discharging"));
        s.history.set(3, row, QStringLiteral("Occurred"));
        s.history.set(4, row, QStringLiteral("Unit %1").arg(1 + row % 4));
    }
    for (int row = 0; row < kFieldGridRows - 1; ++row)
        s.scodes.set(0, row, QStringLiteral("S%1 2026-11-%2 08:15:00 0x%3 0x%4")
                                 .arg(row + 1, 3, 10, QChar(u'0')).arg(1 + row % 28)
                                 .arg(next(), 4, 16, QChar(u'0')).arg(next(), 4, 16, QChar(u'0')));
    s.version = QStringLiteral("Version 1.92_EC");
    return s;
}

// Names what differs, so a failed round trip says where.
bool same(const char* what, const FieldSnapshot& a, const FieldSnapshot& b) {
    if (a == b) return true;
    std::printf("  %s round trip differs:", what);
    if (!(a.LiveData == b.LiveData && a.LiveStatus == b.LiveStatus)) std::printf(" live");
    if (!(a.ModuleData == b.ModuleData && a.ModuleStatus == b.ModuleStatus)) std::printf(" modules");
    if (!(a.SettingData == b.SettingData)) std::printf(" settings");
    for (int row = 0; row < kFieldGridRows; ++row)
        for (int col = 0; col < kFieldHistoryColumns; ++col)
            if (a.history.at(col, row) != b.history.at(col, row)) {
                std::printf(" history[%d,%d] '%s' / '%s'", row, col, qPrintable(a.history.at(col, row)), qPrintable(b.history.at(col, row)));
                row = kFieldGridRows;
                break;
            }
    if (!(a.scodes == b.scodes)) std::printf(" scodes");
    if (a.version != b.version) std::printf(" version");
    std::printf("\n");
    return false;
}

double medianMs(int runs, const std::function<void()>& job) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        job();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void put16(QByteArray& b, uint16_t v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
void put32(QByteArray& b, uint32_t v) { put16(b, uint16_t(v)); put16(b, uint16_t(v >> 16)); }

// The saved workbook with one part replaced, every entry stored (no compression).
QByteArray withPart(const QString& from, const QString& name, const QByteArray& data) {
    QFile f(from);
    f.open(QIODevice::ReadOnly);
    ZipReader in;
    in.open(f.readAll());
    QByteArray out, dir;
    int count = 0;
    for (const QString& entry : in.names()) {
        QByteArray bytes;
        if (entry == name) bytes = data;
        else in.read(entry, bytes, 1 << 26);
        const QByteArray n = entry.toUtf8();
        const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(bytes.constData()), uInt(bytes.size())));
        const uint32_t offset = uint32_t(out.size());
        put32(out, 0x04034b50); put16(out, 20); put16(out, 0); put16(out, 0); put32(out, 0);
        put32(out, crc); put32(out, uint32_t(bytes.size())); put32(out, uint32_t(bytes.size()));
        put16(out, uint16_t(n.size())); put16(out, 0);
        out += n + bytes;
        put32(dir, 0x02014b50); put16(dir, 20); put16(dir, 20); put16(dir, 0); put16(dir, 0); put32(dir, 0);
        put32(dir, crc); put32(dir, uint32_t(bytes.size())); put32(dir, uint32_t(bytes.size()));
        put16(dir, uint16_t(n.size())); put16(dir, 0); put16(dir, 0); put16(dir, 0); put16(dir, 0); put32(dir, 0);
        put32(dir, offset);
        dir += n;
        ++count;
    }
    const uint32_t dirOffset = uint32_t(out.size());
    out += dir;
    put32(out, 0x06054b50); put16(out, 0); put16(out, 0); put16(out, uint16_t(count)); put16(out, uint16_t(count));
    put32(out, uint32_t(dir.size())); put32(out, dirOffset); put16(out, 0);
    return out;
}

// A workbook just inside the reader's bounds: the history sheet holds 190 000 cells and is padded
// with blanks so that all parts unpack to just under 16 MB (the worst a file can be and still read).
QString workbookAtTheLimit(const QString& saved, const QString& to) {
    QByteArray sheet = "<worksheet><sheetData>";
    for (int row = 1; row <= 19'000; ++row) {
        sheet += "<row r=\"" + QByteArray::number(row) + "\">";
        for (int col = 0; col < 10; ++col)
            sheet += "<c r=\"" + QByteArray(1, char('A' + col)) + QByteArray::number(row) + "\"><v>" + QByteArray::number(row * 10 + col) + "</v></c>";
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    QByteArray file = withPart(saved, QStringLiteral("xl/worksheets/sheet4.xml"), sheet);
    const qint64 room = 16 * 1024 * 1024 - file.size() - 64 * 1024; // stored parts: the file is about what they unpack to
    sheet.insert(sheet.size() - int(strlen("</sheetData></worksheet>")), QByteArray(int(std::max<qint64>(0, room)), ' '));
    file = withPart(saved, QStringLiteral("xl/worksheets/sheet4.xml"), sheet);
    QFile out(to);
    out.open(QIODevice::WriteOnly);
    out.write(file);
    return to;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    QTemporaryDir dir;
    const QString xlsx = dir.filePath(QStringLiteral("UPSFieldData.xlsx"));
    const QString csv = dir.filePath(QStringLiteral("UPSFieldData.csv"));
    const FieldSnapshot snapshot = fullSnapshot();
    bool ok = true;

    const double saveBook = medianMs(runs, [&] { ok &= FieldDataWorkbook::save(xlsx, snapshot, kEnglish, kModel).isEmpty(); });
    const double saveText = medianMs(runs, [&] { ok &= FieldDataText::save(csv, snapshot).isEmpty(); });
    FieldSnapshot back;
    const double readBook = medianMs(runs, [&] {
        back = FieldSnapshot();
        ok &= FieldDataWorkbook::apply(FieldDataWorkbook::read(xlsx), back).ok();
    });
    ok &= same("workbook", snapshot, back);
    const double readText = medianMs(runs, [&] {
        back = FieldSnapshot();
        for (int col = 0; col < kFieldHistoryColumns; ++col) // the grid's title row is the page's own
            back.history.set(col, 0, snapshot.history.at(col, 0));
        ok &= FieldDataText::load(csv, back).ok();
    });
    // The text file carries fewer registers and no S-codes: what it carries must come back.
    if (FieldDataText::encode(back) != FieldDataText::encode(snapshot)) {
        const QList<QByteArray> a = FieldDataText::encode(snapshot).split('\n'), b = FieldDataText::encode(back).split('\n');
        for (int i = 0; i < std::min(a.size(), b.size()); ++i)
            if (a[i] != b[i]) {
                std::printf("  text round trip differs at line %d: '%s' / '%s'\n", i + 1, a[i].constData(), b[i].constData());
                break;
            }
        ok = false;
    }

    // The reader runs in the window too: how long can the worst file it still reads take?
    const QString limit = workbookAtTheLimit(xlsx, dir.filePath(QStringLiteral("at-limit.xlsx")));
    QString limitError;
    const double readLimit = medianMs(std::min(runs, 3), [&] { limitError = FieldDataWorkbook::read(limit).fatal; });

    std::printf("full snapshot, median of %d runs\n", runs);
    std::printf("  workbook export  %8.1f ms  (%lld bytes; aim under 300 ms)\n", saveBook, QFileInfo(xlsx).size());
    std::printf("  workbook import  %8.1f ms\n", readBook);
    std::printf("  text export      %8.1f ms  (%lld bytes)\n", saveText, QFileInfo(csv).size());
    std::printf("  text import      %8.1f ms\n", readText);
    std::printf("  workbook at the reader's bounds (%lld bytes, 190000 cells): read in %.1f ms%s%s\n",
                QFileInfo(limit).size(), readLimit, limitError.isEmpty() ? "" : ", refused: ", qPrintable(limitError));
    std::printf("  round trips equal: %s\n", ok ? "yes" : "NO");
    return ok ? 0 : 1;
}
