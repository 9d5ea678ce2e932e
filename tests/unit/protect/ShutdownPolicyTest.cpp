// The shutdown decision stepped second by second over scripted UPS status words. Each row is a
// story told as phases of the two status words and the link, plus the user's clicks, and the
// seconds at which the window shows, closes, the UPS command goes out and the sequence starts.

#include "protect/ShutdownPolicy.h"

#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

using namespace zav;

namespace {

struct Phase {
    int from, to;        // seconds, inclusive
    uint16_t w88, w107;  // input failure, battery voltage low
    bool link = true;
};

struct Story {
    const char* name;
    ShutdownConfig config;
    std::vector<Phase> phases;
    int cancelAt = -1;   // ButtonCancel before this second's tick
    int shutNowAt = -1;  // ButtonShut before this second's tick
    bool enabled = true;
    // Expected.
    int showAt = -1;
    int closeAt = -1;    // the first close
    int startAt = -1;
    std::vector<std::pair<int, int>> commands; // (second, delay)
    std::vector<std::pair<int, int>> shown;    // (second, number written on the window)
};

ShutdownConfig config(int utilityMin, int batteryMin, bool upsOff = false, int upsSeconds = 5) {
    ShutdownConfig c;
    c.enabled = true;
    c.utilityMinutes = utilityMin;
    c.batteryMinutes = batteryMin;
    c.utilityUpsOff = c.batteryUpsOff = upsOff;
    c.utilityUpsSeconds = c.batteryUpsSeconds = upsSeconds;
    return c;
}

struct Outcome {
    int showAt = -1, closeAt = -1, startAt = -1;
    std::vector<std::pair<int, int>> commands;
    std::map<int, int> shown;
};

Outcome run(const Story& s) {
    ShutdownPolicy policy;
    policy.load(s.config);
    Outcome o;
    bool visible = false;
    const int last = s.phases.back().to;
    for (int t = 1; t <= last; ++t) {
        PolicyInputs in;
        in.enabled = s.enabled;
        in.utilityUpsOff = s.config.utilityUpsOff;
        in.batteryUpsOff = s.config.batteryUpsOff;
        for (const Phase& p : s.phases)
            if (t >= p.from && t <= p.to) {
                in.inputFail = p.w88;
                in.batteryLow = p.w107;
                in.linkOk = p.link;
            }
        if (t == s.cancelAt) {
            policy.cancel();
            visible = false; // the button closes the window
        }
        if (t == s.shutNowAt) policy.shutNow();
        in.windowVisible = visible;
        const PolicyActions a = policy.secondTick(in);
        if (a.window == WindowAction::Show) {
            visible = true;
            if (o.showAt < 0) o.showAt = t;
        } else if (a.window == WindowAction::Close) {
            visible = false;
            if (o.closeAt < 0) o.closeAt = t;
        }
        if (a.windowSeconds >= 0) o.shown[t] = a.windowSeconds;
        for (uint16_t d : a.upsOffDelays) o.commands.push_back({t, d});
        if (a.startSequence) {
            EXPECT_LT(o.startAt, 0) << s.name << ": the sequence started twice";
            o.startAt = t;
        }
    }
    return o;
}

// clang-format off
const Story kStories[] = {
    {"zero-minute delay starts at once", config(0, 1), {{1, 5, 1, 0}},
     -1, -1, true, 1, -1, 1, {}, {}},
    {"ten minutes run out at second 601", config(10, 1), {{1, 700, 1, 0}},
     -1, -1, true, 1, -1, 601, {}, {{1, 600}, {2, 599}, {600, 1}}},
    {"mains back after 5 of 10 minutes; a new failure counts 10 minutes again", config(10, 1),
     {{1, 300, 1, 0}, {301, 400, 0, 0}, {401, 1100, 1, 0}},
     -1, -1, true, 1, 301, 1001, {}, {{300, 301}, {401, 600}}},
    {"both events: the battery's shorter time is shown and wins", config(10, 1),
     {{1, 10, 1, 0}, {11, 200, 1, 1}},
     -1, -1, true, 1, -1, 71, {}, {{10, 591}, {11, 60}, {12, 59}}},
    {"cancel: no shutdown, the UPS command still went out at the start", config(1, 1, true),
     {{1, 300, 1, 0}},
     30, -1, true, 1, -1, -1, {{1, 65}}, {}},
    {"after a cancel and expiry a later failure counts down in full", config(1, 1),
     {{1, 100, 1, 0}, {101, 149, 0, 0}, {150, 300, 1, 0}},
     10, -1, true, 1, -1, 210, {}, {{150, 60}}},
    {"999 minutes and 5 seconds are capped at 32767", config(999, 1, true, 5),
     {{1, 3, 1, 0}},
     -1, -1, true, 1, -1, -1, {{1, 32767}}, {}},
    {"a lost link freezes the countdown and starts nothing", config(1, 1),
     {{1, 19, 1, 0}, {20, 1000, 1, 1, false}, {1001, 1100, 1, 0}},
     -1, -1, true, 1, -1, 1042, {}, {{19, 42}, {1001, 41}}},
    {"a cable pulled for good never shuts down", config(0, 0),
     {{1, 1, 0, 0}, {2, 500, 1, 1, false}},
     -1, -1, true, -1, -1, -1, {}, {}},
    {"shut down now starts at the next tick", config(10, 1), {{1, 20, 1, 0}},
     -1, 5, true, 1, -1, 5, {}, {}},
    {"words other than 0 and 1 change nothing", config(1, 1),
     {{1, 10, 2, 0xFFFF}, {11, 20, 1, 0}, {21, 30, 7, 0}},
     -1, -1, true, 11, -1, -1, {}, {{20, 51}, {30, 51}}},
    {"both UPS commands in one tick go out utility first", config(2, 1, true, 10),
     {{1, 3, 1, 1}},
     -1, -1, true, 1, -1, -1, {{1, 130}, {1, 70}}, {}},
    {"protection off: nothing at all", config(0, 0), {{1, 100, 1, 1}},
     -1, -1, false, -1, -1, -1, {}, {}},
};
// clang-format on

void PrintTo(const Story& s, std::ostream* os) { *os << s.name; }

class PolicyStory : public ::testing::TestWithParam<Story> {};

TEST_P(PolicyStory, ActsAtTheRightSeconds) {
    const Story& s = GetParam();
    const Outcome o = run(s);
    EXPECT_EQ(o.showAt, s.showAt) << s.name;
    EXPECT_EQ(o.closeAt, s.closeAt) << s.name;
    EXPECT_EQ(o.startAt, s.startAt) << s.name;
    EXPECT_EQ(o.commands, s.commands) << s.name;
    for (const auto& [second, number] : s.shown) {
        ASSERT_TRUE(o.shown.count(second)) << s.name << ": nothing written at second " << second;
        EXPECT_EQ(o.shown.at(second), number) << s.name << " at second " << second;
    }
}

INSTANTIATE_TEST_SUITE_P(Stories, PolicyStory, ::testing::ValuesIn(kStories),
                         [](const auto& info) { return "story" + std::to_string(info.index); });

TEST(ShutdownPolicy, WindowKeepsItsLastNumberWhenTheCountReachesZero) {
    ShutdownPolicy policy;
    policy.load(config(1, 1));
    PolicyInputs in{true, true, false, false, 1, 0, false};
    PolicyActions a = policy.secondTick(in);
    ASSERT_EQ(a.window, WindowAction::Show);
    in.windowVisible = true;
    for (int t = 2; t <= 60; ++t) a = policy.secondTick(in);
    EXPECT_EQ(a.windowSeconds, 1);
    a = policy.secondTick(in); // remaining 0: the sequence starts, the number stays
    EXPECT_EQ(a.windowSeconds, -1);
    EXPECT_TRUE(a.startSequence);
    // The sequence runs once per program run, even for a later occurrence.
    in.inputFail = 0;
    policy.secondTick(in);
    in.inputFail = 1;
    for (int t = 0; t < 200; ++t) EXPECT_FALSE(policy.secondTick(in).startSequence);
}

TEST(ShutdownPolicy, EveryDecisionHasAReason) {
    ShutdownPolicy policy;
    policy.load(config(0, 1, true));
    PolicyInputs in{true, true, true, false, 1, 0, false};
    const PolicyActions a = policy.secondTick(in);
    ASSERT_EQ(a.reasons.size(), 3);
    EXPECT_TRUE(a.reasons[0].contains("utility failure reported"));
    EXPECT_TRUE(a.reasons[1].contains("shutdown sequence started"));
    EXPECT_TRUE(a.reasons[2].contains("UPS switch-off after 5 s"));
    in.linkOk = false;
    EXPECT_EQ(policy.secondTick(in).reasons, QStringList{"link lost: countdowns frozen, nothing is started"});
    EXPECT_TRUE(policy.secondTick(in).reasons.isEmpty()); // said once, not every second
}

TEST(ShutdownPolicy, UpsDelaySums) {
    EXPECT_EQ(ShutdownPolicy::upsDelaySeconds(0, 5), 5);
    EXPECT_EQ(ShutdownPolicy::upsDelaySeconds(10, 5), 605);
    EXPECT_EQ(ShutdownPolicy::upsDelaySeconds(546, 7), 32767);
    EXPECT_EQ(ShutdownPolicy::upsDelaySeconds(10, 32767), 32767);
}

} // namespace

namespace {

// The switch-off order the UPS holds, second by second: it is reported from the tick that sends
// it until its time has passed, also once the event is gone (the registers offer no withdrawal),
// while the link is lost and with the protection switched off; a later order replaces it.
TEST(ShutdownPolicy, PendingSwitchOffIsReportedUntilItsTimeHasPassed) {
    ShutdownPolicy policy;
    policy.load(config(1, 1, true, 30)); // 90 s after the start of the event
    PolicyInputs in{true, true, true, false, 1, 0, false};
    in.now = 1000;
    PolicyActions a = policy.secondTick(in);
    ASSERT_EQ(a.upsOffDelays, QVector<uint16_t>{90});
    EXPECT_TRUE(a.upsOff.pending);
    EXPECT_EQ(a.upsOff.at, 1090);
    EXPECT_EQ(a.upsOff.secondsLeft, 90);
    EXPECT_FALSE(a.upsOff.eventGone);
    EXPECT_EQ(policy.upsOffAt(), 1090);

    // The mains return after 20 s: the countdown ends, the order stands and says so loudly once.
    in.windowVisible = true;
    in.now = 1020;
    in.inputFail = 0;
    a = policy.secondTick(in);
    EXPECT_EQ(a.window, WindowAction::Close);
    EXPECT_TRUE(a.upsOff.pending);
    EXPECT_TRUE(a.upsOff.eventGone);
    EXPECT_EQ(a.upsOff.secondsLeft, 70);
    ASSERT_EQ(a.warnings.size(), 1);
    EXPECT_TRUE(a.warnings[0].contains("in 70 s")) << a.warnings[0].toStdString();
    in.windowVisible = false;
    in.now = 1021;
    EXPECT_TRUE(policy.secondTick(in).warnings.isEmpty());

    // Time goes on while the link is lost and when the protection is switched off.
    in.linkOk = false;
    in.now = 1050;
    a = policy.secondTick(in);
    EXPECT_TRUE(a.upsOff.pending);
    EXPECT_EQ(a.upsOff.secondsLeft, 40);
    EXPECT_FALSE(a.held); // no countdown runs: nothing is held
    in.linkOk = true;
    in.enabled = false;
    in.now = 1089;
    a = policy.secondTick(in);
    EXPECT_EQ(a.upsOff.secondsLeft, 1);
    in.now = 1090;
    a = policy.secondTick(in);
    EXPECT_FALSE(a.upsOff.pending);
    ASSERT_EQ(a.warnings.size(), 1);
    EXPECT_TRUE(a.warnings[0].contains("has come"));
    EXPECT_EQ(policy.upsOffAt(), -1);

    // A new failure orders again; a battery order in the same event replaces the utility's time.
    in.enabled = true;
    in.inputFail = 1;
    in.now = 2000;
    EXPECT_EQ(policy.secondTick(in).upsOff.at, 2090);
    in.batteryLow = 1;
    in.batteryUpsOff = true;
    in.now = 2010;
    a = policy.secondTick(in);
    EXPECT_EQ(a.upsOffDelays, QVector<uint16_t>{90});
    EXPECT_EQ(a.upsOff.at, 2100);
    // An order that could not be sent leaves nothing pending.
    policy.switchOffNotSent();
    in.now = 2011;
    EXPECT_FALSE(policy.secondTick(in).upsOff.pending);
}

// A lost link during an event holds the countdown and says so; without an event nothing is held.
TEST(ShutdownPolicy, LostLinkHoldsARunningCountdown) {
    ShutdownPolicy policy;
    policy.load(config(10, 1));
    PolicyInputs in{true, true, false, false, 0, 0, false};
    EXPECT_FALSE(policy.secondTick(in).held);
    in.linkOk = false;
    EXPECT_FALSE(policy.secondTick(in).held);
    in.linkOk = true;
    in.inputFail = 1;
    EXPECT_FALSE(policy.secondTick(in).held);
    in.linkOk = false;
    EXPECT_TRUE(policy.secondTick(in).held);
    EXPECT_TRUE(policy.secondTick(in).held);
    in.linkOk = true;
    EXPECT_FALSE(policy.secondTick(in).held);
}

} // namespace
