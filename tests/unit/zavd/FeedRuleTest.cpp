// The PC protection on the UPSes that feed the machine: how "any" and "all" combine what each says,
// and which of them a switch-off order may go to.

#include "zavd/ZavdService.h"

#include <gtest/gtest.h>

using namespace zav;

namespace {

using Feed = ZavdService::FeedState;

TEST(FeedRule, AnyAndAllCombineTheFeedingUpses) {
    const Feed mains{true, false, false, 7}, battery{true, true, false, 7}, low{true, true, true, 7},
        silent{false, true, true, 7};
    struct Case {
        const char* name;
        QVector<Feed> feeds;
        bool all;
        bool linkOk;
        int inputFail;
        int batteryLow;
        QVector<int> switchOff;
    };
    const Case cases[] = {
        {"any: one on battery", {mains, battery}, false, true, 1, 0, {1}},
        {"all: one on battery", {mains, battery}, true, true, 0, 0, {1}},
        {"all: both on battery, one low", {battery, low}, true, true, 1, 0, {0, 1}},
        {"any: one low", {battery, low}, false, true, 1, 1, {0, 1}},
        {"all: a silent feed holds the decision", {battery, silent}, true, false, 0, 0, {0}},
        {"any: the heard feed decides", {silent, battery}, false, true, 1, 0, {1}},
        {"any: none heard", {silent, silent}, false, false, 0, 0, {}},
        {"one feed", {low}, false, true, 1, 1, {0}},
    };
    for (const Case& c : cases) {
        const ZavdService::Combined r = ZavdService::combine(c.feeds, c.all);
        EXPECT_EQ(r.linkOk, c.linkOk) << c.name;
        EXPECT_EQ(r.inputFail, c.inputFail) << c.name;
        EXPECT_EQ(r.batteryLow, c.batteryLow) << c.name;
        EXPECT_EQ(r.switchOff, c.switchOff) << c.name;
    }
}

TEST(FeedRule, TheProtectionRunsOnlyWhenEveryHeardFeedIsAProtectionModel) {
    EXPECT_TRUE(ZavdService::combine({{true, false, false, 7}, {true, false, false, 5}}, false).protectionModels);
    EXPECT_FALSE(ZavdService::combine({{true, false, false, 7}, {true, false, false, 1}}, false).protectionModels);
    EXPECT_TRUE(ZavdService::combine({{true, false, false, 7}, {false, false, false, 1}}, false).protectionModels);
    EXPECT_FALSE(ZavdService::combine({{false, false, false, 7}}, false).protectionModels);
}

} // namespace
