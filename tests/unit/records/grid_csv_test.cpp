// The record files: quoting, line ends, empty grids, GBK bytes, the file name rules and a save that
// never leaves half a file.

#include "records/GridCsv.h"
#include "records/RecordTexts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zav;

namespace {

TEST(GridCsv, CellQuoting) {
    struct Case {
        QString cell, written;
    };
    const Case cases[] = {
        {"", ""},
        {"Set", "Set"},
        {"Clear", "Clear"},
        {"05#Module Exit", "\"05#Module Exit\""},
        {"2013-07-05 08:03:09", "\"2013-07-05 08:03:09\""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {QString("tab\there"), "\"tab\there\""},
        {QString(QChar(0)), QString("\"") + QChar(0) + "\""},
        {"UPS供电", "UPS供电"},
        {"a;b|c'd", "a;b|c'd"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(csvCell(c.cell), c.written) << qPrintable(c.cell);
}

TEST(GridCsv, EmptyGridsWriteEveryRow) {
    QByteArray history, scode;
    for (int i = 0; i < 1000; ++i) {
        history += ",,,,\r\n";
        scode += "\"\"\r\n";
    }
    EXPECT_EQ(gridCsvBytes(TextGrid(kHistoryColumns, kRecordGridRows)), history);
    EXPECT_EQ(gridCsvBytes(TextGrid(1, kRecordGridRows)), scode);
}

TEST(GridCsv, HistoryFileByteForByte) {
    TextGrid grid(kHistoryColumns, 4);
    for (int c = 0; c < kHistoryColumns; ++c)
        grid.set(c, 0, historyHeaderText(c, 1));
    const QStringList row1 = {"1", "43", "Fault Clear", "Set", "2013-07-05 08:03:09"};
    const QStringList row2 = {"2", "200", "", "", ""};
    for (int c = 0; c < kHistoryColumns; ++c) {
        grid.set(c, 1, row1[c]);
        grid.set(c, 2, row2[c]);
    }
    EXPECT_EQ(gridCsvBytes(grid), QByteArray("Num.,ID,EventLog,Action,DateAndTime\r\n"
                                             "1,43,\"Fault Clear\",Set,\"2013-07-05 08:03:09\"\r\n"
                                             "2,200,,,\r\n"
                                             ",,,,\r\n"));
}

TEST(GridCsv, SCodeFileByteForByte) {
    TextGrid grid(1, 3);
    grid.set(0, 0, "01 SCode 03# 2013-07-05 08:03:09");
    grid.set(0, 1, "S0: 1000-0000-0000-0000");
    EXPECT_EQ(gridCsvBytes(grid), QByteArray("\"01 SCode 03# 2013-07-05 08:03:09\"\r\n"
                                             "\"S0: 1000-0000-0000-0000\"\r\n"
                                             "\"\"\r\n"));
}

TEST(GridCsv, ChineseTextsAreWrittenInGbk) {
    TextGrid grid(kHistoryColumns, 2);
    for (int c = 0; c < kHistoryColumns; ++c)
        grid.set(c, 0, historyHeaderText(c, 0));
    grid.set(2, 1, "UPS供电");
    grid.set(3, 1, "發生"); // Traditional characters are in GBK too
    EXPECT_EQ(gridCsvBytes(grid).toHex(' '),
              QByteArray("d0 f2 ba c5 2c b1 e0 ba c5 2c ca c2 bc fe 2c b6 af d7 "
                         "f7 2c ca b1 bc e4 0d 0a 2c 2c 55 50 53 b9 a9 b5 e7 2c "
                         "b0 6c c9 fa 2c 0d 0a"));
    // A character GBK does not have becomes one '?' and the text goes on.
    EXPECT_EQ(toGbk(QString::fromUtf8("a\U0001F600b电")), QByteArray("a?b\xb5\xe7"));
}

TEST(GridCsv, FileNameRules) {
    struct Case {
        const char *chosen, *saved;
    };
    const Case cases[] = {
        {"log.csv", "log.csv"},
        {"log.CSV", "log.csv"},
        {"log", "log.csv"},
        {"log.txt", "log.csv"},
        {"log.tar.gz", "log.tar.csv"},
        {"/home/u/v1.2/log", "/home/u/v1.2/log.csv"},
        {"/home/u/.hidden", "/home/u/.hidden.csv"},
        {"/home/u/log.csv", "/home/u/log.csv"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(csvFileName(c.chosen), c.saved) << c.chosen;
    EXPECT_EQ(defaultRecordFileName("HisLog", QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))),
              "HisLog2026-01-02_03-04-05.csv");
    EXPECT_EQ(defaultRecordFileName("SCode", QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58))),
              "SCode2026-12-31_23-59-58.csv");
}

TEST(GridCsv, SaveReplacesTheFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("log.csv");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100'000, 'x')); // longer than the new content
    }
    TextGrid grid(kHistoryColumns, kRecordGridRows);
    grid.set(0, 0, "Num.");
    EXPECT_EQ(saveGridCsv(path, grid), "");
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), gridCsvBytes(grid));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"log.csv"})) << "no temporary file left";
}

TEST(GridCsv, AFileThatCannotBeCreatedLeavesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("missing/log.csv");
    const QString message = saveGridCsv(path, TextGrid(1, kRecordGridRows));
    EXPECT_TRUE(message.startsWith("Cannot create file \"" + path + "\". ")) << qPrintable(message);
    EXPECT_GT(message.size(), QString("Cannot create file \"" + path + "\". ").size())
        << "the reason follows";
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

    // A folder where the file should be: nothing is written beside it either.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.csv"));
    EXPECT_FALSE(saveGridCsv(dir.filePath("taken.csv"), TextGrid(1, 3)).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList({"taken.csv"}));
}

} // namespace

TEST(GridCsv, FilterShowsTheTitleAndTheRowsHoldingTheText) {
    TextGrid grid(3, 5);
    const char* const rows[5][3] = {{"Num.", "EventLog", "Action"},
                                    {"1", "05#Module Exit", "Set"},
                                    {"2", "Utility Fail", "Set"},
                                    {"3", "05#module exit", "Clear"},
                                    {"", "", ""}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 3; ++c) grid.set(c, r, QString::fromLatin1(rows[r][c]));
    const struct {
        const char* filter;
        QVector<bool> shown;
    } cases[] = {
        {"", {true, true, true, true, true}},
        {"  ", {true, true, true, true, true}},
        {"module", {true, true, false, true, false}},
        {"clear", {true, false, false, true, false}},
        {"Num.", {true, false, false, false, false}}, // the title row is no record
        {"zzz", {true, false, false, false, false}},
    };
    for (const auto& c : cases) EXPECT_EQ(rowsMatching(grid, QString::fromLatin1(c.filter)), c.shown) << c.filter;
}
