#include "settings/FieldDataText.h"
#include "settings/FieldDataRestore.h"
#include "settings/FieldDataWorkbook.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zav;

namespace {

// Every register a different value, grids with commas, quotes and Chinese.
FieldSnapshot fullSnapshot() {
    FieldSnapshot s;
    for (RegisterStore* st : {&s.LiveData, &s.LiveStatus, &s.ModuleData, &s.ModuleStatus, &s.SettingData})
        for (int r = st->first(); r <= st->last(); ++r) st->set(r, uint16_t(r * 7 + 3));
    for (int r = 0; r < kFieldGridRows; ++r)
        for (int c = 0; c < kFieldHistoryColumns; ++c)
            s.history.set(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
    s.history.set(1, 5, QStringLiteral("逆变器, \"故障\""));
    s.history.set(4, 6, QString());
    s.version = QStringLiteral("Version 1.92_EC");
    return s;
}

QByteArray firstLines(const QByteArray& bytes, int n) {
    QList<QByteArray> lines = bytes.split('\n');
    QByteArray out;
    for (int i = 0; i < n; ++i) out += lines[i] + '\n';
    return out;
}

} // namespace

TEST(FieldDataText, RoundTripKeepsEveryRegisterAndHistoryRowButTheTitles) {
    const FieldSnapshot saved = fullSnapshot();
    const QByteArray bytes = FieldDataText::encode(saved);
    EXPECT_EQ(bytes.count("\r\n"), kFieldTextLines);
    EXPECT_EQ(bytes.count('\n'), kFieldTextLines);
    const QList<QByteArray> lines = bytes.split('\n');
    EXPECT_EQ(lines[0], "10\r");        // register 1
    EXPECT_EQ(lines[240], "2110\r");    // line 241: register 301
    EXPECT_EQ(lines[275], "2530\r");    // line 276: register 361
    EXPECT_EQ(lines[1305], "2810\r");   // line 1306: register 401
    EXPECT_EQ(lines[1658], "Version 1.92_EC\r");

    FieldSnapshot loaded;
    loaded.history.set(0, 0, QStringLiteral("title"));
    ASSERT_TRUE(FieldDataText::decode(bytes, loaded).ok());
    FieldSnapshot expected = saved;
    expected.history.set(0, 0, QStringLiteral("title")); // the grid's title row is never read
    for (int c = 1; c < kFieldHistoryColumns; ++c) expected.history.set(c, 0, QString());
    expected.scodes = loaded.scodes;                      // the text file has no S-codes
    for (int reg : {336, 360, 391, 400}) EXPECT_EQ(loaded.SettingData[reg], 0) << reg; // nor these
    for (int reg = 336; reg <= 400; ++reg)
        if (reg <= 360 || reg >= 391) expected.SettingData.set(reg, 0);
    EXPECT_EQ(loaded, expected);
}

TEST(FieldDataText, ShortFilesLoadOnlyWhatTheirLengthAllows) {
    const QByteArray bytes = FieldDataText::encode(fullSnapshot());
    struct Case {
        int lines;
        bool settings361, history, rest, version;
    };
    for (const Case& c : {Case{305, false, false, false, false}, Case{1305, true, true, false, false},
                          Case{1658, true, true, true, false}, Case{1659, true, true, true, true}}) {
        SCOPED_TRACE(c.lines);
        FieldSnapshot s;
        ASSERT_TRUE(FieldDataText::decode(firstLines(bytes, c.lines), s).ok());
        EXPECT_EQ(s.LiveData[80], 80 * 7 + 3);
        EXPECT_EQ(s.LiveStatus[240], 240 * 7 + 3);
        EXPECT_EQ(s.SettingData[335], 335 * 7 + 3);
        EXPECT_EQ(s.SettingData[361], c.settings361 ? 361 * 7 + 3 : 0);
        EXPECT_EQ(s.history.at(2, 999), c.history ? QStringLiteral("r999c2") : QString());
        EXPECT_EQ(s.SettingData[480], c.rest ? 480 * 7 + 3 : 0);
        EXPECT_EQ(s.ModuleStatus[3190], c.rest ? 3190 * 7 + 3 : 0);
        EXPECT_EQ(s.version, c.version ? QStringLiteral("Version 1.92_EC") : QString());
    }
}

TEST(FieldDataText, DamagedFilesChangeNothing) {
    const QByteArray good = FieldDataText::encode(fullSnapshot());
    auto withLine = [&](int lineNo, const QByteArray& text) {
        QList<QByteArray> lines = good.split('\n');
        lines[lineNo - 1] = text + '\r';
        return lines.join('\n');
    };
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"274 lines", firstLines(good, 274)},
        {"text for a number", withLine(50, "abc")},
        {"negative", withLine(2, "-1")},
        {"above a word", withLine(1400, "65536")},
        {"late bad value", withLine(1600, "1e3")},
        {"unclosed quote in history", withLine(400, "\"abc,def")},
        {"binary", QByteArray(5000, '\xff')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FieldSnapshot s;
        s.LiveData.set(1, 4242);
        const FieldSnapshot before = s;
        const FieldImportResult r = FieldDataText::decode(c.bytes, s);
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.fatal.startsWith(QLatin1String("Data formatting error")));
        EXPECT_EQ(s, before);
    }
}

TEST(FieldDataText, SaveReplacesAFileAndAFailedSaveLeavesNone) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("UPSFieldData.csv"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    EXPECT_EQ(FieldDataText::save(path, fullSnapshot()), QString());
    FieldSnapshot s;
    EXPECT_TRUE(FieldDataText::load(path, s).ok());
    EXPECT_EQ(s.version, QStringLiteral("Version 1.92_EC"));

    const QString bad = dir.filePath(QStringLiteral("missing/sub/x.csv"));
    EXPECT_TRUE(FieldDataText::save(bad, fullSnapshot()).startsWith(QLatin1String("Save file error")));
    EXPECT_FALSE(QFile::exists(bad));
    const QString missing = FieldDataText::load(bad, s).fatal;
    EXPECT_TRUE(missing.startsWith(QLatin1String("Cannot open the file")) && missing.contains(QLatin1String("no such file")))
        << missing.toStdString();
}

TEST(FieldDataText, CsvLinesParseBackToTheirCells) {
    QStringList cells;
    ASSERT_TRUE(parseCsvLine(QStringLiteral("1,\"a, b\",\"say \"\"hi\"\"\",,x"), cells));
    EXPECT_EQ(cells, (QStringList{"1", "a, b", "say \"hi\"", "", "x"}));
    ASSERT_TRUE(parseCsvLine(QStringLiteral("\"\""), cells));
    EXPECT_EQ(cells, QStringList{QString()});
    EXPECT_FALSE(parseCsvLine(QStringLiteral("\"open"), cells));
}

TEST(FieldDataNames, TellingRowsOfTheNameTables) {
    EXPECT_EQ(fieldRegisterName(1, 1), QStringLiteral("Bypass Voltage Phase A"));
    EXPECT_EQ(fieldRegisterName(1, 0), QStringLiteral("交流旁路电压ph_A"));
    EXPECT_EQ(fieldRegisterName(22, 1), QStringLiteral("Input PF Phase A  "));
    EXPECT_EQ(fieldRegisterName(80, 1), QStringLiteral("ZAV_IP_PORT"));
    EXPECT_EQ(fieldRegisterName(2000, 0), QStringLiteral("当前模拟数据模块号"));
    EXPECT_EQ(fieldRegisterName(81, 1), QStringLiteral("Supply Source"));
    EXPECT_EQ(fieldRegisterName(133, 1), QStringLiteral("Module 2 Inserted"));
    EXPECT_EQ(fieldRegisterName(238, 1), QStringLiteral("Module 10 Manual Shutdown"));
    EXPECT_EQ(fieldRegisterName(3071, 1), QStringLiteral("# 1 integrated alarm register1"));
    EXPECT_EQ(fieldRegisterName(3190, 2), QStringLiteral("# 30 integrated alarm register4"));
    for (int reg = 1; reg <= 240; ++reg) EXPECT_FALSE(fieldRegisterName(reg, 1).isEmpty()) << reg;
    for (int reg = 2000; reg <= 2152; ++reg) EXPECT_FALSE(fieldRegisterName(reg, 0).isEmpty()) << reg;
}

// A device that never ends (chosen by mistake, or named so by a script) is read only up to the
// bound of a real file, then refused: no hang, no memory run-away.
TEST(FieldDataText, ADeviceWithoutAnEndIsRefusedByBothReaders) {
    if (!QFile::exists(QStringLiteral("/dev/zero"))) GTEST_SKIP() << "no /dev/zero";
    FieldSnapshot s;
    s.LiveData.set(1, 7);
    const FieldSnapshot before = s;
    for (const QString& fatal : {FieldDataText::load(QStringLiteral("/dev/zero"), s).fatal,
                                 FieldDataWorkbook::read(QStringLiteral("/dev/zero")).fatal,
                                 loadFieldFile(QStringLiteral("/dev/zero"), s).fatal}) {
        EXPECT_TRUE(fatal.startsWith(QLatin1String("Cannot open the file"))) << fatal.toStdString();
        EXPECT_TRUE(fatal.contains(QLatin1String("is a character device"))) << fatal.toStdString();
    }
    EXPECT_EQ(s, before);
}

// A FIFO with no writer would block its reader forever; a directory is no snapshot either. Each
// reader refuses both at once and says what the name is.
TEST(FieldDataText, AFifoOrADirectoryIsRefusedByEveryReaderWithWhatItIs) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("snapshot.xlsx"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        const char* what;
    } cases[] = {{fifo, "is a FIFO (named pipe)"}, {dir.path(), "is a directory"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FieldSnapshot s;
        for (const QString& fatal : {FieldDataText::load(c.path, s).fatal, FieldDataWorkbook::read(c.path).fatal,
                                     loadFieldFile(c.path, s).fatal}) {
            EXPECT_TRUE(fatal.contains(QLatin1String(c.what))) << fatal.toStdString();
        }
    }
}

// A value line is a whole register word and nothing else: no sign, no NUL with more after it.
TEST(FieldDataText, AValueLineIsAWholeNumberOrTheFileIsRefused) {
    const QByteArray good = FieldDataText::encode(FieldSnapshot{});
    for (const QByteArray& line : {QByteArray("12\0 34", 6), QByteArray("+5"), QByteArray("-0"), QByteArray("0x10"),
                                   QByteArray("1 2"), QByteArray("65536"), QByteArray("")}) {
        SCOPED_TRACE(line.toStdString());
        QList<QByteArray> lines = good.split('\n');
        lines[4] = line + '\r'; // register 5
        FieldSnapshot s;
        const FieldImportResult r = FieldDataText::decode(lines.join('\n'), s);
        EXPECT_TRUE(r.fatal.contains(QLatin1String("line 5"))) << r.fatal.toStdString();
        EXPECT_EQ(s, FieldSnapshot{});
    }
    QList<QByteArray> lines = good.split('\n');
    lines[4] = " 65535 \r";
    FieldSnapshot s;
    ASSERT_TRUE(FieldDataText::decode(lines.join('\n'), s).ok());
    EXPECT_EQ(s.LiveData[5], 65535);
}
