// Control commands (0x68) and what they do to the status words the tool polls.

#include "SimRequests.h"
#include "VirtualUps.h"

#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

class SimCommand : public ::testing::Test {
  protected:
    static SimConfig config() {
        SimConfig c;
        c.protocol = Protocol::Rtu;
        c.upsModel = 1; // modular, four modules
        return c;
    }
    uint16_t status(int reg) { return readRegister(ups, fn::ReadInput, uint16_t(reg)); }
    bool accepted(uint16_t reg, uint16_t value) { return sendCommand(ups, reg, value).size() == 6; }
    VirtualUps ups{config()};
};

TEST_F(SimCommand, BypassTransferAndBack) {
    ASSERT_EQ(status(81), 1);
    EXPECT_TRUE(accepted(354, 0x00FF));
    EXPECT_EQ(status(81), 2);
    EXPECT_EQ(status(106), 1);
    EXPECT_TRUE(accepted(354, 0));
    EXPECT_EQ(status(81), 1);
    EXPECT_EQ(status(106), 0);
    // Without a bypass there is nothing to transfer to.
    ups.plant().setBypass(false);
    EXPECT_EQ(sendCommand(ups, 354, 0x00FF).toHex(), "01e804");
    EXPECT_EQ(status(81), 1);
}

TEST_F(SimCommand, MuteHasNoStatusWordButIsKept) {
    EXPECT_TRUE(accepted(353, 0x00FF));
    EXPECT_TRUE(ups.plant().muted());
    EXPECT_TRUE(accepted(353, 0));
    EXPECT_FALSE(ups.plant().muted());
}

TEST_F(SimCommand, BatterySelfTestRunsAndReportsItsResult) {
    EXPECT_TRUE(accepted(355, 0x000F));
    EXPECT_EQ(status(98), 1);
    EXPECT_EQ(status(99), 3) << "testing";
    EXPECT_EQ(status(82), 3) << "the battery carries the load during the test";
    EXPECT_EQ(sendCommand(ups, 355, 0x00F0).toHex(), "01e804") << "one test at a time";
    ups.advanceTo(UpsPlant::kSelfTestMs + 1000);
    EXPECT_EQ(status(98), 0);
    EXPECT_EQ(status(99), 1) << "passed";
    EXPECT_EQ(status(82), 1);
}

TEST_F(SimCommand, StopTestEndsAMaintenanceDischarge) {
    EXPECT_TRUE(accepted(355, 0x00F0));
    EXPECT_EQ(status(100), 1);
    EXPECT_EQ(status(101), 3);
    ups.advanceTo(5000);
    EXPECT_TRUE(accepted(355, 0));
    EXPECT_EQ(status(100), 0);
    EXPECT_EQ(status(101), 0);
    EXPECT_NE(status(82), 3);
}

TEST_F(SimCommand, BoostAndFloatCharge) {
    EXPECT_TRUE(accepted(355, 0x0F00));
    EXPECT_EQ(status(82), 2);
    const uint16_t floatVolts = readRegister(ups, fn::ReadHolding, 50);
    EXPECT_TRUE(accepted(355, 0xF000));
    EXPECT_EQ(status(82), 1);
    EXPECT_LT(readRegister(ups, fn::ReadHolding, 50), floatVolts) << "boost voltage is above float";
}

TEST_F(SimCommand, ModuleInverterOffAndOnShowsInItsStatusWords) {
    EXPECT_TRUE(accepted(356, 3 * 256 + 2)); // module 3, inverter off
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 3071 + 4 * 2) & 0x0100, 0x0100)
        << "row item 9, manual shutdown";
    EXPECT_EQ(status(121 + 12 * 2 + 9), 1);
    EXPECT_EQ(readModule(ups, 2023, 1, 3).value(0), 0) << "no inverter voltage";
    EXPECT_GT(readModule(ups, 2023, 1, 2).value(0), 2000) << "the others carry on";
    EXPECT_TRUE(accepted(356, 3 * 256 + 3));
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 3071 + 4 * 2), 0);
    EXPECT_EQ(sendCommand(ups, 356, 9 * 256 + 2).toHex(), "01e803") << "module 9 is not there";
}

TEST_F(SimCommand, AllModulesOffHandsTheLoadToTheBypass) {
    EXPECT_TRUE(accepted(356, 127 * 256 + 2));
    EXPECT_EQ(status(81), 2);
}

TEST_F(SimCommand, FaultClearAndLogClears) {
    ups.plant().setUnitFault(2, 4, true); // fan failure on module 2
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 3075), 0x0008);
    EXPECT_TRUE(accepted(351, 0x00FF));
    EXPECT_EQ(readRegister(ups, fn::ReadInput, 3075), 0);

    const int scodes = ups.scodes().count();
    ASSERT_GT(ups.history().count(), 5);
    EXPECT_TRUE(accepted(352, 0x00FF));
    ASSERT_EQ(ups.history().count(), 1) << "only the clearing itself is left";
    EXPECT_EQ(ups.history().at(1).code, event::LogClear);
    EXPECT_GE(ups.scodes().count(), scodes) << "history clear keeps the maintenance codes";
    EXPECT_TRUE(accepted(352, 0xFFFF));
    EXPECT_EQ(ups.scodes().count(), 0);
}

TEST_F(SimCommand, SwitchOffAfterTheDelayOfRegister358) {
    EXPECT_TRUE(accepted(358, 30));
    ups.advanceTo(29'000);
    EXPECT_EQ(status(81), 1);
    ups.advanceTo(31'000);
    EXPECT_EQ(status(81), 0);
    EXPECT_EQ(readRegister(ups, fn::ReadHolding, 25), 0) << "no output voltage";
    // The UPS comes back with the mains.
    ups.plant().setUtility(false);
    ups.plant().setUtility(true);
    EXPECT_EQ(status(81), 1);
}

// A switch-off that falls due with the mains present comes back on by itself after the restore
// delay; one that falls due on battery stays off until the mains return.
TEST_F(SimCommand, SwitchOffWithTheMainsPresentEndsAfterTheRestoreDelay) {
    ups.plant().setRestoreDelay(10'000);
    EXPECT_TRUE(accepted(358, 5));
    ups.advanceTo(6'000);
    EXPECT_EQ(status(81), 0);
    ups.advanceTo(14'000);
    EXPECT_EQ(status(81), 0);
    ups.advanceTo(16'000);
    EXPECT_EQ(status(81), 1);

    ups.plant().setUtility(false);
    EXPECT_TRUE(accepted(358, 5));
    ups.advanceTo(22'000);
    EXPECT_EQ(status(81), 0);
    ups.advanceTo(60'000);
    EXPECT_EQ(status(81), 0) << "on battery it waits for the mains";
    ups.plant().setUtility(true);
    EXPECT_EQ(status(81), 1);
}

TEST_F(SimCommand, SwitchOffCanBeCancelled) {
    EXPECT_TRUE(accepted(358, 10));
    EXPECT_TRUE(accepted(358, 0));
    ups.advanceTo(20'000);
    EXPECT_EQ(status(81), 1);
}

} // namespace
