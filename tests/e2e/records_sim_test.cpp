// The record pages against the virtual UPS over a pseudo-terminal: the history page and the S-code
// tab must show every record the UPS holds, each exactly as the UPS encoded it, while the line
// damages some replies on the way. Every wait is on a condition with a generous bound.

#include "SimHarness.h"
#include "records/GridCsv.h"
#include "records/RecordDecode.h"
#include "records/widgets/RecordPages.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

constexpr int kWaitMs = 120'000;
constexpr int kBaud38400Item = 6;

class RecordsOnSim : public ::testing::Test {
  protected:
    std::unique_ptr<SimHarness> harness;
    AppContext context;
    QWidget window;
    RecordPage* history = nullptr;
    RecordPage* scode = nullptr;
    QString skipReason;

    bool start(int upsModel, Protocol protocol) {
        SimConfig config;
        config.upsModel = upsModel;
        config.protocol = protocol;
        config.baud = 38400;
        config.historyEvents = 0;
        config.scodeRecords = 0;
        harness = std::make_unique<SimHarness>(config);
        if (!harness->startSimulator(&skipReason)) return false;
        context.scheduler = &harness->scheduler();
        history = qobject_cast<RecordPage*>(createRecordsPage(7, context, &window));
        scode = qobject_cast<RecordPage*>(createRecordsPage(8, context, &window));
        return history && scode;
    }
    void connectAndWait(int upsModel, Protocol protocol) {
        ASSERT_EQ(harness->connect(upsModel + 1, kBaud38400Item, protocol), ConnectResult::Connected);
        // The settings first: system code 1 decides where the unit number goes.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return harness->scheduler().linkOk() && !harness->scheduler().justConnected() &&
                       harness->scheduler().activity() == ActIdle;
            },
            kWaitMs));
    }
    QString cell(const char* grid, int row, int column = 0) {
        QTableWidgetItem* item = window.findChild<QTableWidget*>(grid)->item(row, column);
        return item ? item->text() : QString();
    }
};

#define START_OR_SKIP(model, protocol)                                                                       \
    do {                                                                                                     \
        if (!start(model, protocol)) GTEST_SKIP() << "no pseudo-terminal: " << skipReason.toStdString();     \
    } while (0)

TEST_F(RecordsOnSim, HistoryPageShowsEveryRecordThroughDamagedReplies) {
    START_OR_SKIP(1, Protocol::Ascii);
    constexpr int kRecords = 60;
    const QVector<HistoryEvent> log = harness->fromUps<QVector<HistoryEvent>>([](VirtualUps& ups) {
        ups.history().clear();
        for (const HistoryEvent& e : historyCatalogue(ups.profile(), kRecords, ups.clock().now(), 3'600'000))
            ups.history().append(e);
        return ups.history().items();
    });
    connectAndWait(1, Protocol::Ascii);
    const bool unitAfterName = harness->scheduler().settings().SettingData[329] & 0x10;
    harness->simulator().withUps([](VirtualUps& ups) {
        ups.faults().add(FaultKind::Checksum, 7);
        ups.faults().add(FaultKind::Truncate, 11);
    });

    window.findChild<QPushButton*>("ButtonDownload")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !history->job().running(); }, kWaitMs));
    EXPECT_EQ(history->job().recordsRead(), kRecords);
    EXPECT_EQ(window.findChild<QPushButton*>("ButtonDownload")->text(), "Download");

    const UpsProfile& profile = profileFor(1);
    for (int n = 1; n <= kRecords; ++n) {
        const auto bytes = encodeHistoryRecord(profile, log[n - 1]);
        HistoryBytes r;
        std::copy(bytes.begin(), bytes.end(), r.begin());
        const QStringList expected = historyRowCells(n, r, 1, 1, unitAfterName);
        for (int c = 0; c < expected.size(); ++c)
            ASSERT_EQ(cell("StringGridHislog", n, c), expected[c]) << "record " << n << " column " << c;
    }
    EXPECT_EQ(cell("StringGridHislog", kRecords + 1), "");
}

TEST_F(RecordsOnSim, SCodeTabShowsEveryRecordThroughNoise) {
    START_OR_SKIP(2, Protocol::Rtu);
    constexpr int kRecords = 30;
    const QVector<SCodeRecord> log = harness->fromUps<QVector<SCodeRecord>>([](VirtualUps& ups) {
        ups.scodes().clear();
        for (const SCodeRecord& r : scodeCatalogue(kRecords, ups.clock().now()))
            ups.scodes().append(r);
        return ups.scodes().items();
    });
    connectAndWait(2, Protocol::Rtu);
    harness->simulator().withUps([](VirtualUps& ups) { ups.faults().add(FaultKind::Garbage, 6); });

    window.findChild<QPushButton*>("ButtonSCodeDownload")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !scode->job().running(); }, kWaitMs));
    EXPECT_EQ(scode->job().recordsRead(), kRecords);
    for (int n = 1; n <= kRecords; ++n) {
        const auto bytes = encodeSCodeRecord(log[n - 1], kRecords);
        SCodeBytes r;
        std::copy(bytes.begin(), bytes.end(), r.begin());
        const QStringList rows = scodeRowTexts(n, r);
        for (int i = 0; i < kSCodeRowsPerRecord; ++i)
            ASSERT_EQ(cell("StringGridSCode", 9 * (n - 1) + i), rows[i]) << "record " << n << " row " << i;
    }
    EXPECT_EQ(cell("StringGridSCode", 9 * kRecords), "");
}

} // namespace
