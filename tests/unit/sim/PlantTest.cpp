// The physical model: model families, utility failure and battery, modules.

#include "SimRequests.h"
#include "VirtualUps.h"
#include "link/LinkTypes.h"

#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

VirtualUps makeUps(int model) {
    SimConfig c;
    c.upsModel = model;
    c.protocol = Protocol::Rtu;
    return VirtualUps(c);
}

TEST(SimPlant, ModelCodeIsWhatTheToolsDetectionMapsBackToTheModel) {
    for (int model = 0; model <= 8; ++model) {
        VirtualUps ups = makeUps(model);
        const int code = readRegister(ups, fn::ReadHolding, 78);
        EXPECT_EQ(detectModel(code).upsModel, model) << "code " << code;
    }
    SimConfig c;
    c.modelCode = 0;
    VirtualUps forced(c);
    EXPECT_EQ(readRegister(forced, fn::ReadHolding, 78), 0);
}

TEST(SimPlant, PhasesFollowTheModelFamily) {
    struct Case {
        int model;
        bool threeIn, threeOut, twoStrings;
    };
    const Case cases[] = {{1, true, true, true},
                          {4, true, true, true},
                          {5, true, false, false},
                          {7, false, false, false},
                          {8, false, false, false}};
    for (const Case& c : cases) {
        VirtualUps ups = makeUps(c.model);
        const QVector<uint16_t> m = readBlock(ups, fn::ReadHolding, 1, 80);
        ASSERT_EQ(m.size(), 80);
        auto reg = [&m](int r) { return m[r - 1]; };
        EXPECT_GT(reg(25), 2000) << c.model;
        EXPECT_EQ(reg(26) > 2000, c.threeOut) << "output B, model " << c.model;
        EXPECT_EQ(reg(14) > 2000, c.threeIn) << "input B, model " << c.model;
        EXPECT_EQ(reg(51) > 0, c.twoStrings) << "negative string, model " << c.model;
        EXPECT_NEAR(reg(31), 5000, 10);
        EXPECT_NEAR(reg(46), 450, 20) << "load 45 %";
    }
}

TEST(SimPlant, ApparentPowerMatchesVoltageTimesCurrent) {
    VirtualUps ups = makeUps(1);
    const QVector<uint16_t> m = readBlock(ups, fn::ReadHolding, 1, 80);
    // Tenths of V times tenths of A is VA x 100; tenths of kVA are VA / 100.
    const double s = m[25 - 1] * m[28 - 1] / 10000.0;
    EXPECT_NEAR(m[37 - 1], s, 2.0);
    EXPECT_LT(m[40 - 1], m[37 - 1]) << "active power below apparent power";
    // Model 8 reports power in thousandths of kVA.
    VirtualUps small = makeUps(8);
    EXPECT_NEAR(readRegister(small, fn::ReadHolding, 37), 1350, 60) << "45 % of 3 kVA";
}

TEST(SimPlant, UtilityFailureDischargesTheBatteryUntilItIsLow) {
    VirtualUps ups = makeUps(1);
    UpsPlant& p = ups.plant();
    p.setUtility(false);
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 88), 1);
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 82), 3);
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 81), 1) << "the inverter goes on, from the battery";
    EXPECT_EQ(readRegister(ups, fn::ReadHolding, 13), 0);
    EXPECT_LT(int16_t(readRegister(ups, fn::ReadHolding, 52)), 0) << "discharge current is negative";
    const uint16_t remaining = readRegister(ups, fn::ReadHolding, 55);
    ups.advanceTo(10 * 60'000);
    EXPECT_LT(p.capacity(), 95.0);
    EXPECT_LT(readRegister(ups, fn::ReadHolding, 55), remaining);
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 107), 0);
    p.setCapacity(15);
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 107), 1);
    // Empty: end of discharge, the load goes to the bypass.
    ups.advanceTo(60 * 60'000);
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 97), 1);
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 81), 2);
    p.setUtility(true);
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 97), 0);
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 81), 1);
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 82), 2) << "boost charge after a deep discharge";
    const double c = p.capacity();
    ups.advanceTo(70 * 60'000);
    EXPECT_GT(p.capacity(), c);
}

TEST(SimPlant, UtilityFailureIsLoggedWithTheModelsTimeStamps) {
    VirtualUps ups = makeUps(1);
    const int before = ups.history().count();
    ups.advanceTo(5000);
    ups.plant().setUtility(false);
    ASSERT_GE(ups.history().count(), before + 2);
    const HistoryEvent& e = ups.history().at(before + 1);
    EXPECT_EQ(e.code, event::UtilityAbnormal);
    EXPECT_EQ(e.action, ActionSet);
    EXPECT_EQ(e.calendar, QDateTime(QDate(2024, 6, 1), QTime(8, 0, 5)));
}

TEST(SimPlant, ModulesPresentShowInTheMaskAndTheirOwnData) {
    VirtualUps ups = makeUps(1);
    EXPECT_EQ(readBlock(ups, fn::ReadInput, 119, 2), (QVector<uint16_t>{0, 0x000F}));
    ups.plant().setUnitPresent(3, false);
    EXPECT_EQ(readBlock(ups, fn::ReadInput, 119, 2), (QVector<uint16_t>{0, 0x000B}));
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 121 + 24), 0) << "unit 3 absent";
    const QVector<uint16_t> absent = readModule(ups, 2000, 73, 3);
    ASSERT_EQ(absent.size(), 73);
    EXPECT_EQ(absent[0], 3);
    EXPECT_EQ(absent[1], 0) << "no data from an empty slot";
    const QVector<uint16_t> present = readModule(ups, 2000, 73, 2);
    EXPECT_GT(present[1], 2000) << "input voltage of module 2";
    // Model 0 reports slots up to 30 across both mask words.
    VirtualUps large = makeUps(0);
    large.plant().setUnitPresent(17, true);
    EXPECT_EQ(readBlock(large, fn::ReadInput, 119, 2), (QVector<uint16_t>{0x0001, 0x003F}));
    // Towers have no mask but a power unit in the ten-unit words.
    VirtualUps tower = makeUps(4);
    EXPECT_EQ(readBlock(tower, fn::ReadInput, 119, 3), (QVector<uint16_t>{0, 0, 1}));
}

TEST(SimPlant, TooFewModulesForTheLoadHandItToTheBypass) {
    SimConfig c;
    c.upsModel = 1;
    c.loadPercent = 90;
    VirtualUps ups(c);
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 81), 1);
    ups.plant().setUnitPresent(1, false);
    ups.plant().setUnitPresent(2, false);
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 86), 1) << "inverter capacity short";
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 81), 2);
}

TEST(SimPlant, ValuesMoveALittleOverTime) {
    VirtualUps ups = makeUps(1);
    const QVector<uint16_t> a = readBlock(ups, fn::ReadHolding, 1, 80);
    ups.advanceTo(7000);
    const QVector<uint16_t> b = readBlock(ups, fn::ReadHolding, 1, 80);
    EXPECT_NE(a, b);
    for (int reg : {1, 13, 25, 28, 46}) {
        EXPECT_NEAR(a[reg - 1], b[reg - 1], a[reg - 1] * 0.03 + 2) << "register " << reg;
    }
}

} // namespace
