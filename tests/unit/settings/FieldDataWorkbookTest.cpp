#include "settings/FieldDataWorkbook.h"
#include "settings/FieldDataRestore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include "settings/FieldDataZip.h"

#include <zlib.h>

using namespace zav;

namespace {

FieldSnapshot fullSnapshot() {
    FieldSnapshot s;
    for (RegisterStore* st : {&s.LiveData, &s.LiveStatus, &s.ModuleData, &s.ModuleStatus, &s.SettingData})
        for (int r = st->first(); r <= st->last(); ++r) st->set(r, uint16_t(r * 13 + 1));
    for (int r = 0; r < kFieldGridRows; ++r) {
        for (int c = 0; c < kFieldHistoryColumns; ++c) s.history.set(c, r, QStringLiteral("h%1-%2").arg(r).arg(c));
        s.scodes.set(0, r, QStringLiteral("S%1 逆变器").arg(r));
    }
    s.version = QStringLiteral("Version 1.92_EC");
    return s;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray zipEntry(const QString& path, const QString& name) {
    ZipReader zip;
    QByteArray out;
    if (!zip.open(fileBytes(path)) || !zip.read(name, out, 1 << 26)) return {};
    return out;
}

void put16(QByteArray& b, uint16_t v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
void put32(QByteArray& b, uint32_t v) { put16(b, uint16_t(v)); put16(b, uint16_t(v >> 16)); }

// Writes the entries of `from` to `to` without compression, one of them replaced by `data`.
void replaceEntry(const QString& from, const QString& to, const QString& name, const QByteArray& data) {
    ZipReader in;
    ASSERT_TRUE(in.open(fileBytes(from)));
    QByteArray out, dir;
    int count = 0;
    for (const QString& entry : in.names()) {
        QByteArray bytes;
        if (entry == name) bytes = data;
        else ASSERT_TRUE(in.read(entry, bytes, 1 << 26));
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
    QFile f(to);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(out);
}

class FieldDataWorkbookTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString path(const char* name) { return dir.filePath(QLatin1String(name)); }
    QString saved(int language = 1) {
        const QString p = path("snap.xlsx");
        EXPECT_EQ(FieldDataWorkbook::save(p, fullSnapshot(), language, 7), QString());
        return p;
    }
};

} // namespace

TEST_F(FieldDataWorkbookTest, RoundTripRestoresEveryStoreAndBothGrids) {
    FieldSnapshot loaded;
    const WorkbookCells book = FieldDataWorkbook::read(saved());
    ASSERT_EQ(book.fatal, QString());
    const FieldImportResult r = FieldDataWorkbook::apply(book, loaded);
    ASSERT_TRUE(r.ok()) << r.fatal.toStdString();
    EXPECT_TRUE(r.badRows.isEmpty());
    EXPECT_EQ(loaded, fullSnapshot());
}

TEST_F(FieldDataWorkbookTest, LayoutNamesTitlesAndFormattingInEachLanguage) {
    for (int language : {0, 1, 2}) {
        SCOPED_TRACE(language);
        const WorkbookCells book = FieldDataWorkbook::read(saved(language));
        ASSERT_EQ(book.sheets.size(), 5);
        for (int s = 1; s <= 4; ++s) EXPECT_EQ(book.sheets[s - 1].name, fieldSheetName(s, language));
        const SheetCells& live = book.sheets[0];
        EXPECT_EQ(live.at(1, 1), fieldColumnTitle(0, language));
        EXPECT_EQ(live.at(1, 4), QStringLiteral("PowerZAV Version"));
        EXPECT_EQ(live.at(2, 4), QStringLiteral("Version 1.92_EC"));
        EXPECT_EQ(live.at(2, 2), fieldRegisterName(1, language));
        EXPECT_EQ(live.at(79, 1), QStringLiteral("78"));
        EXPECT_EQ(live.at(82, 1), fieldModuleHeading(1, language));
        EXPECT_EQ(live.at(235, 1), QStringLiteral("2152"));
        EXPECT_EQ(book.sheets[1].at(163, 2), QStringLiteral("# 1 integrated alarm register1"));
        EXPECT_EQ(book.sheets[2].at(181, 1), QStringLiteral("480"));
        EXPECT_EQ(book.sheets[3].at(1000, 5), QStringLiteral("h999-4"));
    }
    const QString p = saved();
    const QByteArray sheet1 = zipEntry(p, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(sheet1.contains("<mergeCell ref=\"A82:C82\"/>"));
    EXPECT_TRUE(sheet1.contains("ySplit=\"1\""));
    EXPECT_TRUE(zipEntry(p, QStringLiteral("xl/worksheets/sheet2.xml")).contains("<mergeCell ref=\"A162:C162\"/>"));
    EXPECT_TRUE(zipEntry(p, QStringLiteral("xl/worksheets/sheet3.xml")).contains("width=\"40"));
    EXPECT_TRUE(zipEntry(p, QStringLiteral("xl/styles.xml")).contains("Times New Roman"));
}

TEST_F(FieldDataWorkbookTest, GridsStopAtTheFirstRowWithoutAFirstCell) {
    FieldSnapshot s = fullSnapshot();
    s.scodes.set(0, 3, QString());
    const QString p = path("short.xlsx");
    ASSERT_EQ(FieldDataWorkbook::save(p, s, 1, 0), QString());
    const WorkbookCells book = FieldDataWorkbook::read(p);
    EXPECT_EQ(book.sheets[4].at(3, 1), QStringLiteral("S2 逆变器"));
    EXPECT_EQ(book.sheets[4].at(5, 1), QString());
}

TEST_F(FieldDataWorkbookTest, XlsNamesAreWrittenAsXlsx) {
    EXPECT_EQ(FieldDataWorkbook::xlsxFileName(QStringLiteral("/a/b.xls")), QStringLiteral("/a/b.xlsx"));
    EXPECT_EQ(FieldDataWorkbook::xlsxFileName(QStringLiteral("/a/b.xlsx")), QStringLiteral("/a/b.xlsx"));
    // The default name gets its extension, so the file shows in an open dialog's workbook filter.
    EXPECT_EQ(FieldDataWorkbook::xlsxFileName(QStringLiteral("/a/UPSFieldData")), QStringLiteral("/a/UPSFieldData.xlsx"));
}

TEST_F(FieldDataWorkbookTest, ARowWithTheWrongNumberIsSkippedAndNamed) {
    WorkbookCells book = FieldDataWorkbook::read(saved());
    book.sheets[2].set(11, 1, QStringLiteral("999")); // row 11 should hold register 310
    FieldSnapshot s;
    s.SettingData.set(310, 5);
    const FieldImportResult r = FieldDataWorkbook::apply(book, s);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.badRows, QStringList{QStringLiteral("sheet 3 row 11")});
    EXPECT_EQ(s.SettingData[310], 5);              // kept
    EXPECT_EQ(s.SettingData[309], 309 * 13 + 1);   // row 10 taken
    EXPECT_EQ(s.SettingData[311], 311 * 13 + 1);

    const FieldDataWorkbook::Transfer t = FieldDataWorkbook::settingsOf(book, s.SettingData);
    EXPECT_EQ(t.result.badRows, QStringList{QStringLiteral("sheet 3 row 11")});
    EXPECT_EQ(t.values[310], 5); // the base value: nothing to send for it
    EXPECT_EQ(t.typeCode, 78 * 13 + 1);
}

TEST_F(FieldDataWorkbookTest, HostileFilesGiveAMessageAndChangeNothing) {
    const QString good = saved();
    const struct {
        const char* what;
        const char* entry;
        QByteArray data;
        const char* message;
    } cases[] = {
        {"text where a value belongs", "xl/worksheets/sheet3.xml", QByteArray(), "Data formatting error"},
        {"broken sheet XML", "xl/worksheets/sheet1.xml", "<worksheet><sheetData><row><c r=\"A1\"", "Data formatting error"},
        {"shared text out of range", "xl/worksheets/sheet2.xml",
         "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>99999</v></c></row></sheetData></worksheet>",
         "Data formatting error"},
        {"two sheets", "xl/workbook.xml",
         "<workbook><sheets><sheet name=\"a\" sheetId=\"1\" r:id=\"rId1\" xmlns:r=\"x\"/>"
         "<sheet name=\"b\" sheetId=\"2\" r:id=\"rId2\" xmlns:r=\"x\"/></sheets></workbook>",
         "Data formatting error"},
        {"huge sheet", "xl/worksheets/sheet4.xml", QByteArray(33 * 1024 * 1024, ' '), "Data formatting error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString bad = path("bad.xlsx");
        QFile::remove(bad);
        QByteArray data = c.data;
        if (data.isEmpty()) { // sheet 3 with a word in C5
            data = zipEntry(good, QStringLiteral("xl/worksheets/sheet3.xml"));
            const qsizetype at = data.indexOf("<c r=\"C5\"");
            const qsizetype end = data.indexOf("</c>", at) + 4;
            data.replace(at, end - at, "<c r=\"C5\" t=\"inlineStr\"><is><t>abc</t></is></c>");
        }
        replaceEntry(good, bad, QLatin1String(c.entry), data);
        FieldSnapshot s;
        s.LiveData.set(1, 4242);
        const FieldSnapshot before = s;
        const FieldImportResult r = FieldDataWorkbook::apply(FieldDataWorkbook::read(bad), s);
        EXPECT_TRUE(r.fatal.startsWith(QLatin1String(c.message))) << r.fatal.toStdString();
        EXPECT_EQ(s, before);
    }
    // Not a zip, not a workbook at all, missing.
    QFile junk(path("junk.xlsx"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("PK\x03\x04 this is not really a zip");
    junk.close();
    EXPECT_FALSE(FieldDataWorkbook::read(path("junk.xlsx")).fatal.isEmpty());
    EXPECT_TRUE(FieldDataWorkbook::read(path("missing.xlsx")).fatal.startsWith(QLatin1String("Cannot open the file")));

    // Each part is within its bound, the whole is not: 64 sheets that all name one 1 MB part.
    QByteArray sheets;
    for (int i = 0; i < 64; ++i)
        sheets += QStringLiteral("<sheet name=\"s%1\" sheetId=\"%2\" r:id=\"rId4\"/>").arg(i).arg(i + 1).toUtf8();
    const QString shared = path("shared.xlsx"), sharedBig = path("shared-big.xlsx");
    replaceEntry(good, shared, QStringLiteral("xl/workbook.xml"),
                 "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>" +
                     sheets + "</sheets></workbook>");
    replaceEntry(shared, sharedBig, QStringLiteral("xl/worksheets/sheet4.xml"),
                 "<worksheet><sheetData>" + QByteArray(1024 * 1024, ' ') + "</sheetData></worksheet>");
    const QString many = FieldDataWorkbook::read(sharedBig).fatal;
    EXPECT_TRUE(many.startsWith(QLatin1String("Data formatting error")) && many.contains(QLatin1String("unpacks to more than")))
        << many.toStdString();
    // Cells are bounded over the whole workbook too, however small each of them is.
    QByteArray cells = "<worksheet><sheetData><row r=\"1\">";
    for (int i = 0; i < 210'000; ++i) cells += "<c r=\"A1\"/>";
    cells += "</row></sheetData></worksheet>";
    const QString manyCells = path("cells.xlsx");
    replaceEntry(good, manyCells, QStringLiteral("xl/worksheets/sheet4.xml"), cells);
    const QString tooMany = FieldDataWorkbook::read(manyCells).fatal;
    EXPECT_TRUE(tooMany.contains(QLatin1String("more than 200000 cells"))) << tooMany.toStdString();
}

// The file is told by its content, not its name: a workbook saved without an extension reads back.
TEST_F(FieldDataWorkbookTest, FilesAreRecognisedByTheirContent) {
    const QString noName = path("UPSFieldData");
    ASSERT_TRUE(QFile::copy(saved(), noName));
    FieldSnapshot s;
    EXPECT_TRUE(loadFieldFile(noName, s).ok());
    EXPECT_EQ(s, fullSnapshot());
    EXPECT_EQ(fieldFileKindOf("PK\x03\x04rest"), FieldFileKind::Workbook);
    EXPECT_EQ(fieldFileKindOf(QByteArray::fromHex("d0cf11e0a1b11ae1")), FieldFileKind::OldWorkbook);
    EXPECT_EQ(fieldFileKindOf("220\r\n221\r\n"), FieldFileKind::Text);
    EXPECT_EQ(fieldFileKindOf("hello"), FieldFileKind::Other);
}

TEST_F(FieldDataWorkbookTest, AFailedSaveLeavesNoFile) {
    const QString bad = path("no/such/dir/x.xlsx");
    EXPECT_TRUE(FieldDataWorkbook::save(bad, fullSnapshot(), 1, 0).startsWith(QLatin1String("Save file error")));
    EXPECT_FALSE(QFile::exists(bad));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// The .xls beside this test is our own workbook of fullSnapshot() (English, model 7) saved again by
// LibreOffice Calc as "Excel 97-2003": the form an engineer's file takes after passing through an
// office program. Read through libfreexl, it must restore exactly what was saved.
TEST_F(FieldDataWorkbookTest, AWorkbookSavedAgainAsXlsRestoresEverything) {
    const QString xls = QStringLiteral(QT_TESTCASE_SOURCEDIR "/tests/data/fielddata/snapshot-en-model7.xls");
    const WorkbookCells book = FieldDataWorkbook::read(xls);
    ASSERT_EQ(book.fatal, QString());
    ASSERT_EQ(book.sheets.size(), 5);
    EXPECT_EQ(book.sheets[0].name, FieldDataWorkbook::read(saved()).sheets[0].name);
    FieldSnapshot back;
    const FieldImportResult r = FieldDataWorkbook::apply(book, back);
    ASSERT_TRUE(r.ok()) << r.fatal.toStdString();
    EXPECT_TRUE(r.badRows.isEmpty()) << r.badRows.join(u',').toStdString();
    EXPECT_EQ(back, fullSnapshot());

    // Cut short, the same file is refused whole.
    for (int keep : {512, 4096, 65536}) {
        QFile cut(path("cut.xls"));
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(fileBytes(xls).left(keep));
        cut.close();
        EXPECT_FALSE(FieldDataWorkbook::read(cut.fileName()).fatal.isEmpty()) << keep;
    }
}
