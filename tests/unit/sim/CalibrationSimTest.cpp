// Calibration in the virtual UPS: a true value written to a calibration register becomes the
// channel's reading; the module's calibration clears drop it again.

#include "SimRequests.h"
#include "VirtualUps.h"

#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

SimConfig model(int upsModel) {
    SimConfig c;
    c.protocol = Protocol::Rtu;
    c.upsModel = upsModel;
    return c;
}

uint16_t measured(VirtualUps& ups, int reg) { return readRegister(ups, fn::ReadHolding, uint16_t(reg)); }

TEST(SimCalibration, AWrittenTrueValueBecomesTheReading) {
    VirtualUps ups(model(1));
    ups.advanceTo(1000);
    struct Case {
        int calibration; // register written
        int shown;       // register that reads it
        uint16_t trueValue;
    } cases[] = {
        {339, 75, 2250}, // module bypass A
        {345, 13, 2150}, // input A
        {401, 25, 2235}, // cabinet output A
        {404, 1, 2262},  // cabinet bypass A
        {348, 50, 2750}, // positive battery string
    };
    qint64 t = 1000;
    for (const Case& c : cases) {
        const uint16_t before = measured(ups, c.shown);
        ASSERT_EQ(writeSetting(ups, uint16_t(c.calibration), c.trueValue).size(), 6) << c.calibration;
        ups.advanceTo(t += 50);
        // Right after the write the reading is the true value (the supply itself wobbles later).
        EXPECT_NEAR(measured(ups, c.shown), c.trueValue, 3) << c.calibration << " was " << before;
        EXPECT_GT(std::abs(int(before) - int(c.trueValue)), 20) << c.calibration;
    }
    // A minute later the channel still follows the supply, through its new gain.
    ups.advanceTo(t += 60'000);
    EXPECT_NEAR(measured(ups, 75), 2250, 25);
    EXPECT_NEAR(ups.plant().calibrationGain(339), 225.0 / 220.6, 0.01);
}

TEST(SimCalibration, ModuleCalibrationClearsDropTheirSide) {
    VirtualUps ups(model(1));
    ups.advanceTo(1000);
    ASSERT_EQ(writeSetting(ups, 345, 2300).size(), 6); // rectifier side
    ASSERT_EQ(writeSetting(ups, 336, 2300).size(), 6); // inverter side
    ups.advanceTo(1050);
    ASSERT_NE(ups.plant().calibrationGain(345), 1.0);
    ASSERT_NE(ups.plant().calibrationGain(336), 1.0);
    ASSERT_EQ(sendCommand(ups, 356, 1 * 256 + 7).size(), 6); // module 1: reset rectifier adjusted value
    EXPECT_EQ(ups.plant().calibrationGain(345), 1.0);
    EXPECT_NE(ups.plant().calibrationGain(336), 1.0);
    ASSERT_EQ(sendCommand(ups, 356, 127 * 256 + 8).size(), 6); // all modules: inverter side
    EXPECT_EQ(ups.plant().calibrationGain(336), 1.0);
    EXPECT_NEAR(measured(ups, 72), 2200, 1);
}

TEST(SimCalibration, RowFlagsOfModelsZeroAndThreeFollowTheConditions) {
    for (int m : {0, 3}) {
        VirtualUps ups(model(m));
        ups.advanceTo(1000);
        EXPECT_EQ(measured(ups, 71), 0x000F) << m; // inverter, bypass, input and battery all fine
        ups.plant().setUtility(false);
        ups.plant().setBypass(false);
        EXPECT_EQ(measured(ups, 71), 0x0009) << m; // inverter on battery, battery connected
    }
    VirtualUps tower(model(5));
    tower.advanceTo(1000);
    EXPECT_EQ(measured(tower, 71), 1); // the unit to calibrate
}

} // namespace
