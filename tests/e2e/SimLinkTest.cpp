// The tool's link against the virtual UPS over a pseudo-terminal: a real QSerialPort, the real
// scheduler ticked by a 50 ms timer, the simulator in its own thread. Every wait is on a condition
// with a generous bound.

#include "SimHarness.h"
#include "link/LinkTypes.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

constexpr int kWaitMs = 30'000;
constexpr int kBaud9600Item = 3;

SimConfig simConfig(Protocol protocol, int model = 1, int baud = 9600) {
    SimConfig c;
    c.protocol = protocol;
    c.upsModel = model;
    c.baud = baud;
    return c;
}

#define START_OR_SKIP(h)                                                                                     \
    do {                                                                                                     \
        QString why;                                                                                         \
        if (!(h).startSimulator(&why)) GTEST_SKIP() << "no pseudo-terminal here: " << why.toStdString();     \
    } while (0)

class SimLink : public ::testing::TestWithParam<Protocol> {};

INSTANTIATE_TEST_SUITE_P(Framings, SimLink, ::testing::Values(Protocol::Ascii, Protocol::Rtu),
                         [](const auto& info) { return info.param == Protocol::Rtu ? "Rtu" : "Ascii"; });

TEST_P(SimLink, FixedRateFillsEveryStore) {
    SimHarness h(simConfig(GetParam()));
    START_OR_SKIP(h);
    h.simulator().withUps([](VirtualUps& ups) { ups.plant().setUnitFault(2, 4, true); }); // fan, module 2
    ASSERT_EQ(h.connect(2, kBaud9600Item, GetParam()), ConnectResult::Connected);
    const LiveStores& live = h.scheduler().live();
    // The module fault block is polled from the cycle after the one that found the modules.
    ASSERT_TRUE(QTest::qWaitFor([&] { return live.ModuleStatus[3075] == 0x0008; }, kWaitMs));
    EXPECT_TRUE(h.scheduler().linkOk());
    EXPECT_EQ(live.LiveData[78], 2);
    EXPECT_NEAR(live.LiveData[25], 2200, 50);
    EXPECT_NEAR(live.LiveData[56], 1000, 5) << "battery full";
    EXPECT_EQ(live.LiveStatus[81], 1);
    EXPECT_EQ(live.LiveStatus[120], 0x000F);
    EXPECT_EQ(live.modules.count, 4);
    EXPECT_EQ(live.ModuleData[2000], live.modules.selected);
    EXPECT_GT(live.ModuleData[2001], 2000);
    EXPECT_GT(live.ModuleData[2073], 0) << "second module block";
    // The settings blocks hold what the UPS holds (the clock words move, so they are left out).
    const RegisterStore& data = h.scheduler().settings().SettingData;
    const QVector<uint16_t> ups = h.fromUps<QVector<uint16_t>>([](VirtualUps& u) {
        QVector<uint16_t> v;
        for (int reg = 301; reg <= 480; ++reg)
            v.append(u.settings().value(reg));
        return v;
    });
    for (int reg = 301; reg <= 480; ++reg) {
        const bool read = (reg <= 335) || (reg >= 361 && reg <= 390) || reg >= 421;
        if (!read || (reg >= 424 && reg <= 426)) continue;
        EXPECT_EQ(data[reg], ups[reg - 301]) << "setting " << reg;
    }
}

TEST_P(SimLink, SettingsAreDownloadedBeforeTheFirstLiveCycle) {
    SimHarness h(simConfig(GetParam()));
    START_OR_SKIP(h);
    QVector<QString> order;
    QObject::connect(&h.scheduler(), &UpsSession::settingsDownloaded, [&] { order.append("settings"); });
    QObject::connect(&h.scheduler(), &UpsSession::liveCycleEnded, [&] { order.append("cycle"); });
    ASSERT_EQ(h.connect(2, kBaud9600Item, GetParam()), ConnectResult::Connected);
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() >= 2; }, kWaitMs));
    EXPECT_EQ(order.first(), "settings");
    EXPECT_EQ(h.scheduler().settings().SettingData[312], 100) << "battery Ah of this model";
    EXPECT_EQ(h.scheduler().settings().SettingData[427], ('Z' << 8) | 'A') << "type text";
}

TEST_P(SimLink, AutoBaudProbesInOrderAndFindsTheUpsAt19200) {
    SimHarness h(simConfig(GetParam(), 1, 19200));
    START_OR_SKIP(h);
    QSignalSpy found(&h.scheduler(), &UpsSession::baudFound);
    QSignalSpy downloaded(&h.scheduler(), &UpsSession::settingsDownloaded);
    ASSERT_EQ(h.connect(2, kBaudAutoItem, GetParam()), ConnectResult::Connected);
    ASSERT_TRUE(QTest::qWaitFor([&] { return found.count() > 0; }, kWaitMs));
    EXPECT_EQ(found.first().first().toInt(), 5) << "ComboBox1 item of 19200";
    EXPECT_EQ(h.scheduler().baudValue(), 19200);
    EXPECT_EQ(h.scheduler().replyTimeout(), 6);
    // What the simulator saw on its side of the line: the rates the tool's port really took.
    const QVector<int> rates = h.fromUps<QVector<int>>([](VirtualUps& u) { return u.stats().lineRates; });
    EXPECT_EQ(rates, (QVector<int>{9600, 14400, 4800, 19200}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return downloaded.count() > 0; }, kWaitMs))
        << "settings after the search";
    EXPECT_EQ(h.scheduler().settings().SettingData[312], 100);
}

TEST(SimLinkModel, AutoModelDetectsEveryModelCode) {
    for (int model = 0; model <= 8; ++model) {
        SimHarness h(simConfig(Protocol::Ascii, model, 38400));
        START_OR_SKIP(h);
        QSignalSpy detected(&h.scheduler(), &UpsSession::modelDetected);
        ASSERT_EQ(h.connect(0, 6, Protocol::Ascii), ConnectResult::Connected);
        ASSERT_TRUE(QTest::qWaitFor([&] { return detected.count() > 0; }, kWaitMs)) << "model " << model;
        const int code = modelCodeFor(model);
        EXPECT_EQ(detected.first().first().toInt(), detectModel(code).comboItem) << "model " << model;
        EXPECT_EQ(h.scheduler().upsModel(), model);
        EXPECT_FALSE(h.scheduler().autoModelPending());
    }
}

TEST(SimLinkModel, ModelCodeZeroDropsTheConnection) {
    SimConfig c = simConfig(Protocol::Rtu, 1, 38400);
    c.modelCode = 0;
    SimHarness h(c);
    START_OR_SKIP(h);
    QSignalSpy rejected(&h.scheduler(), &UpsSession::modelRejected);
    ASSERT_EQ(h.connect(0, 6, Protocol::Rtu), ConnectResult::Connected);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rejected.count() > 0; }, kWaitMs));
    EXPECT_FALSE(h.scheduler().portOpen());
    EXPECT_FALSE(h.scheduler().connected());
    EXPECT_EQ(h.scheduler().live().LiveData[25], 0) << "stores cleared";
}

TEST_P(SimLink, WriteSequenceIsReadBack) {
    SimHarness h(simConfig(GetParam(), 1, 19200));
    START_OR_SKIP(h);
    QSignalSpy downloaded(&h.scheduler(), &UpsSession::settingsDownloaded);
    ASSERT_EQ(h.connect(2, 5, GetParam()), ConnectResult::Connected);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return downloaded.count() == 1 && h.scheduler().activity() == ActIdle; }, kWaitMs));
    const RegisterStore& data = h.scheduler().settings().SettingData;
    ASSERT_EQ(data[318], 12);
    // 99 h of boost time is more than the UPS takes: it refuses that one entry.
    ASSERT_TRUE(h.scheduler().startWriteSequence({{312, 150}, {387, 45}, {318, 99}, {301, 2}}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return downloaded.count() == 2; }, kWaitMs));
    EXPECT_EQ(data[312], 150);
    EXPECT_EQ(data[387], 45);
    EXPECT_EQ(data[318], 12) << "refused, so the read-back shows the old value";
    EXPECT_EQ(data[301], 2);
    EXPECT_EQ(h.fromUps<int>([](VirtualUps& u) { return u.settings().value(312); }), 150);
}

TEST_P(SimLink, CommandChangesAStatusWord) {
    SimHarness h(simConfig(GetParam(), 4, 19200));
    START_OR_SKIP(h);
    ASSERT_EQ(h.connect(5, 5, GetParam()), ConnectResult::Connected);
    const LiveStores& live = h.scheduler().live();
    ASSERT_TRUE(QTest::qWaitFor([&] { return live.LiveStatus[81] == 1; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.scheduler().activity() == ActIdle; }, kWaitMs));
    ASSERT_TRUE(h.scheduler().startControlCommand(354, 0x00FF)); // transfer to bypass
    ASSERT_TRUE(QTest::qWaitFor([&] { return live.LiveStatus[81] == 2; }, kWaitMs));
    EXPECT_EQ(live.LiveStatus[106], 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.scheduler().activity() == ActIdle; }, kWaitMs));
    ASSERT_TRUE(h.scheduler().startControlCommand(354, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return live.LiveStatus[81] == 1; }, kWaitMs));
    EXPECT_EQ(live.LiveStatus[106], 0);
}

TEST_P(SimLink, SilentUpsLosesTheLinkAndComesBackWithoutReconnecting) {
    SimHarness h(simConfig(GetParam(), 1, 19200));
    START_OR_SKIP(h);
    ASSERT_EQ(h.connect(2, 5, GetParam()), ConnectResult::Connected);
    const LiveStores& live = h.scheduler().live();
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.scheduler().linkOk() && live.LiveData[78] == 2; }, kWaitMs));
    QSignalSpy cleared(&h.scheduler(), &UpsSession::liveStoresCleared);
    h.simulator().withUps([](VirtualUps& u) {
        ScenarioEvent e;
        QString error;
        ASSERT_TRUE(parseEvent("0s silent 5s", &e, &error));
        u.apply(e);
    });
    const int silentFrom = h.ticks();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.scheduler().linkOk(); }, kWaitMs));
    // The receive watchdog: 60 ticks after the last character, which came before the silence.
    EXPECT_LE(h.ticks() - silentFrom, kWatchdogTicks + 2);
    EXPECT_GE(cleared.count(), 1);
    EXPECT_EQ(live.LiveData[78], 0);
    EXPECT_EQ(live.LiveStatus[81], 0);
    EXPECT_TRUE(h.scheduler().connected());
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.scheduler().linkOk() && live.LiveData[78] == 2; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return live.LiveStatus[81] == 1; }, kWaitMs));
    EXPECT_TRUE(h.scheduler().portOpen());
}

} // namespace
