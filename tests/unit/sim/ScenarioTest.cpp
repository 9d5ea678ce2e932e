// Scenario files and flags: parsing, and events taking effect at their time.

#include "Scenario.h"
#include "SimRequests.h"
#include "VirtualUps.h"

#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

TEST(SimScenario, DurationsInEveryUnit) {
    EXPECT_EQ(parseDuration("500ms"), 500);
    EXPECT_EQ(parseDuration("10s"), 10'000);
    EXPECT_EQ(parseDuration("1.5s"), 1500);
    EXPECT_EQ(parseDuration("2m"), 120'000);
    EXPECT_EQ(parseDuration("1h"), 3'600'000);
    EXPECT_EQ(parseDuration("7"), 7000);
    EXPECT_EQ(parseDuration("-1s"), -1);
    EXPECT_EQ(parseDuration("10x"), -1);
    EXPECT_EQ(parseDuration(""), -1);
}

TEST(SimScenario, EventLines) {
    struct Case {
        const char* line;
        qint64 at;
        EventKind kind;
        int number;
        qint64 duration;
    };
    const Case cases[] = {
        {"at 10s utility-fail", 10'000, EventKind::UtilityFail, 0, kForever},
        {"40s battery-low", 40'000, EventKind::BatteryLow, 0, kForever},
        {"at 5s module 3 remove", 5000, EventKind::ModuleRemove, 3, kForever},
        {"at 20s silent 5s", 20'000, EventKind::Silent, 0, 5000},
        {"at 1m load 80", 60'000, EventKind::Load, 80, kForever},
        {"at 3s fault checksum every 3 for 10s", 3000, EventKind::Fault, 0, 10'000},
        {"at 0s baud 19200", 0, EventKind::Baud, 19200, kForever},
        {"at 2s model-code 0", 2000, EventKind::ModelCode, 0, kForever},
    };
    for (const Case& c : cases) {
        ScenarioEvent e;
        QString error;
        ASSERT_TRUE(parseEvent(c.line, &e, &error)) << c.line << ": " << error.toStdString();
        EXPECT_EQ(e.atMs, c.at) << c.line;
        EXPECT_EQ(e.kind, c.kind) << c.line;
        EXPECT_EQ(e.number, c.number) << c.line;
        EXPECT_EQ(e.durationMs, c.duration) << c.line;
    }
    ScenarioEvent e;
    ASSERT_TRUE(parseEvent("at 1s module 2 fault 4", &e, nullptr));
    EXPECT_EQ(e.item, 4);
    ASSERT_TRUE(parseEvent("at 1s fault truncate", &e, nullptr));
    EXPECT_EQ(e.fault, FaultKind::Truncate);
    EXPECT_EQ(e.every, 1);
    ASSERT_TRUE(parseEvent("at 1s delay 300ms for 2s", &e, nullptr));
    EXPECT_EQ(e.delayMs, 300);
}

TEST(SimScenario, BadLinesSayWhatIsWrongAndWhere) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"at 10s utility-fial", "line 1: unknown event 'utility-fial'"},
        {"# ok\n\nat ten utility-fail", "line 3: bad time 'ten'"},
        {"at 5s module 31 remove", "line 1: module needs a number 1-30 and an action"},
        {"at 5s module 3 explode", "line 1: unknown module action 'explode'"},
        {"at 5s silent", "line 1: silent needs a duration"},
        {"at 5s load 250", "line 1: load needs a percent 0-200"},
        {"at 5s fault sparks",
         "line 1: fault needs a kind: checksum, byte-count, truncate, exception, garbage"},
        {"at 5s utility-fail now", "line 1: unexpected 'now'"},
        {"at 5s", "line 1: expected 'at TIME EVENT'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseScenario(c.text).error, c.error) << c.text;
}

TEST(SimScenario, FileEventsComeInTimeOrder) {
    const ScenarioParse p =
        parseScenario("at 60s utility-restore\n# comment\nat 10s utility-fail\nat 40s battery-low\n");
    ASSERT_TRUE(p.ok());
    ASSERT_EQ(p.scenario.events.size(), 3);
    EXPECT_EQ(p.scenario.events[0].kind, EventKind::UtilityFail);
    EXPECT_EQ(p.scenario.events[2].kind, EventKind::UtilityRestore);
}

class SimScenarioRun : public ::testing::Test {
  protected:
    void schedule(const char* text) {
        const ScenarioParse p = parseScenario(text);
        ASSERT_TRUE(p.ok()) << p.error.toStdString();
        ups.schedule(p.scenario, 0);
    }
    uint16_t status(int reg) { return readRegister(ups, fn::ReadInput, uint16_t(reg)); }
    VirtualUps ups{};
};

TEST_F(SimScenarioRun, UtilityFailureBatteryLowAndRestoreAtTheirTimes) {
    schedule("at 10s utility-fail\nat 40s battery-low\nat 60s utility-restore\n");
    ups.advanceTo(9999);
    EXPECT_EQ(status(88), 0);
    ups.advanceTo(10'000);
    EXPECT_EQ(status(88), 1);
    EXPECT_EQ(status(82), 3);
    EXPECT_EQ(status(107), 0);
    ups.advanceTo(40'000);
    EXPECT_EQ(status(107), 1);
    ups.advanceTo(60'000);
    EXPECT_EQ(status(88), 0);
    EXPECT_EQ(status(107), 0);
    EXPECT_EQ(status(82), 2);
}

TEST_F(SimScenarioRun, EventsPassedInOneLongStepAllHappenInOrder) {
    schedule("at 5s module 3 remove\nat 6s module 3 insert\nat 7s module 4 remove\n");
    const int before = ups.history().count();
    ups.advanceTo(60'000);
    EXPECT_EQ(readBlock(ups, fn::ReadInput, 119, 2), (QVector<uint16_t>{0, 0x0007}));
    ASSERT_EQ(ups.history().count(), before + 3);
    EXPECT_EQ(ups.history().at(before + 1).code, event::ModuleExit);
    EXPECT_EQ(ups.history().at(before + 1).unit, 3);
    EXPECT_EQ(ups.history().at(before + 2).code, event::ModuleInserted);
    EXPECT_EQ(ups.history().at(before + 1).calendar.time(), QTime(8, 0, 5));
}

TEST_F(SimScenarioRun, SilentWindowHearsNothingAndThenAnswersAgain) {
    schedule("at 20s silent 5s\n");
    const QByteArray request = blockReadRequest(Protocol::Ascii, 1, fn::ReadHolding, 1, 80);
    ups.advanceTo(19'999);
    EXPECT_FALSE(exchange(ups, request).isEmpty());
    ups.advanceTo(20'000);
    EXPECT_TRUE(exchange(ups, request).isEmpty());
    // A command sent meanwhile never reaches the UPS.
    EXPECT_TRUE(
        exchange(ups, oneRegisterRequest(Protocol::Ascii, 1, fn::ControlCommand, 354, 0xFF)).isEmpty());
    ups.advanceTo(24'999);
    EXPECT_TRUE(exchange(ups, request).isEmpty());
    ups.advanceTo(25'000);
    EXPECT_FALSE(exchange(ups, request).isEmpty());
    EXPECT_EQ(status(81), 1);
}

TEST_F(SimScenarioRun, ScheduledAtRunTimeCountsFromNow) {
    ups.advanceTo(100'000);
    const ScenarioParse p = parseScenario("at 2s model-code 0\n");
    ups.schedule(p.scenario);
    ups.advanceTo(101'999);
    EXPECT_EQ(readRegister(ups, fn::ReadHolding, 78), 2);
    ups.advanceTo(102'000);
    EXPECT_EQ(readRegister(ups, fn::ReadHolding, 78), 0);
}

} // namespace
