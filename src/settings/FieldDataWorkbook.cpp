#include "settings/FieldDataWorkbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QXmlStreamReader>

#include "foundation/BoundedFile.h"
#include "settings/FieldDataZip.h"

#include <freexl.h>
#include <xlsxwriter.h>

#include <cmath>
#include <cstdio>

namespace zav {

namespace {

// Register rows of sheets 1-3: the first sheet row and the register run it holds.
struct RegisterBlock {
    int sheet;
    int firstRow;
    int firstReg, lastReg;
};
constexpr RegisterBlock kBlocks[] = {
    {1, 2, 1, 80}, {1, 83, 2000, 2152}, {2, 2, 81, 240}, {2, 163, 3071, 3190}, {3, 2, 301, 480},
};

// ---- writing ----

struct Formats {
    lxw_format* title;
    lxw_format* number; // columns A and C
    lxw_format* name;   // column B
    lxw_format* heading;
    lxw_format* version;
    lxw_format* gridCentre;
    lxw_format* gridLeft;
};

lxw_format* makeFormat(lxw_workbook* wb, bool bold, uint8_t align, bool border, bool yellow) {
    lxw_format* f = workbook_add_format(wb);
    format_set_font_name(f, "Times New Roman");
    if (bold) format_set_bold(f);
    if (align) format_set_align(f, align);
    if (border) format_set_border(f, LXW_BORDER_THIN);
    if (yellow) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, LXW_COLOR_YELLOW);
    }
    return f;
}

QByteArray utf8(const QString& s) { return s.toUtf8(); }

bool writeRegisterSheet(lxw_worksheet* ws, const Formats& f, int sheet, const FieldSnapshot& s, int language,
                        int model) {
    bool ok = true;
    auto check = [&](lxw_error e) { ok = ok && e == LXW_NO_ERROR; };
    for (int c = 0; c < 3; ++c) check(worksheet_write_string(ws, 0, lxw_col_t(c), utf8(fieldColumnTitle(c, language)).constData(), f.title));
    for (const RegisterBlock& b : kBlocks) {
        if (b.sheet != sheet) continue;
        for (int reg = b.firstReg; reg <= b.lastReg; ++reg) {
            const lxw_row_t row = lxw_row_t(b.firstRow + reg - b.firstReg - 1);
            check(worksheet_write_number(ws, row, 0, reg, f.number));
            check(worksheet_write_string(ws, row, 1, utf8(fieldRegisterName(reg, language, model)).constData(), f.name));
            check(worksheet_write_number(ws, row, 2, s.storeOf(reg)->value(reg), f.number));
        }
    }
    if (sheet <= 2) {
        const lxw_row_t row = sheet == 1 ? 81 : 161; // rows 82 and 162
        check(worksheet_merge_range(ws, row, 0, row, 2, utf8(fieldModuleHeading(sheet, language)).constData(), f.heading));
        worksheet_freeze_panes(ws, 1, 0);
    }
    if (sheet == 1) {
        check(worksheet_write_string(ws, 0, 3, "PowerZAV Version", f.version));
        check(worksheet_write_string(ws, 1, 3, utf8(s.version).constData(), f.version));
    }
    check(worksheet_set_column(ws, 0, 0, 15, nullptr));
    check(worksheet_set_column(ws, 1, 1, sheet == 3 ? 40 : 35, nullptr));
    check(worksheet_set_column(ws, 2, 2, 15, nullptr));
    check(worksheet_set_column(ws, 3, 3, 20, nullptr));
    return ok;
}

// Grid rows go out up to the first row whose first cell is empty.
bool writeGridSheet(lxw_worksheet* ws, const Formats& f, const TextGrid& grid, bool history) {
    bool ok = true;
    auto check = [&](lxw_error e) { ok = ok && e == LXW_NO_ERROR; };
    for (int r = 0; r < grid.rows() && !grid.at(0, r).isEmpty(); ++r)
        for (int c = 0; c < grid.columns(); ++c) {
            const bool left = !history || c == 2 || c == 4;
            lxw_format* fmt = left ? f.gridLeft : f.gridCentre;
            if (r == 0 && history) fmt = f.title;
            check(worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), utf8(grid.at(c, r)).constData(), fmt));
        }
    if (history) {
        check(worksheet_set_column(ws, 0, 1, 15, nullptr));
        check(worksheet_set_column(ws, 2, 2, 20, nullptr));
        check(worksheet_set_column(ws, 3, 3, 15, nullptr));
        check(worksheet_set_column(ws, 4, 4, 20, nullptr));
    } else {
        check(worksheet_set_column(ws, 0, 0, 40, nullptr));
    }
    return ok;
}

// ---- reading ----

// A real snapshot unpacks to well under 2 MB and holds about 10 000 cells. The whole workbook is
// bounded, not only each part: 64 sheets may all point at one large part.
constexpr qint64 kMaxUnpackedBytes = 16 * 1024 * 1024; // all parts read, unpacked
constexpr qint64 kMaxCells = 200'000;                  // cells parsed, over every sheet

// What has been unpacked and parsed so far; a read past either bound fails the file.
struct Budget {
    qint64 bytes = 0;
    qint64 cells = 0;
    bool overBytes = false;
};

bool readEntry(const ZipReader& zip, const QString& name, QByteArray& out, Budget& budget) {
    if (!zip.read(name, out, kMaxUnpackedBytes - budget.bytes)) {
        budget.overBytes = zip.contains(name) && zip.size(name) > kMaxUnpackedBytes - budget.bytes;
        return false;
    }
    budget.bytes += out.size();
    return true;
}

// "BC12" -> row 12, column 55.
bool parseRef(QStringView ref, int& row, int& column) {
    column = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i) {
        column = column * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        if (column > 16384) return false;
    }
    bool ok = false;
    row = ref.mid(i).toInt(&ok);
    return i > 0 && ok && row > 0;
}

// Text of <si> or <is>: every <t> inside it (phonetic runs left out); ends after its end tag.
QString innerText(QXmlStreamReader& xml) {
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"t") text += xml.readElementText();
            else if (xml.name() == u"rPh") xml.skipCurrentElement();
            else ++depth;
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return text;
}

QString numberText(double v) {
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15) return QString::number(qint64(v));
    return QString::number(v, 'g', 15);
}

QString readXlsxSheet(const QByteArray& data, const QStringList& shared, SheetCells& sheet, Budget& budget) {
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"c") continue;
        if (++budget.cells > kMaxCells) return QStringLiteral("more than %1 cells in the workbook").arg(kMaxCells);
        int row = 0, column = 0;
        if (!parseRef(xml.attributes().value(QLatin1String("r")), row, column)) return QStringLiteral("a cell without a place");
        const QString type = xml.attributes().value(QLatin1String("t")).toString();
        QString value;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"v") value = xml.readElementText();
            else if (xml.name() == u"is") value = innerText(xml);
            else xml.skipCurrentElement();
        }
        if (row > kWorkbookMaxRow || column > kWorkbookMaxColumn) continue;
        if (type == u"s") {
            bool ok = false;
            const int i = value.toInt(&ok);
            if (!ok || i < 0 || i >= shared.size()) return QStringLiteral("a shared text that is not there");
            value = shared[i];
        } else if (type.isEmpty() || type == u"n") {
            bool ok = false;
            const double v = value.toDouble(&ok);
            if (ok) value = numberText(v);
        }
        sheet.set(row, column, value);
    }
    if (xml.hasError()) return xml.errorString();
    return {};
}

WorkbookCells readXlsx(const QByteArray& bytes) {
    WorkbookCells book;
    ZipReader zip;
    if (!zip.open(bytes)) {
        book.fatal = QStringLiteral("%1\nthe file is not a readable workbook").arg(QLatin1String(FieldMsg::formatError));
        return book;
    }
    Budget budget;
    auto fail = [&](const QString& why) {
        book.sheets.clear();
        book.fatal = QStringLiteral("%1\n%2").arg(QLatin1String(FieldMsg::formatError),
                                                  budget.overBytes ? QStringLiteral("the workbook unpacks to more than %1 bytes")
                                                                         .arg(kMaxUnpackedBytes)
                                                                   : why);
        return book;
    };
    QByteArray workbook, rels, strings;
    if (!readEntry(zip, QStringLiteral("xl/workbook.xml"), workbook, budget) ||
        !readEntry(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), rels, budget))
        return fail(QStringLiteral("not a workbook"));
    QStringList shared;
    if (zip.contains(QStringLiteral("xl/sharedStrings.xml"))) {
        if (!readEntry(zip, QStringLiteral("xl/sharedStrings.xml"), strings, budget)) return fail(QStringLiteral("damaged texts"));
        QXmlStreamReader xml(strings);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"si") shared << innerText(xml);
        }
        if (xml.hasError()) return fail(xml.errorString());
    }
    QHash<QString, QString> targets;
    QXmlStreamReader relXml(rels);
    while (!relXml.atEnd()) {
        relXml.readNext();
        if (relXml.isStartElement() && relXml.name() == u"Relationship")
            targets.insert(relXml.attributes().value(QLatin1String("Id")).toString(), relXml.attributes().value(QLatin1String("Target")).toString());
    }
    QXmlStreamReader wbXml(workbook);
    while (!wbXml.atEnd()) {
        wbXml.readNext();
        if (!wbXml.isStartElement() || wbXml.name() != u"sheet") continue;
        if (book.sheets.size() >= 64) return fail(QStringLiteral("too many sheets"));
        SheetCells sheet;
        sheet.name = wbXml.attributes().value(QLatin1String("name")).toString();
        QString target;
        for (const QXmlStreamAttribute& a : wbXml.attributes())
            if (a.name() == u"id") target = targets.value(a.value().toString());
        target = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
        QByteArray data;
        if (target.isEmpty() || !readEntry(zip, target, data, budget)) return fail(QStringLiteral("sheet \"%1\" cannot be read").arg(sheet.name));
        const QString error = readXlsxSheet(data, shared, sheet, budget);
        if (!error.isEmpty()) return fail(QStringLiteral("sheet \"%1\": %2").arg(sheet.name, error));
        book.sheets << sheet;
    }
    if (wbXml.hasError() || relXml.hasError()) return fail(QStringLiteral("not a workbook"));
    return book;
}

WorkbookCells readXls(const QString& path) {
    WorkbookCells book;
    const void* handle = nullptr;
    if (freexl_open(QFile::encodeName(path).constData(), &handle) != FREEXL_OK) {
        if (handle) freexl_close(handle);
        book.fatal = QLatin1String(FieldMsg::cannotOpen);
        return book;
    }
    unsigned int count = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count);
    for (unsigned short i = 0; i < count && i < 64; ++i) {
        SheetCells sheet;
        const char* name = nullptr;
        if (freexl_get_worksheet_name(handle, i, &name) == FREEXL_OK && name) sheet.name = QString::fromUtf8(name);
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(handle, i) != FREEXL_OK ||
            freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
            freexl_close(handle);
            book.sheets.clear();
            book.fatal = QLatin1String(FieldMsg::formatError);
            return book;
        }
        for (unsigned int r = 0; r < rows && r < unsigned(kWorkbookMaxRow); ++r)
            for (unsigned short c = 0; c < columns && c < kWorkbookMaxColumn; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK) continue;
                QString text;
                switch (v.type) {
                case FREEXL_CELL_INT: text = QString::number(v.value.int_value); break;
                case FREEXL_CELL_DOUBLE: text = numberText(v.value.double_value); break;
                case FREEXL_CELL_NULL: continue;
                default: text = QString::fromUtf8(v.value.text_value); break;
                }
                sheet.set(int(r) + 1, int(c) + 1, text);
            }
        book.sheets << sheet;
    }
    freexl_close(handle);
    return book;
}

bool registerWord(const QString& text, uint16_t& value) {
    bool ok = false;
    const uint v = text.trimmed().toUInt(&ok);
    if (!ok || v > 0xFFFF) return false;
    value = uint16_t(v);
    return true;
}

QString rowName(int sheet, int row) { return QStringLiteral("sheet %1 row %2").arg(sheet).arg(row); }

QString formatError(const QString& why) {
    return QStringLiteral("%1\n%2").arg(QLatin1String(FieldMsg::formatError), why);
}

// One register row: column A must hold the register's number, column C a register word.
enum class RowCheck { Ok, WrongNumber, BadValue };
RowCheck readRow(const SheetCells& sheet, int row, int reg, uint16_t& value) {
    if (sheet.at(row, 1).trimmed() != QString::number(reg)) return RowCheck::WrongNumber;
    return registerWord(sheet.at(row, 3), value) ? RowCheck::Ok : RowCheck::BadValue;
}

} // namespace

QString FieldDataWorkbook::xlsxFileName(const QString& chosen) {
    if (chosen.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) return chosen;
    if (chosen.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive)) return chosen + u'x';
    return chosen + QStringLiteral(".xlsx"); // the saved name says what the file is
}

FieldFileKind fieldFileKindOf(const QByteArray& head) {
    if (head.startsWith(QByteArrayLiteral("PK\x03\x04"))) return FieldFileKind::Workbook;
    if (head.startsWith(QByteArray::fromHex("d0cf11e0a1b11ae1"))) return FieldFileKind::OldWorkbook;
    // The text file starts with a register value: digits, then a line end.
    int i = 0;
    while (i < head.size() && i < 6 && head[i] >= '0' && head[i] <= '9') ++i;
    if (i > 0 && i < head.size() && (head[i] == '\r' || head[i] == '\n')) return FieldFileKind::Text;
    return FieldFileKind::Other;
}

QString FieldDataWorkbook::save(const QString& path, const FieldSnapshot& s, int language, int model) {
    const QFileInfo target(path);
    const QString failText = QStringLiteral("%1\n%2").arg(QLatin1String(FieldMsg::saveError), path);
    QTemporaryFile temp(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    if (!temp.open()) return failText;
    temp.close(); // libxlsxwriter writes the name itself; the object removes it unless renamed
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);

    lxw_workbook* wb = workbook_new(QFile::encodeName(temp.fileName()).constData());
    if (!wb) return failText;
    Formats f{};
    f.title = makeFormat(wb, true, LXW_ALIGN_CENTER, true, false);
    f.number = makeFormat(wb, false, LXW_ALIGN_CENTER, true, false);
    f.name = makeFormat(wb, false, 0, true, false);
    f.heading = makeFormat(wb, true, LXW_ALIGN_LEFT, true, true);
    f.version = makeFormat(wb, true, LXW_ALIGN_CENTER, false, true);
    f.gridCentre = makeFormat(wb, false, LXW_ALIGN_CENTER, true, false);
    f.gridLeft = makeFormat(wb, false, LXW_ALIGN_LEFT, true, false);

    bool ok = true;
    for (int sheet = 1; sheet <= 5 && ok; ++sheet) {
        const QByteArray name = utf8(fieldSheetName(sheet, language));
        lxw_worksheet* ws = workbook_add_worksheet(wb, name.isEmpty() ? nullptr : name.constData());
        if (!ws) ok = false;
        else if (sheet <= 3) ok = writeRegisterSheet(ws, f, sheet, s, language, model);
        else ok = writeGridSheet(ws, f, sheet == 4 ? s.history : s.scodes, sheet == 4);
    }
    const lxw_error closed = workbook_close(wb); // writes the file (and frees the workbook)
    if (!ok || closed != LXW_NO_ERROR) return failText;
    QFile::remove(path);
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return failText;
    temp.setAutoRemove(false);
    return {};
}

WorkbookCells FieldDataWorkbook::read(const QString& path) {
    const BoundedRead file = readRegularFile(path, FileLimit::workbook);
    if (!file.ok()) return WorkbookCells{{}, QStringLiteral("%1\n%2").arg(QLatin1String(FieldMsg::cannotOpen), file.error)};
    return fromBytes(path, file.bytes);
}

WorkbookCells FieldDataWorkbook::fromBytes(const QString& path, const QByteArray& bytes) {
    switch (fieldFileKindOf(bytes)) {
    case FieldFileKind::Workbook: return readXlsx(bytes);
    case FieldFileKind::OldWorkbook: return readXls(path); // freexl reads the file itself
    case FieldFileKind::Text:
    case FieldFileKind::Other: break;
    }
    return WorkbookCells{{}, formatError(QStringLiteral("the file is not a workbook"))};
}

FieldImportResult FieldDataWorkbook::apply(const WorkbookCells& book, FieldSnapshot& into) {
    FieldImportResult result;
    if (!book.fatal.isEmpty()) {
        result.fatal = book.fatal;
        return result;
    }
    if (book.sheets.size() < 5) {
        result.fatal = formatError(QStringLiteral("the workbook has %1 sheets, not 5").arg(book.sheets.size()));
        return result;
    }
    FieldSnapshot next = into;
    for (const RegisterBlock& b : kBlocks) {
        const SheetCells& sheet = book.sheets[b.sheet - 1];
        for (int reg = b.firstReg; reg <= b.lastReg; ++reg) {
            const int row = b.firstRow + reg - b.firstReg;
            uint16_t value = 0;
            switch (readRow(sheet, row, reg, value)) {
            case RowCheck::Ok: next.storeOf(reg)->set(reg, value); break;
            case RowCheck::WrongNumber: result.badRows << rowName(b.sheet, row); break;
            case RowCheck::BadValue:
                result.fatal = formatError(QStringLiteral("%1: \"%2\" is not a register value")
                                               .arg(rowName(b.sheet, row), sheet.at(row, 3).left(40)));
                result.badRows.clear();
                return result;
            }
        }
    }
    next.version = book.sheets[0].at(2, 4);
    for (int r = 0; r < kFieldGridRows; ++r) {
        for (int c = 0; c < kFieldHistoryColumns; ++c) next.history.set(c, r, book.sheets[3].at(r + 1, c + 1));
        next.scodes.set(0, r, book.sheets[4].at(r + 1, 1));
    }
    into = std::move(next);
    return result;
}

FieldDataWorkbook::Transfer FieldDataWorkbook::settingsOf(const WorkbookCells& book, const RegisterStore& base) {
    Transfer t;
    t.values = base;
    if (!book.fatal.isEmpty()) {
        t.result.fatal = book.fatal;
        return t;
    }
    if (book.sheets.size() < 3) {
        t.result.fatal = formatError(QStringLiteral("the workbook has %1 sheets, not 5").arg(book.sheets.size()));
        return t;
    }
    if (!registerWord(book.sheets[0].at(79, 3), t.typeCode)) {
        t.result.fatal = formatError(QStringLiteral("sheet 1 row 79 holds no UPS type"));
        return t;
    }
    const SheetCells& sheet = book.sheets[2];
    for (int reg = 301; reg <= 480; ++reg) {
        const int row = reg - 299;
        uint16_t value = 0;
        switch (readRow(sheet, row, reg, value)) {
        case RowCheck::Ok: t.values.set(reg, value); break;
        case RowCheck::WrongNumber: t.result.badRows << rowName(3, row); break;
        case RowCheck::BadValue:
            t.result.fatal = formatError(QStringLiteral("%1: \"%2\" is not a register value").arg(rowName(3, row), sheet.at(row, 3).left(40)));
            return t;
        }
    }
    return t;
}

} // namespace zav
