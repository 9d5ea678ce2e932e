// `zavctl history` and `zavctl scodes` against the virtual UPS over a pseudo-terminal: the CSV on
// stdout is byte for byte what the page's Save writes, and a UPS that falls silent part-way gives
// a failure exit with what was read so far.

#include "SimHarness.h"
#include "records/GridCsv.h"
#include "records/widgets/RecordDialogs.h"
#include "records/widgets/RecordPages.h"

#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

constexpr int kWaitMs = 120'000;
constexpr int kBaud38400Item = 6;
const QString kZavctl = QStringLiteral(ZAV_BINARY_DIR "/zavctl");

struct SaveTo : RecordDialogs {
    QString path;
    void askSaveFile(QWidget*, const QString&, const QString&, const QString&,
                     std::function<void(const QString&)> chosen) override {
        chosen(path);
    }
    void warn(QWidget*, const QString&, const QString&) override {}
    void error(QWidget*, const QString&) override {}
};

class ZavctlRecords : public ::testing::Test {
  protected:
    std::unique_ptr<SimHarness> harness;
    QString skipReason;

    bool start(int records, int scodes = 12) {
        SimConfig config;
        config.upsModel = 1;
        config.protocol = Protocol::Rtu;
        config.baud = 38400;
        config.historyEvents = 0;
        config.scodeRecords = 0;
        harness = std::make_unique<SimHarness>(config);
        if (!QFile::exists(kZavctl)) {
            skipReason = "zavctl is not built";
            return false;
        }
        if (!harness->startSimulator(&skipReason)) return false;
        harness->simulator().withUps([records, scodes](VirtualUps& ups) {
            ups.history().clear();
            for (const HistoryEvent& e : historyCatalogue(ups.profile(), records, ups.clock().now(), 7200))
                ups.history().append(e);
            ups.scodes().clear();
            for (const SCodeRecord& r : scodeCatalogue(scodes, ups.clock().now()))
                ups.scodes().append(r);
        });
        return true;
    }
    int zavctl(const QStringList& args, QByteArray* out, QByteArray* err) {
        QProcess p;
        p.start(kZavctl, args + QStringList{"--port", harness->simulator().devicePath(), "--baud", "38400",
                                            "--proto", "rtu", "--model", "1", "--timeout", "100"});
        EXPECT_TRUE(p.waitForFinished(kWaitMs));
        *out = p.readAllStandardOutput();
        *err = p.readAllStandardError();
        return p.exitCode();
    }
    // The same log downloaded and saved with the page.
    QByteArray pageSave(int index, const char* button, const QString& language = "en") {
        AppContext context;
        context.scheduler = &harness->scheduler();
        context.language = language == "chs" ? 0 : 1;
        QWidget window;
        auto* page = qobject_cast<RecordPage*>(createRecordsPage(index, context, &window));
        QTemporaryDir dir;
        SaveTo dialogs;
        dialogs.path = dir.filePath("saved.csv");
        page->setDialogs(&dialogs);
        if (!harness->scheduler().portOpen()) {
            EXPECT_EQ(harness->connect(2, kBaud38400Item, Protocol::Rtu), ConnectResult::Connected);
        }
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return harness->scheduler().linkOk() && !harness->scheduler().justConnected() &&
                       harness->scheduler().activity() == ActIdle;
            },
            kWaitMs));
        window.findChild<QPushButton*>(button)->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !page->job().running(); }, kWaitMs));
        page->saveClick();
        QFile saved(dialogs.path);
        EXPECT_TRUE(saved.open(QIODevice::ReadOnly));
        return saved.readAll();
    }
};

TEST_F(ZavctlRecords, WritesTheBytesOfThePagesSave) {
    if (!start(20)) GTEST_SKIP() << skipReason.toStdString();
    QByteArray history, scodes, chinese, err;
    ASSERT_EQ(zavctl({"history"}, &history, &err), 0) << err.toStdString();
    ASSERT_EQ(zavctl({"scodes"}, &scodes, &err), 0) << err.toStdString();
    ASSERT_EQ(zavctl({"history", "--lang", "chs"}, &chinese, &err), 0) << err.toStdString();
    EXPECT_TRUE(history.startsWith("Num.,ID,EventLog,Action,DateAndTime\r\n1,0,\"Load On UPS\",Set,"));
    EXPECT_TRUE(
        chinese.startsWith(toGbk(QString::fromUtf8("序号,编号,事件,动作,时间\r\n1,0,UPS供电,发生,"))));

    EXPECT_EQ(pageSave(7, "ButtonDownload"), history);
    EXPECT_EQ(pageSave(8, "ButtonSCodeDownload"), scodes);
    EXPECT_EQ(pageSave(7, "ButtonDownload", "chs"), chinese);
}

// The log has 1000 rows: 999 history records, 111 S-code records of 9 rows. A UPS that holds more
// gets what fits written and a run that does not pass for a whole log.
TEST_F(ZavctlRecords, ALogLongerThanTheGridIsWrittenAsFarAsItFitsAndFails) {
    if (!start(1000, 200)) GTEST_SKIP() << skipReason.toStdString();
    const struct {
        const char* command;
        const char* message;
    } rows[] = {
        {"history", "history: the UPS holds 1000 records; only the first 999 fit the log and were written"},
        {"scodes", "scodes: the UPS holds 200 records; only the first 111 fit the log and were written"},
    };
    for (const auto& row : rows) {
        QByteArray out, err;
        EXPECT_EQ(zavctl({row.command}, &out, &err), 6) << row.command;
        EXPECT_TRUE(err.contains(row.message)) << err.toStdString();
        EXPECT_EQ(out.split('\n').size(), 1001) << "the whole grid is still written";
    }
}

TEST_F(ZavctlRecords, ASilentUpsPartWayFailsWithWhatWasRead) {
    if (!start(400)) GTEST_SKIP() << skipReason.toStdString();
    ScenarioEvent silent;
    QString error;
    ASSERT_TRUE(parseEvent("3s silent 100s", &silent, &error)) << error.toStdString();
    harness->simulator().withUps([&](VirtualUps& ups) { ups.schedule(Scenario{{silent}}); });
    QByteArray out, err;
    // A pause before each request keeps the download going past the moment the UPS falls silent.
    EXPECT_EQ(zavctl({"history", "--gap", "20"}, &out, &err), 3);
    EXPECT_TRUE(err.contains("history: the UPS stopped answering after ")) << err.toStdString();
    EXPECT_TRUE(err.contains("what was read is written")) << err.toStdString();
    const QList<QByteArray> lines = out.split('\n');
    ASSERT_EQ(lines.size(), 1001) << "the whole grid, ending with CR LF";
    EXPECT_TRUE(lines[1].startsWith("1,0,")) << "records before the silence are kept";
    EXPECT_EQ(lines[400], ",,,,\r") << "the log was not read to its end";
}

} // namespace
