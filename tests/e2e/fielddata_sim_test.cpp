// Field data against the virtual UPS: a snapshot saved from it loads back offline, and its settings
// copy onto a UPS of the same type through the write sequence; a UPS of another type, or a value the
// pages would refuse, gets nothing at all.

#include "SimHarness.h"
#include "settings/FieldDataRestore.h"
#include "settings/widgets/FieldDataPanel.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

constexpr int kWaitMs = 30'000;
constexpr int kBaud9600Item = 3;
constexpr int EN = 1;
const QDateTime kNow(QDate(2026, 12, 10), QTime(14, 0));

// The panel's questions, answered by the test.
class AnsweringDialogs : public FieldDataDialogs {
  public:
    QString openName;
    bool answer = false;
    QStringList messages, questions;
    void askSave(QWidget*, const QString&, const QString&, std::function<void(const QString&, int)>) override {}
    void askOpen(QWidget*, const QString&, const QString&, std::function<void(const QString&)> chosen) override {
        chosen(openName);
    }
    void message(QWidget*, const QString& text) override { messages << text; }
    std::function<void(bool)> pending; // set when `defer`: the test answers later
    bool defer = false;
    void confirm(QWidget*, const QString& text, std::function<void(bool)> ok) override {
        questions << text;
        if (defer) pending = std::move(ok);
        else ok(answer);
    }
};

class FieldDataOnSim : public ::testing::Test {
  protected:
    std::unique_ptr<SimHarness> harness;
    std::unique_ptr<QSignalSpy> downloads, cycles, writes;
    QTemporaryDir dir;
    int model = 5;

    void start(int m) {
        model = m;
        SimConfig config;
        config.upsModel = m;
        config.protocol = Protocol::Rtu;
        harness = std::make_unique<SimHarness>(config);
        QString why;
        if (!harness->startSimulator(&why)) GTEST_SKIP() << why.toStdString();
        downloads = std::make_unique<QSignalSpy>(&harness->scheduler(), &UpsSession::settingsDownloaded);
        cycles = std::make_unique<QSignalSpy>(&harness->scheduler(), &UpsSession::liveCycleEnded);
        writes = std::make_unique<QSignalSpy>(&harness->scheduler(), &UpsSession::writeSequenceEnded);
        ASSERT_EQ(harness->connect(m + 1, kBaud9600Item, Protocol::Rtu), ConnectResult::Connected);
        // Both signals also come at the end of unanswered rounds: wait for the stores to hold the UPS's
        // own values (the unit count is never 0, the type code neither).
        const UpsSession& sch = harness->scheduler();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return sch.linkOk() && sch.live().LiveData[78] != 0 && sch.settings().SettingData[302] != 0; },
            kWaitMs));
    }
    FieldSnapshot snapshot() {
        FieldSnapshot s;
        s.takeLive(harness->scheduler().live());
        s.SettingData = harness->scheduler().settings().SettingData;
        s.version = QStringLiteral("Version 1.92_EC");
        return s;
    }
    QString save(const FieldSnapshot& s) {
        const QString path = dir.filePath(QStringLiteral("UPSFieldData.xlsx"));
        EXPECT_EQ(FieldDataWorkbook::save(path, s, EN, model), QString());
        return path;
    }
    TransferPlan plan(const QString& path) {
        const UpsSession& sch = harness->scheduler();
        return planSettingsTransfer(FieldDataWorkbook::settingsOf(FieldDataWorkbook::read(path), sch.settings().SettingData),
                                    sch.live().LiveData[78], sch.settings().SettingData, model, EN, kNow);
    }
    // Runs the write sequence and its read-back; the results of the writes.
    QVector<WriteResult> run(const TransferPlan& p) {
        const int before = int(downloads->count());
        EXPECT_TRUE(harness->scheduler().startWriteSequence(p.entries));
        EXPECT_TRUE(QTest::qWaitFor([&] { return writes->count() >= 1 && downloads->count() > before; }, kWaitMs));
        return writes->isEmpty() ? QVector<WriteResult>() : writes->takeFirst().at(0).value<QVector<WriteResult>>();
    }
    uint16_t ups(int reg) { return harness->fromUps<uint16_t>([reg](VirtualUps& u) { return u.settings().value(reg); }); }
};

} // namespace

TEST_F(FieldDataOnSim, ASnapshotLoadsBackOfflineAndAnIdenticalOneSendsNothing) {
    start(5);
    const FieldSnapshot saved = snapshot();
    const QString path = save(saved);
    FieldSnapshot loaded;
    ASSERT_TRUE(loadFieldFile(path, loaded).ok());
    EXPECT_EQ(loaded, saved);

    const TransferPlan p = plan(path);
    ASSERT_TRUE(p.ok()) << p.refusal.toStdString();
    EXPECT_EQ(p.entries.size(), 180);
    EXPECT_EQ(p.changes, 0);
    for (const WriteResult& r : run(p)) EXPECT_EQ(r.outcome, WriteOutcome::Unchanged) << r.reg;
}

TEST_F(FieldDataOnSim, AChangedSettingIsWrittenAndReadBackAndAValueOutOfRangeStopsEverything) {
    start(5);
    FieldSnapshot s = snapshot();
    const uint16_t mode = s.SettingData[331];
    s.SettingData.set(331, uint16_t(mode == 5 ? 6 : 5)); // UPS mode, 0..1023
    const TransferPlan good = plan(save(s));
    ASSERT_TRUE(good.ok()) << good.refusal.toStdString();
    EXPECT_EQ(good.changes, 1);
    EXPECT_TRUE(good.entries.contains(WriteEntry{331, s.SettingData[331]}));
    const QVector<WriteResult> results = run(good);
    for (const WriteResult& r : results)
        EXPECT_EQ(r.outcome, r.reg == 331 ? WriteOutcome::Accepted : WriteOutcome::Unchanged) << r.reg;
    EXPECT_EQ(ups(331), s.SettingData[331]);
    EXPECT_EQ(harness->scheduler().settings().SettingData[331], s.SettingData[331]);

    s.SettingData.set(331, 2000); // beyond what the page takes
    s.SettingData.set(381, uint16_t(s.SettingData[381] + 1));
    const TransferPlan bad = plan(save(s));
    EXPECT_FALSE(bad.ok());
    EXPECT_TRUE(bad.entries.isEmpty());
    EXPECT_TRUE(bad.refusal.startsWith(QLatin1String("Check the value, please!"))) << bad.refusal.toStdString();
    EXPECT_NE(ups(331), 2000);
}

TEST_F(FieldDataOnSim, AWorkbookFromAnotherUpsTypeIsRefused) {
    start(5);
    FieldSnapshot s = snapshot();
    s.LiveData.set(78, uint16_t(s.LiveData[78] + 1));
    s.SettingData.set(331, uint16_t(s.SettingData[331] == 5 ? 6 : 5));
    const TransferPlan p = plan(save(s));
    EXPECT_EQ(p.refusal, QStringLiteral("ups type error"));
    EXPECT_TRUE(p.entries.isEmpty());
}

// Restore Data with the port open shows what will change and sends nothing until the user confirms.
TEST_F(FieldDataOnSim, TheWindowsTransferAsksFirstAndSendsOnlyOnConfirmation) {
    start(5);
    FieldSnapshot s = snapshot();
    const uint16_t mode = s.SettingData[331];
    const uint16_t wanted = mode == 5 ? 6 : 5;
    s.SettingData.set(331, wanted);
    AnsweringDialogs dialogs;
    dialogs.openName = save(s);
    AppContext context{&harness->scheduler(), EN, nullptr};
    FieldDataPanel panel(context);
    panel.setDialogs(&dialogs);
    panel.setClock([] { return kNow; });

    dialogs.answer = false;
    panel.resumeClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.questions.isEmpty(); }, kWaitMs)); // read off the GUI thread
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains(
        QStringLiteral("331 %1: %2 -> %3").arg(fieldRegisterName(331, EN, model)).arg(mode).arg(wanted)))
        << dialogs.questions[0].toStdString();
    EXPECT_EQ(harness->scheduler().writeJob().state(), JobIdle); // cancelled: no sequence started

    dialogs.answer = true;
    panel.resumeClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.questions.size() == 2; }, kWaitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ups(331) == wanted; }, kWaitMs));
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join(u'\n').toStdString();
}

// The question may stay open while the UPS's settings change: what was confirmed is then not sent.
TEST_F(FieldDataOnSim, AConfirmationAfterTheSettingsChangedSendsNothing) {
    start(5);
    FieldSnapshot s = snapshot();
    const uint16_t mode = s.SettingData[331];
    s.SettingData.set(331, uint16_t(mode == 5 ? 6 : 5));
    AnsweringDialogs dialogs;
    dialogs.openName = save(s);
    dialogs.defer = true;
    AppContext context{&harness->scheduler(), EN, nullptr};
    FieldDataPanel panel(context);
    panel.setDialogs(&dialogs);
    panel.setClock([] { return kNow; });
    panel.resumeClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(dialogs.pending); }, kWaitMs));
    RegisterStore& held = harness->scheduler().settings().SettingData; // as after a new settings download
    held.set(383, uint16_t(held[383] + 1));
    dialogs.pending(true);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("The UPS settings changed while the question was open")) << dialogs.messages[0].toStdString();
    EXPECT_EQ(harness->scheduler().writeJob().state(), JobIdle);
    EXPECT_EQ(ups(331), mode);
}
