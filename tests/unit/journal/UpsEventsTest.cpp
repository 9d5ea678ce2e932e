#include "FakeUps.h"
#include "journal/UpsEvents.h"
#include "monitor/BeeperEvents.h"
#include "protect/ShutdownPolicy.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::test;

namespace {

// The events' names, "a b c", for readable failures.
std::string names(const QVector<UpsEvent>& events) {
    QStringList out;
    for (const UpsEvent& e : events) out << e.name();
    return out.join(' ').toStdString();
}

// A UPS on line, on inverter, battery connected, no alarm.
LiveStores healthy() {
    LiveStores live;
    live.LiveStatus.set(81, 1);
    live.LiveStatus.set(alarmRegister(0, 0), 1); // battery connected (event 0 is present on 0)
    return live;
}

TEST(ConditionEvents, EachEdgeOfThePowerStateIsOneEvent) {
    struct Case {
        int reg;
        uint16_t value;
        const char* raised;
        const char* gone;
    };
    const Case cases[] = {
        {88, 1, "power-fail", "power-back"},
        {107, 1, "battery-low", "battery-ok"},
        {81, 2, "bypass-on", "bypass-off"},
        {81, 0, "output-off", "output-on"},
    };
    for (const Case& c : cases) {
        const LiveStores normal = healthy();
        LiveStores changed = healthy();
        changed.LiveStatus.set(c.reg, c.value);
        const UpsCondition before = upsCondition(normal), after = upsCondition(changed);
        EXPECT_EQ(names(conditionEvents(before, after, 0, 1)), std::string(c.raised)) << c.raised;
        EXPECT_EQ(names(conditionEvents(after, before, 0, 1)), std::string(c.gone)) << c.gone;
        EXPECT_TRUE(conditionEvents(after, after, 0, 1).isEmpty()) << c.raised; // no repeat while it lasts
    }
}

TEST(ConditionEvents, AlarmsAreRaisedAndClearedWithTheirTexts) {
    const LiveStores normal = healthy();
    LiveStores alarmed = healthy();
    const int event = 5;
    alarmed.LiveStatus.set(alarmRegister(event, 0), 1);
    alarmed.LiveStatus.set(alarmRegister(kFirstUnitEvent, 3), 1); // power unit 3
    const UpsCondition a = upsCondition(normal), b = upsCondition(alarmed);
    const QVector<UpsEvent> raised = conditionEvents(a, b, 0, 1);
    ASSERT_EQ(names(raised), "alarm alarm");
    EXPECT_TRUE(raised[0].text.contains(alarmWarningText(event, 0, 0, 1).simplified())) << raised[0].text.toStdString();
    EXPECT_EQ(raised[1].details, QStringLiteral("event=%1 unit=3").arg(kFirstUnitEvent));
    // Chinese text when the language is Chinese.
    EXPECT_TRUE(conditionEvents(a, b, 0, 0)[0].text.startsWith(eventTitle(EventType::AlarmRaised, 0)));
    const QVector<UpsEvent> cleared = conditionEvents(b, a, 0, 1);
    EXPECT_EQ(names(cleared), "alarm-cleared alarm-cleared");
}

TEST(ConditionEvents, NothingReadYetCountsAsAHealthyUps) {
    // The first cycle after the start reports what is wrong, not what is normal.
    LiveStores onBattery = healthy();
    onBattery.LiveStatus.set(88, 1);
    EXPECT_EQ(names(conditionEvents(UpsCondition{}, upsCondition(onBattery), 0, 1)), "power-fail");
    EXPECT_TRUE(conditionEvents(UpsCondition{}, upsCondition(healthy()), 0, 1).isEmpty());
}

TEST(ProtectionEvents, CountdownCancelAndShutdownAreSaidOnce) {
    ProtectionState idle, counting{true, false, false, 120}, cancelled{true, true, false, 120}, down{true, false, true, 120};
    const QVector<UpsEvent> started = protectionEvents(idle, counting, 1);
    ASSERT_EQ(names(started), "countdown");
    EXPECT_TRUE(started[0].text.contains("120 s"));
    EXPECT_TRUE(protectionEvents(counting, counting, 1).isEmpty());
    EXPECT_EQ(names(protectionEvents(counting, cancelled, 1)), "countdown-cancelled");
    EXPECT_EQ(names(protectionEvents(counting, down, 1)), "shutdown");
}

TEST(ProtectionEvents, FollowThePolicy) {
    ShutdownPolicy policy;
    ShutdownConfig config;
    config.enabled = true;
    policy.load(config);
    PolicyInputs in;
    in.linkOk = true;
    in.enabled = true;
    in.inputFail = 1;
    const ProtectionState before = protectionState(policy);
    policy.secondTick(in);
    EXPECT_EQ(names(protectionEvents(before, protectionState(policy), 1)), "countdown");
}

class UpsEventsTest : public ::testing::Test {
  protected:
    FakeSerialChannel channel;
    UpsSession session{channel};
    FakeUps ups{channel, session};
    UpsEvents events{session};
    QVector<UpsEvent> seen;

    void SetUp() override {
        QObject::connect(&events, &UpsEvents::happened, [this](const UpsEvent& e) { seen << e; });
        ups.registers[81] = 1;
        ups.registers[alarmRegister(0, 0)] = 1;
        events.setUpsName("ups1");
    }
    bool cycleEnds() {
        QSignalSpy spy(&session, &UpsSession::liveCycleEnded);
        return ups.stepUntil([&] { return spy.count() > 0; }, 400);
    }
    void connectUps() {
        ConnectRequest r;
        r.modelItem = 2;
        r.baudItem = 3;
        r.portName = "/dev/ttyFAKE";
        r.addressText = "1";
        ASSERT_EQ(session.connectLink(r), ConnectResult::Connected);
    }
};

TEST_F(UpsEventsTest, LinkCyclesCommandsAndLossBecomeEvents) {
    connectUps();
    ASSERT_TRUE(cycleEnds());
    EXPECT_EQ(names(seen), "link-up");
    EXPECT_EQ(seen[0].ups, "ups1");
    EXPECT_TRUE(seen[0].time.isValid());

    ups.registers[88] = 1;
    ASSERT_TRUE(cycleEnds());
    ASSERT_TRUE(cycleEnds()); // the status words of a cycle may come after its end was announced once
    EXPECT_EQ(names(seen), "link-up power-fail");

    ASSERT_TRUE(session.startControlCommand(358, 60));
    QSignalSpy done(&session, &UpsSession::controlCommandEnded);
    ASSERT_TRUE(ups.stepUntil([&] { return done.count() > 0; }, 400));
    ASSERT_EQ(seen.last().name(), "command");
    EXPECT_TRUE(seen.last().details.startsWith("reg=358 value=60 outcome=")) << seen.last().details.toStdString();

    ups.silent = true;
    ASSERT_TRUE(ups.stepUntil([&] { return seen.last().name() == "link-lost"; }, 400));
    session.disconnectLink();
    ups.silent = false;
    // Back on line while the link was down: said when the link is back.
    ups.registers[88] = 0;
    connectUps();
    ASSERT_TRUE(cycleEnds());
    ASSERT_TRUE(cycleEnds());
    EXPECT_EQ(names(seen.mid(seen.size() - 2)), "link-up power-back");
}

} // namespace
