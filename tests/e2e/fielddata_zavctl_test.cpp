// `zavctl snapshot` and `zavctl restore-settings` against the virtual UPS over a pseudo-terminal:
// the snapshot holds what the UPS holds, in the workbook and in the text file; its settings, once
// changed, go back onto the UPS and are read back; a file from another UPS type, or with a value
// the pages would refuse, writes nothing; a UPS that does not answer leaves no file.

#include "SimHarness.h"
#include "records/RecordDecode.h"
#include "settings/FieldDataRestore.h"
#include "settings/FieldDataText.h"
#include "settings/SettingsDownload.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <xlsxwriter.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

constexpr int kWaitMs = 180'000;
const QString kZavctl = QStringLiteral(ZAV_BINARY_DIR "/zavctl");

struct CtlRun {
    int code = -1;
    QByteArray out, err;
};

class ZavctlFieldData : public ::testing::Test {
  protected:
    std::unique_ptr<SimHarness> harness;
    QTemporaryDir dir;
    QString skipReason;
    int model = 0;

    bool start(int m, int history, int scodes) {
        model = m;
        SimConfig config;
        config.upsModel = m;
        config.protocol = Protocol::Rtu;
        config.baud = 38400;
        config.historyEvents = history;
        config.scodeRecords = scodes;
        harness = std::make_unique<SimHarness>(config);
        if (!QFile::exists(kZavctl)) {
            skipReason = "zavctl is not built";
            return false;
        }
        return harness->startSimulator(&skipReason);
    }
    CtlRun zavctl(const QStringList& args, const QString& address = QStringLiteral("1"), const QString& timeout = QStringLiteral("60")) {
        QProcess p;
        p.start(kZavctl, args + QStringList{"--port", harness->simulator().devicePath(), "--baud", "38400", "--proto",
                                            "rtu", "--model", QString::number(model), "--addr", address,
                                            "--timeout", timeout});
        EXPECT_TRUE(p.waitForFinished(kWaitMs));
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }
    uint16_t ups(int reg) {
        return harness->fromUps<uint16_t>([reg](VirtualUps& u) { return u.settings().value(reg); });
    }
    int count(const TextGrid& grid, int firstRow) const {
        int n = 0;
        while (!grid.at(0, firstRow + n).isEmpty()) ++n;
        return n;
    }
};

// A three-sheet workbook as another tool might write it: the type code in sheet 1 C79, the settings
// in sheet 3 (column A the register number, C the value); `wrongNumber` rows carry a wrong number.
void writeSettingsBook(const QString& path, uint16_t type, const RegisterStore& settings, const QSet<int>& wrongNumber) {
    lxw_workbook* wb = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheets[3] = {workbook_add_worksheet(wb, nullptr), workbook_add_worksheet(wb, nullptr),
                                workbook_add_worksheet(wb, nullptr)};
    worksheet_write_number(sheets[0], 78, 2, type, nullptr);
    for (int reg = 301; reg <= 480; ++reg) {
        worksheet_write_number(sheets[2], lxw_row_t(reg - 300), 0, wrongNumber.contains(reg) ? reg + 1000 : reg, nullptr);
        worksheet_write_number(sheets[2], lxw_row_t(reg - 300), 2, settings[reg], nullptr);
    }
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
}

} // namespace

TEST_F(ZavctlFieldData, ASnapshotHoldsWhatTheUpsHoldsInBothFormats) {
    if (!start(1, 25, 7)) GTEST_SKIP() << skipReason.toStdString();
    // A name ending in .xls is written as .xlsx, so that no reader is misled.
    const CtlRun book = zavctl({"snapshot", "--out", file("snap.xls")});
    ASSERT_EQ(book.code, 0) << book.err.toStdString();
    EXPECT_TRUE(book.err.contains("snap.xlsx (25 history records, 7 S-code records)")) << book.err.toStdString();
    EXPECT_FALSE(QFile::exists(file("snap.xls")));

    FieldSnapshot fromBook;
    ASSERT_TRUE(loadFieldFile(file("snap.xlsx"), fromBook).ok());
    EXPECT_EQ(fromBook.LiveData[78], harness->fromUps<uint16_t>([](VirtualUps& u) { return u.profile().modelCode; }));
    for (const Block& b : SettingsDownload::blocks())
        for (int reg = b.start; reg < b.start + b.count; ++reg) {
            if (reg >= 424 && reg <= 426) continue; // the clock moves on
            EXPECT_EQ(fromBook.SettingData[reg], ups(reg)) << reg;
        }
    EXPECT_EQ(count(fromBook.history, 1), 25);
    EXPECT_EQ(count(fromBook.scodes, 0), 7 * kSCodeRowsPerRecord);
    EXPECT_FALSE(fromBook.version.isEmpty());

    const CtlRun text = zavctl({"snapshot", "--out", file("snap.csv")});
    ASSERT_EQ(text.code, 0) << text.err.toStdString();
    QFile csv(file("snap.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().count("\r\n"), kFieldTextLines);
    FieldSnapshot fromText;
    ASSERT_TRUE(loadFieldFile(file("snap.csv"), fromText).ok());
    EXPECT_EQ(fromText.LiveData[78], fromBook.LiveData[78]);
    for (int row = 1; row < kFieldGridRows; ++row) // the text file has no title row
        for (int column = 0; column < kFieldHistoryColumns; ++column)
            ASSERT_EQ(fromText.history.at(column, row), fromBook.history.at(column, row)) << row << ',' << column;
    for (int reg = 301; reg <= 335; ++reg) EXPECT_EQ(fromText.SettingData[reg], fromBook.SettingData[reg]) << reg;
}

// Logs longer than the file's grids: what fits is written and said, and the run fails.
TEST_F(ZavctlFieldData, LogsLongerThanTheGridsAreWrittenAsFarAsTheyFitAndFail) {
    if (!start(1, 1000, 200)) GTEST_SKIP() << skipReason.toStdString();
    const CtlRun run = zavctl({"snapshot", "--out", file("long.xlsx")});
    EXPECT_EQ(run.code, 6) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("long.xlsx (999 history records, 111 S-code records)")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("snapshot: the UPS holds 1000 history records; only the first 999 fit the log and "
                                 "were written; the UPS holds 200 S-code records; only the first 111 fit"))
        << run.err.toStdString();
    FieldSnapshot book;
    ASSERT_TRUE(loadFieldFile(file("long.xlsx"), book).ok());
    EXPECT_EQ(count(book.history, 1), 999);
    // 111 records of nine rows, and the last row holds the 112th record's title, as the log page shows.
    EXPECT_EQ(count(book.scodes, 0), 111 * kSCodeRowsPerRecord + 1);
}

TEST_F(ZavctlFieldData, SettingsCopyBackOnlyFromTheSameTypeAndWithinTheRanges) {
    if (!start(5, 3, 0)) GTEST_SKIP() << skipReason.toStdString();
    ASSERT_EQ(zavctl({"snapshot", "--out", file("snap.xlsx")}).code, 0);
    FieldSnapshot s;
    ASSERT_TRUE(loadFieldFile(file("snap.xlsx"), s).ok());
    const uint16_t mode = s.SettingData[331];
    const uint16_t wanted = mode == 5 ? 6 : 5; // UPS mode, any value up to 1023

    FieldSnapshot changed = s;
    changed.SettingData.set(331, wanted);
    ASSERT_EQ(FieldDataWorkbook::save(file("changed.xlsx"), changed, 1, model), QString());
    FieldSnapshot otherType = changed;
    otherType.LiveData.set(78, uint16_t(s.LiveData[78] + 1));
    ASSERT_EQ(FieldDataWorkbook::save(file("other.xlsx"), otherType, 1, model), QString());
    FieldSnapshot outOfRange = changed;
    outOfRange.SettingData.set(331, 2000);
    ASSERT_EQ(FieldDataWorkbook::save(file("range.xlsx"), outOfRange, 1, model), QString());

    const CtlRun other = zavctl({"restore-settings", file("other.xlsx")});
    EXPECT_EQ(other.code, 5);
    EXPECT_TRUE(other.err.contains("ups type error")) << other.err.toStdString();
    const CtlRun range = zavctl({"restore-settings", file("range.xlsx")});
    EXPECT_EQ(range.code, 5);
    EXPECT_TRUE(range.err.contains("Check the value, please! Nothing was written")) << range.err.toStdString();
    EXPECT_TRUE(range.out.isEmpty());
    EXPECT_EQ(ups(331), mode);
    // A refused value is named by the refusal only, not again as a register no page sets.
    EXPECT_FALSE(range.err.contains("not copied (no page sets it): register 331")) << range.err.toStdString();

    // Values longer than their entry field takes are refused like a range: the same check as
    // `zavctl set` and the pages (the rated capacities take two and three characters).
    // Model 5 has no cabinet capacity (322): a file changing only that applies nothing, which is a
    // failure too.
    const struct {
        int reg;
        uint16_t value;
        const char* said;
    } tooLong[] = {{324, 30000, "takes at most 2 characters)"},
                   {324, 100, "takes at most 2 characters)"},
                   {322, 5000, "not copied (no page sets it): register 322 (5000)"}};
    for (const auto& c : tooLong) {
        SCOPED_TRACE(testing::Message() << c.reg << " = " << c.value);
        const uint16_t before = ups(c.reg);
        FieldSnapshot longer = s;
        longer.SettingData.set(c.reg, c.value);
        ASSERT_EQ(FieldDataWorkbook::save(file("long.xlsx"), longer, 1, model), QString());
        const CtlRun run = zavctl({"restore-settings", file("long.xlsx")});
        EXPECT_EQ(run.code, 5);
        EXPECT_TRUE(run.err.contains(c.said)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_EQ(ups(c.reg), before);
    }

    const CtlRun copy = zavctl({"restore-settings", file("changed.xlsx")});
    ASSERT_EQ(copy.code, 0) << copy.err.toStdString();
    EXPECT_EQ(copy.out, QByteArray("331,%1,written\n").replace("%1", QByteArray::number(wanted)));
    EXPECT_TRUE(copy.err.contains("1 registers sent, 0 not held by the UPS")) << copy.err.toStdString();
    EXPECT_TRUE(copy.err.contains(QStringLiteral("change: 331 %1: %2 -> %3").arg(fieldRegisterName(331, 1, model)).arg(mode).arg(wanted).toUtf8()))
        << copy.err.toStdString();
    EXPECT_EQ(ups(331), wanted);

    // A workbook is known by its content: saved under a name without an extension, it still restores.
    ASSERT_EQ(FieldDataWorkbook::save(file("UPSFieldData"), changed, 1, model), QString());
    const CtlRun bare = zavctl({"restore-settings", file("UPSFieldData")});
    EXPECT_EQ(bare.code, 0) << bare.err.toStdString();

    // Once the UPS holds the file's values, copying it again sends nothing.
    const CtlRun again = zavctl({"restore-settings", file("changed.xlsx")});
    EXPECT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.isEmpty()) << again.out.toStdString();
}

TEST_F(ZavctlFieldData, NoAnswerOrASilencePartWayLeavesNoFile) {
    if (!start(5, 3, 0)) GTEST_SKIP() << skipReason.toStdString();
    const CtlRun r = zavctl({"snapshot", "--out", file("none.xlsx")}, QStringLiteral("9"), QStringLiteral("3"));
    EXPECT_EQ(r.code, 3) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(file("none.xlsx")));
    EXPECT_EQ(zavctl({"restore-settings", file("missing.xlsx")}).code, 1);

    // Falling silent part-way through the history log: no half snapshot either.
    harness->simulator().withUps([](VirtualUps& ups) {
        ups.history().clear();
        for (const HistoryEvent& e : historyCatalogue(ups.profile(), 500, ups.clock().now(), 7200))
            ups.history().append(e);
    });
    QProcess p;
    p.start(kZavctl, {"snapshot", "--out", file("cut.xlsx"), "--port", harness->simulator().devicePath(), "--baud",
                      "38400", "--proto", "rtu", "--model", "5", "--timeout", "60"});
    // Connecting, the settings and a live cycle take a few dozen requests; by the hundredth the
    // history log is being read.
    ASSERT_TRUE(QTest::qWaitFor([&] { return harness->fromUps<int>([](VirtualUps& u) { return u.stats().frames; }) >= 100; },
                                kWaitMs));
    ScenarioEvent silent;
    QString error;
    ASSERT_TRUE(parseEvent("0s silent 100s", &silent, &error)) << error.toStdString();
    harness->simulator().withUps([&](VirtualUps& ups) { ups.schedule(Scenario{{silent}}); });
    ASSERT_TRUE(p.waitForFinished(kWaitMs));
    const CtlRun cut{p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    EXPECT_EQ(cut.code, 3) << cut.err.toStdString();
    EXPECT_TRUE(cut.err.contains("stopped answering during the history download")) << cut.err.toStdString();
    EXPECT_FALSE(QFile::exists(file("cut.xlsx")));
}

// A row of the file that is refused makes the run fail, after the rest was written; a file whose
// every row is refused writes nothing and fails.
TEST_F(ZavctlFieldData, RefusedRowsMakeTheRunFail) {
    if (!start(5, 3, 0)) GTEST_SKIP() << skipReason.toStdString();
    ASSERT_EQ(zavctl({"snapshot", "--out", file("snap.xlsx")}).code, 0);
    FieldSnapshot s;
    ASSERT_TRUE(loadFieldFile(file("snap.xlsx"), s).ok());
    const uint16_t type = s.LiveData[78];
    QSet<int> all;
    for (int reg = 301; reg <= 480; ++reg) all.insert(reg);
    writeSettingsBook(file("all-bad.xlsx"), type, s.SettingData, all);
    const CtlRun none = zavctl({"restore-settings", file("all-bad.xlsx")});
    EXPECT_EQ(none.code, 5);
    EXPECT_TRUE(none.err.contains("nothing of the file can be applied")) << none.err.toStdString();
    EXPECT_TRUE(none.out.isEmpty());

    const uint16_t mode = s.SettingData[331];
    const uint16_t wanted = mode == 5 ? 6 : 5;
    RegisterStore changed = s.SettingData;
    changed.set(331, wanted);
    writeSettingsBook(file("one-bad.xlsx"), type, changed, {381});
    const CtlRun one = zavctl({"restore-settings", file("one-bad.xlsx")});
    EXPECT_EQ(one.code, 5);
    EXPECT_TRUE(one.err.contains("1 rows of the file were refused")) << one.err.toStdString();
    EXPECT_EQ(ups(331), wanted);
}
