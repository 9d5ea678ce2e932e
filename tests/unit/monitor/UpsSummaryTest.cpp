// The UPS at a glance: one state from the status words (the most urgent wins), the values of the
// strip, and why there is no data.

#include "monitor/UpsSummary.h"

#include <gtest/gtest.h>

using namespace zav;

namespace {

LiveStores storesWith(std::initializer_list<std::pair<int, uint16_t>> status,
                      std::initializer_list<std::pair<int, uint16_t>> data = {}) {
    LiveStores live;
    for (auto [reg, word] : status) live.LiveStatus.set(reg, word);
    for (auto [reg, word] : data) live.LiveData.set(reg, word);
    return live;
}

TEST(UpsSummary, TheMostUrgentStateWins) {
    struct Case {
        const char* what;
        std::initializer_list<std::pair<int, uint16_t>> status;
        UpsPowerState state;
    };
    const Case cases[] = {
        {"inverter, mains present", {{81, 1}}, UpsPowerState::OnLine},
        {"bypass", {{81, 2}}, UpsPowerState::OnBypass},
        {"utility failure", {{81, 1}, {88, 1}}, UpsPowerState::OnBattery},
        {"utility failure and battery low", {{81, 1}, {88, 1}, {107, 1}}, UpsPowerState::LowBattery},
        {"battery low on line", {{81, 1}, {107, 1}}, UpsPowerState::LowBattery},
        {"nothing feeds the output", {{81, 0}, {88, 1}, {107, 1}}, UpsPowerState::OutputOff},
    };
    for (const Case& c : cases) {
        const LiveStores live = storesWith(c.status);
        EXPECT_EQ(summarizeUps(live, {1, false, false}, DataGap::None).state, c.state) << c.what;
    }
}

TEST(UpsSummary, ValuesAreChargeRuntimeAndTheMostLoadedPhase) {
    // Model 1 shows three output phases: the highest load counts; a single-phase output only phase A.
    const LiveStores live = storesWith({{81, 1}, {83, 1}}, {{46, 412}, {47, 657}, {48, 0x8000}, {55, 127}, {56, 853}});
    const UpsSummary three = summarizeUps(live, {1, false, false}, DataGap::None);
    EXPECT_DOUBLE_EQ(three.loadPercent.value(), 65.7);
    EXPECT_DOUBLE_EQ(three.chargePercent.value(), 85.3);
    EXPECT_DOUBLE_EQ(three.runtimeMinutes.value(), 12.7);
    const UpsSummary single = summarizeUps(live, {0, true, false}, DataGap::None);
    EXPECT_DOUBLE_EQ(single.loadPercent.value(), 41.2);
    EXPECT_EQ(summaryLine(three, 1), "On line · Charge 85 % · Runtime 13 min · Load 66 %");

    // No battery connected: no runtime; a word with its top bit set is no reading.
    const LiveStores noBattery = storesWith({{81, 1}, {83, 0}}, {{55, 125}, {56, 0xFFFF}, {46, 0xFFFF}, {47, 0xFFFF}, {48, 0xFFFF}});
    const UpsSummary s = summarizeUps(noBattery, {1, false, false}, DataGap::None);
    EXPECT_FALSE(s.runtimeMinutes);
    EXPECT_FALSE(s.chargePercent);
    EXPECT_FALSE(s.loadPercent);
    EXPECT_EQ(chargeText(s, 1), "Charge --");
}

TEST(UpsSummary, WithoutLiveDataThereIsNoStateOnlyAReason) {
    struct Case {
        LinkView link;
        DataGap gap;
    };
    const Case cases[] = {
        {{false, false, false, false, false}, DataGap::NotConnected},
        {{true, false, false, false, false}, DataGap::PortLost},
        {{true, true, false, false, false}, DataGap::NoAnswer},
        {{true, true, true, false, false}, DataGap::Waiting},
        {{true, true, true, true, false}, DataGap::None},
        {{false, false, false, true, true}, DataGap::OfflineFile},
        {{true, true, true, true, true}, DataGap::None}, // a connection ends the file's view
    };
    // Stores that would read "on battery": only live data or a file may say so.
    const LiveStores live = storesWith({{81, 1}, {88, 1}});
    for (const Case& c : cases) {
        const DataGap gap = dataGap(c.link);
        EXPECT_EQ(gap, c.gap) << int(c.gap);
        const UpsSummary s = summarizeUps(live, {1, false, false}, gap);
        const bool stateKnown = gap == DataGap::None || gap == DataGap::OfflineFile;
        EXPECT_EQ(s.state, stateKnown ? UpsPowerState::OnBattery : UpsPowerState::NoData) << int(c.gap);
    }
    EXPECT_EQ(summaryLine(summarizeUps(live, {1, false, false}, DataGap::NoAnswer), 1),
              "No data · The UPS does not answer");
    EXPECT_EQ(powerStateText(UpsPowerState::OnBattery, 0), QString::fromUtf8("电池供电"));
}

} // namespace
