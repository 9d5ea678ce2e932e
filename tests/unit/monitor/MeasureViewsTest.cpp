#include "monitor/MeasureViews.h"
#include "GridText.h"

#include <gtest/gtest.h>

namespace zav {
namespace {

using test::padded;
using test::Rows;
using test::rowsOf;

// Every measurement register n holds 1000 + n, so each cell shows where its value came from:
// V(1) = "100.1", H(7) = "10.07", T(37) = "1.037".
LiveStores numberedStores() {
    LiveStores live;
    for (int reg = 1; reg <= 80; ++reg)
        live.LiveData.set(reg, uint16_t(1000 + reg));
    return live;
}

// --- layouts ---

struct LayoutCase {
    int model;
    // For (S1, S2) = 00, 01, 10, 11: 'T' three-phase (two-string), 'F' single.
    const char* bypass;
    const char* main;
    const char* output;
    const char* battery;
};

const LayoutCase kLayouts[] = {
    {0, "TTFF", "TFTF", "TTFF", "TTTT"}, {1, "TTTT", "TTTT", "TTTT", "TTTT"},
    {2, "TTTT", "TTTT", "TTTT", "TTTT"}, {3, "TTFF", "TFTF", "TTFF", "TTTT"},
    {4, "TTTT", "TTTT", "TTTT", "TTTT"}, {5, "FFFF", "FFTT", "FFFF", "FFFF"},
    {6, "FFFF", "FFTT", "FFFF", "FFFF"}, {7, "FFFF", "FFTT", "FFFF", "FFFF"},
    {8, "FFFF", "FFFF", "FFFF", "FFFF"},
};

TEST(MeasureLayout, EveryModelAndSystemCodeBitPicksItsLayout) {
    for (const LayoutCase& c : kLayouts) {
        for (int bits = 0; bits < 4; ++bits) {
            const MeasureLayout layout{c.model, (bits & 2) != 0, (bits & 1) != 0};
            SCOPED_TRACE(testing::Message()
                         << "model " << c.model << " S1 " << layout.s1 << " S2 " << layout.s2);
            EXPECT_EQ(threePhaseLayout(MeasureGrid::Bypass, layout), c.bypass[bits] == 'T');
            EXPECT_EQ(threePhaseLayout(MeasureGrid::Main, layout), c.main[bits] == 'T');
            EXPECT_EQ(threePhaseLayout(MeasureGrid::Output, layout), c.output[bits] == 'T');
            EXPECT_EQ(threePhaseLayout(MeasureGrid::Battery, layout), c.battery[bits] == 'T');
        }
    }
}

TEST(MeasureLayout, SystemCodeBitsAreBitOneOfRegisters329And330) {
    RegisterStore settings(301, 480);
    EXPECT_EQ(measureLayout(5, settings), (MeasureLayout{5, false, false}));
    settings.set(329, 0x0001); // only bit 0: not S1
    settings.set(330, 0xFFFF);
    EXPECT_EQ(measureLayout(0, settings), (MeasureLayout{0, false, true}));
    settings.set(329, 0x0002);
    settings.set(330, 0xFFFD);
    EXPECT_EQ(measureLayout(3, settings), (MeasureLayout{3, true, false}));
}

// --- grid texts ---

struct GridCase {
    const char* name;
    MeasureGrid grid;
    MeasureLayout layout;
    int language;
    Rows rows; // as far as they hold text
};

const GridCase kGrids[] = {
    {"bypass three-phase",
     MeasureGrid::Bypass,
     {1, false, false},
     1,
     {{"", "A", "B", "C"},
      {"Volt(V)", "100.1", "100.2", "100.3"},
      {"Curr(A)", "100.4", "100.5", "100.6"},
      {"Freq(Hz)", "10.07", "10.08", "10.09"},
      {"PF", "10.10", "10.11", "10.12"}}},
    {"bypass single-phase, model 0 with S1",
     MeasureGrid::Bypass,
     {0, true, false},
     0,
     {{"电压V", "100.1"}, {"电流A", "100.4"}, {"频率Hz", "10.07"}, {"功率因数", "10.10"}}},
    {"bypass of a single-input tower",
     MeasureGrid::Bypass,
     {8, false, false},
     2,
     {{"電壓V", "100.1"}, {"電流A", "100.4"}, {"頻率Hz", "10.07"}, {"功率因數", "10.10"}}},
    {"main three-phase, model 0 with S1 only",
     MeasureGrid::Main,
     {0, true, false},
     1,
     {{"", "A", "B", "C"},
      {"Volt(V)", "101.3", "101.4", "101.5"},
      {"Curr(A)", "101.6", "101.7", "101.8"},
      {"Freq(Hz)", "10.19", "10.20", "10.21"},
      {"PF", "10.22", "10.23", "10.24"}}},
    {"main single-phase, model 3 with S2",
     MeasureGrid::Main,
     {3, false, true},
     1,
     {{"Volt(V)", "101.3"}, {"Curr(A)", "101.6"}, {"Freq(Hz)", "10.19"}, {"PF", "10.22"}}},
    {"main three-phase on model 6 with S1",
     MeasureGrid::Main,
     {6, true, false},
     1,
     {{"", "A", "B", "C"},
      {"Volt(V)", "101.3", "101.4", "101.5"},
      {"Curr(A)", "101.6", "101.7", "101.8"},
      {"Freq(Hz)", "10.19", "10.20", "10.21"},
      {"PF", "10.22", "10.23", "10.24"}}},
    {"output three-phase",
     MeasureGrid::Output,
     {4, true, true},
     1,
     {{"", "A", "B", "C"},
      {"Volt(V)", "102.5", "102.6", "102.7"},
      {"Curr(A)", "102.8", "102.9", "103.0"},
      {"Freq(Hz)", "10.31", "10.32", "10.33"},
      {"PF", "10.34", "10.35", "10.36"},
      {"Power S(kVA)", "103.7", "103.8", "103.9"},
      {"Power P(kW)", "104.0", "104.1", "104.2"},
      {"Power Q(kVar)", "104.3", "104.4", "104.5"},
      {"Load(%)", "104.6", "104.7", "104.8"}}},
    {"output single-phase",
     MeasureGrid::Output,
     {7, true, true},
     0,
     {{"电压V", "102.5"},
      {"电流A", "102.8"},
      {"频率Hz", "10.31"},
      {"功率因数", "10.34"},
      {"视在功率kVA", "103.7"},
      {"有功功率kW", "104.0"},
      {"无功功率kVar", "104.3"},
      {"负载率%", "104.6"}}},
    {"output of model 8: powers in thousandths",
     MeasureGrid::Output,
     {8, false, false},
     2,
     {{"電壓V", "102.5"},
      {"電流A", "102.8"},
      {"頻率Hz", "10.31"},
      {"功率因數", "10.34"},
      {"視在功率kVA", "1.037"},
      {"有功功率kW", "1.040"},
      {"無功功率kVar", "1.043"},
      {"負載率%", "104.6"}}},
    {"battery two strings",
     MeasureGrid::Battery,
     {2, false, false},
     1,
     {{"", "POS", "NEG"},
      {"Voltage(V)", "105.0", "105.1"},
      {"Current(A)", "105.2", "105.3"},
      {"Capacity(%)", "105.6"},
      {"RmdTime(min)", "105.5"},
      {"BattTemp.(oC)", "105.4"},
      {"EnvTemp.(oC)", "104.9"}}},
    {"battery single string",
     MeasureGrid::Battery,
     {5, true, true},
     0,
     {{"电压V", "105.0"},
      {"电流A", "105.2"},
      {"容量%", "105.6"},
      {"剩余时间Min", "105.5"},
      {"电池温度℃", "105.4"},
      {"环境温度℃", "104.9"}}},
};

TEST(MeasureGrids, LabelsAndValuesForEachLayout) {
    LiveStores live = numberedStores();
    live.LiveStatus.set(83, 1); // remaining time valid
    for (const GridCase& c : kGrids) {
        SCOPED_TRACE(c.name);
        const int columns = measureGridColumns(c.grid);
        EXPECT_EQ(rowsOf(measureGridTexts(c.grid, live, c.layout, c.language)),
                  padded(c.rows, columns, kMeasureGridRows));
    }
}

TEST(MeasureGrids, LabelsAloneLeaveEveryValueCellEmpty) {
    const TextGrid labels = measureGridLabels(MeasureGrid::Output, {1, false, false}, 1);
    for (int r = 1; r < kMeasureGridRows; ++r)
        for (int c = 1; c < 4; ++c)
            EXPECT_EQ(labels.at(c, r), "") << r << "," << c;
    EXPECT_EQ(labels.at(0, 8), "Load(%)");
}

TEST(MeasureGrids, BatteryMarksUnavailableValues) {
    struct Case {
        uint16_t status83, status116;
        const char *remaining, *battTemp, *envTemp;
    };
    const Case cases[] = {
        {1, 0, "105.5", "105.4", "104.9"},     {0, 0, "----.-", "105.4", "104.9"},
        {2, 1, "105.5", "--.-", "104.9"},      {1, 2, "105.5", "105.4", "--.-"},
        {0, 0xFFFF, "----.-", "--.-", "--.-"},
    };
    for (const MeasureLayout layout : {MeasureLayout{0, false, false}, MeasureLayout{6, false, false}}) {
        const int firstRow = layout.upsModel == 0 ? 1 : 0;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "model " << layout.upsModel << " 83=" << c.status83 << " 116=" << c.status116);
            LiveStores live = numberedStores();
            live.LiveStatus.set(83, c.status83);
            live.LiveStatus.set(116, c.status116);
            const TextGrid g = measureGridTexts(MeasureGrid::Battery, live, layout, 1);
            EXPECT_EQ(g.at(1, firstRow + 3), c.remaining);
            EXPECT_EQ(g.at(1, firstRow + 4), c.battTemp);
            EXPECT_EQ(g.at(1, firstRow + 5), c.envTemp);
            EXPECT_EQ(g.at(2, firstRow + 3), ""); // no NEG value below the current row
        }
    }
}

TEST(MeasureGrids, NegativeWordsShowZeroExceptTheSignedBatteryCurrents) {
    LiveStores live;
    live.LiveData.set(50, 0xFF85);
    live.LiveData.set(51, 0x8000);
    live.LiveData.set(52, 0xFF85);
    live.LiveData.set(53, 0x0005);
    live.LiveData.set(1, 2205);
    live.LiveData.set(37, 0xFFFF);
    const TextGrid batt = measureGridTexts(MeasureGrid::Battery, live, {0, false, false}, 1);
    EXPECT_EQ(batt.at(1, 1), "0.0");
    EXPECT_EQ(batt.at(2, 1), "0.0");
    EXPECT_EQ(batt.at(1, 2), "-12.3");
    EXPECT_EQ(batt.at(2, 2), "0.5");
    EXPECT_EQ(measureGridTexts(MeasureGrid::Bypass, live, {1, false, false}, 1).at(1, 1), "220.5");
    EXPECT_EQ(measureGridTexts(MeasureGrid::Output, live, {8, false, false}, 1).at(1, 4), "0.000");
}

TEST(MeasureGrids, ClearedStoresShowZeroTexts) {
    const LiveStores live;
    const TextGrid out = measureGridTexts(MeasureGrid::Output, live, {8, false, false}, 1);
    EXPECT_EQ(out.at(1, 0), "0.0");
    EXPECT_EQ(out.at(1, 2), "0.00");
    EXPECT_EQ(out.at(1, 4), "0.000");
    EXPECT_EQ(measureGridTexts(MeasureGrid::Battery, live, {8, false, false}, 1).at(1, 3), "----.-");
    EXPECT_EQ(monitorVersionText(live), "** . *** . ***");
}

// --- home labels ---

struct HomeCase {
    const char* name;
    MeasureLayout layout;
    uint16_t supply81;
    uint16_t status83;
    HomeLabels expected;
};

const HomeCase kHomeCases[] = {
    {"model 0, three-phase",
     {0, false, false},
     0,
     0,
     {"A:100.1V", "B:100.2V", "C:100.3V", "A:101.3V", "B:101.4V", "C:101.5V", "A:102.5V", "B:102.6V",
      "C:102.7V", "Pos:105.0V", "Neg:105.1V"}},
    {"model 0, single-phase output",
     {0, true, false},
     0,
     0,
     {"100.1V", "", "", "A:101.3V", "B:101.4V", "C:101.5V", "102.5V", "", "", "Pos:105.0V", "Neg:105.1V"}},
    {"model 3, single-phase main",
     {3, false, true},
     2,
     1,
     {"A:100.1V", "B:100.2V", "C:100.3V", "101.3V", "", "", "A:102.5V", "B:102.6V", "C:102.7V", "Pos:105.0V",
      "Neg:105.1V"}},
    {"model 2 ignores S1 and S2",
     {2, true, true},
     0,
     0,
     {"A:100.1V", "B:100.2V", "C:100.3V", "A:101.3V", "B:101.4V", "C:101.5V", "A:102.5V", "B:102.6V",
      "C:102.7V", "Pos:105.0V", "Neg:105.1V"}},
    {"model 6, single-phase input, no capacity",
     {6, false, false},
     1,
     0,
     {"", "", "", "101.3V", "101.6A", "10.19Hz", "102.5V", "10.31Hz", "104.6%", "105.0V", ""}},
    {"model 5, three-phase input, capacity",
     {5, true, false},
     0,
     1,
     {"", "", "", "A:101.3V", "B:101.4V", "C:101.5V", "102.5V", "10.31Hz", "104.6%", "105.0V", "105.6%"}},
    {"model 6 on bypass shows the bypass input",
     {6, true, false},
     2,
     1,
     {"", "", "", "100.1V", "100.4A", "10.07Hz", "102.5V", "10.31Hz", "104.6%", "105.0V", "105.6%"}},
    {"model 8 ignores S1",
     {8, true, false},
     0,
     2,
     {"", "", "", "101.3V", "101.6A", "10.19Hz", "102.5V", "10.31Hz", "104.6%", "105.0V", ""}},
    {"model 8 on bypass",
     {8, false, false},
     2,
     0,
     {"", "", "", "100.1V", "100.4A", "10.07Hz", "102.5V", "10.31Hz", "104.6%", "105.0V", ""}},
};

TEST(HomeLabelsTest, ByModelSystemCodeBitsAndSupply) {
    for (const HomeCase& c : kHomeCases) {
        SCOPED_TRACE(c.name);
        LiveStores live = numberedStores();
        live.LiveStatus.set(81, c.supply81);
        live.LiveStatus.set(83, c.status83);
        const HomeLabels h = homeLabels(live, c.layout);
        const QStringList got = {h.byA,  h.byB,  h.byC,  h.mainA, h.mainB, h.mainC,
                                 h.outA, h.outB, h.outC, h.battP, h.battN};
        const HomeLabels& e = c.expected;
        const QStringList want = {e.byA,  e.byB,  e.byC,  e.mainA, e.mainB, e.mainC,
                                  e.outA, e.outB, e.outC, e.battP, e.battN};
        EXPECT_EQ(got.join('|').toStdString(), want.join('|').toStdString());
    }
}

// --- charts and version ---

TEST(ChartVolts, WholeVoltsOfPhaseAAndThePositiveString) {
    LiveStores live;
    live.LiveData.set(1, 2205);
    live.LiveData.set(13, 2209);
    live.LiveData.set(25, 0x8001); // negative: plotted as 0 like the grid's zero text
    live.LiveData.set(50, 5);
    EXPECT_EQ(chartVolts(live), (std::array<int, 4>{220, 220, 0, 0}));
}

TEST(MonitorVersion, FromRegisters68To70) {
    LiveStores live;
    live.LiveData.set(70, 7);
    EXPECT_EQ(monitorVersionText(live), "00 . 000 . 007");
    live.LiveData.set(68, 1);
    live.LiveData.set(69, 2);
    live.LiveData.set(70, 3);
    EXPECT_EQ(monitorVersionText(live), "01 . 002 . 003");
}

} // namespace
} // namespace zav
